#!/usr/bin/env bash
# The sound player against a real sound server: a looping 1000 Hz sine with the device volume
# 0x7FFFFFFF (left full, right half) is recorded from a PulseAudio null sink; the recording must
# be silent before the play, carry the tone at the right frequency and channel levels while it
# plays, and be silent again after the stop while the program is still running. A second run
# keeps both processors busy with three spinning loops: the tone must still come through without
# gaps, as it must on a desktop where other programs are working.
#
# player_e2e.sh <build-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: player_e2e.sh <build-dir>}" && pwd)
probe=$build/tests/e2e/player_probe
[ -x "$probe" ] || { echo "FAIL: $probe is missing; build the project first" >&2; exit 1; }

source "$here/audio.sh"
e2e_init
pulse_start

freq=1000
amplitude=16384 # half of full scale
play_ms=3000
# A sine of amplitude A has an RMS of A/sqrt(2); the volume word scales left by 0xFFFF/0xFFFF
# and right by 0x7FFF/0xFFFF.
left_rms=$(python3 -c "print($amplitude / 2 ** 0.5)")
right_rms=$(python3 -c "print($amplitude / 2 ** 0.5 * 0x7FFF / 0xFFFF)")

# measure <name> <largest dropout share>
measure() {
  local recording=$E2E_TMP/player_$1.raw
  pulse_record_start "$recording"
  sleep 1
  SDL_AUDIODRIVER=pulseaudio "$probe" --freq $freq --rate 96000 --amplitude $amplitude \
    --volume 0x7FFFFFFF --play-ms $play_ms --after-ms 1000 >"$E2E_TMP/probe.out" 2>"$E2E_TMP/probe.err" ||
    { cat "$E2E_TMP/probe.err" >&2; e2e_fail "player_probe failed ($1)"; }
  e2e_check_stderr "$E2E_TMP/probe.err" "the player"
  sleep 0.5
  pulse_record_stop
  echo "$1:"
  python3 "$here/analyze.py" tone "$recording" --freq $freq --tolerance 1 \
    --left-rms "$left_rms" --right-rms "$right_rms" --level-tolerance 0.05 \
    --ratio "$(python3 -c "print(0x7FFF / 0xFFFF)")" --ratio-tolerance 0.02 \
    --duration "$(python3 -c "print($play_ms / 1000)")" --duration-tolerance 0.4 --min-silence 0.5 \
    --max-dropout "$2" ||
    e2e_fail "player e2e ($1): the recorded sound does not match (see above)"
}

measure quiet 0.002

spinners=()
for _ in 1 2 3; do
  (while :; do :; done) &
  spinners+=($!)
  e2e_track_pid $!
done
measure "processors busy" 0.002
kill "${spinners[@]}" 2>/dev/null || true

echo "PASS: player e2e"
