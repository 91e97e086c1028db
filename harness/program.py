"""The generator as a process: started, watched and ended."""

import os
import re
import signal

from harness.procs import Processes

TITLE = "Звуковой генератор"
ABOUT_TITLE = "О программе !"
_SANITIZER = re.compile(r"AddressSanitizer|LeakSanitizer|ThreadSanitizer|runtime error:")


class Program:
    """`program` run with `args` in `env`; its output goes to <folder>/<name>.out and .err."""

    def __init__(self, procs: Processes, program, folder, env, name="soundgen", args=(), cwd=None):
        self.name = name
        self.out_path = os.path.join(folder, f"{name}.out")
        self.err_path = os.path.join(folder, f"{name}.err")
        with open(self.out_path, "ab") as out, open(self.err_path, "ab") as err:
            self.proc = procs.start([program, *args], env=env, stdout=out, stderr=err, cwd=cwd)
        self.pid = self.proc.pid
        self.window = None

    def stderr(self):
        with open(self.err_path, errors="replace") as f:
            return f.read()

    def running(self):
        return self.proc.poll() is None

    def check_stderr(self, who="the program", device=True):
        """Fails on a sanitizer report, and (with device) when the program found no sound device."""
        text = self.stderr()
        assert not _SANITIZER.search(text), f"{who} reported a sanitizer error:\n{text}"
        if device:
            assert "no audio device" not in text, f"{who} found no audio device on the private sound server:\n{text}"

    def terminate(self, timeout=5.0):
        """SIGTERM to the program alone, as a desktop ends it; its status. Fails when it hangs."""
        self.proc.send_signal(signal.SIGTERM)
        try:
            return self.proc.wait(timeout=timeout)
        except Exception:
            raise AssertionError(f"{self.name} did not end within {timeout} s of SIGTERM") from None

    def wait(self, timeout):
        try:
            return self.proc.wait(timeout=timeout)
        except Exception:
            raise AssertionError(f"{self.name} did not end within {timeout} s") from None


def launch(procs, program, folder, display, xdo, sound=None, name="soundgen", title=TITLE, args=(), **env):
    """`program` on the display, its sound to the private server (or nowhere), once its main window
    is shown; `.window` is its id."""
    changes = dict(sound.env) if sound is not None else {}
    changes.update(DISPLAY=display.name, WAYLAND_DISPLAY=None,
                   SDL_AUDIODRIVER="pulseaudio" if sound is not None else "dummy")
    changes.update(env)
    app = Program(procs, program, folder, procs.env(**changes), name=name, args=args)
    try:
        app.window = xdo.wait_window(title, app.proc)
    except AssertionError as e:
        raise AssertionError(f"{e}\n{app.stderr()}\n{display.log()}") from None
    return app
