"""A private PulseAudio server with one null sink, and recordings of that sink.

Works as root (the daemon then warns but runs) and as an ordinary user; never touches the user's
own sound server: the daemon and its clients only see the private socket."""

import os
import shutil
import signal
import subprocess
import time

from harness.procs import Processes
from harness.wait import wait_for

SINK = "e2e_sink"
RATE = 48000
FRAME_BYTES = 4


class SoundServer:
    """`env` holds what a client needs to reach the server (and only it). With log_level
    "debug" its log (`log_path`) notes every underrun, timed from `started_at` (wall clock)."""

    def __init__(self, procs: Processes, folder, log_level=None):
        for tool in ("pulseaudio", "parec", "pactl"):
            if not shutil.which(tool):
                raise FileNotFoundError(f"{tool} is not installed (scripts/setup.sh installs it)")
        self.procs = procs
        self.folder = folder
        self.log_level = log_level
        self.run_dir = os.path.join(folder, "run")
        for sub in ("run", "home", "config"):
            os.makedirs(os.path.join(folder, sub), exist_ok=True)
        os.chmod(self.run_dir, 0o700)
        with open(os.path.join(folder, "server.pa"), "w") as f:
            f.write(f"load-module module-null-sink sink_name={SINK} rate={RATE} format=s16le channels=2 "
                    "channel_map=front-left,front-right norewinds=1\n"
                    f"load-module module-native-protocol-unix auth-anonymous=1 socket={self.run_dir}/native\n"
                    f"set-default-sink {SINK}\n")
        with open(os.path.join(folder, "client.conf"), "w") as f:
            f.write("autospawn = no\n")
        self.env = {"XDG_RUNTIME_DIR": self.run_dir, "PULSE_SERVER": f"unix:{self.run_dir}/native",
                    "PULSE_CLIENTCONFIG": os.path.join(folder, "client.conf")}
        self.log_path = os.path.join(folder, "daemon.log")
        self.proc = None
        self.start()

    def start(self):
        logging = [f"--log-level={self.log_level}", "--log-time=1"] if self.log_level else []
        self.started_at = time.time()
        # The daemon gets its own home and runtime folder, so nothing of the user's set-up is read.
        env = self.procs.env(HOME=os.path.join(self.folder, "home"), XDG_CONFIG_HOME=os.path.join(self.folder, "config"),
                             XDG_RUNTIME_DIR=self.run_dir)
        self.proc = self.procs.start(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                      "--disable-shm=yes", *logging, f"--log-target=file:{self.log_path}",
                                      "-F", os.path.join(self.folder, "server.pa")],
                                     env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def up():
            if self.proc.poll() is not None:
                raise RuntimeError(f"the private sound server ended at start: {self.log()}")
            return SINK in self.pactl("list", "short", "sinks")

        wait_for(up, 10, "the private sound server to come up")
        # Anonymous access needs no cookie, but clients complain when they find none.
        cookie = os.path.join(self.folder, "config", "pulse", "cookie")
        if os.path.exists(cookie):
            self.env["PULSE_COOKIE"] = cookie

    def stop(self, sig=signal.SIGTERM):
        Processes.end(self.proc, sig)

    def pactl(self, *args):
        result = subprocess.run(["pactl", *args], env=self.procs.env(**self.env), capture_output=True, text=True,
                                timeout=10)
        return result.stdout if result.returncode == 0 else ""

    def log(self):
        try:
            with open(self.log_path, errors="replace") as f:
                return f.read()[-4000:]
        except OSError:
            return ""

    def record(self, path):
        return Recorder(self, path)


class Recorder:
    """The null sink's monitor as raw s16le, 48000/s, stereo, into `path` (a file or a pipe)."""

    def __init__(self, server: SoundServer, path):
        self.path = path
        before = set(server.pactl("list", "short", "source-outputs").splitlines())
        self.proc = server.procs.start(["parec", "-d", f"{SINK}.monitor", "--format=s16le", f"--rate={RATE}",
                                        "--channels=2", "--raw", "--latency-msec=20", path],
                                       env=server.procs.env(**server.env))
        # The stream is live once the server lists it.
        wait_for(lambda: set(server.pactl("list", "short", "source-outputs").splitlines()) - before, 10,
                 "the recorder to attach to the sound server")

    def frames(self):
        return os.path.getsize(self.path) // FRAME_BYTES

    def wait_seconds(self, seconds, timeout=None):
        """Waits until `seconds` more of sound have been recorded: time as the recording counts it,
        which a loaded machine cannot shorten."""
        target = self.frames() + int(seconds * RATE)
        wait_for(lambda: self.frames() >= target, timeout or 10 + 3 * seconds, f"{seconds} s more of recording")

    def stop(self):
        """Ends the recording; the file is complete afterwards."""
        Processes.end(self.proc, signal.SIGINT, timeout=10)
