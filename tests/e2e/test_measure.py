"""The measuring scripts' arithmetic on made-up input: percentiles, onsets and changes in a
recording, thread times by name."""

import math

import pytest

from harness import analyze, cpu

RATE = 48000


@pytest.mark.parametrize("values, share, expected", [
    (list(range(1, 21)), 0.95, 19),
    (list(range(20, 0, -1)), 0.95, 19),
    ([3.0, 1.0, 2.0], 0.95, 3.0),
    ([7], 0.95, 7),
    (list(range(1, 101)), 0.5, 50),
])
def test_percentile_is_the_nearest_rank(values, share, expected):
    assert analyze.percentile(values, share) == expected


def test_onsets_count_to_the_first_loud_frame_and_miss_what_never_sounds():
    left = [0] * RATE
    right = [0] * RATE
    right[1000] = 65  # just above the threshold, one channel is enough
    left[20000] = 5000
    found = analyze.onset_delays(left, right, [500, 1000, 19000, 30000], 64, RATE)
    assert found == [(500, 500 / RATE), (1000, 0.0), (19000, 1000 / RATE), (30000, None)]


def test_a_change_is_timed_from_the_mark_and_a_steady_or_silent_tone_shows_none():
    change = 24000
    tone = [round(10000 * math.sin(2 * math.pi * (440 if n < change else 3000) * n / RATE)) for n in range(RATE)]
    (mark, delay), (_, later) = analyze.change_delays(tone, [change - 480, 12000], [440, 440], RATE)
    assert mark == change - 480 and 480 / RATE <= delay <= 490 / RATE
    assert 0.25 <= later <= 0.2502
    assert analyze.change_delays(tone[:change], [12000], [440], RATE) == [(12000, None)]
    assert analyze.change_delays([0] * RATE, [change], [440], RATE) == [(change, None)]


def test_thread_times_add_up_by_name_and_a_new_thread_counts_from_zero():
    before = {1: ("main", 100), 2: ("audio", 50)}
    after = {1: ("main", 300), 2: ("audio", 50), 3: ("main", 40)}
    assert cpu.by_name(before, after) == {"main": 240, "audio": 0}
