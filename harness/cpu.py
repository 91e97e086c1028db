"""Processor time of running processes, in nanoseconds: a whole process from its CPU clock (which
keeps the time of threads that have ended), each thread from its scheduler statistics."""

import ctypes
import os
import time

_libc = ctypes.CDLL(None, use_errno=True)


def process_ns(pid):
    clock = ctypes.c_int()
    error = _libc.clock_getcpuclockid(pid, ctypes.byref(clock))
    if error:
        raise OSError(error, f"no processor clock for process {pid}")
    return time.clock_gettime_ns(clock.value)


def threads_ns(pid):
    """{thread id: (name, ns)} of the threads alive now."""
    found = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/comm") as f:
                name = f.read().strip()
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                found[int(tid)] = (name, int(f.read().split()[0]))
        except OSError:
            pass  # ended meanwhile
    return found


class Snapshot:
    def __init__(self, pid):
        self.wall = time.monotonic_ns()
        self.total = process_ns(pid)
        self.threads = threads_ns(pid)


def by_name(before, after):
    """Thread time between two {tid: (name, ns)} as {name: ns}: threads of one name added up, a
    thread started in between counted from zero; threads that ended in between are missing."""
    spent = {}
    for tid, (name, ns) in after.items():
        spent[name] = spent.get(name, 0) + ns - before.get(tid, (name, 0))[1]
    return spent


def percent(ns, wall_ns):
    """Share of one core."""
    return 100.0 * ns / wall_ns if wall_ns else 0.0
