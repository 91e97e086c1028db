#!/usr/bin/env python3
"""Latency of the generator's sound under Xvfb with a private PulseAudio null sink, at level 80:
 - start click -> first sound, for starts that find the sound device still open (a start 0.1 s
   after a stop) and for starts after a pause of 2.5 s (the player closes the device once its
   sound has played out);
 - key step -> new frequency: the frequency knob focused, Home and End (20 Hz and 20 kHz) in
   turn while an endless tone sounds.
Prints mean, 95th percentile and worst in ms. The times run from the recording's frame just
before a command goes to an xdotool that is already running to the first frame of the new sound;
the recorder's own buffering (about 20 ms) can make a time come out that much short. Given two
programs, measures them in turn on the same display and server.

    scripts/latency.py [--starts 20] [--load] [--program PATH [--program OTHER]]

--load keeps both cores busy with two endless loops while measuring.
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from harness import analyze  # noqa: E402
from harness.session import add_program_arguments, measure_programs, KNOB_FREQ, START, STOP  # noqa: E402
from harness.sound import RATE  # noqa: E402
from harness.xinput import XdoPipe, wait_idle  # noqa: E402

LEVEL = 80
ONSET_THRESHOLD = 64
OPEN_PAUSE, CLOSED_PAUSE = 0.1, 2.5  # stop -> next start, either side of the player's idle hold


def starts(session, pipe, name, count, pause):
    """Start click -> first sound of `count` starts, each `pause` s after a stop. One start goes
    first unmeasured, so that the first measured one finds the device as the others do. Returns
    the delays and how many starts found the device open (the program's stream at the server)."""
    window = session.app.window
    rec = session.sound.record(os.path.join(session.folder, f"{name}.raw"))
    rec.wait_seconds(0.5)
    pipe.marks = []
    found_open = 0
    for i in range(count + 1):
        pipe.send(f"mousemove --window {window} {START[0]} {START[1]}")
        if i:
            found_open += bool(session.sound.pactl("list", "short", "sink-inputs").strip())
        rec.wait_seconds(0.1)
        if i:
            pipe.timed(rec, "click 1")
        else:
            pipe.send("click 1")
        rec.wait_seconds(0.35)
        pipe.send(f"mousemove --window {window} {STOP[0]} {STOP[1]} click 1")
        rec.wait_seconds(pause)
    rec.wait_seconds(0.2)
    rec.stop()
    left, right = analyze.load(rec.path, RATE)
    return analyze.onset_delays(left, right, pipe.marks, ONSET_THRESHOLD, RATE), found_open


def key_steps(session, pipe, count):
    """Key step -> new frequency of `count` steps between 20 Hz and 20 kHz during endless sound."""
    rec = session.sound.record(os.path.join(session.folder, "steps.raw"))
    rec.wait_seconds(0.5)
    session.click(START)
    session.click(KNOB_FREQ)
    session.xdo.key("Home")
    wait_idle(session.app.pid)
    rec.wait_seconds(0.4)
    pipe.marks = []
    freqs = []
    for i in range(count):
        key, old = ("End", 20) if i % 2 == 0 else ("Home", 20000)
        pipe.timed(rec, f"key {key}")
        freqs.append(old)
        rec.wait_seconds(0.3)
    session.click(STOP)
    rec.stop()
    left, _ = analyze.load(rec.path, RATE)
    return analyze.change_delays(left, pipe.marks, freqs, RATE)


def run_program(session, program, index, count):
    session.launch(program, f"program{index}", LEVEL)
    pipe = XdoPipe(session.procs, session.xdo)
    open_delays, found_open = starts(session, pipe, f"open{index}", count, OPEN_PAUSE)
    closed_delays, closed_open = starts(session, pipe, f"closed{index}", count, CLOSED_PAUSE)
    rows = [(f"start, device open ({found_open}/{count} found it open)", open_delays),
            (f"start, device closed ({count - closed_open}/{count} found it closed)", closed_delays),
            ("key step -> new frequency", key_steps(session, pipe, count))]
    pipe.close()
    session.end_program()
    return rows


def row(name, found):
    delays = [d * 1000 for _, d in found if d is not None]
    missing = len(found) - len(delays)
    text = f"  {name:<46} {len(delays):>4}"
    if delays:
        text += (f" {sum(delays) / len(delays):8.1f} {analyze.percentile(delays, 0.95):8.1f}"
                 f" {max(delays):8.1f}")
    return text + (f"   ({missing} without a new sound)" if missing else "")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--starts", type=int, default=20, help="measured starts of each kind, and key steps")
    add_program_arguments(parser)
    args = parser.parse_args()
    programs, results = measure_programs("latency", parser, args,
                                         lambda session, program, index: run_program(session, program, index, args.starts))
    print(f"latency in ms ({'both cores busy' if args.load else 'quiet machine'})")
    for index, (program, rows) in enumerate(zip(programs, results), 1):
        print(f"{index}: {program}\n  {'':<46} {'n':>4} {'mean':>8} {'95th':>8} {'worst':>8}")
        for name, found in rows:
            print(row(name, found))


if __name__ == "__main__":
    main()
