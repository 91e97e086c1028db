#!/usr/bin/env python3
"""Compares a window shot at scale 1 with one at a whole-number scale k.

    pixel_scale.py SHOT1.png SHOTK.png K --sharp NAME:X0,Y0,X1,Y1 ... [--finer NAME:X0,Y0,X1,Y1 ...]

--sharp areas (scale-1 coordinates, end exclusive) must be enlarged pixel by pixel: every k x k
block of the second shot has exactly the colour of its pixel in the first, so no smoothing blurred
them. --finer areas must have been drawn at the finer resolution (some block is not one colour),
as text is. The second shot must be exactly k times the first.
"""
import argparse
import subprocess
import sys


def read(path):
    data = subprocess.run(["convert", path, "ppm:-"], check=True, stdout=subprocess.PIPE).stdout
    magic, width, height, _, pixels = data.split(maxsplit=4)
    if magic != b"P6":
        sys.exit(f"{path}: not a picture")
    return int(width), int(height), pixels


def area(text):
    name, _, box = text.partition(":")
    x0, y0, x1, y1 = (int(v) for v in box.split(","))
    return name, (x0, y0, x1, y1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("first")
    parser.add_argument("scaled")
    parser.add_argument("k", type=int)
    parser.add_argument("--sharp", type=area, nargs="*", default=[])
    parser.add_argument("--finer", type=area, nargs="*", default=[])
    args = parser.parse_args()
    k = args.k
    w1, h1, a = read(args.first)
    wk, hk, b = read(args.scaled)
    if (wk, hk) != (w1 * k, h1 * k):
        sys.exit(f"FAIL: scaled shot is {wk}x{hk}, expected {w1 * k}x{h1 * k}")

    def pixel(buf, width, x, y):
        i = (y * width + x) * 3
        return buf[i:i + 3]

    def differing_blocks(box):
        x0, y0, x1, y1 = box
        count = 0
        for y in range(y0, y1):
            for x in range(x0, x1):
                want = pixel(a, w1, x, y)
                if any(pixel(b, wk, k * x + dx, k * y + dy) != want for dx in range(k) for dy in range(k)):
                    count += 1
        return count

    failed = False
    for name, box in args.sharp:
        bad = differing_blocks(box)
        print(f"{name}: {bad} of {(box[2] - box[0]) * (box[3] - box[1])} pixels not enlarged exactly")
        failed |= bad != 0
    for name, box in args.finer:
        bad = differing_blocks(box)
        print(f"{name}: {bad} pixels drawn finer than the scale-1 shot")
        failed |= bad == 0
    if failed:
        sys.exit("FAIL: the scaled window is not the scale-1 window enlarged as required")


if __name__ == "__main__":
    main()
