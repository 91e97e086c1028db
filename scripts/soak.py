#!/usr/bin/env python3
"""Soak run: the real program on a virtual display plays endless sound for a given time while a
driver turns the knobs, types values, switches the fold-out choices and starts and stops at
random. Fails on memory growth of more than 5 MiB over the warm-up's peak, any gap inside
sounding sound, any click or unramped start/stop, or a frequency error above 0.01 %.

    soak.py [minutes] [build-dir]      default 60 minutes, build dir build/ (built if needed)
    SOAK_PROGRAM=/path/to/soundgen     take that program instead of building one
    SOAK_SEED=N                        repeat a run's random choices

The table and summary go to standard output and to <build-dir>/artifacts/soak/soak.txt; the
driver's actions and the position of every fault found to <build-dir>/artifacts/soak/actions.log.
Not part of the test command: it takes the given time.

The sound is recorded into pieces (<chunks>/chunk_00000, ...) of CHUNK_SECONDS each. Every minute: random knob turns,
typed values, fold-out choices and starts/stops for most of it, then a probe: a known frequency,
sine, endless, start, and the recorded frequency is measured. Memory and CPU time come from
/proc. Every completed piece of the recording is checked for gaps, abrupt edges and clicks and
deleted, so the disk holds at most a few pieces.
"""

import argparse
import glob
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, ROOT)

from harness import soak_analysis as sa  # noqa: E402
from harness.layout import Layout  # noqa: E402

PROBE_SETTLE = 1.0
PROBE_SECONDS = 6.0
PROBE_LEVEL = 80
FREQ_TOLERANCE = 1e-4  # 0.01 %
WARNING_TITLE = "Внимание!"

# Window coordinates of the controls (fold-out panel open).
FORM = Layout("Form1.layout")
FREQ_KNOB, LEVEL_KNOB = FORM.centre("iKnob1"), FORM.centre("iKnob2")
START, STOP = FORM.centre("LbButton1"), FORM.centre("LbButton2")
FOLD_OUT = FORM.centre("SpeedButton5")
# The marks of the radio buttons and the check box, 12 pixels in; the waveforms sine, saw,
# square, triangle and noise.
WAVE_RADIOS = [FORM.left_middle(f"RadioButton{i}", 11) for i in range(1, 6)]
BITS_RADIOS = {8: FORM.left_middle("RadioButton6", 12), 16: FORM.left_middle("RadioButton7", 12)}
CHANNEL_RADIOS = {"mono": FORM.left_middle("RadioButton8", 12), "stereo": FORM.left_middle("RadioButton9", 12)}
ENDLESS_BOX = FORM.left_middle("CheckBox1", 12)
DURATION_EDIT = FORM.centre("Edit3")
FREQ_EDIT, FREQ_SET, FREQ_SHOW = FORM.centre("Edit1"), FORM.centre("BitBtn2"), FORM.centre("SpeedButton6")
LEVEL_EDIT, LEVEL_SET, LEVEL_SHOW = FORM.centre("Edit2"), FORM.centre("BitBtn3"), FORM.centre("SpeedButton7")


def stamp(wall):
    """Wall-clock time to the millisecond, as the actions log writes it."""
    if wall is None:
        return "--:--:--.---"
    return time.strftime("%H:%M:%S", time.localtime(wall)) + f".{int(wall * 1000) % 1000:03d}"


class Xdo:
    def __init__(self, window, log):
        self.window = window
        self.log = log

    def run(self, *args):
        subprocess.run(["xdotool", *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=20)

    def click(self, pos, button=1):
        self.run("mousemove", "--window", self.window, str(pos[0]), str(pos[1]), "sleep", "0.05", "click", str(button))
        time.sleep(0.1)

    def keys(self, *keys, delay=10):
        self.run("key", "--delay", str(delay), *keys)

    def type_digits(self, text):
        self.run("type", "--delay", "20", text)

    def drag(self, start, moves):
        args = ["mousemove", "--window", self.window, str(start[0]), str(start[1]), "sleep", "0.05", "mousedown", "1"]
        for dx, dy in moves:
            args += ["sleep", "0.03", "mousemove_relative", "--", str(dx), str(dy)]
        args += ["sleep", "0.05", "mouseup", "1"]
        self.run(*args)

    def dismiss_warnings(self):
        """Closes any warning box a typed value brought up; returns how many there were."""
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{WARNING_TITLE}$"],
                               capture_output=True, text=True, timeout=20).stdout.split()
        for box in found:
            self.run("windowfocus", "--sync", box)
            self.run("key", "--window", box, "Return")
            time.sleep(0.2)
        if found:
            self.run("windowfocus", "--sync", self.window)
        return len(found)


class Driver:
    def __init__(self, xdo, rng, log):
        self.x = xdo
        self.rng = rng
        self.log = log
        self.endless_checked = True
        self.endless_playing = False  # start button disabled
        self.freq_entry = False
        self.level_entry = False
        self.timed_since = None  # frame where timed sounds began to be possible
        self.timed_spans = []  # [first, last) frames where a timed sound may end by itself
        self.actions = 0
        self.warnings = 0

    def note(self, what):
        self.actions += 1
        print(f"  {stamp(time.time())} {what}", file=self.log, flush=True)

    # Plain operations, each keeping the driver's picture of the window.
    def start(self, rec):
        self.x.click(START)
        if self.endless_checked:
            self.endless_playing = True
        elif self.timed_since is None:
            self.timed_since = rec.position()

    def stop(self):
        self.x.click(STOP)
        self.endless_playing = False

    def toggle_endless(self):
        self.x.click(ENDLESS_BOX)
        self.endless_checked = not self.endless_checked

    def type_into(self, field, text):
        self.x.click(field)
        self.x.keys("End", *["BackSpace"] * 8, delay=5)
        self.x.type_digits(text)

    def set_frequency(self, hz, press_set=True):
        if not self.freq_entry:
            self.x.click(FREQ_SHOW)
            self.freq_entry = True
        self.type_into(FREQ_EDIT, str(hz))
        if press_set:
            self.x.click(FREQ_SET)

    def set_level(self, level, press_set=True):
        if not self.level_entry:
            self.x.click(LEVEL_SHOW)
            self.level_entry = True
        self.type_into(LEVEL_EDIT, str(level))
        if press_set:
            self.x.click(LEVEL_SET)

    def end_timed(self, rec):
        if self.timed_since is not None:
            # A 30 s sound started at the end may still be running; it is stopped below anyway.
            self.timed_spans.append((self.timed_since, rec.position() + sa.RATE // 2))
            self.timed_since = None

    def endless_again(self, rec):
        """Back to endless sound, as a user would get there."""
        if not self.endless_checked:
            self.toggle_endless()
        if self.endless_playing:
            self.stop()
        self.start(rec)
        self.end_timed(rec)

    def knob(self, pos, name):
        # Drags and End jump far, mostly to high tones where a cut hides among the tone's own
        # steps; small steps keep most of the run where a click would show.
        how = self.rng.choices(["drag", "wheel", "keys"], weights=[2, 4, 4])[0]
        if how == "drag":
            moves = [(self.rng.randint(-15, 15), self.rng.randint(-15, 15)) for _ in range(self.rng.randint(2, 12))]
            dx = self.rng.randint(-50, 50)
            self.x.drag((pos[0] + dx, pos[1] - 40), moves)
        elif how == "wheel":
            self.x.run("mousemove", "--window", self.x.window, str(pos[0]), str(pos[1]))
            self.x.run("click", "--repeat", str(self.rng.randint(1, 6)), "--delay", "40", self.rng.choice(["4", "5"]))
        else:
            self.x.click(pos)
            key = self.rng.choices(["Up", "Down", "Left", "Right", "Prior", "Next", "Home", "End"],
                                   weights=[3, 3, 3, 3, 4, 4, 1, 1])[0]
            self.x.keys(*[key] * self.rng.randint(1, 5), delay=30)
        self.note(f"{name} knob: {how}")

    def random_action(self, rec):
        r = self.rng.random()
        if r < 0.27:
            self.knob(FREQ_KNOB, "frequency")
        elif r < 0.37:
            self.knob(LEVEL_KNOB, "level")
        elif r < 0.50:
            hz = self.rng.choices([self.rng.randint(0, 20000), self.rng.randint(20, 2000), self.rng.randint(20000, 99999)],
                                  weights=[3, 6, 1])[0]
            press = self.rng.random() < 0.8
            self.set_frequency(hz, press)
            self.note(f"frequency typed {hz}{', set' if press else ''}")
        elif r < 0.57:
            level = self.rng.choice([self.rng.randint(0, 100), self.rng.randint(30, 100), self.rng.randint(100, 999)])
            press = self.rng.random() < 0.8
            self.set_level(level, press)
            self.note(f"level typed {level}{', set' if press else ''}")
        elif r < 0.70:
            i = self.rng.randrange(5)
            self.x.click(WAVE_RADIOS[i])
            self.note(f"waveform {['sine', 'sawtooth', 'square', 'triangle', 'noise'][i]}")
        elif r < 0.76:
            bits = self.rng.choice([8, 16])
            self.x.click(BITS_RADIOS[bits])
            self.note(f"{bits} bit")
        elif r < 0.82:
            ch = self.rng.choice(["mono", "stereo"])
            self.x.click(CHANNEL_RADIOS[ch])
            self.note(ch)
        elif r < 0.87:
            self.stop()
            time.sleep(self.rng.uniform(0.1, 1.5))
            self.start(rec)
            self.note("stop, start")
        elif r < 0.91:
            # A timed stretch: unchecked box, a typed duration, a start, knob turns.
            if self.endless_checked:
                self.toggle_endless()
            ms = self.rng.choice([self.rng.randint(0, 3000), self.rng.randint(10, 500), 45000])
            self.type_into(DURATION_EDIT, str(ms))
            self.start(rec)
            self.note(f"timed {ms} ms")
            for _ in range(self.rng.randint(0, 3)):
                time.sleep(self.rng.uniform(0.2, 1.0))
                self.knob(FREQ_KNOB if self.rng.random() < 0.7 else LEVEL_KNOB, "timed")
            time.sleep(self.rng.uniform(0.3, 2.0))
            self.endless_again(rec)
            self.note("endless again")
        elif r < 0.95:
            button = self.rng.choice([FREQ_SHOW, LEVEL_SHOW])
            self.x.click(button)
            time.sleep(self.rng.uniform(0.1, 1.0))
            self.x.click(button)
            self.note("entry show/hide twice")
        else:
            self.endless_again(rec)
            self.note("endless again")
        self.warnings += self.x.dismiss_warnings()
        # Mostly endless sound: put it back when a choice left the window idle.
        if not self.endless_playing and self.rng.random() < 0.8:
            self.endless_again(rec)
            self.note("endless again")

    def biggest_image(self, rec):
        """One timed start of the largest image (30000 ms, 16-bit stereo), stopped at once: the
        heap has seen its high-water mark within the warm-up."""
        self.x.click(WAVE_RADIOS[0])
        self.x.click(BITS_RADIOS[16])
        self.x.click(CHANNEL_RADIOS["stereo"])
        if self.endless_checked:
            self.toggle_endless()
        self.type_into(DURATION_EDIT, "30000")
        self.start(rec)
        time.sleep(1.0)
        self.endless_again(rec)
        self.note("largest image built")

    def probe(self, rec, hz):
        """Known state: sine, 16 bit, mono, level 80, endless at hz. Returns the frame it was
        started at."""
        self.warnings += self.x.dismiss_warnings()
        if not self.endless_checked:
            self.toggle_endless()
        self.stop()
        self.x.click(WAVE_RADIOS[0])
        self.x.click(BITS_RADIOS[16])
        self.x.click(CHANNEL_RADIOS["mono"])
        self.set_level(PROBE_LEVEL)
        self.set_frequency(hz)
        self.warnings += self.x.dismiss_warnings()
        self.start(rec)
        self.end_timed(rec)
        self.note(f"probe {hz} Hz")


def stall_probe(path):
    """Sleeps 2 ms at a time and writes down every wake-up more than 8 ms late: what a thread at
    the program's priority gets of the machine."""
    with open(path, "a", buffering=1) as out:
        while True:
            t = time.monotonic()
            time.sleep(0.002)
            late = (time.monotonic() - t - 0.002) * 1000
            if late > 8:
                out.write(f"{time.time():.3f} {late:.1f}\n")


def start_stall_probe(path, pid):
    from harness.procs import die_with_parent

    def same_priority():
        die_with_parent()
        try:
            os.sched_setscheduler(0, os.SCHED_OTHER, os.sched_param(0))
            os.setpriority(os.PRIO_PROCESS, 0, os.getpriority(os.PRIO_PROCESS, pid))
        except OSError:
            pass

    return subprocess.Popen([sys.executable, os.path.abspath(__file__), "--stall-probe", path],
                            preexec_fn=same_priority)


def read_stalls(path):
    try:
        with open(path) as f:
            return [(float(a), float(b)) for a, b in (line.split() for line in f if line.strip())]
    except OSError:
        return []


def proc_sample(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    cpu = (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    rss = pss = 0
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            if line.startswith("Rss:"):
                rss = int(line.split()[1])
            elif line.startswith("Pss:"):
                pss = int(line.split()[1])
    with open("/proc/loadavg") as f:
        load = f.read().split()[0]
    return cpu, rss / 1024.0, pss / 1024.0, float(load)


def drive(args):
    """The run proper, against the program with pid args.pid showing args.window."""

    # The driver and the checks yield to everything else: their own bursts of work must not be
    # what starves the player on a busy machine.
    try:
        os.sched_setscheduler(0, os.SCHED_BATCH, os.sched_param(0))
    except (OSError, AttributeError):
        pass
    seed = args.seed if args.seed is not None else int(time.time())
    rng = random.Random(seed)
    log = open(args.log, "a", encoding="utf-8")
    xdo = Xdo(args.window, log)
    rec = sa.Recording(args.chunks)
    drv = Driver(xdo, rng, log)
    warmup = 1 if args.minutes < 10 else 2
    print(f"seed {seed}; {args.minutes} minutes; warm-up {warmup} min; memory bound: +{args.memory_bound_mib} MiB "
          f"over the largest RSS of the warm-up; frequency tolerance {FREQ_TOLERANCE * 100:g} %")
    print(f"{'min':>3} {'RSS MiB':>8} {'PSS MiB':>8} {'CPU %':>6} {'load1':>5} {'expect Hz':>9} {'measured Hz':>13} "
          f"{'error %':>9} {'periods':>7} {'gaps':>4} {'clicks':>6} {'edges':>5} {'t-ends':>6} {'acts':>4} "
          f"{'stalls':>6} {'worst ms':>8} {'gaps@stall':>10} {'underruns':>9} {'gaps@underrun':>13}", flush=True)
    stall_path = os.path.join(os.path.dirname(os.path.abspath(args.log)), "stalls.txt")
    open(stall_path, "w").close()
    prober = start_stall_probe(stall_path, args.pid)
    clock = sa.WallClock()
    stall_totals = {"stalls": 0, "gaps_at": 0, "underruns": 0, "gaps_at_underrun": 0}

    def underruns():
        if not args.server_log:
            return []
        try:
            with open(args.server_log, encoding="utf-8", errors="replace") as f:
                return sa.server_underruns(f.read(), args.server_started)
        except OSError:
            return []

    stall_cut = time.time()
    underrun_cut = stall_cut

    failures = []
    rows = []
    totals = {"gaps": 0, "clicks": 0, "edges": 0, "tends": 0}
    probes = []  # (minute, first frame, last frame, hz)
    cpu0, _, _, _ = proc_sample(args.pid)
    t0 = time.monotonic()
    last_cpu, last_t = cpu0, t0
    baseline = 0.0

    xdo.run("windowfocus", "--sync", args.window)
    xdo.click(FOLD_OUT)  # the fold-out panel stays open: its choices are driven
    drv.set_level(PROBE_LEVEL)
    drv.endless_again(rec)

    excerpts = {"left": 40}
    folder = os.path.dirname(os.path.abspath(args.log))
    for old in glob.glob(os.path.join(folder, "fault_*.raw")):
        os.remove(old)

    def keep_excerpt(x, i, start, kind):
        """Half a second either side of a fault, for a look afterwards (at most 40 files)."""
        if excerpts["left"] <= 0:
            return
        excerpts["left"] -= 1
        lo, hi = max(0, i - sa.RATE // 2), min(len(x), i + sa.RATE // 2)
        name = os.path.join(folder, f"fault_{(start + i) / sa.RATE:09.3f}s_{kind}.raw")
        with open(name, "wb") as f:
            f.write(x[lo:hi].astype("<i2").tobytes())

    def report(what, at):
        # Pieces are checked some 10-20 s after they sounded, so a fault's line comes after later
        # actions: the wall-clock time it sounded (recording latency included) ties it to one.
        print(f"  {what} at {at / sa.RATE:.3f} s of the recording, sounded about {stamp(clock.wall(at))}", file=log,
              flush=True)

    def scan(keep_after, final=False, counts=None):
        """Checks the finished pieces; adds to `counts` (a fresh dict when None) and returns it."""
        if counts is None:
            counts = {"gaps": 0, "clicks": 0, "edges": 0, "tends": 0, "gap_walls": []}
        for start, x, report_from, report_to in rec.take(keep_after, final):
            for s, n, kind in sa.silences(x):
                at = start + s
                if kind == "ramp" or not report_from <= at < report_to:
                    continue
                if kind == "gap":
                    counts["gaps"] += 1
                    counts["gap_walls"].append(clock.wall(at))
                elif kind == "edge-out" and any(a <= at < b for a, b in drv.timed_spans):
                    counts["tends"] += 1  # a timed sound ends on its last sample, unramped
                    continue
                else:
                    counts["edges"] += 1
                report(f"{kind} of {n} frames", at)
                keep_excerpt(x, s, start, kind)
            for i in sa.clicks(x):
                if not report_from <= start + i < report_to:
                    continue
                counts["clicks"] += 1
                report("click", start + i)
                keep_excerpt(x, i, start, "click")
        return counts

    for minute in range(1, args.minutes + 1):
        minute_end = t0 + 60 * minute
        probe_at = minute_end - (PROBE_SETTLE + PROBE_SECONDS + 6)
        if minute == 1:
            drv.biggest_image(rec)
        print(f"minute {minute}", file=log, flush=True)
        counts = scan(0)
        while time.monotonic() < probe_at:
            drv.random_action(rec)
            # A piece at a time, so the checks never take the machine for long in one go.
            clock.mark(time.time(), rec.position())
            scan(rec.position() - sa.RATE, counts=counts)
            time.sleep(rng.uniform(0.1, 1.2))
            if drv.endless_playing and rng.random() < 0.3:
                time.sleep(rng.uniform(1.0, 4.0))  # let it sound
        hz = rng.randint(100, 12000)
        drv.probe(rec, hz)
        time.sleep(PROBE_SETTLE)
        first = rec.position()
        time.sleep(PROBE_SECONDS)
        last = rec.position()
        try:
            cpu, rss, pss, load = proc_sample(args.pid)
        except OSError:
            # Ended, or a zombie not yet reaped, whose /proc folder is still there.
            failures.append(f"minute {minute}: the program has ended (see the report below)")
            break
        now = time.monotonic()
        cpu_pct = 100.0 * (cpu - last_cpu) / (now - last_t)
        last_cpu, last_t = cpu, now
        probes.append((minute, first, last, hz))
        x = rec.read(first, last)
        if x is None:
            measured, periods = float("nan"), 0
        else:
            measured, periods = sa.frequency(x)
        clock.mark(time.time(), rec.position())
        error = (measured - hz) / hz
        while time.monotonic() < minute_end:
            time.sleep(0.2)
        clock.mark(time.time(), rec.position())
        scan(rec.position() - sa.RATE, counts=counts)
        all_stalls = read_stalls(stall_path)
        wall_now = time.time()
        minute_stalls = [ms for t, ms in all_stalls if stall_cut <= t < wall_now and ms >= 20]
        stall_cut = wall_now
        gaps_at = sa.at_stalls([w for w in counts["gap_walls"] if w is not None], all_stalls)
        stall_totals["stalls"] += len(minute_stalls)
        stall_totals["gaps_at"] += gaps_at
        all_underruns = underruns()
        minute_underruns = [t for t in all_underruns if underrun_cut <= t < wall_now]
        underrun_cut = wall_now
        gaps_at_underrun = sa.near([w for w in counts["gap_walls"] if w is not None], all_underruns)
        stall_totals["underruns"] += len(minute_underruns)
        stall_totals["gaps_at_underrun"] += gaps_at_underrun
        for k in totals:
            totals[k] += counts[k]
        if minute <= warmup:
            baseline = max(baseline, rss)
        elif rss > baseline + args.memory_bound_mib:
            failures.append(f"minute {minute}: RSS {rss:.1f} MiB, more than {args.memory_bound_mib} MiB over the "
                            f"warm-up's {baseline:.1f} MiB")
        if not (abs(error) <= FREQ_TOLERANCE):
            failures.append(f"minute {minute}: frequency {measured:.4f} Hz for {hz} Hz, error {error * 100:.5f} %")
        for k, what in (("gaps", "gaps in sounding stretches"), ("clicks", "clicks"),
                        ("edges", "starts/stops without a ramp")):
            if counts[k]:
                failures.append(f"minute {minute}: {counts[k]} {what} (positions in {args.log})")
        row = (minute, rss, pss, cpu_pct, load, hz, measured, error * 100, periods, counts["gaps"],
               counts["clicks"], counts["edges"], counts["tends"], drv.actions)
        rows.append(row)
        print(f"{minute:>3} {rss:>8.1f} {pss:>8.1f} {cpu_pct:>6.1f} {load:>5.2f} {hz:>9} {measured:>13.4f} "
              f"{error * 100:>+9.5f} {periods:>7} {counts['gaps']:>4} {counts['clicks']:>6} {counts['edges']:>5} "
              f"{counts['tends']:>6} {drv.actions:>4} {len(minute_stalls):>6} "
              f"{max(minute_stalls, default=0):>8.1f} {gaps_at:>10} {len(minute_underruns):>9} {gaps_at_underrun:>13}",
              flush=True)
        drv.actions = 0

    # What is left of the recording.
    time.sleep(1.5)
    counts = scan(rec.position(), final=True)
    for k in totals:
        totals[k] += counts[k]

    if not rows:
        prober.terminate()
        prober.wait()
        for f in failures:
            print("FAIL: " + f, file=sys.stderr)
        return 1
    prober.terminate()
    prober.wait()
    errors = [abs(r[7]) for r in rows if r[7] == r[7]]
    rss_values = [r[1] for r in rows]
    after = [r[1] for r in rows[warmup:]]
    print()
    print("summary:")
    print(f"  minutes {len(rows)}; seed {seed}; warning boxes closed {drv.warnings}")
    print(f"  RSS MiB: first {rss_values[0]:.1f}, warm-up peak {baseline:.1f}, after warm-up "
          f"min {min(after) if after else float('nan'):.1f} max {max(after) if after else float('nan'):.1f}, "
          f"last {rss_values[-1]:.1f}; bound +{args.memory_bound_mib} MiB")
    print(f"  CPU %: mean {sum(r[3] for r in rows) / len(rows):.1f}, max {max(r[3] for r in rows):.1f}; "
          f"load1 mean {sum(r[4] for r in rows) / len(rows):.2f}, max {max(r[4] for r in rows):.2f}")
    print(f"  frequency error %: worst {max(errors) if errors else float('nan'):.5f}, "
          f"mean {sum(errors) / len(errors) if errors else float('nan'):.5f} (tolerance {FREQ_TOLERANCE * 100:g})")
    print(f"  gaps {totals['gaps']}, clicks {totals['clicks']}, unramped starts/stops {totals['edges']}, "
          f"timed sounds ending on their last sample {totals['tends']}")
    print(f"  a probe thread at the program's priority woke 20 ms or more late {stall_totals['stalls']} times; "
          f"{stall_totals['gaps_at']} of the {totals['gaps']} gaps lie within 0.5 s of such a stall (the machine's "
          f"load; they still fail the run)")
    if args.server_log:
        print(f"  the sound server ran out of the program's sound {stall_totals['underruns']} times; "
              f"{stall_totals['gaps_at_underrun']} of the {totals['gaps']} gaps lie within 0.5 s of that (sound that "
              f"came late; a gap elsewhere is zeros the program itself played)")
    if failures:
        for f in failures:
            print("FAIL: " + f, file=sys.stderr)
        print(f"FAIL: soak run, {len(failures)} failures", file=sys.stderr)
        return 1
    print("PASS: soak run")
    return 0


def raise_priority(level, *pids):
    """The machine is shared: the program, the display and the sound server get a larger share
    of it than the builds beside them (as root; otherwise this is said and skipped)."""
    for pid in pids:
        try:
            os.setpriority(os.PRIO_PROCESS, pid, level)
            with open(f"/proc/{pid}/autogroup", "w") as f:
                f.write("-10")
        except OSError:
            print(f"note: could not raise the priority of {pid}", file=sys.stderr)


def program_ended(app, program, out):
    """What the program's end says, with a backtrace of its core when gdb is there."""
    code = app.proc.returncode
    reason = f"signal {-code}" if code < 0 else f"exit status {code}"
    lines = [f"FAIL: the program has ended: {reason}"]
    cores = sorted(glob.glob(os.path.join(out, "core*")), key=os.path.getmtime)
    if cores and subprocess.run(["sh", "-c", "command -v gdb"], capture_output=True).returncode == 0:
        trace = os.path.join(out, "backtrace.txt")
        with open(trace, "w") as f:
            subprocess.run(["gdb", "-q", "-batch", "-ex", "thread apply all bt 30", program, cores[-1]], stdout=f,
                           stderr=subprocess.STDOUT)
        lines.append(f"backtrace of {cores[-1]} in {trace}")
    return lines


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--stall-probe":
        stall_probe(sys.argv[2])
        return 0
    p = argparse.ArgumentParser(description="soak run of the generator")
    p.add_argument("minutes", type=int, nargs="?", default=60)
    p.add_argument("build", nargs="?", default=os.path.join(ROOT, "build"))
    p.add_argument("--memory-bound-mib", type=float, default=5.0)
    args = p.parse_args()
    if args.minutes < 1:
        p.error("minutes must be at least 1")
    args.build = os.path.abspath(args.build)
    # An ended run still ends what it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    from harness.display import Display
    from harness.procs import Processes
    from harness.program import TITLE, Program
    from harness.sound import SoundServer
    from harness.xinput import Xdo

    program = os.environ.get("SOAK_PROGRAM")
    if not program:
        if os.path.exists(os.path.join(args.build, "CMakeCache.txt")):
            subprocess.run(["cmake", "--build", args.build, "--target", "soundgen"], check=True,
                           stdout=subprocess.DEVNULL)
        else:
            subprocess.run(["bash", os.path.join(ROOT, "scripts", "build.sh"), "default"], check=True,
                           env=dict(os.environ, BUILD_TARGET="soundgen"), stdout=subprocess.DEVNULL)
        program = os.path.join(args.build, "app", "soundgen")
    if not os.access(program, os.X_OK):
        sys.exit(f"FAIL: {program} is missing")
    out = os.path.abspath(os.path.join(args.build, "artifacts", "soak"))
    os.makedirs(out, exist_ok=True)
    for old in glob.glob(os.path.join(out, "core*")) + [os.path.join(out, "backtrace.txt")]:
        if os.path.exists(old):
            os.remove(old)
    args.log = os.path.join(out, "actions.log")
    open(args.log, "w").close()
    args.seed = int(os.environ["SOAK_SEED"]) if os.environ.get("SOAK_SEED") else None

    procs = Processes()
    status = 1
    work = tempfile.mkdtemp(prefix="soundgen-soak.")
    report = open(os.path.join(out, "soak.txt"), "w")
    try:
        # The server's debug log notes each time it ran out of the program's sound: a gap there
        # came late. The server stays above the program, as on a desktop: its main thread passes
        # the program's sound on, and at an equal share a busy window thread delays it.
        server = SoundServer(procs, os.path.join(work, "pulse"), log_level="debug")
        display = Display(procs, os.path.join(work, "xvfb.log"))
        raise_priority(-15, server.proc.pid)
        raise_priority(-10, display.proc.pid)
        env = procs.env(DISPLAY=display.name, WAYLAND_DISPLAY=None, SDL_AUDIODRIVER="pulseaudio", **server.env)
        os.environ.update({k: v for k, v in env.items() if k != "WAYLAND_DISPLAY"})
        os.environ.pop("WAYLAND_DISPLAY", None)
        # A crash leaves a core in the artifacts folder.
        import resource

        resource.setrlimit(resource.RLIMIT_CORE, (resource.RLIM_INFINITY, resource.RLIM_INFINITY))
        app = Program(procs, program, work, env, cwd=out)
        raise_priority(-10, app.pid)
        args.pid, args.window = app.pid, Xdo(procs, display.name).wait_window(TITLE, app.proc)
        # The recording goes through a pipe into pieces of 10 s that the driver checks and deletes.
        args.chunks = os.path.join(work, "chunks")
        os.makedirs(args.chunks)
        pipe = os.path.join(work, "recording")
        os.mkfifo(pipe)
        procs.start(["split", "-b", str(sa.CHUNK_BYTES), "-d", "-a", "5", pipe, os.path.join(args.chunks, "chunk_")])
        recorder = server.record(pipe)
        raise_priority(-15, recorder.proc.pid)
        args.server_log, args.server_started = server.log_path, server.started_at
        ramps = "on" if os.environ.get("SOUNDGEN_NO_RAMPS", "0") == "0" else "OFF"
        with open("/proc/loadavg") as f:
            load = " ".join(f.read().split()[:3])
        head = (f"soak: {args.minutes} min; program {program} (pid {app.pid}, nice "
                f"{os.getpriority(os.PRIO_PROCESS, app.pid)}); ramps {ramps}; {os.cpu_count()} cores; load {load}")
        print(head, flush=True)
        report.write(head + "\n")
        # The driver and its checks yield to everything else.
        os.nice(19)
        status = tee(report, lambda: drive(args))
        recorder.stop()
        lines = []
        if not app.running():
            lines += program_ended(app, program, out)
            status = 1
        errors = app.stderr()
        if any(word in errors for word in ("AddressSanitizer", "LeakSanitizer", "ThreadSanitizer", "runtime error:")):
            lines.append("FAIL: the program reported a sanitizer error")
            status = 1
        if errors:
            lines += ["program's standard error:", errors.rstrip()]
        for line in lines:
            print(line, flush=True)
            report.write(line + "\n")
    finally:
        left = procs.close()
        if left:
            print("FAIL: processes left behind:\n  " + "\n  ".join(left), file=sys.stderr)
            status = 1
        shutil.rmtree(work, ignore_errors=True)
        report.close()
    print(f"results in {out}/soak.txt, actions and fault positions in {args.log}")
    return status


def tee(report, run):
    """Runs run() with its standard output and error also going to the report."""

    class Both:
        def __init__(self, stream):
            self.stream = stream

        def write(self, text):
            self.stream.write(text)
            report.write(text)

        def flush(self):
            self.stream.flush()
            report.flush()

    saved = sys.stdout, sys.stderr
    sys.stdout, sys.stderr = Both(sys.stdout), Both(sys.stderr)
    try:
        return run()
    finally:
        sys.stdout, sys.stderr = saved


if __name__ == "__main__":
    sys.exit(main())
