"""Checks of the soak run's recording analysis on made-up sound with known faults."""

import os
import tempfile
import unittest

import numpy as np

from harness import analyze
from harness import soak_analysis as sa

RATE = sa.RATE


def tone(freq, seconds, amplitude=20000, phase=0.0, wave="sine"):
    n = np.arange(int(seconds * RATE))
    t = freq * n / RATE + phase
    if wave == "sine":
        x = amplitude * np.sin(2 * np.pi * t)
    elif wave == "square":
        x = np.where((t % 1.0) < 0.5, -amplitude, amplitude)
    else:  # sawtooth
        x = amplitude * (2 * (t % 1.0) - 1)
    return np.round(x).astype(np.int32)


def stereo(mono):
    return np.stack([mono, mono], axis=1)


def ramp(frames, rising):
    k = np.arange(frames)
    g = 0.5 - 0.5 * np.cos(np.pi * k / frames)
    return g if rising else g[::-1]


def resampled(mono):
    """The sound as a resampler leaves it: band-limited, ringing for a few samples after a cut."""
    n = np.arange(-7, 8)
    kernel = np.sinc(n * 0.9) * np.hanning(len(n))
    return np.round(np.convolve(mono, kernel / kernel.sum(), "same")).astype(np.int32)


def silence(seconds):
    return np.zeros(int(seconds * RATE), dtype=np.int32)


class SilencesTest(unittest.TestCase):
    def test_zero_runs_are_told_apart_by_how_the_sound_meets_them(self):
        r = RATE * 5 // 1000
        # Both end and begin mid-wave, where a cut is loud.
        a, b = tone(440, 0.5, phase=0.2), tone(440, 0.5, phase=0.3)
        faded_out = np.round(a[-r:] * ramp(r, False)).astype(np.int32)
        faded_in = np.round(b[:r] * ramp(r, True)).astype(np.int32)
        cases = [
            ("underrun", np.concatenate([a, silence(0.01), b]), ["gap"]),
            ("ramped stop and start", np.concatenate([a[:-r], faded_out, silence(0.2), faded_in, b[r:]]), []),
            ("cut to silence", np.concatenate([a, silence(0.2)]), ["edge-out"]),
            ("cut in from silence", np.concatenate([silence(0.2), b]), ["edge-in"]),
            ("steady tone", tone(440, 1.0), []),
            ("quiet low tone", tone(20, 1.0, amplitude=300), []),
        ]
        for name, mono, expected in cases:
            for how, sound in (("as made", mono), ("resampled", resampled(mono))):
                with self.subTest(name, how=how):
                    kinds = [k for _, _, k in sa.silences(stereo(sound)) if k != "ramp"]
                    self.assertEqual(kinds, expected)

    def test_gap_is_found_where_it_is(self):
        mono = np.concatenate([tone(1000, 0.3, phase=0.2), silence(0.001), tone(1000, 0.3, phase=0.6)])
        found = [(s, n) for s, n, k in sa.silences(stereo(mono)) if k == "gap"]
        self.assertEqual(found, [(int(0.3 * RATE), int(0.001 * RATE))])


class ClicksTest(unittest.TestCase):
    def test_jumps_against_the_sound_around_them(self):
        half = tone(440, 0.5)
        jumped = np.concatenate([half, tone(440, 0.5, phase=0.37)])
        r = RATE * 5 // 1000
        low, high = tone(20, 0.5), tone(20000, 0.5)
        crossfade = np.round(low[-r:] * ramp(r, False) + high[:r] * ramp(r, True)).astype(np.int32)
        cases = [
            ("clean sine", np.concatenate([half, tone(440, 0.5, phase=440 * 0.5)]), 0),
            ("phase jump", jumped, 1),
            ("20 Hz square", tone(20, 1.0, wave="square"), 0),
            ("30 Hz sawtooth", tone(30, 1.0, amplitude=32000, wave="sawtooth"), 0),
            ("crossfade 20 Hz to 20000 Hz", np.concatenate([low[:-r], crossfade, high[r:]]), 0),
            ("level step down", np.concatenate([half, tone(440, 0.5, amplitude=2000, phase=440 * 0.5)]), 0),
        ]
        for name, mono, expected in cases:
            with self.subTest(name):
                self.assertEqual(len(sa.clicks(stereo(mono))), expected)

    def test_click_position(self):
        mono = np.concatenate([tone(440, 0.5), tone(440, 0.5, phase=0.37)])
        found = sa.clicks(stereo(mono))
        self.assertEqual(len(found), 1)
        self.assertLessEqual(abs(found[0] - RATE // 2), 1)

    def test_short_context_would_call_a_slow_sawtooth_a_click(self):
        # The long context is what keeps the wave's own jumps out; with 10 ms they all count.
        saw = stereo(tone(30, 1.0, amplitude=32000, wave="sawtooth"))
        self.assertGreater(len(sa.clicks(saw, context_ms=10)), 20)


class FrequencyTest(unittest.TestCase):
    def test_resolves_a_hundredth_of_a_percent(self):
        for f in (100, 1151, 8457, 9430, 12000):
            with self.subTest(f=f):
                measured, periods = sa.frequency(stereo(tone(f, 6.0)))
                self.assertLess(abs(measured - f) / f, 1e-5)
                self.assertGreater(periods, 0.99 * 6 * f)
                off = f * (1 + 2e-4)
                measured, _ = sa.frequency(stereo(tone(off, 6.0)))
                self.assertGreater(abs(measured - f) / f, 1e-4)

    def test_alternating_whole_frame_periods(self):
        # Periods at the synthesis rate fall on whole frames (11 or 12 frames for 8457 Hz at
        # 96000/s); the mean over them is still the set frequency.
        f, rate = 8457, 96000
        p = rate / f
        frames = int(6 * rate)
        x = np.zeros(frames)
        c, j, n = 1, 0, int(p)
        step = 2 * np.pi / n
        for i in range(frames):
            x[i] = np.sin(j * step)
            j += 1
            if j == n:
                j, c = 0, c + 1
                n = int(c * p) - int((c - 1) * p)
        mono = np.round(20000 * x[::2]).astype(np.int32)  # 48000/s, as the recording
        measured, _ = sa.frequency(stereo(mono))
        self.assertLess(abs(measured - f) / f, 1e-4)

    def test_crossings_match_the_reference_analysis(self):
        rng = np.random.default_rng(7)
        cases = [
            ("clean", tone(440, 0.5)),
            ("noisy", tone(97, 0.5) + rng.integers(-3000, 3000, int(0.5 * RATE))),
            ("offset and quiet", tone(3000, 0.2, amplitude=40) + 7),
            ("with a gap", np.concatenate([tone(1000, 0.1, phase=0.2), silence(0.01), tone(1000, 0.1)])),
        ]
        for name, mono in cases:
            with self.subTest(name):
                ours = sa.rising_crossings(mono)
                theirs = analyze.rising_crossings(mono.tolist())
                self.assertEqual(len(ours), len(theirs))
                self.assertTrue(np.allclose(ours, theirs))

    def test_a_gap_does_not_shift_the_frequency(self):
        mono = np.concatenate([tone(1000, 3.0), silence(0.02), tone(1000, 3.0)])
        measured, _ = sa.frequency(stereo(mono))
        self.assertLess(abs(measured - 1000) / 1000, 1e-5)


class StallTest(unittest.TestCase):
    def test_gaps_beside_long_stalls(self):
        stalls = [(100.0, 25.0), (200.0, 9.0), (300.0, 102.5)]
        cases = [
            ("beside a long stall", [100.3], 1),
            ("beside a short one only", [200.0], 0),
            ("too far from any", [150.0, 301.0], 0),
            ("two gaps, one stall", [299.7, 300.2], 2),
            ("none", [], 0),
        ]
        for name, times, expected in cases:
            with self.subTest(name):
                self.assertEqual(sa.at_stalls(times, stalls), expected)

    def test_wall_clock_of_a_frame(self):
        clock = sa.WallClock()
        self.assertIsNone(clock.wall(0))
        clock.mark(1000.0, 48000)
        clock.mark(1061.0, 48000 * 60)  # the recording ran a second behind meanwhile
        self.assertAlmostEqual(clock.wall(48000 * 2), 1001.0)
        self.assertAlmostEqual(clock.wall(48000 * 59), 1060.0)


class ServerUnderrunTest(unittest.TestCase):
    LOG = """\
(   2.018|   0.000) I: [pulseaudio] protocol-native.c: Final latency 30.00 ms = 7.50 ms + 2*7.50 ms + 7.50 ms
(   2.019|   0.000) D: [null-sink] protocol-native.c: Requesting rewind due to end of underrun.
(   2.019|   0.000) D: [null-sink] protocol-native.c: Requesting rewind due to end of underrun.
(  46.430|   0.074) D: [null-sink] protocol-native.c: Requesting rewind due to end of underrun.
(  46.431|   0.000) D: [null-sink] protocol-native.c: Requesting rewind due to end of underrun.
(  46.431|   0.000) D: [null-sink] protocol-native.c: Requesting rewind due to end of underrun.
(  46.500|   0.069) D: [null-sink] protocol-native.c: Requesting rewind due to end of underrun.
(  50.000|   3.500) D: [pulseaudio] module-null-sink.c: something else about underrun handling
"""

    def test_events_from_the_servers_log(self):
        events = sa.server_underruns(self.LOG, 1000.0)
        # Lines of one event come within a few ms; 70 ms later is another.
        self.assertEqual([round(t, 3) for t in events], [1002.019, 1046.43, 1046.5])
        self.assertEqual(sa.server_underruns("", 1000.0), [])
        self.assertEqual(sa.server_underruns("not a log\n(garbage|\n", 0.0), [])

    def test_gaps_beside_underruns(self):
        events = sa.server_underruns(self.LOG, 1000.0)
        cases = [([1046.2], 1), ([1010.0], 0), ([1002.4, 1046.9, 1047.1], 2), ([], 0)]
        for times, expected in cases:
            with self.subTest(times=times):
                self.assertEqual(sa.near(times, events), expected)


class RecordingTest(unittest.TestCase):
    def test_pieces_are_checked_once_across_their_boundaries(self):
        seconds = sa.CHUNK_SECONDS
        # A gap right at the first boundary, and a click 80 ms before the second: inside the
        # tail that the next piece is checked with too. The pieces join without a jump of their
        # own (whole periods at 1000 Hz).
        first = tone(1000, seconds, phase=0.2)
        gap = int(0.002 * RATE)
        click_at = 2 * seconds * RATE - int(0.08 * RATE)
        before_click = seconds * RATE - gap - int(0.08 * RATE)
        second = np.concatenate([silence(0.002), tone(1000, seconds, phase=0.25)[:before_click],
                                 tone(1000, 0.08, phase=0.65)])
        third = tone(1000, 1.0, phase=0.65)
        with tempfile.TemporaryDirectory() as folder:
            for i, mono in enumerate((first, second, third)):
                with open(os.path.join(folder, f"chunk_{i:05d}"), "wb") as f:
                    f.write(stereo(mono).astype("<i2").tobytes())
            rec = sa.Recording(folder)
            self.assertEqual(rec.position(), 2 * seconds * RATE + RATE)
            gaps, clicks = [], []
            for final in (False, True):
                for start, x, lo, hi in rec.take(rec.position(), final):
                    gaps += [start + s for s, _, k in sa.silences(x) if k == "gap" and lo <= start + s < hi]
                    clicks += [start + i for i in sa.clicks(x) if lo <= start + i < hi]
            self.assertEqual(gaps, [seconds * RATE])
            self.assertEqual(len(clicks), 1)
            self.assertLessEqual(abs(clicks[0] - click_at), 1)
            self.assertEqual(rec.pieces(), [])

