#!/usr/bin/env bash
# build.sh <preset> [extra cmake arguments...]: configure and build the tree of a preset in
# CMakePresets.json (default, run, asan, tsan, bench). BUILD_TARGET=<target> builds only that target.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
preset=${1:-default}
shift || true
cmake --preset "$preset" "$@" >/dev/null
if [ -n "${BUILD_TARGET:-}" ]; then
  cmake --build --preset "$preset" -j "$(nproc)" --target "$BUILD_TARGET"
else
  cmake --build --preset "$preset" -j "$(nproc)"
fi
