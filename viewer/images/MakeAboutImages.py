#!/usr/bin/env python3
"""Draws the About button's images: AboutButton.png (shown under the mouse)
and AboutButtonNoFocus.png (the quiet image at rest). 16 x 16, hard-edged,
with magenta as the see-through colour in pixel (0,0).

    python3 viewer/images/MakeAboutImages.py   # rewrites both files here
"""
import math
import os
import struct
import zlib

SIZE = 16
KEY = (255, 0, 255)

# Tones from the rim inwards to the lit spot, and the letter.
COLOURS = {
    "about": {"rim": (0, 0, 128), "dark": (0, 48, 168), "mid": (24, 96, 224),
              "light": (104, 168, 255), "letter": (255, 255, 255)},
    "quiet": {"rim": (72, 72, 72), "dark": (120, 120, 120), "mid": (144, 144, 144),
              "light": (168, 168, 168), "letter": (255, 255, 255)},
}

# The letter "i": a dot, a stem with a small left serif, a foot.
LETTER = {(7, 3), (8, 3), (7, 4), (8, 4), (6, 6)}
LETTER |= {(x, y) for x in (7, 8) for y in range(6, 12)}
LETTER |= {(x, 12) for x in range(6, 10)}


def part(x, y):
    centre = (SIZE - 1) / 2
    r = math.hypot(x - centre, y - centre)
    if r > 7.6:
        return None
    if (x, y) in LETTER:
        return "letter"
    if r > 6.6:
        return "rim"
    lit = math.hypot(x - 5, y - 5)
    if lit < 3:
        return "light"
    if lit < 6.5:
        return "mid"
    return "dark"


def pixels(tones):
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            p = part(x, y)
            row.append(KEY if p is None else tones[p])
        rows.append(row)
    return rows


def write_png(path, rows):
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                  + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(here, "AboutButton.png"), pixels(COLOURS["about"]))
    write_png(os.path.join(here, "AboutButtonNoFocus.png"), pixels(COLOURS["quiet"]))


if __name__ == "__main__":
    main()
