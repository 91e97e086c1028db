#!/usr/bin/env bash
# The generator as a person uses it: the real program on a virtual display, its sound going to a
# private PulseAudio null sink. The level and frequency knobs are set with the keyboard, start
# and stop are clicked; the recording must be silent before the start, carry the set tone at the
# set level while it plays and be silent again after the stop, and the window must have the
# size of each state. Screenshots of every state go to <build-dir>/artifacts/e2e.
#
# app_e2e.sh <build-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: app_e2e.sh <build-dir>}" && pwd)
program=$build/app/soundgen
[ -x "$program" ] || { echo "FAIL: $program is missing; build the project first" >&2; exit 1; }

source "$here/audio.sh"
source "$here/app_display.sh"
e2e_init
pulse_start

shots=$build/artifacts/e2e
mkdir -p "$shots"
level=80
freq=440

program_start pulseaudio
xdotool windowfocus --sync "$window" 2>/dev/null || true
expect_size "$window" 275 650 "idle"
screenshot "$window" "$shots/app_idle.png"
# The panel captions: a black frame, silver inside, navy letters (Panel2's children sit inside
# its 2-pixel edge, at (12, 61) in the window).
for caption in "65 71 125 Частота" "65 555 124 Уровень"; do
  read -r cx cy cw what <<<"$caption"
  expect_pixel "$shots/app_idle.png" $((cx + 60)) "$cy" "#000000" "$what caption: top of the frame"
  expect_pixel "$shots/app_idle.png" "$cx" $((cy + 7)) "#000000" "$what caption: left of the frame"
  expect_pixel "$shots/app_idle.png" $((cx + cw - 2)) $((cy + 13)) "#C0C0C0" "$what caption: silver inside"
  expect_colour_count "$shots/app_idle.png" "$cx" "$cy" "$cw" 15 "#000080" 40 "$what caption: navy letters"
done

recording=$E2E_TMP/app.raw
pulse_record_start "$recording"
sleep 1

# Controls in window coordinates: the knobs' centres and the two light buttons.
knob_level=(125 463)
knob_freq=(125 180)
start_button=(113 614)
stop_button=(236 614)

# A click gives a knob the focus without moving it; Home, then one page step per unit.
click_at "$window" "${knob_level[@]}"
xdotool key --delay 5 Home
xdotool key --repeat $level --delay 5 Prior
click_at "$window" "${knob_freq[@]}"
xdotool key --delay 5 Home
xdotool key --repeat $freq --delay 5 Prior
sleep 0.8
screenshot "$window" "$shots/app_knobs_set.png"

click_at "$window" "${start_button[@]}"
sleep 0.5
expect_size "$window" 275 700 "endless sound playing"
screenshot "$window" "$shots/app_playing.png"
sleep 2.5
click_at "$window" "${stop_button[@]}"
sleep 0.3
expect_size "$window" 275 650 "stopped"
screenshot "$window" "$shots/app_stopped.png"
sleep 1.2
pulse_record_stop

# Full-level 16-bit sine (amplitude 32767, RMS 32767/sqrt 2) scaled by the device volume of the
# level: level x 65535 div 100 out of 65535, the same on both channels.
rms=$(python3 -c "print(32767 / 2 ** 0.5 * ($level * 65535 // 100) / 65535)")
python3 "$here/analyze.py" tone "$recording" --freq $freq --tolerance 1 \
  --left-rms "$rms" --right-rms "$rms" --level-tolerance 0.05 --ratio 1 --ratio-tolerance 0.02 \
  --min-silence 0.5 --max-dropout 0.005 ||
  e2e_fail "endless sound: the recording does not match (see above)"

# The fold-out panel: the window grows to the right; hovering a waveform shows its sketch in
# the preview box, whose top-left pixel lies at (302, 239) in the window.
fold_out=(179 31)
radio_square=(379 157)
checkbox_endless=(318 559)
edit_duration=(368 597)
click_at "$window" "${fold_out[@]}"
expect_size "$window" 580 650 "fold-out panel open"
screenshot "$window" "$shots/app_foldout.png"
expect_pixel "$shots/app_foldout.png" $((340 + 80)) 23 "#000000" "fold-out caption: top of the frame"
expect_pixel "$shots/app_foldout.png" $((340 + 172)) $((23 + 20)) "#C0C0C0" "fold-out caption: silver inside"
expect_colour_count "$shots/app_foldout.png" 340 23 174 22 "#800000" 60 "fold-out caption: maroon letters"
expect_pixel "$shots/app_foldout.png" $((302 + 60)) $((239 + 0)) "#00FF00" "sine sketch at (60, 0)"
xdotool mousemove --window "$window" "${radio_square[@]}" sleep 0.2 mousemove_relative 1 0
sleep 0.3
screenshot "$window" "$shots/app_hover_square.png"
expect_pixel "$shots/app_hover_square.png" $((302 + 199)) $((239 + 10)) "#FF0000" "square sketch at (199, 10)"
expect_pixel "$shots/app_hover_square.png" $((302 + 200)) $((239 + 10)) "#000000" "no pixel at the square's end point"

# Timed sound: uncheck "endless", type 700 ms, start; the tone sounds once for 0.7 s.
recording2=$E2E_TMP/app_timed.raw
pulse_record_start "$recording2"
sleep 1
click_at "$window" "${checkbox_endless[@]}"
click_at "$window" "${edit_duration[@]}"
xdotool key --delay 20 End BackSpace BackSpace BackSpace BackSpace BackSpace 7 0 0
click_at "$window" "${start_button[@]}"
sleep 0.3
expect_size "$window" 580 650 "timed sound started"
screenshot "$window" "$shots/app_timed.png"
sleep 2
pulse_record_stop
python3 "$here/analyze.py" tone "$recording2" --freq $freq --tolerance 1 \
  --left-rms "$rms" --right-rms "$rms" --level-tolerance 0.05 \
  --duration 0.7 --duration-tolerance 0.3 --min-silence 0.5 --max-dropout 0.005 ||
  e2e_fail "timed sound: the recording does not match (see above)"

# Endless again with the panel open: the fourth size.
click_at "$window" "${checkbox_endless[@]}"
click_at "$window" "${start_button[@]}"
sleep 0.3
expect_size "$window" 580 700 "endless sound, fold-out panel open"
screenshot "$window" "$shots/app_playing_wide.png"
click_at "$window" "${stop_button[@]}"
expect_size "$window" 580 650 "stopped, fold-out panel open"

# The About box: a window of its own over the main one, closed by its button.
about_button=(85 31)
about_ok=(232 128)
click_at "$window" "${about_button[@]}"
about=$(window_wait "О программе !" $program_pid) || e2e_fail "the About box did not open"
expect_size "$about" 271 151 "About box"
screenshot "$about" "$shots/app_about.png"
# The gradient backdrop, top to bottom, where the text box and the button leave it bare.
expect_pixel "$shots/app_about.png" 100 0 "#8080C0" "About box: gradient row 0"
expect_pixel "$shots/app_about.png" 100 1 "#7F7FBF" "About box: gradient row 1"
expect_pixel "$shots/app_about.png" 3 76 "#404080" "About box: gradient row 76"
expect_pixel "$shots/app_about.png" 100 150 "#020242" "About box: gradient row 150"
click_at "$about" "${about_ok[@]}"
for _ in $(seq 30); do
  xdotool search --onlyvisible --name "^О программе !\$" >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --onlyvisible --name "^О программе !\$" >/dev/null 2>&1 && e2e_fail "the About box stayed open after ОК"
expect_size "$window" 580 650 "About box closed"

e2e_check_stderr "$E2E_TMP/soundgen.err" "the program"
echo "PASS: app e2e ($freq Hz at level $level, endless and timed; screenshots in $shots)"
