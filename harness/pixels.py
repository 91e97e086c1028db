"""Pictures of windows or of the screen, as numpy arrays of (row, column, RGB)."""

import subprocess

import numpy as np

from harness.wait import WaitTimeout, wait_for


def read_picture(path):
    data = subprocess.run(["convert", path, "ppm:-"], check=True, stdout=subprocess.PIPE).stdout
    magic, width, height, _, pixels = data.split(maxsplit=4)
    if magic != b"P6":
        raise ValueError(f"{path}: not a picture")
    return np.frombuffer(pixels[: int(width) * int(height) * 3], dtype=np.uint8).reshape(int(height), int(width), 3)


def screenshot(env, window, path):
    """PNG of the window ("root": the whole screen) as the X server shows it; its pixels."""
    subprocess.run(["import", "-window", str(window), path], env=env, check=True, stderr=subprocess.DEVNULL,
                   timeout=30)
    return read_picture(path)


def hex_colour(picture, x, y):
    return "#%02X%02X%02X" % tuple(int(v) for v in picture[y, x])


def expect_pixel(picture, x, y, colour, what):
    found = hex_colour(picture, x, y)
    assert found == colour.upper(), f"{what}: pixel ({x}, {y}) is {found}, expected {colour}"


def colour_count(picture, x, y, width, height, colour):
    want = np.array([int(colour[i : i + 2], 16) for i in (1, 3, 5)], dtype=np.uint8)
    return int((picture[y : y + height, x : x + width] == want).all(axis=2).sum())


def expect_colour_count(picture, x, y, width, height, colour, least, what):
    count = colour_count(picture, x, y, width, height, colour)
    assert count >= least, f"{what}: {count} pixels of {colour} in {width}x{height} at ({x}, {y}), expected {least}"


def wait_pixel(env, window, path, x, y, colour, timeout, what, equal=True):
    """Shoots the window until pixel (x, y) has (or, with equal False, no longer has) the colour;
    returns the picture. Fails with the last colour seen after `timeout` s."""
    last = {}

    def shot():
        last["picture"] = screenshot(env, window, path)
        return (hex_colour(last["picture"], x, y) == colour.upper()) == equal

    try:
        wait_for(shot, timeout, what, interval=0.01)
    except WaitTimeout:
        found = hex_colour(last["picture"], x, y)
        raise AssertionError(f"{what}: pixel ({x}, {y}) is {found} after {timeout} s") from None
    return last["picture"]


def differing_blocks(first, scaled, k, box):
    """Pixels of box (scale-1 coordinates, end exclusive) whose k x k block in `scaled` is not
    exactly their colour."""
    x0, y0, x1, y1 = box
    want = first[y0:y1, x0:x1].repeat(k, axis=0).repeat(k, axis=1)
    got = scaled[k * y0 : k * y1, k * x0 : k * x1]
    same = (want == got).all(axis=2)
    return int((~same.reshape(y1 - y0, k, x1 - x0, k).all(axis=(1, 3))).sum())
