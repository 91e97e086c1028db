#!/usr/bin/env bash
# build.sh <build-dir> [extra cmake arguments...]: configure and build into <build-dir>.
# BUILD_TARGET=<target> builds only that target.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
shift || true
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
if [ -n "${BUILD_TARGET:-}" ]; then
  cmake --build "$dir" -j "$(nproc)" --target "$BUILD_TARGET"
else
  cmake --build "$dir" -j "$(nproc)"
fi
