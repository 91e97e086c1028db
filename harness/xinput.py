"""Input and window queries through xdotool, on one display."""

import subprocess
import time

from harness.wait import wait_for


class Xdo:
    def __init__(self, procs, display):
        self.env = procs.env(DISPLAY=display)

    def run(self, *args, check=False):
        result = subprocess.run(["xdotool", *[str(a) for a in args]], env=self.env, capture_output=True, text=True,
                                timeout=30)
        if check and result.returncode != 0:
            raise AssertionError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
        return result.stdout

    def visible(self, title):
        """Ids of the visible windows named exactly `title`."""
        return self.run("search", "--onlyvisible", "--name", f"^{title}$").split()

    def wait_window(self, title, proc=None, timeout=20):
        """The id of the visible window named `title`, once mapped; fails sooner when proc ends."""
        def found():
            if proc is not None and proc.poll() is not None:
                raise AssertionError(f"the program ended (status {proc.returncode}) before its window '{title}'")
            ids = self.visible(title)
            return ids[0] if ids else None

        return wait_for(found, timeout, f"the window '{title}'", interval=0.05)

    def wait_gone(self, title, timeout=3):
        wait_for(lambda: not self.visible(title), timeout, f"the window '{title}' to close")

    def geometry(self, window):
        """(x, y, width, height) of the window on the screen."""
        values = dict(line.split("=", 1) for line in self.run("getwindowgeometry", "--shell", window).split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def wait_size(self, window, width, height, state, timeout=3):
        """The X server may take a moment to apply a resize."""
        try:
            wait_for(lambda: self.geometry(window)[2:] == (width, height), timeout, "the size")
        except AssertionError:
            raise AssertionError(f"window is {self.geometry(window)[2:]} in state '{state}', expected "
                                 f"{(width, height)}") from None

    def focus(self, window):
        self.run("windowfocus", "--sync", window)

    def move(self, window, point):
        self.run("mousemove", "--window", window, *point)

    def click(self, window, point, button=1):
        # The pointer rests a moment first, as a hand's would, so the press lands on a hovered control.
        self.run("mousemove", "--window", window, *point, "sleep", "0.1", "click", button)

    def key(self, *keys, delay=5, repeat=1):
        self.run("key", "--repeat", repeat, "--delay", delay, *keys)


class XdoPipe:
    """One xdotool reading commands as they come: starting a new one per key costs more than the
    latency being measured on a busy machine. Each timed command notes the recording's frame in
    `marks` just before it is sent."""

    def __init__(self, procs, xdo):
        self.proc = procs.start(["xdotool", "-"], env=xdo.env, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, text=True)
        self.marks = []

    def send(self, command):
        self.proc.stdin.write(command + "\n")
        self.proc.stdin.flush()

    def timed(self, rec, command):
        self.marks.append(rec.frames())
        self.send(command)

    def text(self):
        return ",".join(map(str, self.marks))

    def close(self):
        self.proc.stdin.close()


def wait_idle(pid, timeout=1.0, quiet=0.06):
    """Waits until the program's window thread has used no processor time for `quiet` s: the
    events sent so far have been handled and painted."""
    path = f"/proc/{pid}/task/{pid}/stat"

    def ticks():
        with open(path) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return fields[0], int(fields[11]) + int(fields[12])

    # Ticks are 10 ms: a quiet stretch of several of them, with the thread asleep at both ends.
    last = ticks()
    since = time.monotonic()
    deadline = since + timeout
    while time.monotonic() < deadline:
        time.sleep(0.02)
        now = ticks()
        if now != last or now[0] != "S":
            last, since = now, time.monotonic()
        elif time.monotonic() - since >= quiet:
            return
    # A busy program is no failure of its own here; the checks after this one judge it.
