#!/usr/bin/env bash
# Fails when a source file includes a header of a higher layer. The layers,
# from the bottom up, are the source folders in the order below; a file may
# include headers of its own folder and of the folders before it. Inside the
# toolkit the same holds for its rooms (sub-folders), from the bottom up in
# the order below; the files of toolkit/ itself sit above all of its rooms.
# Tests and benchmarks sit above everything and are not checked.
#   scripts/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
layers=(core storage messaging tools toolkit workspace projects kelvane)
toolkit_rooms=(toolkit/base toolkit/widgets toolkit/resources toolkit/automation toolkit/headless
               toolkit/fltk toolkit)

cd "$root"
status=0

# check_order NAME... : each NAME's sources may include "NAME/..." only of
# itself and of the names before it. A name's files are those directly in
# it when later names lie inside it (toolkit's own files), else all below it.
# The target of an include is the longest name its path starts with.
check_order() {
  local order=("$@") rank folder depth file line text target higher
  for rank in "${!order[@]}"; do
    folder="${order[$rank]}"
    depth=()
    for higher in "${order[@]}"; do
      [[ "$higher" == "$folder"/* ]] && depth=(-maxdepth 1)
    done
    # Every '#include "a/..."' of this folder's sources, as file:line:text.
    while IFS=: read -r file line text; do
      target="${text#*\"}"
      target="${target%\"*}"
      for higher in "${!order[@]}"; do
        [[ "$target" == "${order[$higher]}"/* ]] || continue
        # A deeper name of the order owns the path (toolkit/widgets, not toolkit).
        local owner="${order[$higher]}" other
        for other in "${order[@]}"; do
          [[ "$target" == "$other"/* && ${#other} -gt ${#owner} ]] && continue 2
        done
        if [ "$higher" -gt "$rank" ]; then
          echo "$file:$line: error: $folder/ is below $owner/ and must not include ${text#*#include }" >&2
          status=1
        fi
      done
    done < <(find "$folder" "${depth[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
               xargs -0 -r grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]*/' || true)
  done
}

check_order "${layers[@]}"
check_order "${toolkit_rooms[@]}"
exit $status
