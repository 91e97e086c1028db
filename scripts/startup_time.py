#!/usr/bin/env python3
"""Start-up time of the generator under Xvfb: from starting the process to the main window's
first paint, as the mean of N runs, with the phases the program reports itself
(SOUNDGEN_STARTUP_TIMES). Given two programs, runs them in turn, side by side.

    scripts/startup_time.py [--runs 20] PROGRAM [OTHER_PROGRAM]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from harness.display import Display  # noqa: E402
from harness.procs import Processes  # noqa: E402

PHASES = ["load", "sound", "toolkit", "fonts", "layouts", "paint", "shown"]


def one_run(procs, program, env):
    spawned = time.monotonic_ns()
    proc = procs.start([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    line = b""
    deadline = time.monotonic() + 30
    try:
        for raw in proc.stderr:
            if raw.startswith(b"startup:"):
                line = raw
                break
            if time.monotonic() > deadline:
                break
    finally:
        procs.end(proc, timeout=10)
        proc.stderr.close()
    if not line:
        sys.exit(f"startup_time: {program} printed no start-up times (exit status {proc.returncode})")
    fields = dict(item.split("=", 1) for item in line.decode().split()[1:])
    result = {"load": (int(fields["main"]) - spawned) / 1e6}
    for phase in PHASES[1:-1]:
        result[phase] = float(fields[phase])
    result["shown"] = result["load"] + float(fields["total"])
    return result


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args()
    if len(args.programs) > 2:
        parser.error("one or two programs")
    if not shutil.which("Xvfb"):
        sys.exit("startup_time: Xvfb is not installed")
    procs = Processes()
    runtime = tempfile.mkdtemp(prefix="startup-")
    os.chmod(runtime, 0o700)
    results = {p: [] for p in args.programs}
    try:
        display = Display(procs, os.path.join(runtime, "xvfb.log"), "1280x1024x24")
        env = procs.env(DISPLAY=display.name, SOUNDGEN_STARTUP_TIMES="1", SDL_AUDIODRIVER="dummy",
                        QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY=None)
        # One warm-up each so that the first measured run does not pay for a cold file cache.
        for program in args.programs:
            one_run(procs, program, env)
        for _ in range(args.runs):
            for program in args.programs:
                results[program].append(one_run(procs, program, env))
    finally:
        left = procs.close()
        shutil.rmtree(runtime, ignore_errors=True)
    if left:
        sys.exit("startup_time: processes left behind:\n  " + "\n  ".join(left))

    print(f"mean of {args.runs} runs in ms (standard deviation)")
    print("phase     " + "".join(f"{os.path.basename(os.path.dirname(os.path.abspath(p)))[:10] + ':' + str(i):>20}"
                                  for i, p in enumerate(args.programs)))
    for phase in PHASES:
        row = f"{phase:<10}"
        for program in args.programs:
            values = [r[phase] for r in results[program]]
            row += f"{statistics.mean(values):>12.2f} ({statistics.stdev(values):5.2f})"
        print(row)
    if len(args.programs) == 2:
        a, b = (statistics.mean(r["shown"] for r in results[p]) for p in args.programs)
        print(f"shown: second / first = {b / a:.3f}")


if __name__ == "__main__":
    main()
