"""Starts a program on a private virtual display and checks that it shows its main window at
the expected size; everything started is ended again. For the packaging checks:

    python3 -m harness.window_check --size 275x650 [--cwd DIR] [--clean-env] [--set NAME=VALUE ...]
                                    -- COMMAND [ARG...]

--clean-env starts the command with only PATH=/usr/bin:/bin and the --set variables (and the
display), as a menu entry would. Exit status 0 when the window showed at that size."""

import argparse
import os
import subprocess
import sys
import tempfile

from harness.display import Display
from harness.procs import Processes
from harness.program import TITLE
from harness.xinput import Xdo


def main(argv=None):
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--size", required=True)
    p.add_argument("--cwd")
    p.add_argument("--clean-env", action="store_true")
    p.add_argument("--set", action="append", default=[])
    p.add_argument("command", nargs="+")
    args = p.parse_args(argv)
    procs = Processes()
    folder = tempfile.mkdtemp(prefix="window-check.")
    failure = None
    try:
        display = Display(procs, os.path.join(folder, "xvfb.log"), "1280x1024x24")
        base = {"PATH": "/usr/bin:/bin"} if args.clean_env else None
        env = procs.env(base, DISPLAY=display.name, WAYLAND_DISPLAY=None, SDL_AUDIODRIVER="dummy",
                        **dict(item.split("=", 1) for item in args.set))
        err_path = os.path.join(folder, "err")
        with open(err_path, "wb") as err:
            proc = procs.start(args.command, env=env, cwd=args.cwd, stdout=subprocess.DEVNULL, stderr=err)
        xdo = Xdo(procs, display.name)
        try:
            window = xdo.wait_window(TITLE, proc, timeout=30)
            size = "x".join(map(str, xdo.geometry(window)[2:]))
            if size != args.size:
                failure = f"main window is {size}, expected {args.size}"
        except AssertionError as e:
            with open(err_path, errors="replace") as f:
                failure = f"no main window: {e}\n{f.read()}"
    finally:
        left = procs.close()
        subprocess.run(["rm", "-rf", folder])
    if left:
        failure = (failure or "") + "\nprocesses left behind:\n  " + "\n  ".join(left)
    if failure:
        print(f"window_check: {failure}", file=sys.stderr)
        return 1
    print(f"window_check: {' '.join(args.command)} showed its {args.size} window")
    return 0


if __name__ == "__main__":
    sys.exit(main())
