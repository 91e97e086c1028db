#!/usr/bin/env bash
# Start click -> first sound on a virtual display with a null sink, for starts that find the
# sound device still open (a start soon after a stop) and starts after a long enough pause that
# the player has closed it.
#
# start_latency.sh <build-dir> [STARTS]   (default 20 of each)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: start_latency.sh <build-dir> [STARTS]}" && pwd)
starts=${2:-20}
program=$build/app/soundgen
[ -x "$program" ] || { echo "FAIL: $program is missing; build it first" >&2; exit 1; }

source "$root/tests/e2e/audio.sh"
source "$root/tests/e2e/app_display.sh"
e2e_init
display_start
pulse_start
SDL_AUDIODRIVER=pulseaudio "$program" >/dev/null 2>"$E2E_TMP/program.err" &
program_pid=$!
e2e_track_pid $program_pid
window=$(window_wait "Звуковой генератор" $program_pid) || { cat "$E2E_TMP/program.err" >&2; exit 1; }

# Level 80 (the window starts at 0).
click_at "$window" 125 463
xdotool key --delay 5 Home
xdotool key --repeat 80 --delay 5 Prior

# One xdotool reading commands as they come, each command marked by the recording's size.
mkfifo "$E2E_TMP/xdo"
xdotool - <"$E2E_TMP/xdo" >/dev/null 2>&1 &
e2e_track_pid $!
exec 9>"$E2E_TMP/xdo"

# measure <name> <pause after each stop>
measure() {
  local recording=$E2E_TMP/$1.raw marks=""
  pulse_record_start "$recording"
  sleep 0.5
  for _ in $(seq "$starts"); do
    echo "mousemove --window $window 113 614" >&9
    sleep 0.1
    marks="$marks$(($(stat -c %s "$recording") / 4)),"
    echo "click 1" >&9
    sleep 0.35
    echo "mousemove --window $window 236 614 click 1" >&9
    sleep "$2"
  done
  pulse_record_stop
  echo "$1:"
  python3 "$root/tests/e2e/analyze.py" onsets "$recording" --marks "$marks"
}
sleep 3
measure "device open" 0.25
measure "device closed" 2.5
exec 9>&-
