"""Fixtures of the end-to-end suites: processes that are all ended with their groups (a check
that leaves one behind fails), a virtual display, a private sound server, the program, input
and pictures. Run with pytest and --build=<build dir>."""

import os
import shutil
import signal
import sys

import pytest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, ROOT)

from harness import procs as harness_procs  # noqa: E402
from harness import program as harness_program  # noqa: E402
from harness.display import Display  # noqa: E402
from harness.sound import SoundServer  # noqa: E402
from harness.xinput import Xdo  # noqa: E402

TEST_TIMEOUT = 240  # seconds; below the ctest limit, so that the clean-up still runs


def pytest_addoption(parser):
    parser.addoption("--build", required=True, help="the top build directory")


def pytest_sessionstart(session):
    for orphan in harness_procs.sweep_orphans():
        print(f"note: killed a process an earlier, killed run left behind: {orphan}", file=sys.stderr)
    # ctest ends a test that runs too long with SIGTERM: the fixtures still end what they started.
    signal.signal(signal.SIGTERM, lambda *_: pytest.exit("terminated", returncode=1))


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_call(item):
    def expired(*_):
        raise TimeoutError(f"{item.name} ran longer than {TEST_TIMEOUT} s")

    previous = signal.signal(signal.SIGALRM, expired)
    signal.alarm(TEST_TIMEOUT)
    try:
        yield
    finally:
        signal.alarm(0)
        signal.signal(signal.SIGALRM, previous)


def pytest_sessionfinish(session, exitstatus):
    # ctest counts status 77 as skipped: all checks skipped for a missing tool.
    reporter = session.config.pluginmanager.get_plugin("terminalreporter")
    if reporter and exitstatus == 0 and reporter.stats.get("skipped") and not reporter.stats.get("passed"):
        session.exitstatus = 77


def need(*tools):
    for tool in tools:
        if not shutil.which(tool):
            pytest.skip(f"{tool} is not installed (scripts/setup.sh installs it)")


@pytest.fixture(scope="session")
def build(request):
    return os.path.abspath(request.config.getoption("--build"))


@pytest.fixture(scope="session")
def program(build):
    path = os.environ.get("SOUNDGEN_PROGRAM") or os.path.join(build, "app", "soundgen")
    assert os.access(path, os.X_OK), f"{path} is missing; build the project first"
    return path


@pytest.fixture(scope="session")
def shots(build):
    path = os.path.join(build, "artifacts", "e2e")
    os.makedirs(path, exist_ok=True)
    return path


@pytest.fixture
def procs():
    processes = harness_procs.Processes()
    yield processes
    left = processes.close()
    if left:
        pytest.fail("processes left behind after the check (killed now):\n  " + "\n  ".join(left))


@pytest.fixture
def make_display(procs, tmp_path):
    def make(screen="1024x768x24"):
        need("Xvfb", "xdotool")
        return Display(procs, str(tmp_path / "xvfb.log"), screen)

    return make


@pytest.fixture
def display(make_display):
    return make_display()


@pytest.fixture
def xdo(procs, display):
    return Xdo(procs, display.name)


@pytest.fixture
def sound(procs, tmp_path):
    need("pulseaudio", "parec", "pactl")
    return SoundServer(procs, str(tmp_path / "pulse"))


@pytest.fixture
def launch(procs, program, tmp_path):
    """launch(display, xdo, sound=None, name=..., **env): the program on the display, its sound to
    the private server (or nowhere), once its main window is shown; `.window` is its id."""

    def start(display, xdo, sound=None, **options):
        return harness_program.launch(procs, program, str(tmp_path), display, xdo, sound, **options)

    return start
