"""With no session bus (a build server, a container, an SSH session) the program must start as
quickly as anywhere: it forks no bus launcher, which could hang in the child of a multi-threaded
program and would outlive it. Started again and again at scales 1 and 2, each start shows its
window, no start leaves a child process, and nothing is left behind after."""

import os

import pytest

from harness.xinput import Xdo

STARTS = int(os.environ.get("E2E_STARTS", "20"))


def children(pid):
    found = []
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/children") as f:
            found += f.read().split()
    return found


@pytest.mark.parametrize("scale", [1, 2])
def test_every_start_shows_its_window_without_a_bus_launcher(make_display, launch, procs, tmp_path, scale):
    display = make_display("1600x1400x24")
    xdo = Xdo(procs, display.name)
    runtime = tmp_path / "runtime"  # a private runtime folder: no bus socket in it
    runtime.mkdir(mode=0o700)
    # Where the launcher is not installed, the bus library looks for it on the PATH: this one
    # notes that it was asked for.
    tools = tmp_path / "bin"
    tools.mkdir()
    launched = tmp_path / "launcher-started"
    (tools / "dbus-launch").write_text(f"#!/bin/sh\necho \"$@\" >>{launched}\nexit 1\n")
    (tools / "dbus-launch").chmod(0o755)
    path = f"{tools}:{os.environ.get('PATH', '/usr/bin:/bin')}"
    for start in range(1, STARTS + 1):
        app = launch(display, xdo, name=f"start{start}", QT_SCALE_FACTOR=scale, DBUS_SESSION_BUS_ADDRESS=None,
                     XDG_RUNTIME_DIR=runtime, PATH=path)
        forked = children(app.pid)
        assert not forked, f"start {start}: the program started processes {forked}"
        app.terminate()
        app.check_stderr(f"start {start}", device=False)
        assert not launched.exists(), f"start {start}: a bus launcher was started: {launched.read_text()}"
