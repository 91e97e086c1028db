#!/usr/bin/env bash
# Set up, build and start the generator (no test libraries needed).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" run
BUILD_TARGET=soundgen bash "$root/scripts/build.sh" run
exec "$root/build-run/app/soundgen" "$@"
