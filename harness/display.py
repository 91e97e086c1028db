"""A private virtual display."""

import os
import select
import shutil
import subprocess

from harness.procs import Processes


class Display:
    """Xvfb on a display number it picks itself; `name` is the DISPLAY value. The server has
    written its number once it accepts clients, so no polling is needed."""

    def __init__(self, procs: Processes, log_path, screen="1024x768x24"):
        if not shutil.which("Xvfb"):
            raise FileNotFoundError("Xvfb is not installed (scripts/setup.sh installs it)")
        read_end, write_end = os.pipe()
        self.log_path = log_path
        # Without -noreset the server resets whenever its last client leaves (every xdotool
        # call), and a program connecting during the reset is refused.
        with open(log_path, "ab") as log:
            self.proc = procs.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp",
                                     "-noreset"], stdout=log, stderr=subprocess.STDOUT, pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        try:
            while not number.endswith(b"\n"):
                ready, _, _ = select.select([read_end], [], [], 20)
                chunk = os.read(read_end, 16) if ready else b""
                if not chunk:
                    raise RuntimeError(f"Xvfb did not come up: {self.log()}")
                number += chunk
        finally:
            os.close(read_end)
        self.name = ":" + number.decode().strip()

    def log(self):
        try:
            with open(self.log_path, errors="replace") as f:
                return f.read()
        except OSError:
            return ""
