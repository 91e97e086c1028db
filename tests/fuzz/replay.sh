#!/usr/bin/env bash
# replay.sh <fuzz program> <folder>: runs every kept input of the folder through the program once.
set -euo pipefail
program=$1
folder=$2
shopt -s nullglob
files=("$folder"/*)
inputs=()
for f in "${files[@]}"; do
  [ -f "$f" ] && [ "$(basename "$f")" != README ] && inputs+=("$f")
done
if [ ${#inputs[@]} -eq 0 ]; then
  echo "no regression inputs in $folder"
  exit 0
fi
exec "$program" "${inputs[@]}"
