"""Waiting on a condition instead of sleeping a fixed time."""

import time


class WaitTimeout(AssertionError):
    pass


def wait_for(condition, timeout, what, interval=0.02):
    """Returns condition()'s first true value; fails after `timeout` s, naming `what`."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise WaitTimeout(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)
