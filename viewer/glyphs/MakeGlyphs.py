#!/usr/bin/env python3
"""Draws the main toolbar's six glyphs as 24-bit BMP files.

Each glyph is one image in the 16 colours of the classic desktop palette; the
bottom-left pixel holds the transparent colour (olive), which the pictures
themselves never use. Run from anywhere: the files land beside this script.
"""

import math
import os
import struct

# The 16-colour palette, as (red, green, blue).
BLACK = (0, 0, 0)
MAROON = (128, 0, 0)
GREEN = (0, 128, 0)
OLIVE = (128, 128, 0)
NAVY = (0, 0, 128)
PURPLE = (128, 0, 128)
TEAL = (0, 128, 128)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
RED = (255, 0, 0)
LIME = (0, 255, 0)
YELLOW = (255, 255, 0)
BLUE = (0, 0, 255)
AQUA = (0, 255, 255)
WHITE = (255, 255, 255)

TRANSPARENT = OLIVE


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [[TRANSPARENT] * size for _ in range(size)]

    def set(self, x, y, color):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = color

    def fill(self, left, top, right, bottom, color):
        """Fills the rectangle with both corners included."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.set(x, y, color)

    def frame(self, left, top, right, bottom, color):
        for x in range(left, right + 1):
            self.set(x, top, color)
            self.set(x, bottom, color)
        for y in range(top, bottom + 1):
            self.set(left, y, color)
            self.set(right, y, color)

    def line(self, x0, y0, x1, y1, color):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, color)
            if (x0, y0) == (x1, y1):
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, radius, color):
        for y in range(self.size):
            for x in range(self.size):
                if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                    self.set(x, y, color)

    def ring(self, cx, cy, radius, color):
        for y in range(self.size):
            for x in range(self.size):
                d = math.hypot(x - cx, y - cy)
                if radius - 0.5 <= d < radius + 0.5:
                    self.set(x, y, color)

    def art(self, left, top, rows, colors):
        """Copies a picture given as rows of letters; '.' leaves a pixel alone."""
        for dy, row in enumerate(rows):
            for dx, letter in enumerate(row):
                if letter != '.':
                    self.set(left + dx, top + dy, colors[letter])

    def write_bmp(self, path):
        assert self.pixels[self.size - 1][0] == TRANSPARENT, path
        row_bytes = (self.size * 3 + 3) & ~3
        image = bytearray()
        for y in range(self.size - 1, -1, -1):  # bottom-up
            row = bytearray()
            for r, g, b in self.pixels[y]:
                row += bytes((b, g, r))
            row += bytes(row_bytes - len(row))
            image += row
        header = struct.pack('<2sIHHI', b'BM', 54 + len(image), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.size, self.size, 1, 24, 0, len(image),
                           2835, 2835, 0, 0)
        with open(path, 'wb') as out:
            out.write(header + info + image)


LETTERS = {'k': BLACK, 'w': WHITE, 'y': YELLOW, 's': SILVER, 'g': GREY, 'n': NAVY,
           'b': BLUE, 'a': AQUA, 't': TEAL, 'm': MAROON, 'r': RED}


def open_glyph():
    """An open yellow folder with a curved arrow above it."""
    c = Canvas(18)
    c.art(0, 1, [
        "...........kkk....",
        "..........k...k.k.",
        "...............kk.",
        "..kkkk........kkk.",
        ".kwyyyk...........",
        ".kyyyyykkkkkkk....",
        ".kywyyyyyyyyyk....",
        ".kyyywyyyyyyyk....",
        ".kywykkkkkkkkkkkkk",
        ".kyyksyysyysyyyyk.",
        ".kywkyyyyyyyyyyk..",
        ".kykyyyyyyyyyyyk..",
        ".kkysyysyysyyyk...",
        ".kkyyyyyyyyyyk....",
        ".kkkkkkkkkkkkk....",
    ], LETTERS)
    return c


def save_glyph():
    """A navy floppy disk with a white label and a silver shutter."""
    c = Canvas(16)
    c.art(0, 1, [
        ".kkkkkkkkkkkkkk.",
        ".knkwwwwwwwwknk.",
        ".knkwwwwwwwwknk.",
        ".knkwggggggwknk.",
        ".knkwwwwwwwwknk.",
        ".knkwggggggwknk.",
        ".knkwwwwwwwwknk.",
        ".knnkkkkkkkknnk.",
        ".knnnnnnnnnnnnk.",
        ".knnnkkkkkkknnk.",
        ".knnkssknsssknk.",
        ".knnkssknsssknk.",
        ".knnkssknsssknk.",
        "..kkkkkkkkkkkkk.",
    ], LETTERS)
    return c


def magnifier(c, cx, cy, radius, handle_to):
    c.disc(cx, cy, radius, AQUA)
    c.set(cx - 2, cy - 2, WHITE)
    c.set(cx - 1, cy - 2, WHITE)
    c.set(cx - 2, cy - 1, WHITE)
    c.ring(cx, cy, radius + 0.5, BLACK)
    start = int(cx + radius * 0.75) + 1
    for offset in (0, 1):
        c.line(start + offset, start, handle_to + offset, handle_to, MAROON)
        c.line(start, start + offset, handle_to, handle_to + offset, BLACK)


def find_glyph():
    """A magnifying glass with a light-blue lens."""
    c = Canvas(17)
    magnifier(c, 6, 6, 4, 14)
    return c


def find_next_glyph():
    """A smaller magnifying glass with a blue arrow pointing on."""
    c = Canvas(16)
    magnifier(c, 5, 5, 3, 9)
    c.art(10, 9, [
        "k....",
        "kk...",
        "kbk..",
        "kbbk.",
        "kbk..",
        "kk...",
        "k....",
    ], LETTERS)
    return c


def page(c, left, top, right, bottom):
    c.fill(left, top, right, bottom, WHITE)
    c.frame(left, top, right, bottom, BLACK)
    for y in range(top + 2, bottom - 1, 2):
        c.line(left + 2, y, right - 2 - (y % 3), y, GREY)


def copy_glyph():
    """Two overlapping pages, the front one lower and to the right."""
    c = Canvas(20)
    page(c, 1, 1, 11, 13)
    page(c, 7, 6, 18, 18)
    return c


def setup_glyph():
    """A grey gear with a navy hub."""
    c = Canvas(20)
    cx = cy = 9.5
    for y in range(20):
        for x in range(20):
            angle = math.atan2(y - cy, x - cx)
            distance = math.hypot(x - cx, y - cy)
            tooth = math.cos(8 * angle) > -0.15
            outer = 9.0 if tooth else 6.8
            if distance <= outer:
                c.set(x, y, SILVER if (x + y) < 19 else GREY)
    # Outline: a gear pixel next to a pixel outside the gear.
    outline = []
    for y in range(20):
        for x in range(20):
            if c.pixels[y][x] == TRANSPARENT:
                continue
            around = [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]
            if any(not (0 <= ax < 20 and 0 <= ay < 20) or c.pixels[ay][ax] == TRANSPARENT
                   for ax, ay in around):
                outline.append((x, y))
    for x, y in outline:
        c.set(x, y, BLACK)
    c.disc(cx, cy, 2.6, NAVY)
    c.set(8, 8, BLUE)
    c.set(9, 8, BLUE)
    return c


GLYPHS = {
    'tbOpen.bmp': open_glyph,
    'tbSave.bmp': save_glyph,
    'tbFind.bmp': find_glyph,
    'tbFindNext.bmp': find_next_glyph,
    'tbCopy.bmp': copy_glyph,
    'tbSetup.bmp': setup_glyph,
}

if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    for name, draw in GLYPHS.items():
        draw().write_bmp(os.path.join(here, name))
