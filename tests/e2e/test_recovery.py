"""The program's sound against a sound server that comes and goes, on a virtual display:
 (a) the frequency knob is stepped 30 times while endless sound plays; the recording must hold
     no discontinuity (with the ramps switched off the count is reported for comparison);
 (b) the server is killed and started again while endless sound plays: the program lives on,
     the tone comes back by itself within a second, and stop and start give the tone again;
 (c) the program starts with no server at all; once one is started, start gives the tone.
Also measured and reported (not checked): start click -> first sound, and knob key step -> new
sound, mean and worst of 50 each. The keys and clicks go through one xdotool that is already
running, and each is marked by the recording's size just before it is sent; the recorder's own
buffering (about 20 ms) can make a time come out that much short."""

import signal

from harness import analyze
from harness.session import KNOB_FREQ, KNOB_LEVEL, START, STOP, WindowInput
from harness.wait import wait_for
from harness.xinput import XdoPipe

FREQ, LEVEL = 440, 80
# Full-level 16-bit sine scaled by the device volume of the level (see test_app.py); the peak,
# which the underruns of a busy machine leave alone, unlike the RMS.
PEAK = 32767 * (LEVEL * 65535 // 100) / 65535


class Session(WindowInput):
    def __init__(self, procs, display, xdo, sound, launch, tmp_path):
        self.procs, self.display, self.xdo, self.sound, self.launch = procs, display, xdo, sound, launch
        self.tmp = tmp_path
        self.app = None

    def run_program(self, name, **env):
        self.app = self.launch(self.display, self.xdo, self.sound, name=name, **env)
        self.xdo.focus(self.app.window)
        self.set_knob(KNOB_LEVEL, LEVEL)

    def alive(self, when):
        assert self.app.running(), f"the program died ({when}):\n{self.app.stderr()}"

    def end_program(self):
        """SIGTERM must end the program, as it ends any desktop program."""
        self.app.terminate()

    def record(self, name):
        path = str(self.tmp / name)
        return path, self.sound.record(path)

    def knob_steps(self, name, what):
        """30 steps during endless sound; returns the analysis' status with the discontinuities."""
        self.set_knob(KNOB_FREQ, FREQ)
        path, rec = self.record(name)
        rec.wait_seconds(0.5)
        self.click(START)
        rec.wait_seconds(0.5)
        self.click(KNOB_FREQ)
        for _ in range(30):
            self.xdo.key("Prior")
            rec.wait_seconds(0.15)
        rec.wait_seconds(0.3)
        self.click(STOP)
        rec.wait_seconds(0.5)
        rec.stop()
        print(f"(a) 30 knob steps, {what}:")
        return path

    def tone_after_start(self, name):
        self.set_knob(KNOB_FREQ, FREQ)
        path, rec = self.record(name)
        rec.wait_seconds(0.8)
        self.click(START)
        rec.wait_seconds(2)
        self.click(STOP)
        rec.wait_seconds(0.8)
        rec.stop()
        # Underruns of a busy machine are the player test's subject; here they are reported, and
        # only a tone that is mostly gaps fails.
        return analyze.run("tone", path, "--freq", FREQ, "--tolerance", 1, "--min-silence", 0.5, "--peak", PEAK,
                           "--level-tolerance", 0.03, "--max-dropout", 0.2)


def test_knob_steps_latency_and_a_server_that_comes_and_goes(procs, display, xdo, sound, launch, tmp_path):
    s = Session(procs, display, xdo, sound, launch, tmp_path)
    # (a) with the ramps.
    s.run_program("ramps")
    path = s.knob_steps("steps_ramps.raw", "ramps on")
    assert analyze.run("clicks", path, "--max", 0) == 0, "clicks with the ramps on"

    # Latency of a start: 50 starts and stops of endless sound.
    path, rec = s.record("starts.raw")
    rec.wait_seconds(0.5)
    xdo_pipe = XdoPipe(procs, xdo)
    for _ in range(50):
        xdo_pipe.send(f"mousemove --window {s.app.window} {START[0]} {START[1]}")
        rec.wait_seconds(0.1)
        xdo_pipe.timed(rec, "click 1")
        rec.wait_seconds(0.35)
        s.click(STOP)
        rec.wait_seconds(0.25)
    rec.stop()
    assert analyze.run("onsets", path, "--marks", xdo_pipe.text()) == 0, "a start gave no sound"

    # Latency of a knob step: Home (20 Hz) and End (20000 Hz) in turn during endless sound.
    path, rec = s.record("changes.raw")
    rec.wait_seconds(0.5)
    s.click(START)
    s.click(KNOB_FREQ)
    xdo.key("Home")
    rec.wait_seconds(0.4)
    xdo_pipe.marks = []
    freqs = []
    for i in range(1, 51):
        key, old = ("End", 20) if i % 2 else ("Home", 20000)
        xdo_pipe.timed(rec, f"key {key}")
        freqs.append(str(old))
        rec.wait_seconds(0.3)
    s.click(STOP)
    rec.stop()
    xdo_pipe.close()
    assert analyze.run("changes", path, "--marks", xdo_pipe.text(), "--freqs", ",".join(freqs)) == 0, \
        "a knob step did not change the sound"

    # (b) the server goes away during endless sound and comes back.
    s.set_knob(KNOB_FREQ, FREQ)
    s.click(START)
    xdo.wait_size(s.app.window, 275, 700, "endless sound playing")
    sound.stop(signal.SIGKILL)
    wait_for(lambda: "audio device lost" in s.app.stderr(), 5, "the program to notice the loss")
    s.alive("server killed")
    sound.start()
    path, rec = s.record("back.raw")
    rec.wait_seconds(1.5)
    rec.stop()
    s.alive("server restarted")
    print("(b) endless sound 1.0 to 1.5 s after the server is back:")
    analyze.run("report", path, "--start", 1.0, "--length", 0.5)
    assert analyze.run("silent", path, "--start", 1.0, "--length", 0.5, "--threshold", 1000) != 0, \
        "the sound did not come back by itself within a second of the server"
    s.click(STOP)
    print("(b) stop and start after the server came back:")
    assert s.tone_after_start("restart.raw") == 0, "no tone after stop and start on the restarted server"
    s.end_program()

    # (a) again without the ramps, for comparison only.
    s.run_program("plain", SOUNDGEN_NO_RAMPS=1)
    analyze.run("clicks", s.knob_steps("steps_plain.raw", "ramps off (reported only)"))
    s.end_program()

    # (c) no server when the program starts.
    sound.stop()
    s.run_program("none")
    wait_for(lambda: "no audio device" in s.app.stderr(), 5, "word of the missing server")
    sound.start()
    print("(c) start after the server came up late:")
    assert s.tone_after_start("late.raw") == 0, "no tone from a server that came after the program"
    for name in ("ramps", "plain", "none"):
        text = (tmp_path / f"{name}.err").read_text(errors="replace")
        assert "Sanitizer" not in text and "runtime error:" not in text, f"sanitizer report ({name}):\n{text}"
