#!/usr/bin/env bash
# Set up, build and run every test: unit tests, the sanitizer builds and the end-to-end suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh

echo "== build and unit tests"
bash scripts/build.sh build
ctest --test-dir build --output-on-failure -j 2

echo "== address and undefined-behaviour sanitizers"
bash scripts/build.sh build-asan -DSOUNDGEN_SANITIZE=address,undefined -DSOUNDGEN_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan --output-on-failure -j 2 -L unit
# The real program too, driven end to end: the suites fail on any sanitizer report it prints.
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan --output-on-failure -L e2e

if [ -x tests/tsan.sh ]; then
  echo "== thread sanitizer"
  bash tests/tsan.sh
fi

echo "== all tests passed"
