#!/usr/bin/env bash
# Set up, build and start the generator (no test libraries needed).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" run
BUILD_TARGET=soundgen bash "$root/scripts/build.sh" "$root/build-run" -DBUILD_TESTING=OFF -DSOUNDGEN_BENCH=OFF
exec "$root/build-run/app/soundgen" "$@"
