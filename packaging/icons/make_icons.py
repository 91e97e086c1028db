#!/usr/bin/env python3
"""Draws the menu icons from the window icon's 32x32 pixel art (resources/speaker.xpm).

Sizes that are whole multiples of 32 repeat each pixel; 48 repeats pixels 1 or 2 times
in a fixed pattern so edges stay hard; 16 is the hand-drawn map below. The SVG is the
32x32 art as square cells with crisp edges. Run again after changing the window icon.
"""
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
XPM = os.path.join(HERE, "..", "..", "resources", "speaker.xpm")

# Same colours as the window icon, at half the resolution: the body, the cone's white
# rim, one blue and one light-blue sound arc.
SMALL = [
    "kkkkkkkkkkkkkkkk",
    "kkkkkkkkkwkkkbkk",
    "kkkkkkkkwwkkkkbk",
    "kkkkkkkwywkkkkbk",
    "kkkkkkwyywkkckkb",
    "kwwwwwyyywkkkckb",
    "kwyyyyyyywkbkckb",
    "kwyyyyyyywkbkckb",
    "kwyyyyyyywkbkckb",
    "kwyyyyyyywkbkckb",
    "kwwwwwyyywkkkckb",
    "kkkkkkwyywkkckkb",
    "kkkkkkkwywkkkkbk",
    "kkkkkkkkwwkkkkbk",
    "kkkkkkkkkwkkkbkk",
    "kkkkkkkkkkkkkkkk",
]


def read_xpm(path):
    text = open(path, encoding="ascii").read()
    rows = [part for i, part in enumerate(text.split('"')) if i % 2 == 1]
    width, height, ncolours, _ = (int(v) for v in rows[0].split())
    palette = {}
    for entry in rows[1 : 1 + ncolours]:
        key, _, value = entry.split(None, 2)
        palette[key] = tuple(int(value[i : i + 2], 16) for i in (1, 3, 5))
    pixels = rows[1 + ncolours : 1 + ncolours + height]
    if len(pixels) != height or any(len(r) != width for r in pixels):
        sys.exit("make_icons: %s is not a %dx%d image" % (path, width, height))
    return palette, pixels


def spans(source, target):
    """Source index for every target pixel: each source pixel covers a whole number of them."""
    return [i * source // target for i in range(target)]


def scaled(pixels, size):
    idx = spans(len(pixels), size)
    return ["".join(pixels[y][x] for x in idx) for y in idx]


def write_png(path, palette, pixels):
    raw = b"".join(
        b"\0" + b"".join(bytes(palette[c]) for c in row) for row in pixels
    )

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    size = len(pixels)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


def write_svg(path, palette, pixels):
    size = len(pixels)
    out = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
        'viewBox="0 0 %d %d" shape-rendering="crispEdges">' % (size, size, size, size)
    ]
    for y, row in enumerate(pixels):
        x = 0
        while x < len(row):
            end = x
            while end < len(row) and row[end] == row[x]:
                end += 1
            colour = "#%02x%02x%02x" % palette[row[x]]
            out.append(
                '<rect x="%d" y="%d" width="%d" height="1" fill="%s"/>' % (x, y, end - x, colour)
            )
            x = end
    out.append("</svg>")
    with open(path, "w", encoding="ascii") as f:
        f.write("\n".join(out) + "\n")


def main():
    palette, pixels = read_xpm(XPM)
    write_png(os.path.join(HERE, "16", "soundgen.png"), palette, SMALL)
    for size in (32, 48, 64, 128, 256):
        write_png(os.path.join(HERE, str(size), "soundgen.png"), palette, scaled(pixels, size))
    write_svg(os.path.join(HERE, "soundgen.svg"), palette, pixels)


if __name__ == "__main__":
    main()
