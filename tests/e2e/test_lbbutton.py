"""The start button as a person sees it: hovering paints its face in the hot-track colour,
leaving fades it back to the face colour within about a quarter second, pressing paints the
pressed colour and releasing outside the button still starts the sound. Then the program is
closed again and again while a fade runs; it must end cleanly each time. Screenshots go to
<build>/artifacts/e2e."""

import os
import time

from harness.layout import Layout
from harness.pixels import expect_pixel, screenshot, wait_pixel
from harness.xinput import wait_idle

FORM = Layout("Form1.layout")
BUTTON = FORM.origin("LbButton1")
# Its face colour sits a quarter down (row 9, row 10 while pressed), left of the caption; its
# corner shows the panel beneath.
FACE_PROBE = FORM.origin("LbButton1", 10, 9)
PRESSED_PROBE = FORM.origin("LbButton1", 10, 10)
START = FORM.centre("LbButton1")
AWAY = (140, 300)
CLOSE = FORM.centre("SpeedButton1")
PANEL = "#DAE3E4"  # 15000538


def band1(colour, light=16369081):
    """The gradient's lower half is 28 rows of 32 bands, so the row a quarter down holds the
    second band: the colour plus (light colour - colour) / 31 per channel, truncated."""
    ch = lambda v, s: (v >> s) & 255
    return "#%02X%02X%02X" % tuple(int(ch(colour, s) + (ch(light, s) - ch(colour, s)) / 31) for s in (0, 8, 16))


FACE, HOT, PRESSED = band1(14680029), band1(8441834), band1(9215487)


def close_by_button(xdo, app, pause, what):
    xdo.run("mousemove", "--window", app.window, *START, "sleep", "0.1", "mousemove", "--window", app.window, *CLOSE,
            "sleep", pause, "click", 1)
    status = app.wait(10)
    assert status == 0, f"{what}: the program ended with status {status}\n{app.stderr()}"


def test_hover_fade_press_and_close_during_fades(procs, display, xdo, sound, launch, shots):
    app = launch(display, xdo, sound)
    win, env = app.window, xdo.env
    xdo.focus(win)
    xdo.move(win, AWAY)
    wait_idle(app.pid)
    idle = screenshot(env, win, os.path.join(shots, "lbbutton_idle.png"))
    expect_pixel(idle, *FACE_PROBE, FACE, "start button face at rest")
    expect_pixel(idle, *BUTTON, PANEL, "the rounded corner shows the panel")

    xdo.move(win, START)
    wait_pixel(env, win, os.path.join(shots, "lbbutton_hover.png"), *FACE_PROBE, HOT, 3, "hot-track colour while hovered")

    xdo.move(win, AWAY)
    left = time.monotonic()
    wait_pixel(env, win, os.path.join(shots, "lbbutton_left.png"), *FACE_PROBE, FACE, 0.6,
               "face colour again after the fade")
    print(f"faded back within {time.monotonic() - left:.2f} s")

    xdo.run("mousemove", "--window", win, *START, "sleep", "0.2", "mousedown", 1)
    wait_pixel(env, win, os.path.join(shots, "lbbutton_pressed.png"), *PRESSED_PROBE, PRESSED, 3, "pressed colour")
    xdo.run("mousemove", "--window", win, *AWAY, "sleep", "0.2", "mouseup", 1)
    xdo.wait_size(win, 275, 700, "released outside the start button: endless sound")
    screenshot(env, win, os.path.join(shots, "lbbutton_released_outside.png"))
    xdo.run("mousemove", "--window", win, *CLOSE, "sleep", "0.1", "click", 1)
    status = app.wait(10)
    assert status == 0, f"the program ended with status {status}\n{app.stderr()}"
    app.check_stderr()

    # Closing during a fade: the pointer crosses the start button on its way to the close button.
    for round_ in range(1, 7):
        app = launch(display, xdo, sound, name=f"round{round_}")
        xdo.focus(app.window)
        close_by_button(xdo, app, f"0.0{round_}", f"round {round_}")
        app.check_stderr(f"the program in round {round_}")
