#!/usr/bin/env bash
# The start button as a person sees it: the real program on a virtual display. Hovering the
# button paints its face in the hot-track colour, leaving fades it back to the face colour within
# about a quarter second, pressing paints the pressed colour and releasing outside the button
# still starts the sound. Then the program is closed again and again while a fade runs; it must
# end cleanly each time. Screenshots go to <build-dir>/artifacts/e2e.
#
# lbbutton_e2e.sh <build-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: lbbutton_e2e.sh <build-dir>}" && pwd)
program=$build/app/soundgen
[ -x "$program" ] || { echo "FAIL: $program is missing; build the project first" >&2; exit 1; }

source "$here/audio.sh"
source "$here/app_display.sh"
e2e_init
pulse_start
display_start

shots=$build/artifacts/e2e
mkdir -p "$shots"

# The start button lies at (19, 595), 188 x 38, in the window. Its face colour sits a quarter
# down (row 9, row 10 while pressed), left of the caption; its corner shows the panel beneath.
face_probe=(29 604)
pressed_probe=(29 605)
corner=(19 595)
start_button=(113 614)
away=(140 300)
close_button=(247 29)
# The gradient's lower half is 28 rows of 32 bands, so the row a quarter down holds the second
# band: the colour plus (light colour - colour) / 31 per channel, truncated.
band1() {
  python3 -c "
c, l = $1, 16369081
ch = lambda v, s: (v >> s) & 255
print('#%02X%02X%02X' % tuple(int(ch(c, s) + (ch(l, s) - ch(c, s)) / 31) for s in (0, 8, 16)))"
}
face=$(band1 14680029)
hot=$(band1 8441834)
pressed=$(band1 9215487)
panel="#DAE3E4" # 15000538

start_program() {
  SDL_AUDIODRIVER=pulseaudio "$program" >"$E2E_TMP/soundgen.out" 2>>"$E2E_TMP/soundgen.err" &
  program_pid=$!
  e2e_track_pid $program_pid
  window=$(window_wait "Звуковой генератор" $program_pid) || {
    cat "$E2E_TMP/soundgen.err" >&2
    e2e_fail "no main window"
  }
  xdotool windowfocus --sync "$window" 2>/dev/null || true
}

start_program
xdotool mousemove --window "$window" "${away[@]}"
sleep 0.5
screenshot "$window" "$shots/lbbutton_idle.png"
expect_pixel "$shots/lbbutton_idle.png" "${face_probe[@]}" "$face" "start button face at rest"
expect_pixel "$shots/lbbutton_idle.png" "${corner[@]}" "$panel" "the rounded corner shows the panel"

xdotool mousemove --window "$window" "${start_button[@]}"
sleep 0.3
screenshot "$window" "$shots/lbbutton_hover.png"
expect_pixel "$shots/lbbutton_hover.png" "${face_probe[@]}" "$hot" "hot-track colour while hovered"

xdotool mousemove --window "$window" "${away[@]}"
sleep 0.6
screenshot "$window" "$shots/lbbutton_left.png"
expect_pixel "$shots/lbbutton_left.png" "${face_probe[@]}" "$face" "face colour again after the fade"

xdotool mousemove --window "$window" "${start_button[@]}" sleep 0.2 mousedown 1
sleep 0.3
screenshot "$window" "$shots/lbbutton_pressed.png"
expect_pixel "$shots/lbbutton_pressed.png" "${pressed_probe[@]}" "$pressed" "pressed colour"
xdotool mousemove --window "$window" "${away[@]}" sleep 0.2 mouseup 1
expect_size "$window" 275 700 "released outside the start button: endless sound"
screenshot "$window" "$shots/lbbutton_released_outside.png"
xdotool mousemove --window "$window" "${close_button[@]}" sleep 0.1 click 1
for _ in $(seq 100); do
  kill -0 $program_pid 2>/dev/null || break
  sleep 0.1
done
kill -0 $program_pid 2>/dev/null && e2e_fail "the program did not close"
wait $program_pid || e2e_fail "the program ended with status $?"

# Closing during a fade: the pointer crosses the start button on its way to the close button.
for round in 1 2 3 4 5 6; do
  start_program
  xdotool mousemove --window "$window" "${start_button[@]}" sleep 0.1 \
    mousemove --window "$window" "${close_button[@]}" sleep 0.0$round click 1
  for _ in $(seq 100); do
    kill -0 $program_pid 2>/dev/null || break
    sleep 0.1
  done
  kill -0 $program_pid 2>/dev/null && e2e_fail "round $round: the program hung while closing during a fade"
  wait $program_pid || e2e_fail "round $round: the program ended with status $?"
done

e2e_check_stderr "$E2E_TMP/soundgen.err" "the program"
echo "PASS: light button e2e (hover, fade back, pressed colour, release outside, close during fades)"
