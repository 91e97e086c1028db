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
display_start

shots=$build/artifacts/e2e
mkdir -p "$shots"
level=80
freq=440

SDL_AUDIODRIVER=pulseaudio "$program" >"$E2E_TMP/soundgen.out" 2>"$E2E_TMP/soundgen.err" &
e2e_track_pid $!
window=$(window_wait "Звуковой генератор") || { cat "$E2E_TMP/soundgen.err" >&2; e2e_fail "no main window"; }
xdotool windowfocus --sync "$window" 2>/dev/null || true
expect_size "$window" 275 650 "idle"
screenshot "$window" "$shots/app_idle.png"

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

if grep -q "no audio device" "$E2E_TMP/soundgen.err"; then
  cat "$E2E_TMP/soundgen.err" >&2
  e2e_fail "the program found no audio device on the private sound server"
fi

# Full-level 16-bit sine (amplitude 32767, RMS 32767/sqrt 2) scaled by the device volume of the
# level: level x 65535 div 100 out of 65535, the same on both channels.
rms=$(python3 -c "print(32767 / 2 ** 0.5 * ($level * 65535 // 100) / 65535)")
if python3 "$here/analyze.py" tone "$recording" --freq $freq --tolerance 1 \
  --left-rms "$rms" --right-rms "$rms" --level-tolerance 0.05 --ratio 1 --ratio-tolerance 0.02 \
  --duration 3.0 --duration-tolerance 0.8 --min-silence 0.5; then
  echo "PASS: app e2e ($freq Hz at level $level; screenshots in $shots)"
else
  e2e_fail "app e2e: the recorded sound does not match (see above)"
fi
