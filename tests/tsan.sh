#!/usr/bin/env bash
# Builds the tests with ThreadSanitizer and runs those labelled `threads` (the sound player
# against SDL's audio thread, the light button's fade thread).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
preset=tsan
dir=build-tsan

cmake --preset "$preset" ${SOUNDGEN_CMAKE_ARGS:-} >/dev/null
cmake --build "$dir" --target sound_tests lbbutton_tests -j "$(nproc)"

options="halt_on_error=1 second_deadlock_stack=1"
if [ -f tests/tsan.supp ]; then
  options="$options suppressions=$root/tests/tsan.supp"
fi
TSAN_OPTIONS="$options ${TSAN_OPTIONS:-}" QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  ctest --test-dir "$dir" --output-on-failure -j 2 -L threads
