#!/usr/bin/env bash
# Fails when a source file includes a header of a higher layer. The layers,
# from the bottom up, are the source folders in the order below; a file may
# include headers of its own folder and of the folders before it. Tests and
# benchmarks sit above everything and are not checked.
#   scripts/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
layers=(core storage messaging tools toolkit workspace projects kelvane)

cd "$root"
status=0
for rank in "${!layers[@]}"; do
  folder="${layers[$rank]}"
  # Every '#include "folder/..."' of this folder's sources, as file:line:text.
  while IFS=: read -r file line text; do
    target="${text#*\"}"
    target="${target%%/*}"
    for higher in "${!layers[@]}"; do
      if [ "${layers[$higher]}" = "$target" ] && [ "$higher" -gt "$rank" ]; then
        echo "$file:$line: error: $folder/ is below $target/ and must not include ${text#*#include }" >&2
        status=1
      fi
    done
  done < <(grep -rn --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]*/' "$folder" || true)
done
exit $status
