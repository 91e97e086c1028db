#!/usr/bin/env bash
# CPU time of the program (and of the private sound server) on a virtual display with a null
# sink, from /proc, the pointer away from the window: idle, then during an endless tone.
#
# cpu_usage.sh <build-dir> [SECONDS]   (default 60 s per phase)
# Prints one line per phase: percent of one core for the program, its threads, and the server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: cpu_usage.sh <build-dir> [SECONDS]}" && pwd)
seconds=${2:-60}
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

# measure <phase>: CPU over $seconds of the program, each of its threads and the sound server.
measure() {
  python3 - "$1" "$seconds" "$program_pid" "$PULSE_PID" <<'PY'
import os, sys, time
phase, seconds, pid, server = sys.argv[1], float(sys.argv[2]), sys.argv[3], sys.argv[4]
tick = os.sysconf("SC_CLK_TCK")

def ticks(path):
    with open(path) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])

def threads():
    out = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/comm") as f:
                name = f.read().strip()
            out[tid] = (name, ticks(f"/proc/{pid}/task/{tid}/stat"))
        except OSError:
            pass
    return out

before = (ticks(f"/proc/{pid}/stat"), ticks(f"/proc/{server}/stat"), threads())
start = time.monotonic()
time.sleep(seconds)
after = (ticks(f"/proc/{pid}/stat"), ticks(f"/proc/{server}/stat"), threads())
wall = time.monotonic() - start
pct = lambda t: 100.0 * t / tick / wall
per = {}
for tid, (name, t) in after[2].items():
    per[name] = per.get(name, 0) + t - before[2].get(tid, (name, 0))[1]
busy = ", ".join(f"{n} {pct(t):.2f}" for n, t in sorted(per.items(), key=lambda x: -x[1]) if t)
print(f"{phase}: program {pct(after[0] - before[0]):.3f} % of a core over {wall:.0f} s "
      f"(threads: {busy or 'none'}); server {pct(after[1] - before[1]):.3f} %")
PY
}

# Pointer off the window, and time for start-up work to settle.
xdotool mousemove 1000 700
sleep 5
measure idle
click_at "$window" 113 614
xdotool mousemove 1000 700
sleep 2
measure "endless tone"
click_at "$window" 236 614
