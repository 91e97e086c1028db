"""The main window at twice the pixel density (QT_SCALE_FACTOR=2): twice the size, its pixel art
(knob, LED bar, read-out, button glyphs) enlarged pixel by pixel with no smoothing, its text drawn
at the finer resolution. Compared with the same window at scale 1."""

import os
import shutil

import pytest

from harness.layout import Layout
from harness.pixels import differing_blocks, screenshot
from harness.xinput import Xdo, wait_idle

FORM = Layout("Form1.layout")


def area(control, x0, y0, x1, y1):
    """A box given relative to a control's top-left pixel, in window coordinates."""
    ox, oy = FORM.origin(control)
    return ox + x0, oy + y0, ox + x1, oy + y1


SHARP = {
    "frequency-knob": area("iKnob1", 59, 34, 149, 129),
    "level-bar": area("iLedBar1", 1, 1, 14, 236),
    "frequency-readout": area("iSevenSegmentAnalog1", 1, 1, 125, 38),
    "lightning-glyph": area("SpeedButton3", -1, 2, 19, 26),
    "arrow-glyph": area("SpeedButton6", 2, 13, 17, 25),
}
FINER = {"frequency-caption": area("iLabel2", -5, -1, 130, 19)}


def test_scale_two_enlarges_pixel_art_and_refines_text(make_display, launch, procs, shots):
    if not shutil.which("convert"):
        pytest.skip("ImageMagick is not installed (scripts/setup.sh installs it)")
    display = make_display("1600x1400x24")
    xdo = Xdo(procs, display.name)
    pictures = {}
    for scale, size in ((1, (275, 650)), (2, (550, 1300))):
        app = launch(display, xdo, name=f"scale{scale}", QT_SCALE_FACTOR=scale)
        xdo.wait_size(app.window, *size, f"scale {scale}")
        wait_idle(app.pid)  # the first paint has reached the server
        pictures[scale] = screenshot(xdo.env, app.window, os.path.join(shots, f"hidpi_scale{scale}.png"))
        app.terminate()
        app.check_stderr(f"the program at scale {scale}", device=False)
    first, scaled = pictures[1], pictures[2]
    assert scaled.shape[:2] == (2 * first.shape[0], 2 * first.shape[1]), "scaled shot is not twice the first"
    failures = []
    for name, box in SHARP.items():
        bad = differing_blocks(first, scaled, 2, box)
        print(f"{name}: {bad} of {(box[2] - box[0]) * (box[3] - box[1])} pixels not enlarged exactly")
        if bad:
            failures.append(f"{name}: {bad} pixels not enlarged exactly")
    for name, box in FINER.items():
        bad = differing_blocks(first, scaled, 2, box)
        print(f"{name}: {bad} pixels drawn finer than the scale-1 shot")
        if not bad:
            failures.append(f"{name}: not drawn at the finer resolution")
    assert not failures, failures
