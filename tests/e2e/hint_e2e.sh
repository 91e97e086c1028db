#!/usr/bin/env bash
# The main window's hint as a person sees it: the real program on a virtual display, the pointer
# resting on the start button. The hint must not be there before the opening pause, must then
# stand 16 pixels below the pointer with its border in (128,128,255) and the gradient's middle
# colour inside, must still be open after 5 s and gone after its 7 s. Screenshots go to
# <build-dir>/artifacts/e2e.
#
# hint_e2e.sh <build-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: hint_e2e.sh <build-dir>}" && pwd)
program=$build/app/soundgen
[ -x "$program" ] || { echo "FAIL: $program is missing; build the project first" >&2; exit 1; }

source "$here/audio.sh"
source "$here/app_display.sh"
e2e_init
command -v convert >/dev/null || e2e_skip "ImageMagick is not installed (scripts/setup.sh installs it)"

shots=$build/artifacts/e2e
mkdir -p "$shots"

program_start dummy
expect_size "$window" 275 650 "idle"
eval "$(xdotool getwindowgeometry --shell "$window")"

# The start button's middle, in window and screen coordinates.
bx=113
by=614
px=$((X + bx))
py=$((Y + by))
# Hint corner: 16 pixels below the pointer. 3 pixels in is past the soft edge, inside the frame;
# (7, 6) is inside the frame, above the text, on the gradient's middle colour.
hx=$px
hy=$((py + 16))
border="#8080FF"
middle="#C6C195"

root_pixel() { # x y -> RRGGBB of the screen
  import -window root "$E2E_TMP/root.png" 2>/dev/null || return 1
  convert "$E2E_TMP/root.png" -format "%[hex:p{$1,$2}]" info: 2>/dev/null | cut -c1-6
}
now() { date +%s.%N; }
calc() { awk "BEGIN { print ($1) }"; }
elapsed() { calc "$(now) - $1"; }

# Start from a spot without a hint, then rest on the button.
xdotool mousemove --window "$window" 5 300
sleep 1
xdotool mousemove --window "$window" $bx $by
moved=$(now)
first=$(root_pixel $((hx + 3)) $((hy + 8)))
early=$(elapsed "$moved")
if [ "#${first^^}" = "$border" ] && [ "$(calc "$early < 0.45")" = 1 ]; then
  e2e_fail "the hint was open ${early}s after the pointer came to rest, before the 500 ms pause"
fi

shown=""
for _ in $(seq 60); do
  if [ "#$(root_pixel $((hx + 3)) $((hy + 8)) | tr a-f A-F)" = "$border" ]; then
    shown=$(now)
    break
  fi
  sleep 0.05
done
[ -n "$shown" ] || { cp "$E2E_TMP/root.png" "$shots/hint_missing.png"; e2e_fail "no hint below the pointer"; }
echo "hint open $(calc "$shown - $moved")s after the pointer came to rest"
cp "$E2E_TMP/root.png" "$shots/hint_open.png"
expect_pixel "$shots/hint_open.png" $((hx + 3)) $((hy + 8)) "$border" "left border"
expect_pixel "$shots/hint_open.png" $((hx + 7)) $((hy + 6)) "$middle" "gradient middle"
# Nothing of the hint above its corner row or left of its corner column.
above=$(convert "$shots/hint_open.png" -format "%[hex:p{$((hx + 3)),$((hy - 1))}]" info: | cut -c1-6)
[ "#${above^^}" != "$border" ] || e2e_fail "the hint reaches above 16 pixels below the pointer"

sleep 5
[ "#$(root_pixel $((hx + 3)) $((hy + 8)) | tr a-f A-F)" = "$border" ] || e2e_fail "the hint closed before 5 s"
gone=""
for _ in $(seq 100); do
  if [ "#$(root_pixel $((hx + 3)) $((hy + 8)) | tr a-f A-F)" != "$border" ]; then
    gone=$(now)
    break
  fi
  sleep 0.05
done
[ -n "$gone" ] || e2e_fail "the hint was still open 10 s after it appeared"
open_for=$(calc "$gone - $shown")
echo "hint closed after ${open_for}s"
[ "$(calc "$open_for > 6.5 && $open_for < 9")" = 1 ] || e2e_fail "hint open ${open_for}s, expected 7 s"
cp "$E2E_TMP/root.png" "$shots/hint_closed.png"
e2e_check_stderr "$E2E_TMP/soundgen.err" "the program"
echo "PASS: hint below the pointer with its border and gradient, closed after ${open_for}s"
