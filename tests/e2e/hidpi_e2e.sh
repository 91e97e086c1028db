#!/usr/bin/env bash
# The main window on a screen with twice the pixel density (QT_SCALE_FACTOR=2): twice the size,
# its pixel art (knob, LED bar, read-out, button glyphs) enlarged pixel by pixel with no
# smoothing, its text drawn at the finer resolution. Compared with the same window at scale 1.
#
# hidpi_e2e.sh <build-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: hidpi_e2e.sh <build-dir>}" && pwd)
program=${SOUNDGEN_PROGRAM:-$build/app/soundgen}
[ -x "$program" ] || { echo "FAIL: $program is missing; build the project first" >&2; exit 1; }

source "$here/audio.sh"
source "$here/app_display.sh"
command -v convert >/dev/null || e2e_skip "ImageMagick is not installed (scripts/setup.sh installs it)"
e2e_init
E2E_SCREEN=1600x1400x24 display_start
shots=$build/artifacts/e2e
mkdir -p "$shots"

shot() {
  local scale=$1 width=$2 height=$3 window pid
  QT_SCALE_FACTOR=$scale SDL_AUDIODRIVER=dummy "$program" >"$E2E_TMP/out$scale" 2>"$E2E_TMP/err$scale" &
  pid=$!
  e2e_track_pid $pid
  window=$(window_wait "Звуковой генератор" $pid) || { cat "$E2E_TMP/err$scale" >&2; e2e_fail "no main window at scale $scale"; }
  expect_size "$window" "$width" "$height" "scale $scale"
  # Let the first paint reach the server before the shot.
  sleep 1
  screenshot "$window" "$shots/hidpi_scale$scale.png"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  e2e_check_stderr "$E2E_TMP/err$scale" "the program at scale $scale"
}

shot 1 275 650
shot 2 550 1300
# Areas in scale-1 window coordinates (end exclusive).
python3 "$here/pixel_scale.py" "$shots/hidpi_scale1.png" "$shots/hidpi_scale2.png" 2 \
  --sharp frequency-knob:80,125,170,220 level-bar:239,72,252,307 frequency-readout:72,279,196,316 \
  lightning-glyph:25,283,45,307 arrow-glyph:202,291,217,303 \
  --finer frequency-caption:60,70,195,90
echo "PASS: scaled window"
