"""Processes started for a check. Each runs in its own process group and carries a mark in its
environment that every process it starts inherits, even one that leaves the group (a daemon);
ending the checks ends every group, and any marked process still alive then is a leftover."""

import ctypes
import os
import signal
import subprocess
import time
import uuid

MARK = "SOUNDGEN_HARNESS_RUN"
_PR_SET_PDEATHSIG = 1


def die_with_parent():
    # Should the harness itself be killed, its direct children go too.
    ctypes.CDLL(None, use_errno=True).prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


def _alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


def marked(prefix):
    """(pid, mark, command line) of every process whose mark starts with prefix."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as f:
                env = f.read().split(b"\0")
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode(errors="replace").strip()
            with open(f"/proc/{entry}/stat") as f:
                if f.read().rsplit(")", 1)[1].split()[0] == "Z":
                    continue
        except OSError:
            continue
        key = (MARK + "=" + prefix).encode()
        for item in env:
            if item.startswith(key):
                found.append((int(entry), item.split(b"=", 1)[1].decode(), cmd))
    return found


def sweep_orphans():
    """Kills what earlier runs whose harness has died left behind; returns their command lines.
    Runs of others still alive keep theirs."""
    orphans = []
    for pid, mark, cmd in marked(""):
        owner = mark.split(":", 1)[0]
        if owner.isdigit() and not _alive(int(owner)):
            _kill(pid)
            orphans.append(f"{pid} {cmd}")
    return orphans


def _killpg(pgid, sig):
    try:
        os.killpg(pgid, sig)
    except OSError:
        pass


def _exited(pid, timeout):
    """Waits up to `timeout` s for the child `pid` to end, leaving it unreaped."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            if os.waitid(os.P_PID, pid, os.WEXITED | os.WNOHANG | os.WNOWAIT) is not None:
                return True
        except ChildProcessError:
            return True
        if time.monotonic() >= deadline:
            return False
        time.sleep(0.01)


def _kill(pid):
    try:
        os.kill(pid, signal.SIGKILL)
    except OSError:
        pass


class Processes:
    """The processes of one check."""

    def __init__(self):
        self.mark = f"{os.getpid()}:{uuid.uuid4().hex}"
        self.started = []

    def env(self, base=None, **changes):
        """The environment for a process: `base` (this one's by default) with changes; a value
        of None removes the variable."""
        env = dict(os.environ if base is None else base)
        for key, value in changes.items():
            if value is None:
                env.pop(key, None)
            else:
                env[key] = str(value)
        env[MARK] = self.mark
        return env

    def start(self, argv, env=None, **popen):
        env = dict(os.environ if env is None else env)
        env[MARK] = self.mark
        proc = subprocess.Popen(argv, env=env, start_new_session=True, preexec_fn=die_with_parent, **popen)
        self.started.append(proc)
        return proc

    @staticmethod
    def end(proc, sig=signal.SIGTERM, timeout=5.0):
        """Ends proc's whole group: `sig`, then SIGKILL after `timeout` s, then SIGKILL to what the
        leader left in its group. The group is signalled only while its leader is not yet reaped,
        so that its number cannot belong to a stranger's group yet. Returns its status."""
        if proc.returncode is not None:
            return proc.returncode
        for s in (sig, signal.SIGKILL):
            _killpg(proc.pid, s)
            if _exited(proc.pid, timeout):
                break
        _killpg(proc.pid, signal.SIGKILL)
        return proc.wait()

    def close(self):
        """Ends every group, newest first, and returns the marked processes still alive then
        (killed too): what a check left behind."""
        for proc in reversed(self.started):
            self.end(proc)
        self.started = []
        deadline = time.monotonic() + 2
        left = marked(self.mark)
        while left and time.monotonic() < deadline:
            time.sleep(0.05)  # the group's members take a moment to be reaped
            left = marked(self.mark)
        for pid, _, _ in left:
            _kill(pid)
        # A kill is delivered, not done: return once the escapees are really gone.
        deadline = time.monotonic() + 2
        while left and marked(self.mark) and time.monotonic() < deadline:
            time.sleep(0.02)
        return [f"{pid} {cmd}" for pid, _, cmd in left]
