#!/usr/bin/env python3
"""Processor time of the generator under Xvfb with its sound going to a private PulseAudio null
sink, the pointer away from the window: first the idle window, then an endless tone at level 80
(started with the start button, stopped at the end). Prints the share of one core for the whole
program, for each of its threads (by name) and for the sound server. Given two programs, measures
them in turn on the same display and server, and prints the second's total over the first's.

    scripts/cpu_usage.py [--seconds 60] [--load] [--program PATH [--program OTHER]]

--load keeps both cores busy with two endless loops while measuring.
"""
import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from harness import analyze, cpu  # noqa: E402
from harness.session import add_program_arguments, measure_programs, START, STOP  # noqa: E402
from harness.sound import RATE  # noqa: E402

LEVEL = 80
IDLE_SETTLE = 8.0  # start-up work and a hint that may have opened (it closes after 7 s) are over
TONE_SETTLE = 2.0
AUDIBLE_PEAK = 1000


def measure(seconds, app, server_pid):
    """{"program": %, "server": %, "threads": {name: %}} over `seconds`."""
    before, server_before = cpu.Snapshot(app.pid), cpu.process_ns(server_pid)
    time.sleep(seconds)
    if not app.running():
        sys.exit(f"cpu_usage: the program ended while measured (status {app.proc.returncode}):\n{app.stderr()}")
    after, server_after = cpu.Snapshot(app.pid), cpu.process_ns(server_pid)
    wall = after.wall - before.wall
    threads = cpu.by_name(before.threads, after.threads)
    return {"program": cpu.percent(after.total - before.total, wall),
            "server": cpu.percent(server_after - server_before, wall),
            "threads": {name: cpu.percent(ns, wall) for name, ns in threads.items()}}


def check_audible(session, path):
    """Fails unless the tone sounds: half a second recorded before measuring, so that the
    recorder's own work stays out of the measurement."""
    rec = session.sound.record(path)
    rec.wait_seconds(0.5)
    rec.stop()
    left, right = analyze.load(path, RATE)
    peak = max(max(map(abs, left), default=0), max(map(abs, right), default=0))
    if peak < AUDIBLE_PEAK:
        sys.exit(f"cpu_usage: no tone at the sink (peak {peak})")


def run_program(session, program, index, seconds):
    app = session.launch(program, f"program{index}", LEVEL)
    session.pointer_away()
    time.sleep(IDLE_SETTLE)
    results = {"idle": measure(seconds, app, session.sound.proc.pid)}
    session.click(START)
    session.pointer_away()
    time.sleep(TONE_SETTLE)
    check_audible(session, os.path.join(session.folder, f"tone{index}.raw"))
    results["endless tone"] = measure(seconds, app, session.sound.proc.pid)
    session.click(STOP)
    session.end_program()
    return results


def line(phase, result):
    threads = ", ".join(f"{name} {share:.3f}" for name, share in sorted(result["threads"].items(), key=lambda t: -t[1])
                        if share > 0)
    return (f"  {phase:<13} program {result['program']:7.3f} %   sound server {result['server']:7.3f} %"
            f"   threads: {threads or 'none'}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seconds", type=float, default=60)
    add_program_arguments(parser)
    args = parser.parse_args()
    programs, results = measure_programs("cpu_usage", parser, args,
                                         lambda session, program, index: run_program(session, program, index, args.seconds))
    load = "both cores busy" if args.load else "quiet machine"
    print(f"share of one core over {args.seconds:g} s per phase ({load})")
    for index, (program, result) in enumerate(zip(programs, results), 1):
        print(f"{index}: {program}")
        for phase, values in result.items():
            print(line(phase, values))
    if len(results) == 2:
        for phase in results[0]:
            first, second = (r[phase]["program"] for r in results)
            print(f"{phase}: second / first = {second / first:.3f}" if first else f"{phase}: first used no time")


if __name__ == "__main__":
    main()
