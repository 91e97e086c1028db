#!/usr/bin/env bash
# The generator on the command line, as a script uses it: "--play" for a set time with no display,
# its sound going to a private PulseAudio null sink. The program must end by itself, and the
# recording must hold the tone at the set frequency and device level for the set time, silent
# before and after. A looping play must keep sounding until interrupted and then end cleanly.
#
# cli_e2e.sh <build-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: cli_e2e.sh <build-dir>}" && pwd)
program=$build/app/soundgen
[ -x "$program" ] || { echo "FAIL: $program is missing; build the project first" >&2; exit 1; }

source "$here/audio.sh"
e2e_init
pulse_start

freq=1000
level=50
play_ms=2000
# A full-level sine peaks at 32767; the device level scales it by level * 65535 div 100 / 65535.
rms=$(python3 -c "print(32767 / 2 ** 0.5 * ($level * 65535 // 100) / 65535)")

recording=$E2E_TMP/cli_timed.raw
pulse_record_start "$recording"
sleep 1
start=$(date +%s%N)
status=0
env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=pulseaudio timeout 20 "$program" --play \
  --frequency $freq --duration $play_ms --level $level >"$E2E_TMP/cli.out" 2>"$E2E_TMP/cli.err" || status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
e2e_check_stderr "$E2E_TMP/cli.err" "the program"
[ $status = 0 ] || { cat "$E2E_TMP/cli.err" >&2; e2e_fail "--play ended with status $status (124: it did not end by itself)"; }
[ $elapsed_ms -ge $play_ms ] || e2e_fail "--play ended after $elapsed_ms ms, before its $play_ms ms"
echo "timed play ended by itself after $elapsed_ms ms"
sleep 0.5
pulse_record_stop
python3 "$here/analyze.py" tone "$recording" --freq $freq --tolerance 1 \
  --left-rms "$rms" --right-rms "$rms" --level-tolerance 0.05 --ratio 1 --ratio-tolerance 0.02 \
  --duration "$(python3 -c "print($play_ms / 1000)")" --duration-tolerance 0.04 --min-silence 0.5 ||
  e2e_fail "the recorded sound of --play does not match (see above; shorter: its end was cut off)"

# Looping: sounds past its one-second image, ends on an interrupt with status 0 and silence after.
recording=$E2E_TMP/cli_loop.raw
pulse_record_start "$recording"
sleep 1
env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=pulseaudio "$program" --play --loop \
  --frequency 500 --duration 1000 --level $level >"$E2E_TMP/loop.out" 2>"$E2E_TMP/loop.err" &
loop_pid=$!
e2e_track_pid $loop_pid
sleep 2.5
kill -0 $loop_pid 2>/dev/null || e2e_fail "--play --loop ended by itself"
kill -INT $loop_pid
status=0
wait $loop_pid || status=$?
[ $status = 0 ] || { cat "$E2E_TMP/loop.err" >&2; e2e_fail "--play --loop ended with status $status on an interrupt"; }
e2e_check_stderr "$E2E_TMP/loop.err" "the looping program"
sleep 1
pulse_record_stop
python3 "$here/analyze.py" tone "$recording" --freq 500 --tolerance 1 \
  --left-rms "$rms" --right-rms "$rms" --level-tolerance 0.05 \
  --duration 2.5 --duration-tolerance 0.5 --min-silence 0.5 ||
  e2e_fail "the recorded sound of --play --loop does not match (see above)"

echo "PASS: command line e2e"
