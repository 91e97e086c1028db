#!/usr/bin/env python3
"""Measures recordings of raw s16le stereo sound (what parec writes). The checks call
run(COMMAND, FILE, OPTION...), which prints the findings and returns the exit status below.

  analyze.py report FILE [--start S] [--length S]
      level (RMS, dBFS) and dominant frequency of each channel
  analyze.py silent FILE [--start S] [--length S] [--threshold N]
      exit 0 when no sample's magnitude exceeds N
  analyze.py tone FILE --freq HZ [--tolerance HZ] [--left-rms N] [--right-rms N]
                       [--level-tolerance F] [--peak N] [--ratio R] [--ratio-tolerance F]
                       [--duration S] [--duration-tolerance S] [--min-silence S]
      finds the one sounding stretch, requires silence before and after it, then checks the
      frequency, the levels and the right/left level ratio over the middle second of it, and
      that at most a small share of it consists of dropouts (buffers the server filled with
      silence because the player was late; a loaded machine causes a few)

  analyze.py clicks FILE [--start S] [--length S] [--max N]
      counts discontinuities: sample-to-sample jumps larger than twice the largest step of the
      sound in the 10 ms on either side (both sides sounding); jumps beside a dropout (exact zeros between
      loud samples: an underrun) are counted apart. Fails when more than N (default: no limit) are not beside a dropout
  analyze.py onsets FILE --marks I,I,... [--threshold N]
      for each mark (a frame index), the time until the first sample louder than N
  analyze.py changes FILE --marks I,I,... --freqs F,F,...
      for each mark, fits the sine of frequency F sounding before it and reports the time until
      the sound leaves that sine by more than a quarter of its amplitude

Exit status: 0 passed, 1 failed (the reason on standard error), 2 unusable input.
"""

import argparse
import array
import math
import sys

BLOCK_SECONDS = 0.010


def load(path, rate):
    with open(path, "rb") as f:
        data = f.read()
    data = data[: len(data) // 4 * 4]
    samples = array.array("h")
    samples.frombytes(data)
    if sys.byteorder == "big":
        samples.byteswap()
    return samples[0::2], samples[1::2]


def window(channel, rate, start, length):
    first = max(0, int(round(start * rate)))
    if length is None:
        return channel[first:]
    return channel[first : first + int(round(length * rate))]


def rms(x):
    if not x:
        return 0.0
    return math.sqrt(sum(v * v for v in x) / len(x))


def dbfs(level):
    return 20 * math.log10(level / 32768.0) if level > 0 else float("-inf")


def rising_crossings(x):
    """Rising zero crossings, each placed by linear interpolation between two samples.

    A hysteresis of a tenth of the peak keeps noise around zero from counting twice.
    """
    if len(x) < 3:
        return []
    mean = sum(x) / len(x)
    peak = max(abs(v - mean) for v in x)
    if peak == 0:
        return []
    arm_below = -0.1 * peak
    armed = False
    crossings = []
    previous = x[0] - mean
    for i in range(1, len(x)):
        value = x[i] - mean
        if value < arm_below:
            armed = True
        elif armed and previous < 0 <= value:
            crossings.append(i - 1 + (-previous) / (value - previous))
            armed = False
        previous = value
    return crossings


def frequency(x, rate):
    """Mean frequency over the periods of the window.

    Periods more than 2 % off the median are left out: a buffer the server had to fill with
    silence stretches one period, and the tone is what is measured here, not the gap (gaps are
    counted by dropouts()).
    """
    crossings = rising_crossings(x)
    periods = [b - a for a, b in zip(crossings, crossings[1:])]
    if not periods:
        return 0.0
    median = sorted(periods)[len(periods) // 2]
    kept = [p for p in periods if abs(p - median) <= 0.02 * median]
    return len(kept) * rate / sum(kept)


def dropouts(left, right, first, last, shortest=16):
    """Runs of at least `shortest` frames inside [first, last) where both channels are exactly 0."""
    runs = []
    run = 0
    for i in range(first, last):
        if left[i] == 0 and right[i] == 0:
            run += 1
            continue
        if run >= shortest:
            runs.append((i - run, run))
        run = 0
    if run >= shortest:
        runs.append((last - run, run))
    return runs


def loud_blocks(left, right, rate, threshold):
    size = max(1, int(rate * BLOCK_SECONDS))
    count = min(len(left), len(right)) // size
    loud = []
    for b in range(count):
        lo, hi = b * size, (b + 1) * size
        peak = max(max(abs(v) for v in left[lo:hi]), max(abs(v) for v in right[lo:hi]))
        loud.append(peak > threshold)
    return loud, size


def cmd_report(args):
    left, right = load(args.file, args.rate)
    for name, channel in (("left", left), ("right", right)):
        x = window(channel, args.rate, args.start, args.length)
        level = rms(x)
        print(f"{name}: rms {level:.1f} ({dbfs(level):.2f} dBFS), frequency {frequency(x, args.rate):.3f} Hz")
    return 0


def cmd_silent(args):
    left, right = load(args.file, args.rate)
    x = window(left, args.rate, args.start, args.length) + window(right, args.rate, args.start, args.length)
    peak = max((abs(v) for v in x), default=0)
    if peak > args.threshold:
        print(f"not silent: peak {peak} > {args.threshold}", file=sys.stderr)
        return 1
    print(f"silent: peak {peak}")
    return 0


def cmd_tone(args):
    left, right = load(args.file, args.rate)
    total = len(left) / args.rate
    if total < 2 * args.min_silence + 1.0:
        print(f"recording too short: {total:.2f} s", file=sys.stderr)
        return 2
    loud, size = loud_blocks(left, right, args.rate, args.threshold)
    if not any(loud):
        print(f"FAIL: no sound in {total:.2f} s of recording", file=sys.stderr)
        return 1
    first = loud.index(True)
    last = len(loud) - 1 - loud[::-1].index(True)
    onset, offset = first * size / args.rate, (last + 1) * size / args.rate
    # The first and last loud blocks are partly silent; the sound proper starts and ends at the
    # first and last non-zero frame, and only gaps between those are dropouts.
    begin = next(i for i in range(first * size, (first + 1) * size) if left[i] or right[i])
    end = 1 + next(i for i in range((last + 1) * size - 1, last * size - 1, -1) if left[i] or right[i])
    gaps = dropouts(left, right, begin, end)
    gap_seconds = sum(n for _, n in gaps) / args.rate
    print(f"recording {total:.2f} s; sound from {onset:.2f} s to {offset:.2f} s ({offset - onset:.2f} s); "
          f"{len(gaps)} dropouts inside, {gap_seconds * 1000:.1f} ms in all")

    failures = []
    if onset < args.min_silence:
        failures.append(f"only {onset:.2f} s of silence before the sound (need {args.min_silence})")
    if total - offset < args.min_silence:
        failures.append(f"only {total - offset:.2f} s of silence after the sound (need {args.min_silence})")
    if args.duration is not None and abs((offset - onset) - args.duration) > args.duration_tolerance:
        failures.append(f"sounded {offset - onset:.2f} s, expected {args.duration} s "
                        f"+- {args.duration_tolerance}")

    if gap_seconds > args.max_dropout * (offset - onset):
        failures.append(f"{gap_seconds * 1000:.1f} ms of dropouts, more than {args.max_dropout * 100:g}% of the sound")

    middle = (onset + offset) / 2
    start = max(onset, middle - 0.5)
    length = min(1.0, offset - start)
    xl = window(left, args.rate, start, length)
    xr = window(right, args.rate, start, length)
    fl, fr = frequency(xl, args.rate), frequency(xr, args.rate)
    ll, lr = rms(xl), rms(xr)
    print(f"window {start:.2f} s + {length:.2f} s: left {fl:.3f} Hz rms {ll:.1f} ({dbfs(ll):.2f} dBFS); "
          f"right {fr:.3f} Hz rms {lr:.1f} ({dbfs(lr):.2f} dBFS); right/left {lr / ll if ll else float('nan'):.4f}")

    for name, f, level in (("left", fl, ll), ("right", fr, lr)):
        if level > args.threshold and abs(f - args.freq) > args.tolerance:
            failures.append(f"{name} frequency {f:.3f} Hz, expected {args.freq} +- {args.tolerance}")
    for name, level, expected in (("left", ll, args.left_rms), ("right", lr, args.right_rms)):
        if expected is not None and abs(level - expected) > args.level_tolerance * max(expected, 1.0):
            failures.append(f"{name} rms {level:.1f}, expected {expected} +- {args.level_tolerance * 100:.0f}%")
    if args.peak is not None:
        # The peak is the level that gaps (underruns) in the window leave untouched.
        peak = max(max(abs(v) for v in xl), max(abs(v) for v in xr))
        print(f"peak {peak}")
        if abs(peak - args.peak) > args.level_tolerance * args.peak:
            failures.append(f"peak {peak}, expected {args.peak} +- {args.level_tolerance * 100:.0f}%")
    if args.ratio is not None:
        ratio = lr / ll if ll else float("inf")
        if abs(ratio - args.ratio) > args.ratio_tolerance * max(args.ratio, 1e-3):
            failures.append(f"right/left ratio {ratio:.4f}, expected {args.ratio} +- {args.ratio_tolerance * 100:.0f}%")

    for failure in failures:
        print("FAIL: " + failure, file=sys.stderr)
    return 1 if failures else 0


def cmd_clicks(args):
    left, right = load(args.file, args.rate)
    x = window(left, args.rate, args.start, args.length)
    block = max(1, args.rate // 1000)
    steps = [0] + [abs(x[i] - x[i - 1]) for i in range(1, len(x))]
    blocks = [max(steps[b : b + block]) for b in range(0, len(steps), block)]
    floor = 32
    clicks = []
    beside_dropout = []
    for i in range(1, len(x)):
        if steps[i] <= floor:
            continue
        b = i // block
        if b < 12 or b + 12 >= len(blocks):
            continue
        before = max(blocks[b - 11 : b - 1])
        after = max(blocks[b + 2 : b + 12])
        if before <= floor or after <= floor or steps[i] <= 2 * max(before, after):
            continue
        # A run of exact zeros inside a loud tone is the server filling in for a late buffer (an
        # underrun), however short: the sound around it was not cut by the player.
        lo, hi = max(1, i - 2 * block), min(len(x) - 1, i + 2 * block)
        gap = False
        j = lo
        while j < hi and not gap:
            if x[j] == 0:
                k = j
                while k < hi and x[k] == 0:
                    k += 1
                gap = abs(x[j - 1]) > 1000 and abs(x[k]) > 1000
                j = k
            j += 1
        (beside_dropout if gap else clicks).append(i)
    # One discontinuity can span a few samples after resampling: count jumps 1 ms apart once.
    def distinct(ix):
        out = []
        for i in ix:
            if not out or i - out[-1] > block:
                out.append(i)
        return out
    clicks, beside_dropout = distinct(clicks), distinct(beside_dropout)
    print(f"discontinuities: {len(clicks)}; beside dropouts: {len(beside_dropout)}")
    for i in clicks[:20]:
        print(f"  at {i / args.rate:.4f} s: step {steps[i]}")
    if args.max is not None and len(clicks) > args.max:
        print(f"FAIL: {len(clicks)} discontinuities, at most {args.max} allowed", file=sys.stderr)
        return 1
    return 0


def parse_list(text, kind):
    return [kind(v) for v in text.split(",") if v]


def percentile(values, share):
    """The nearest-rank percentile: the smallest value that at least `share` of them do not exceed."""
    ordered = sorted(values)
    return ordered[max(0, math.ceil(share * len(ordered)) - 1)]


def summary(name, values):
    values = [v * 1000 for v in values]
    print(f"{name}: n={len(values)} mean {sum(values) / len(values):.1f} ms, 95th percentile "
          f"{percentile(values, 0.95):.1f} ms, worst {max(values):.1f} ms, best {min(values):.1f} ms")


def onset_delays(left, right, marks, threshold, rate):
    """(mark, seconds) for each mark (a frame index): the time until the first sample louder than
    `threshold`, None where no such sample follows."""
    found = []
    for mark in marks:
        i = mark
        while i < len(left) and abs(left[i]) <= threshold and abs(right[i]) <= threshold:
            i += 1
        found.append((mark, (i - mark) / rate if i < len(left) else None))
    return found


def change_delays(left, marks, freqs, rate):
    """(mark, seconds) for each mark: fits the sine of its frequency over the 50 ms before it and
    times how long the sound follows that sine within a quarter of its amplitude; None where it
    never leaves it or no tone sounded before. Marks too early to fit are left out."""
    found = []
    span = int(0.05 * rate)
    for mark, f in zip(marks, freqs):
        lo = mark - span
        if lo < 0:
            continue
        w = 2 * math.pi * f / rate
        # Least squares for a*sin + b*cos at the known frequency.
        ss = sc = cc = ys = yc = 0.0
        for n in range(lo, mark):
            s_, c_ = math.sin(w * n), math.cos(w * n)
            ss += s_ * s_
            sc += s_ * c_
            cc += c_ * c_
            ys += left[n] * s_
            yc += left[n] * c_
        det = ss * cc - sc * sc
        if det == 0:
            continue
        a = (ys * cc - yc * sc) / det
        b = (yc * ss - ys * sc) / det
        amplitude = math.hypot(a, b)
        i = mark
        while i < len(left) and abs(left[i] - (a * math.sin(w * i) + b * math.cos(w * i))) <= amplitude / 4:
            i += 1
        found.append((mark, (i - mark) / rate if i < len(left) and amplitude >= 100 else None))
    return found


def report_delays(found, missing_what, name):
    """The summary of (mark, delay) pairs; fails on the first mark without a delay."""
    missing = [mark for mark, delay in found if delay is None]
    if missing:
        print(f"FAIL: {missing_what} after frame {missing[0]}", file=sys.stderr)
        return 1
    summary(name, [delay for _, delay in found])
    return 0


def cmd_onsets(args):
    left, right = load(args.file, args.rate)
    marks = parse_list(args.marks, int)
    found = onset_delays(left, right, marks, args.threshold, args.rate)
    return report_delays(found, "no sound", "start -> first sound")


def cmd_changes(args):
    left, _ = load(args.file, args.rate)
    marks = parse_list(args.marks, int)
    freqs = parse_list(args.freqs, float)
    if len(marks) != len(freqs):
        print("marks and freqs differ in number", file=sys.stderr)
        return 2
    found = change_delays(left, marks, freqs, args.rate)
    return report_delays(found, "no change of a sounding tone", "knob step -> new sound")


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--rate", type=int, default=48000, help="frames per second of the recording")
    sub = parser.add_subparsers(dest="command", required=True)

    report = sub.add_parser("report")
    silent = sub.add_parser("silent")
    for p in (report, silent):
        p.add_argument("file")
        p.add_argument("--start", type=float, default=0.0)
        p.add_argument("--length", type=float, default=None)
    silent.add_argument("--threshold", type=int, default=16)

    tone = sub.add_parser("tone")
    tone.add_argument("file")
    tone.add_argument("--freq", type=float, required=True)
    tone.add_argument("--tolerance", type=float, default=1.0)
    tone.add_argument("--threshold", type=int, default=16, help="peak above which a block counts as sound")
    tone.add_argument("--left-rms", type=float)
    tone.add_argument("--right-rms", type=float)
    tone.add_argument("--level-tolerance", type=float, default=0.05)
    tone.add_argument("--peak", type=float, help="expected peak of the tone in the measured window")
    tone.add_argument("--ratio", type=float)
    tone.add_argument("--ratio-tolerance", type=float, default=0.02)
    tone.add_argument("--duration", type=float)
    tone.add_argument("--duration-tolerance", type=float, default=0.3)
    tone.add_argument("--min-silence", type=float, default=0.5)
    tone.add_argument("--max-dropout", type=float, default=0.05,
                      help="largest share of the sounding time the server may have filled with silence")

    clicks = sub.add_parser("clicks")
    clicks.add_argument("file")
    clicks.add_argument("--start", type=float, default=0.0)
    clicks.add_argument("--length", type=float, default=None)
    clicks.add_argument("--max", type=int, default=None)
    onsets = sub.add_parser("onsets")
    onsets.add_argument("file")
    onsets.add_argument("--marks", required=True)
    onsets.add_argument("--threshold", type=int, default=64)
    changes = sub.add_parser("changes")
    changes.add_argument("file")
    changes.add_argument("--marks", required=True)
    changes.add_argument("--freqs", required=True)

    args = parser.parse_args(argv)
    try:
        return {
            "report": cmd_report,
            "silent": cmd_silent,
            "tone": cmd_tone,
            "clicks": cmd_clicks,
            "onsets": cmd_onsets,
            "changes": cmd_changes,
        }[args.command](args)
    except OSError as e:
        print(f"cannot read recording: {e}", file=sys.stderr)
        return 2


def run(*argv):
    return main([str(a) for a in argv])


if __name__ == "__main__":
    sys.exit(main())
