#!/usr/bin/env bash
# Whole-process speed of "soundgen --export" for the longest image the window asks for (30 s of
# 16-bit stereo at 96000/s, a 440 Hz sine, 11520000 data bytes) against sox writing a WAV of the
# same format, length and tone; then the same for a 30 s logarithmic sweep from 100 Hz to 10 kHz
# (sox: "sine 100/10000", its exponential sweep). The two commands of a pair run in turn, A B A B ..., and the ratio is taken
# pair by pair, so a machine whose speed drifts during the run still gives a fair figure; the
# median of the pairs is the result. Not part of the test suite.
#
# bench/cli_export_bench.sh <build-dir> [runs]      (needs sox: apt-get install sox)
set -euo pipefail
build=$(cd "${1:?usage: cli_export_bench.sh <build-dir> [runs]}" && pwd)
runs=${2:-11}
program=$build/app/soundgen
[ -x "$program" ] || { echo "$program is missing; build the soundgen target first" >&2; exit 1; }
command -v sox >/dev/null || { echo "sox is missing: apt-get install sox" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

python3 - "$program" "$tmp" "$runs" <<'PY'
import os, statistics, subprocess, sys, time

program, tmp, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
common = ["--duration", "30000", "--bits", "16", "--channels", "2", "--rate", "96000"]
sox = ["sox", "-n", "-r", "96000", "-b", "16", "-c", "2", "-e", "signed-integer"]
pairs = [
    ("tone 440 Hz", [program, "--export", f"{tmp}/a.wav", "--frequency", "440"] + common,
     sox + [f"{tmp}/b.wav", "synth", "30", "sine", "440"]),
    ("log sweep 100 Hz to 10 kHz", [program, "--export", f"{tmp}/a.wav", "--sweep", "100:10000"] + common,
     sox + [f"{tmp}/b.wav", "synth", "30", "sine", "100/10000"]),
]

def timed(cmd):
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start

for name, ours, reference in pairs:
    timed(ours); timed(reference)  # warm the file cache and the loader
    a, b = [], []
    for _ in range(runs):
        a.append(timed(ours))
        b.append(timed(reference))
    sizes = (os.path.getsize(f"{tmp}/a.wav"), os.path.getsize(f"{tmp}/b.wav"))
    ratios = [x / y for x, y in zip(a, b)]
    print(f"{name}: files soundgen {sizes[0]} bytes (44 header + 11520000 data + 32 pad), sox {sizes[1]} bytes")
    print(f"  soundgen --export  median {statistics.median(a) * 1000:8.1f} ms  (min {min(a) * 1000:.1f}, max {max(a) * 1000:.1f})")
    print(f"  sox synth          median {statistics.median(b) * 1000:8.1f} ms  (min {min(b) * 1000:.1f}, max {max(b) * 1000:.1f})")
    print(f"  ratio soundgen/sox median {statistics.median(ratios):.2f}  (min {min(ratios):.2f}, max {max(ratios):.2f}, {runs} pairs)")
PY
