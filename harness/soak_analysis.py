"""Checks of long recordings (raw s16le stereo at 48000/s, as parec writes them) for the soak run.

The recording is scanned in pieces; each piece is checked for
  gaps   runs of exact zeros in both channels entered and left abruptly (the server filled in
         for a late buffer): the sound was sounding on both sides and the player did not ramp
  edges  runs of zeros entered or left abruptly on one side only: a start or stop without a ramp
  clicks sample-to-sample jumps far larger than the sound's own steps around them
The frequency of a probe window comes from analyze.py's zero-crossing count.
"""

import glob
import os
import re

import numpy as np


RATE = 48000
CHUNK_SECONDS = 10
FRAME_BYTES = 4
CHUNK_BYTES = RATE * FRAME_BYTES * CHUNK_SECONDS
# Shorter zero runs occur inside quiet tones at their zero crossings.
MIN_ZERO_RUN = 16
# Below this magnitude the sound next to silence is no cut.
FLOOR = 32
# The sound within EDGE_MS of a zero run is a cut when it reaches this share of its peak in the
# CONTEXT_MS beside it. A 5 ms raised-cosine ramp stays below 0.1 in its last and first ms; a cut
# sine of 440 Hz reaches nearly full level there. The sample right next to the run is no measure:
# the server's resampler rings down over a few samples after a cut.
EDGE_MS = 1
EDGE_CONTEXT_MS = 10
ABRUPT_SHARE = 0.25
# Jumps are judged against the largest step within this many ms on each side. It is long enough
# that a square or sawtooth wave of 20 Hz has another edge of its own in it.
CLICK_CONTEXT_MS = 60


def samples(raw):
    """(frames, 2) int32 array from raw s16le stereo bytes; a trailing partial frame is dropped."""
    usable = len(raw) // 4 * 4
    x = np.frombuffer(raw[:usable], dtype="<i2").reshape(-1, 2)
    return x.astype(np.int32)


def zero_runs(x, shortest=MIN_ZERO_RUN):
    """(start, length) of runs of frames where both channels are exactly 0."""
    zero = (x[:, 0] == 0) & (x[:, 1] == 0)
    padded = np.concatenate(([False], zero, [False])).astype(np.int8)
    change = np.diff(padded)
    starts = np.flatnonzero(change == 1)
    ends = np.flatnonzero(change == -1)
    keep = ends - starts >= shortest
    return list(zip(starts[keep].tolist(), (ends - starts)[keep].tolist()))


def _abrupt(x, index, side):
    """Whether the sound on one side of a zero run (`index` is its frame next to the run) is cut
    rather than ramped; None when that side lies outside the piece."""
    if index < 0 or index >= len(x):
        return None
    edge, context = RATE * EDGE_MS // 1000, RATE * EDGE_CONTEXT_MS // 1000
    if side == "after":
        near, wide = x[index : index + edge], x[index : index + context]
    else:
        near, wide = x[max(0, index - edge + 1) : index + 1], x[max(0, index - context + 1) : index + 1]
    level = int(np.abs(near).max())
    return level > FLOOR and level >= ABRUPT_SHARE * int(np.abs(wide).max())


def silences(x):
    """Zero runs classified: (start, length, kind) with kind 'gap', 'edge-in', 'edge-out' or 'ramp'.

    'edge-out' is sound cut to silence, 'edge-in' silence cut to sound. Runs touching the ends of
    the piece are judged on the side that is known only.
    """
    out = []
    for start, length in zero_runs(x):
        cut_out = _abrupt(x, start - 1, "before")
        cut_in = _abrupt(x, start + length, "after")
        if cut_out and cut_in:
            kind = "gap"
        elif cut_out:
            kind = "edge-out"
        elif cut_in:
            kind = "edge-in"
        else:
            kind = "ramp"
        out.append((start, length, kind))
    return out


def clicks(x, context_ms=CLICK_CONTEXT_MS, floor=FLOOR):
    """Frames of jumps larger than twice the largest step within context_ms on either side.

    Both sides must be sounding (steps above `floor`: the flat halves of a square wave are not);
    jumps within 2 ms of a zero run are the gaps' business and are left out. Jumps closer than 1 ms count once.
    """
    if len(x) < 3:
        return []
    steps = np.abs(np.diff(x, axis=0)).max(axis=1)
    steps = np.concatenate(([0], steps))
    block = RATE // 1000
    nblocks = len(steps) // block
    if nblocks < 2 * context_ms + 4:
        return []
    blocks = steps[: nblocks * block].reshape(nblocks, block).max(axis=1)
    # before[b]: max of blocks b-context-1 .. b-2; after[b]: blocks b+2 .. b+context+1.
    windows = np.lib.stride_tricks.sliding_window_view(blocks, context_ms).max(axis=1)
    before = np.full(nblocks, -1, dtype=np.int64)
    after = np.full(nblocks, -1, dtype=np.int64)
    b = np.arange(nblocks)
    ok_before = b - context_ms - 1 >= 0
    ok_after = b + context_ms + 1 < nblocks
    before[ok_before] = windows[b[ok_before] - context_ms - 1]
    after[ok_after] = windows[b[ok_after] + 2]
    idx = np.arange(nblocks * block)
    sb, sa = before[idx // block], after[idx // block]
    s = steps[: nblocks * block]
    mask = (s > floor) & (sb > floor) & (sa > floor) & (s > 2 * np.maximum(sb, sa))
    found = np.flatnonzero(mask)
    if len(found) == 0:
        return []
    # Only runs long enough to count as gaps; single zeros are part of any tone.
    in_run = np.zeros(len(x), dtype=np.int32)
    for start, length in zero_runs(x):
        in_run[start : start + length] = 1
    near_zero = np.convolve(in_run, np.ones(4 * block + 1, dtype=np.int32), "same") > 0
    found = [int(i) for i in found if not near_zero[i]]
    out = []
    for i in found:
        if not out or i - out[-1] > block:
            out.append(i)
    return out


def rising_crossings(x):
    """analyze.rising_crossings done with numpy: the same crossings (interpolated positions, a
    tenth of the peak as hysteresis) in a fraction of the time. The soak measures every minute
    on a busy machine, and a second of pure-Python work beside the player was enough to starve it."""
    x = np.asarray(x, dtype=np.float64)
    if len(x) < 3:
        return []
    v = x - x.mean()
    peak = np.abs(v).max()
    if peak == 0:
        return []
    prev, cur = v[:-1], v[1:]
    candidates = np.flatnonzero((prev < 0) & (cur >= 0)) + 1
    arms = np.concatenate(([0], np.cumsum(v[1:] < -0.1 * peak)))
    # A candidate counts when the sound went below the hysteresis since the candidate before it.
    since = arms[candidates - 1] - np.concatenate(([0], arms[candidates[:-1]]))
    kept = candidates[since > 0]
    p, c = v[kept - 1], v[kept]
    return (kept - 1 + (-p) / (c - p)).tolist()


def frequency(x):
    """(frequency in Hz, periods counted) of the left channel: whole periods between the first and
    the last rising zero crossing, over the stretches between zero runs.

    A period-by-period mean with outliers dropped (analyze.frequency) is no good for 0.01 %: at
    high frequencies the synthesised periods alternate between two whole frame counts, and
    dropping one kind biases the mean by percents. A gap delays everything after it, so
    stretches are measured apart and their periods and lengths added.
    """
    crossings = rising_crossings(x[:, 0])
    if len(crossings) < 2:
        return 0.0, 0
    zero = (x[:, 0] == 0) & (x[:, 1] == 0)
    before = np.concatenate(([0], np.cumsum(zero)))
    runs = zero_runs(x)
    periods, span = 0, 0.0
    first = prev = crossings[0]
    count = 0
    for c in crossings[1:]:
        # A zero run between two crossings ends the stretch.
        lo, hi = int(prev), int(c) + 1
        if runs and before[hi] - before[lo] >= MIN_ZERO_RUN:
            periods, span = periods + count, span + (prev - first)
            first, count = c, 0
        else:
            count += 1
        prev = c
    periods, span = periods + count, span + (prev - first)
    return (periods * RATE / span if span > 0 else 0.0), periods


def at_stalls(times, stalls, window=0.5, least_ms=20.0):
    """How many of `times` (wall-clock seconds) lie within `window` s of a stall of at least
    `least_ms`; `stalls` holds (wall-clock seconds, ms late) of a probe thread that asked to be
    woken every 2 ms. A gap beside such a stall was the machine's, not the player's."""
    return near(times, [t for t, ms in stalls if ms >= least_ms], window)


_UNDERRUN = re.compile(r"^\(\s*([0-9.]+)\|[^)]*\).*end of underrun")


def server_underruns(log_text, started, merge=0.01):
    """Wall-clock times at which the sound server ran out of a client's sound, from its debug log
    written with --log-time (seconds since it started at wall-clock `started`). The server logs
    each end of an underrun once per stream part; lines closer than `merge` s are one event."""
    times = []
    for line in log_text.splitlines():
        m = _UNDERRUN.match(line)
        if not m:
            continue
        t = started + float(m.group(1))
        if not times or t - times[-1] > merge:
            times.append(t)
    return times


def near(times, events, window=0.5):
    """How many of `times` lie within `window` s of one of `events` (all wall-clock seconds)."""
    return sum(1 for t in times if any(abs(t - e) <= window for e in events))


class WallClock:
    """Maps recorded frames to wall-clock time from (time, frames recorded) pairs."""

    def __init__(self):
        self.marks = []

    def mark(self, wall, frames):
        self.marks.append((wall, frames))

    def wall(self, frame):
        if not self.marks:
            return None
        # The recording runs at RATE; the nearest mark fixes the offset.
        wall, frames = min(self.marks, key=lambda m: abs(m[1] - frame))
        return wall + (frame - frames) / RATE


class Recording:
    """Global frame positions of the recorded pieces, and the pieces not yet checked."""

    def __init__(self, folder):
        self.folder = folder
        self.deleted_frames = 0
        self.carry = None  # last frames of the previous piece, for checks across the boundary
        self.carry_start = 0
        self.reported = 0  # frames up to here have been checked and reported

    def pieces(self):
        return sorted(glob.glob(os.path.join(self.folder, "chunk_*")))

    def position(self):
        """Frames recorded so far."""
        return self.deleted_frames + sum(os.path.getsize(p) for p in self.pieces()) // FRAME_BYTES

    def read(self, first, last):
        """Frames [first, last) if they are still on disk, else None."""
        out = []
        base = self.deleted_frames
        for path in self.pieces():
            n = os.path.getsize(path) // FRAME_BYTES
            lo, hi = max(first, base), min(last, base + n)
            if lo < hi:
                with open(path, "rb") as f:
                    f.seek((lo - base) * FRAME_BYTES)
                    out.append(f.read((hi - lo) * FRAME_BYTES))
            base += n
        data = b"".join(out)
        return samples(data) if len(data) // FRAME_BYTES == last - first else None

    def complete_pieces(self):
        """Pieces the splitter has finished (all but the newest)."""
        return [p for p in self.pieces() if os.path.getsize(p) >= CHUNK_BYTES][:-1] if self.pieces() else []

    def take(self, keep_after, final=False):
        """Yields (first frame, samples, report from, report to) for each finished piece ending
        before frame keep_after, and deletes it. The samples start with the tail of the piece
        before, so that checks see across the boundary; each frame falls in one report range."""
        paths = self.complete_pieces()
        if final and self.pieces():
            paths = self.pieces()
        for path in paths:
            n = os.path.getsize(path) // FRAME_BYTES
            if not final and self.deleted_frames + n > keep_after:
                break
            with open(path, "rb") as f:
                x = samples(f.read())
            start = self.deleted_frames
            if self.carry is not None:
                x = np.concatenate((self.carry, x))
                start = self.carry_start
            tail = min(len(x), RATE // 5)
            end = start + len(x)
            report_from = self.reported
            report_to = end if final else end - tail // 2
            self.reported = report_to
            self.carry, self.carry_start = x[len(x) - tail :], end - tail
            os.remove(path)
            self.deleted_frames += n
            yield start, x, report_from, report_to
