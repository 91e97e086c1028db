"""The generator as a person uses it: the real program on a virtual display, its sound going to a
private sound server's null sink. The level and frequency knobs are set with the keyboard, start
and stop are clicked; the recording must be silent before the start, carry the set tone at the
set level while it plays and be silent again after the stop, and the window must have the size
of each state. Screenshots of every state go to <build>/artifacts/e2e."""

import os

from harness import analyze
from harness.layout import Layout
from harness.pixels import expect_colour_count, expect_pixel, screenshot, wait_pixel
from harness.program import ABOUT_TITLE
from harness.xinput import wait_idle

FORM = Layout("Form1.layout")
ABOUT = Layout("Form2.layout")
LEVEL, FREQ = 80, 440
# Full-level 16-bit sine (amplitude 32767, RMS 32767/sqrt 2) scaled by the device volume of the
# level: level x 65535 div 100 out of 65535, the same on both channels.
RMS = 32767 / 2**0.5 * (LEVEL * 65535 // 100) / 65535


def set_knob(xdo, app, knob, units):
    """A click gives a knob the focus without moving it; Home, then one page step per unit."""
    xdo.click(app.window, FORM.centre(knob))
    wait_idle(app.pid)
    xdo.key("Home")
    xdo.key("Prior", repeat=units)


def test_endless_timed_fold_out_and_about(procs, display, xdo, sound, launch, shots, tmp_path):
    app = launch(display, xdo, sound)
    win = app.window
    env = xdo.env
    shot = lambda name: screenshot(env, win, os.path.join(shots, name))
    xdo.focus(win)
    xdo.wait_size(win, 275, 650, "idle")
    wait_idle(app.pid)
    idle = shot("app_idle.png")
    # The panel captions: a black frame, silver inside, navy letters.
    for label, what in (("iLabel2", "Частота"), ("iLabel1", "Уровень")):
        cx, cy, cw, _ = FORM.rect(label)
        expect_pixel(idle, cx + 60, cy, "#000000", f"{what} caption: top of the frame")
        expect_pixel(idle, cx, cy + 7, "#000000", f"{what} caption: left of the frame")
        expect_pixel(idle, cx + cw - 2, cy + 13, "#C0C0C0", f"{what} caption: silver inside")
        expect_colour_count(idle, cx, cy, cw, 15, "#000080", 40, f"{what} caption: navy letters")

    recording = str(tmp_path / "app.raw")
    rec = sound.record(recording)
    rec.wait_seconds(1)
    set_knob(xdo, app, "iKnob2", LEVEL)
    set_knob(xdo, app, "iKnob1", FREQ)
    wait_idle(app.pid)
    shot("app_knobs_set.png")

    start, stop = FORM.centre("LbButton1"), FORM.centre("LbButton2")
    xdo.click(win, start)
    xdo.wait_size(win, 275, 700, "endless sound playing")
    shot("app_playing.png")
    rec.wait_seconds(3)
    xdo.click(win, stop)
    xdo.wait_size(win, 275, 650, "stopped")
    shot("app_stopped.png")
    rec.wait_seconds(1.2)
    rec.stop()
    assert analyze.run("tone", recording, "--freq", FREQ, "--tolerance", 1, "--left-rms", RMS, "--right-rms", RMS,
                       "--level-tolerance", 0.05, "--ratio", 1, "--ratio-tolerance", 0.02, "--min-silence", 0.5,
                       "--max-dropout", 0.005) == 0, "endless sound: the recording does not match (see above)"

    # The fold-out panel: the window grows to the right; hovering a waveform shows its sketch in
    # the preview box (inside the two bevels of its panel).
    px, py = FORM.origin("Panel7", 4, 4)
    xdo.click(win, FORM.centre("SpeedButton5"))
    xdo.wait_size(win, 580, 650, "fold-out panel open")
    wait_idle(app.pid)
    foldout = shot("app_foldout.png")
    lx, ly, lw, lh = FORM.rect("iLabel3")
    expect_pixel(foldout, lx + 80, ly, "#000000", "fold-out caption: top of the frame")
    expect_pixel(foldout, lx + 172, ly + 20, "#C0C0C0", "fold-out caption: silver inside")
    expect_colour_count(foldout, lx, ly, lw, lh, "#800000", 60, "fold-out caption: maroon letters")
    expect_pixel(foldout, px + 60, py, "#00FF00", "sine sketch at (60, 0)")
    xdo.run("mousemove", "--window", win, *FORM.centre("RadioButton3"), "sleep", "0.2", "mousemove_relative", 1, 0)
    hover = wait_pixel(env, win, os.path.join(shots, "app_hover_square.png"), px + 199, py + 10, "#FF0000", 3,
                       "square sketch at (199, 10)")
    expect_pixel(hover, px + 200, py + 10, "#000000", "no pixel at the square's end point")

    # Timed sound: uncheck "endless", type 700 ms, start; the tone sounds once for 0.7 s.
    recording2 = str(tmp_path / "app_timed.raw")
    rec = sound.record(recording2)
    rec.wait_seconds(1)
    endless = FORM.left_middle("CheckBox1", 10)
    xdo.click(win, endless)
    xdo.click(win, FORM.centre("Edit3"))
    wait_idle(app.pid)
    xdo.key("End", *["BackSpace"] * 5, "7", "0", "0", delay=20)
    xdo.click(win, start)
    xdo.wait_size(win, 580, 650, "timed sound started")
    shot("app_timed.png")
    rec.wait_seconds(2)
    rec.stop()
    assert analyze.run("tone", recording2, "--freq", FREQ, "--tolerance", 1, "--left-rms", RMS, "--right-rms", RMS,
                       "--level-tolerance", 0.05, "--duration", 0.7, "--duration-tolerance", 0.3,
                       "--min-silence", 0.5, "--max-dropout", 0.005) == 0, "timed sound: the recording does not match"

    # Endless again with the panel open: the fourth size.
    xdo.click(win, endless)
    wait_idle(app.pid)
    xdo.click(win, start)
    xdo.wait_size(win, 580, 700, "endless sound, fold-out panel open")
    shot("app_playing_wide.png")
    xdo.click(win, stop)
    xdo.wait_size(win, 580, 650, "stopped, fold-out panel open")

    # The About box: a window of its own over the main one, closed by its button.
    xdo.click(win, FORM.centre("SpeedButton4"))
    about = xdo.wait_window(ABOUT_TITLE, app.proc)
    xdo.wait_size(about, 271, 151, "About box")
    wait_idle(app.pid)
    box = screenshot(env, about, os.path.join(shots, "app_about.png"))
    # The gradient backdrop, top to bottom, where the text box and the button leave it bare.
    for x, y, colour in ((100, 0, "#8080C0"), (100, 1, "#7F7FBF"), (3, 76, "#404080"), (100, 150, "#020242")):
        expect_pixel(box, x, y, colour, f"About box: gradient row {y}")
    xdo.click(about, ABOUT.centre("SpeedButton1"))
    xdo.wait_gone(ABOUT_TITLE)
    xdo.wait_size(win, 580, 650, "About box closed")
    app.check_stderr()
