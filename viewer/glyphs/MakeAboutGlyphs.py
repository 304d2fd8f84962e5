#!/usr/bin/env python3
"""Draws the About button's two pictures as 24-bit BMP files beside this
script: ebAbout.bmp, shown under the mouse, and ebAboutNoFocus.bmp, the quiet
grey one shown at rest. 16 x 16, a lit disc with the letter "i"; the corners
keep the transparent colour, which the button reads from pixel (0,0).
"""

import math
import os

from MakeGlyphs import Canvas

SIZE = 16

# Tones from the rim inwards to the lit spot, and the letter.
TONES = {
    'ebAbout.bmp': {'rim': (0, 0, 128), 'dark': (0, 48, 168), 'mid': (24, 96, 224),
                    'light': (104, 168, 255), 'letter': (255, 255, 255)},
    'ebAboutNoFocus.bmp': {'rim': (72, 72, 72), 'dark': (120, 120, 120), 'mid': (144, 144, 144),
                           'light': (168, 168, 168), 'letter': (255, 255, 255)},
}

# The letter: a dot, a stem with a small serif on the left, a foot.
LETTER = {(7, 3), (8, 3), (7, 4), (8, 4), (6, 6)}
LETTER |= {(x, y) for x in (7, 8) for y in range(6, 12)}
LETTER |= {(x, 12) for x in range(6, 10)}


def part(x, y):
    centre = (SIZE - 1) / 2
    r = math.hypot(x - centre, y - centre)
    if r > 7.6:
        return None
    if (x, y) in LETTER:
        return 'letter'
    if r > 6.6:
        return 'rim'
    lit = math.hypot(x - 5, y - 5)
    if lit < 3:
        return 'light'
    if lit < 6.5:
        return 'mid'
    return 'dark'


def about_glyph(tones):
    c = Canvas(SIZE)
    for y in range(SIZE):
        for x in range(SIZE):
            p = part(x, y)
            if p is not None:
                c.set(x, y, tones[p])
    return c


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    for name, tones in TONES.items():
        about_glyph(tones).write_bmp(os.path.join(here, name))
