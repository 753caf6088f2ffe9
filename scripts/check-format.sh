#!/usr/bin/env bash
# Fails when a C++ source or header differs from the project's .clang-format,
# naming each file. With --fix it formats them in place instead.
# The formatter's version is pinned: another major version lays out some
# constructs differently, and the check would then flip between machines.
# .ci/install-deps installs it.
#   scripts/check-format.sh [--fix] [SOURCE_ROOT]
set -euo pipefail
formatter=clang-format-14
mode=(--dry-run --Werror)
if [ "${1:-}" = "--fix" ]; then
  mode=(-i)
  shift
fi
root="${1:-$(dirname "$0")/..}"
if ! command -v "$formatter" >/dev/null; then
  echo "check-format: $formatter is missing (bash .ci/install-deps installs it)" >&2
  exit 1
fi

cd "$root"
mapfile -d '' sources < <(find core storage messaging tools toolkit workspace projects kelvane \
  tests bench examples \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
# The formatter reports each difference as FILE:LINE:COLUMN: error; one line
# per file is enough to act on.
if ! report=$("$formatter" --style=file "${mode[@]}" "${sources[@]}" 2>&1); then
  grep -oE '^[^ :]+\.(cpp|h):[0-9]+:[0-9]+: error' <<<"$report" | cut -d: -f1 | sort -u |
    sed 's/$/: error: differs from .clang-format (scripts\/check-format.sh --fix formats it)/' >&2
  exit 1
fi
