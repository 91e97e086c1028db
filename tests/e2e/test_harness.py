"""The harness's own promise: whatever a check starts is ended with it, and whatever escapes its
process group is found and reported."""

import os
import subprocess
import time

from harness.procs import Processes, marked
from harness.wait import wait_for


def pids_of(procs):
    return {pid for pid, _, _ in marked(procs.mark)}


def test_groups_end_together_and_escapees_are_reported(tmp_path):
    procs = Processes()
    # A child in the leader's group, and a daemon that leaves it (its own session).
    kept = procs.start(["sh", "-c", "sleep 300 & wait"])
    daemon_pid = tmp_path / "daemon.pid"
    procs.start(["sh", "-c", f"setsid sh -c 'echo $$ >{daemon_pid}; exec sleep 300' & wait"])
    wait_for(lambda: daemon_pid.exists() and daemon_pid.read_text().strip(), 5, "the daemon")
    daemon = int(daemon_pid.read_text())
    wait_for(lambda: len(pids_of(procs)) >= 4, 5, "all four processes")
    assert os.getpgid(daemon) != kept.pid

    left = procs.close()
    assert len(left) == 1 and left[0].startswith(f"{daemon} "), left
    assert not pids_of(procs), "close() killed what it reported"
    assert kept.poll() is not None


def test_a_process_that_ignores_sigterm_is_killed():
    procs = Processes()
    stubborn = procs.start(["sh", "-c", "trap '' TERM; sleep 300 & wait; sleep 300"], stdout=subprocess.DEVNULL)
    wait_for(lambda: len(pids_of(procs)) == 2, 5, "the trap set and the child started")
    started = time.monotonic()
    assert procs.end(stubborn, timeout=0.5) is not None
    assert time.monotonic() - started < 3
    assert procs.close() == []
