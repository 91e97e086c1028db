#!/usr/bin/env bash
# The program's sound against a sound server that comes and goes, on a virtual display:
#  (a) the frequency knob is stepped 30 times while endless sound plays; the recording must hold
#      no discontinuity (with the ramps switched off the count is reported for comparison);
#  (b) the server is killed and started again while endless sound plays: the program lives on,
#      the tone comes back by itself within a second, and stop and start give the tone again;
#  (c) the program starts with no server at all; once one is started, start gives the tone.
# Also measured and reported (not checked): start click -> first sound, and knob key step ->
# new sound, mean and worst of 50 each. The keys and clicks go through one xdotool that is already
# running, and each is marked by the recording's size just before it is sent; the recorder's own
# buffering (about 20 ms) can make a time come out that much short.
#
# recovery_e2e.sh <build-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: recovery_e2e.sh <build-dir>}" && pwd)
program=$build/app/soundgen
[ -x "$program" ] || { echo "FAIL: $program is missing; build the project first" >&2; exit 1; }

source "$here/audio.sh"
source "$here/app_display.sh"
e2e_init

freq=440
level=80
# Full-level 16-bit sine scaled by the device volume of the level (see app_e2e.sh); the peak,
# which the underruns of a busy machine leave alone, unlike the RMS.
peak=$(python3 -c "print(32767 * ($level * 65535 // 100) / 65535)")
knob_level=(125 463)
knob_freq=(125 180)
start_button=(113 614)
stop_button=(236 614)

# Frame index the recording has reached.
mark() {
  echo $(($(stat -c %s "$1") / 4))
}

# One xdotool reading commands as they come: starting a new one per key costs more than the
# latency being measured on a busy machine.
xdo_start() {
  mkfifo "$E2E_TMP/xdo"
  xdotool - <"$E2E_TMP/xdo" >/dev/null 2>&1 &
  e2e_track_pid $!
  exec 9>"$E2E_TMP/xdo"
}

# timed <recording> <command...>: sends the command, appends the frame it was sent at to $marks.
timed() {
  local recording=$1
  shift
  marks="$marks$(mark "$recording"),"
  echo "$*" >&9
}

# run_program <log>: the program on the display, its window id in $window.
run_program() {
  SDL_AUDIODRIVER=pulseaudio "$program" >/dev/null 2>"$1" &
  program_pid=$!
  e2e_track_pid $program_pid
  window=$(window_wait "Звуковой генератор" $program_pid) || { cat "$1" >&2; e2e_fail "no main window"; }
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  click_at "$window" "${knob_level[@]}"
  xdotool key --delay 5 Home
  xdotool key --repeat $level --delay 5 Prior
}

# end_program: SIGTERM must end the program, as it ends any desktop program.
end_program() {
  kill "$program_pid"
  for _ in $(seq 50); do
    kill -0 "$program_pid" 2>/dev/null || { wait "$program_pid" 2>/dev/null || true; return 0; }
    sleep 0.1
  done
  e2e_fail "the program did not end on SIGTERM"
}

alive() {
  kill -0 "$program_pid" 2>/dev/null || { cat "$1" >&2; e2e_fail "the program died ($2)"; }
}

set_frequency() {
  click_at "$window" "${knob_freq[@]}"
  xdotool key --delay 5 Home
  xdotool key --repeat "$1" --delay 5 Prior
}

# knob_steps <recording> <name> <allowed>: 30 steps during endless sound, discontinuities counted.
knob_steps() {
  set_frequency $freq
  pulse_record_start "$1"
  sleep 0.5
  click_at "$window" "${start_button[@]}"
  sleep 0.5
  click_at "$window" "${knob_freq[@]}"
  for _ in $(seq 30); do
    xdotool key Prior
    sleep 0.15
  done
  sleep 0.3
  click_at "$window" "${stop_button[@]}"
  sleep 0.5
  pulse_record_stop
  echo "(a) 30 knob steps, $2:"
  python3 "$here/analyze.py" clicks "$1" $3
}

display_start
pulse_start

# (a) with the ramps, then without.
run_program "$E2E_TMP/ramps.err"
knob_steps "$E2E_TMP/steps_ramps.raw" "ramps on" "--max 0" || e2e_fail "clicks with the ramps on"

# Latency of a start: 50 starts and stops of endless sound.
recording=$E2E_TMP/starts.raw
pulse_record_start "$recording"
sleep 0.5
marks=""
xdo_start
for _ in $(seq 50); do
  echo "mousemove --window $window ${start_button[*]}" >&9
  sleep 0.1
  timed "$recording" click 1
  sleep 0.35
  click_at "$window" "${stop_button[@]}"
  sleep 0.25
done
pulse_record_stop
python3 "$here/analyze.py" onsets "$recording" --marks "$marks" || e2e_fail "a start gave no sound"

# Latency of a knob step: Home (20 Hz) and End (20000 Hz) in turn during endless sound.
recording=$E2E_TMP/changes.raw
pulse_record_start "$recording"
sleep 0.5
click_at "$window" "${start_button[@]}"
click_at "$window" "${knob_freq[@]}"
xdotool key Home
sleep 0.4
marks=""
freqs=""
for i in $(seq 50); do
  if [ $((i % 2)) = 1 ]; then key=End old=20; else key=Home old=20000; fi
  timed "$recording" key $key
  freqs="$freqs$old,"
  sleep 0.3
done
click_at "$window" "${stop_button[@]}"
pulse_record_stop
exec 9>&-
python3 "$here/analyze.py" changes "$recording" --marks "$marks" --freqs "$freqs" ||
  e2e_fail "a knob step did not change the sound"

# (b) the server goes away during endless sound and comes back.
set_frequency $freq
click_at "$window" "${start_button[@]}"
sleep 0.5
kill -9 "$PULSE_PID"
wait "$PULSE_PID" 2>/dev/null || true
sleep 1
alive "$E2E_TMP/ramps.err" "server killed"
pulse_start
recording=$E2E_TMP/back.raw
pulse_record_start "$recording"
sleep 1.5
pulse_record_stop
alive "$E2E_TMP/ramps.err" "server restarted"
echo "(b) endless sound 1.0 to 1.5 s after the server is back:"
python3 "$here/analyze.py" report "$recording" --start 1.0 --length 0.5
python3 "$here/analyze.py" silent "$recording" --start 1.0 --length 0.5 --threshold 1000 &&
  e2e_fail "the sound did not come back by itself within a second of the server"
grep -q "audio device lost" "$E2E_TMP/ramps.err" || { cat "$E2E_TMP/ramps.err" >&2; e2e_fail "the loss was not reported"; }

click_at "$window" "${stop_button[@]}"
recording=$E2E_TMP/restart.raw
pulse_record_start "$recording"
sleep 0.8
click_at "$window" "${start_button[@]}"
sleep 2
click_at "$window" "${stop_button[@]}"
sleep 0.8
pulse_record_stop
echo "(b) stop and start after the server came back:"
# Underruns of a busy machine are player_e2e.sh's subject; here they are reported, and only a
# tone that is mostly gaps fails.
python3 "$here/analyze.py" tone "$recording" --freq $freq --tolerance 1 --min-silence 0.5 \
  --peak "$peak" --level-tolerance 0.03 --max-dropout 0.2 ||
  e2e_fail "no tone after stop and start on the restarted server"
end_program

# (a) again without the ramps, for comparison only.
SOUNDGEN_NO_RAMPS=1 run_program "$E2E_TMP/plain.err"
knob_steps "$E2E_TMP/steps_plain.raw" "ramps off (reported only)" "" || true
end_program

# (c) no server when the program starts.
kill "$PULSE_PID"
wait "$PULSE_PID" 2>/dev/null || true
run_program "$E2E_TMP/none.err"
sleep 1
grep -q "no audio device" "$E2E_TMP/none.err" || { cat "$E2E_TMP/none.err" >&2; e2e_fail "no word of the missing server"; }
pulse_start
set_frequency $freq
recording=$E2E_TMP/late.raw
pulse_record_start "$recording"
sleep 0.8
click_at "$window" "${start_button[@]}"
sleep 2
click_at "$window" "${stop_button[@]}"
sleep 0.8
pulse_record_stop
echo "(c) start after the server came up late:"
python3 "$here/analyze.py" tone "$recording" --freq $freq --tolerance 1 --min-silence 0.5 \
  --peak "$peak" --level-tolerance 0.03 --max-dropout 0.2 ||
  e2e_fail "no tone from a server that came after the program"

for log in ramps plain none; do
  if grep -qE "AddressSanitizer|ThreadSanitizer|runtime error:" "$E2E_TMP/$log.err"; then
    cat "$E2E_TMP/$log.err" >&2
    e2e_fail "sanitizer report ($log)"
  fi
done
echo "PASS: recovery e2e"
