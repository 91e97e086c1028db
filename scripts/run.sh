#!/usr/bin/env bash
# Set up, build and start the generator.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
BUILD_TARGET=soundgen bash "$root/scripts/build.sh" "$root/build"
exec "$root/build/app/soundgen" "$@"
