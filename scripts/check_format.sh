#!/usr/bin/env bash
# Fails when a C++ source differs from what the repository's .clang-format makes of it.
# check_format.sh --fix formats them in place instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(find app bench canvas controls core hints layout lbbutton sound tests tonegen widgets \
  \( -name '*.cpp' -o -name '*.h' \) -type f 2>/dev/null | sort)
if [ ${#files[@]} -eq 0 ]; then
  echo "check_format: no sources found" >&2
  exit 1
fi
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run --Werror "${files[@]}"
fi
