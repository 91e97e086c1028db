"""The generator on the command line, as a script uses it: "--play" for a set time with no display,
its sound going to the private server's null sink. The program must end by itself, and the
recording must hold the tone at the set frequency and device level for the set time, silent
before and after. A looping play must keep sounding until interrupted and then end cleanly."""

import signal
import time

from harness import analyze
from harness.program import Program

FREQ, LEVEL, PLAY_MS = 1000, 50, 2000
# A full-level sine peaks at 32767; the device level scales it by level * 65535 div 100 / 65535.
RMS = 32767 / 2**0.5 * (LEVEL * 65535 // 100) / 65535


def headless(procs, sound):
    return procs.env(DISPLAY=None, WAYLAND_DISPLAY=None, SDL_AUDIODRIVER="pulseaudio", **sound.env)


def test_timed_play_ends_by_itself(procs, sound, program, tmp_path):
    recording = str(tmp_path / "cli_timed.raw")
    rec = sound.record(recording)
    rec.wait_seconds(1)
    started = time.monotonic()
    app = Program(procs, program, str(tmp_path), headless(procs, sound), name="cli",
                  args=["--play", "--frequency", str(FREQ), "--duration", str(PLAY_MS), "--level", str(LEVEL)])
    status = app.wait(20)
    elapsed_ms = (time.monotonic() - started) * 1000
    app.check_stderr()
    assert status == 0, f"--play ended with status {status}:\n{app.stderr()}"
    assert elapsed_ms >= PLAY_MS, f"--play ended after {elapsed_ms:.0f} ms, before its {PLAY_MS} ms"
    print(f"timed play ended by itself after {elapsed_ms:.0f} ms")
    rec.wait_seconds(0.5)
    rec.stop()
    assert analyze.run("tone", recording, "--freq", FREQ, "--tolerance", 1, "--left-rms", RMS, "--right-rms", RMS,
                       "--level-tolerance", 0.05, "--ratio", 1, "--ratio-tolerance", 0.02, "--duration", PLAY_MS / 1000,
                       "--duration-tolerance", 0.04, "--min-silence", 0.5) == 0, \
        "the recorded sound of --play does not match (shorter: its end was cut off)"


def test_loop_sounds_until_interrupted(procs, sound, program, tmp_path):
    """Sounds past its one-second image, ends on an interrupt with status 0 and silence after."""
    recording = str(tmp_path / "cli_loop.raw")
    rec = sound.record(recording)
    rec.wait_seconds(1)
    app = Program(procs, program, str(tmp_path), headless(procs, sound), name="loop",
                  args=["--play", "--loop", "--frequency", "500", "--duration", "1000", "--level", str(LEVEL)])
    rec.wait_seconds(2.5)
    assert app.running(), "--play --loop ended by itself"
    app.proc.send_signal(signal.SIGINT)
    status = app.wait(10)
    assert status == 0, f"--play --loop ended with status {status} on an interrupt:\n{app.stderr()}"
    app.check_stderr("the looping program")
    rec.wait_seconds(1)
    rec.stop()
    assert analyze.run("tone", recording, "--freq", 500, "--tolerance", 1, "--left-rms", RMS, "--right-rms", RMS,
                       "--level-tolerance", 0.05, "--duration", 2.5, "--duration-tolerance", 0.5,
                       "--min-silence", 0.5) == 0, "the recorded sound of --play --loop does not match"
