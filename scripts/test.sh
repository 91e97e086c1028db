#!/usr/bin/env bash
# Set up, build and run every test: source checks, unit tests, the sanitizer builds and the
# end-to-end suite. Warnings are errors in every build here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh

echo "== layers and format"
python3 scripts/check_layers.py --self-test
python3 scripts/check_layers.py
bash scripts/check_format.sh

echo "== build and unit tests"
bash scripts/build.sh default
ctest --test-dir build --output-on-failure -j 2

echo "== address and undefined-behaviour sanitizers (clang), with the fuzz targets"
# clang rather than g++ here: the same tree then builds the libFuzzer targets, so fuzzing costs
# no build of its own, and the tests run under a second compiler's warnings and sanitizers.
# A tree configured earlier with another compiler cannot switch in place.
if [ -f build-asan/CMakeCache.txt ] && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++-14$' build-asan/CMakeCache.txt; then
  rm -rf build-asan
fi
bash scripts/build.sh asan
# Leaks are errors too; the suppressions name only system libraries' one-time allocations.
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp print_suppressions=0"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j 2 -L unit
# Each fuzz target for a fixed, short number of runs over its corpus, then its kept regressions.
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan --output-on-failure -j 2 -L fuzz
# The real program too, driven end to end: the suites fail on any sanitizer report it prints.
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -L e2e

echo "== thread sanitizer"
if [ ! -f tests/tsan.sh ]; then
  echo "tests/tsan.sh is missing" >&2
  exit 1
fi
bash tests/tsan.sh

echo "== all tests passed"
