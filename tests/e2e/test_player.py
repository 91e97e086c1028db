"""The sound player against a real sound server: a looping 1000 Hz sine with the device volume
0x7FFFFFFF (left full, right half) is recorded from the null sink; the recording must be silent
before the play, carry the tone at the right frequency and channel levels while it plays, and be
silent again after the stop while the program is still running. A second run keeps both
processors busy with three spinning loops: the tone must still come through without gaps, as it
must on a desktop where other programs are working."""

import os
import subprocess

import pytest

from harness import analyze

FREQ = 1000
AMPLITUDE = 16384  # half of full scale
PLAY_MS = 3000
# A sine of amplitude A has an RMS of A/sqrt(2); the volume word scales left by 0xFFFF/0xFFFF
# and right by 0x7FFF/0xFFFF.
LEFT_RMS = AMPLITUDE / 2**0.5
RIGHT_RMS = LEFT_RMS * 0x7FFF / 0xFFFF


@pytest.mark.parametrize("spinners", [0, 3], ids=["quiet", "processors busy"])
def test_tone_levels_and_silence_after_stop(procs, sound, build, tmp_path, spinners):
    probe = os.path.join(build, "tests", "e2e", "player_probe")
    assert os.access(probe, os.X_OK), f"{probe} is missing; build the project first"
    for _ in range(spinners):
        procs.start(["sh", "-c", "while :; do :; done"])
    recording = str(tmp_path / "player.raw")
    rec = sound.record(recording)
    rec.wait_seconds(1)
    env = procs.env(SDL_AUDIODRIVER="pulseaudio", **sound.env)
    with open(tmp_path / "probe.err", "wb") as err:
        player = procs.start([probe, "--freq", str(FREQ), "--rate", "96000", "--amplitude", str(AMPLITUDE),
                              "--volume", "0x7FFFFFFF", "--play-ms", str(PLAY_MS), "--after-ms", "1000"],
                             env=env, stdout=subprocess.DEVNULL, stderr=err)
    status = player.wait(timeout=60)
    errors = (tmp_path / "probe.err").read_text(errors="replace")
    assert status == 0, f"player_probe failed:\n{errors}"
    assert "no audio device" not in errors and "Sanitizer" not in errors and "runtime error:" not in errors, errors
    rec.wait_seconds(0.5)
    rec.stop()
    assert analyze.run("tone", recording, "--freq", FREQ, "--tolerance", 1, "--left-rms", LEFT_RMS,
                       "--right-rms", RIGHT_RMS, "--level-tolerance", 0.05, "--ratio", 0x7FFF / 0xFFFF,
                       "--ratio-tolerance", 0.02, "--duration", PLAY_MS / 1000, "--duration-tolerance", 0.4,
                       "--min-silence", 0.5, "--max-dropout", 0.002) == 0, "the recorded sound does not match"
