#!/usr/bin/env bash
# Builds the framework tests with ThreadSanitizer and runs the ones that drive threads
# (the sound player against SDL's audio thread, the light button's fade thread).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
dir=build-tsan

cmake -S . -B "$dir" -G Ninja -DBUILD_TESTING=ON -DSOUNDGEN_SANITIZE=thread -DSOUNDGEN_BENCH=OFF -DSOUNDGEN_WERROR=ON ${SOUNDGEN_CMAKE_ARGS:-} >/dev/null
cmake --build "$dir" --target framework_tests lbbutton_tests -j "$(nproc)"

options="halt_on_error=1 second_deadlock_stack=1"
if [ -f tests/tsan.supp ]; then
  options="$options suppressions=$root/tests/tsan.supp"
fi
TSAN_OPTIONS="$options ${TSAN_OPTIONS:-}" QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  "$dir/tests/framework_tests" --gtest_filter='SdlSoundPlayer*:SoundPlayer*:WaveImage*:Player*'
TSAN_OPTIONS="$options ${TSAN_OPTIONS:-}" QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  "$dir/tests/lbbutton_tests"
