"""The program on a private display, its sound going to a private null sink, for the measuring
scripts: one display and one sound server, programs launched on them in turn, and an optional busy
load; closing ends everything started."""

import os
import shutil
import sys
import tempfile

from harness.display import Display
from harness.layout import Layout
from harness.procs import Processes
from harness.program import launch
from harness.sound import SoundServer
from harness.xinput import Xdo, wait_idle

FORM = Layout("Form1.layout")
START, STOP = FORM.centre("LbButton1"), FORM.centre("LbButton2")
KNOB_FREQ, KNOB_LEVEL = FORM.centre("iKnob1"), FORM.centre("iKnob2")
SCREEN = (1024, 768)


class WindowInput:
    """Clicks and knob settings on the window of `self.app` through `self.xdo`."""

    def click(self, point):
        self.xdo.click(self.app.window, point)
        wait_idle(self.app.pid)

    def set_knob(self, knob, units):
        self.click(knob)
        self.xdo.key("Home")
        self.xdo.key("Prior", repeat=units)
        wait_idle(self.app.pid)


class Session(WindowInput):
    def __init__(self, folder):
        self.folder = folder
        self.procs = Processes()
        self.app = None
        try:
            self.display = Display(self.procs, os.path.join(folder, "xvfb.log"), f"{SCREEN[0]}x{SCREEN[1]}x24")
            self.sound = SoundServer(self.procs, os.path.join(folder, "pulse"))
            self.xdo = Xdo(self.procs, self.display.name)
        except BaseException:
            self.procs.close()
            raise

    def launch(self, program, name, level):
        """The program with its main window focused and the level knob at `level`."""
        self.app = launch(self.procs, program, self.folder, self.display, self.xdo, self.sound, name=name)
        self.xdo.focus(self.app.window)
        self.set_knob(KNOB_LEVEL, level)
        return self.app

    def end_program(self):
        self.app.check_stderr()
        self.app.terminate()
        self.app = None

    def pointer_away(self):
        """The pointer to the middle of the widest free strip of the screen beside the window, so
        that no control is hovered and no hint shows."""
        x, y, width, height = self.xdo.geometry(self.app.window)
        right = x + width
        px = (right + SCREEN[0]) // 2 if SCREEN[0] - right >= x else x // 2
        self.xdo.run("mousemove", px, SCREEN[1] // 2, check=True)

    def busy(self, cores):
        """One endless busy loop per core, until close()."""
        for _ in range(cores):
            self.procs.start([sys.executable, "-c", "while 1: pass"])

    def close(self):
        """Ends everything; returns what was left behind (see Processes.close)."""
        return self.procs.close()


def add_program_arguments(parser):
    parser.add_argument("--load", action="store_true", help="keep both cores busy while measuring")
    parser.add_argument("--program", action="append", help="the program (twice: two programs in turn)")


def measure_programs(tool, parser, args, run_one):
    """`run_one(session, program, index)` for the one or two programs of `args`, in turn on one
    display and sound server (both cores busy with --load); their results. Exits with `tool`'s
    message when a program is missing or processes are left behind."""
    programs = args.program or ["build/app/soundgen"]
    if len(programs) > 2:
        parser.error("one or two programs")
    for program in programs:
        if not os.access(program, os.X_OK):
            sys.exit(f"{tool}: {program} is missing; build it first")
    folder = tempfile.mkdtemp(prefix=f"{tool}.")
    results = []
    session = Session(folder)
    try:
        if args.load:
            session.busy(2)
        for index, program in enumerate(programs):
            results.append(run_one(session, program, index))
    finally:
        left = session.close()
        shutil.rmtree(folder, ignore_errors=True)
    if left:
        sys.exit(f"{tool}: processes left behind:\n  " + "\n  ".join(left))
    return programs, results
