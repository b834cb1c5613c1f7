#!/usr/bin/env python3
"""Draws the main window's skin artwork and writes it as 24-bit bitmap files.

caption.bmp (855 x 40): the caption band the skin library builds the window's
caption from, laid out as the main window's skin values say:
  x 0..19     left end (ActiveLeftEnd 20)
  x 21..775   middle tile (copied from ActiveLeftEnd + 1, as wide as
              ActiveRightStart - ActiveLeftEnd)
  x 775..779  right end (ActiveRightStart 775 .. ActiveRightEnd 779)
  x 779..854  the button glyphs, 19 wide each (ButtonWidth): close, restore,
              maximise, minimise; normal in rows 0..19, pressed in rows 20..39
              (ButtonHeight 20)
borders.bmp (42 x 6): seven square 6-pixel tiles: 0 left edge, 2 bottom-left,
3 bottom, 4 right edge, 5 bottom-right, 6 bottom-right with a sizing grip.

Every part carries a fine pattern that changes along x and y, so a tile copied
from the wrong place shows in a pixel comparison. Run it again after changing a
drawing; the .bmp files are kept in the repository (the tests compare the screen
with them).
"""
import struct
import sys
from pathlib import Path

CAPTION_W, CAPTION_H = 855, 40
LEFT_END, RIGHT_START, RIGHT_END = 20, 775, 779
BUTTON_W, BUTTON_H = 19, 20
TILE = 6

BAND = (115, 142, 172)      # the menu band, as the menu background colour
EDGE = (52, 70, 94)         # the frame's outer line
HIGHLIGHT = (170, 190, 212)
GLYPH = (236, 241, 247)


def clamp(v):
    return max(0, min(255, int(v)))


def shade(c, d):
    return tuple(clamp(v + d) for v in c)


def mix(a, b, t):
    return tuple(clamp(a[i] + (b[i] - a[i]) * t) for i in range(3))


def grain(x, y):
    """A fine brushed pattern, -2..2, that never repeats within a tile."""
    return ((x * 37 + y * 11) >> 2) % 5 - 2


def caption_background(x, y):
    if y == 0:
        return HIGHLIGHT
    if y == CAPTION_H - 1:
        return shade(EDGE, 12)
    top, bottom = (84, 108, 140), BAND
    c = mix(top, bottom, min(1.0, y / 16)) if y < 16 else mix(BAND, (104, 130, 160), (y - 16) / 23)
    return shade(c, grain(x, y))


def left_end(x, y):
    c = caption_background(x, y)
    if x == 0:
        return EDGE
    # A small lens mark: a ring of radius 5 round (10, 8).
    d2 = (x - 10) ** 2 + (y - 8) ** 2
    if 12 <= d2 <= 30:
        return GLYPH
    if d2 < 12:
        return (150, 196, 236)
    return c


def right_end(x, y):
    if x == RIGHT_END - 1:
        return EDGE
    return shade(caption_background(x, y), -6 * (x - RIGHT_START))


def glyph_pixel(kind, gx, gy, pressed):
    """One pixel of a 19 x 20 button glyph."""
    base = (196, 74, 66) if kind == "close" else (88, 114, 148)
    if pressed:
        base = shade(base, -36)
    # Rounded corners blend into the caption.
    corner = (gx in (0, BUTTON_W - 1)) and (gy in (0, BUTTON_H - 1))
    if corner:
        return caption_background(gx, gy)
    if gx in (0, BUTTON_W - 1) or gy in (0, BUTTON_H - 1):
        return shade(base, -28)
    ox = oy = 1 if pressed else 0
    x, y = gx - ox, gy - oy
    on = False
    if kind == "close":
        on = 5 <= x <= 13 and 5 <= y <= 14 and (abs((x - 5) - (y - 5) * 8 / 9) < 1.1 or abs((13 - x) - (y - 5) * 8 / 9) < 1.1)
    elif kind == "maximise":
        on = 5 <= x <= 13 and 5 <= y <= 14 and (x in (5, 13) or y in (5, 6, 14))
    elif kind == "restore":
        back = 7 <= x <= 13 and 4 <= y <= 11 and (x in (7, 13) or y in (4, 5, 11))
        front = 5 <= x <= 11 and 7 <= y <= 14 and (x in (5, 11) or y in (7, 8, 14))
        inside_front = 5 < x < 11 and 8 < y < 14
        on = front or (back and not inside_front)
    elif kind == "minimise":
        on = 5 <= x <= 13 and y in (13, 14)
    return GLYPH if on else shade(base, grain(gx, gy) // 2)


def caption_pixel(x, y):
    if x < LEFT_END:
        return left_end(x, y)
    if x < RIGHT_START:
        return caption_background(x, y)
    if x < RIGHT_END:
        return right_end(x, y)
    kinds = ["close", "restore", "maximise", "minimise"]
    k = (x - RIGHT_END) // BUTTON_W
    gx = (x - RIGHT_END) % BUTTON_W
    pressed = y >= BUTTON_H
    return glyph_pixel(kinds[k], gx, y - BUTTON_H if pressed else y, pressed)


def border_pixel(x, y):
    tile, tx = divmod(x, TILE)
    if tile == 0:  # left edge: its first column is the 1-pixel border
        return shade(EDGE, (y % 3) * 4) if tx == 0 else shade(BAND, grain(tx, y))
    if tile == 4:  # right edge: its last column is the 1-pixel border
        return shade(EDGE, (y % 3) * 4) if tx == TILE - 1 else shade(BAND, grain(tx, y))
    if tile == 1:
        return BAND
    # Bottom row: the band colour getting darker, the outer line at the bottom.
    if y == TILE - 1:
        return EDGE
    c = shade(mix(BAND, (96, 120, 150), y / (TILE - 1)), grain(tx, y))
    if tile == 2 and tx == 0:
        return EDGE
    if tile in (5, 6) and tx == TILE - 1:
        return EDGE
    if tile == 6 and (tx + y) % 2 == 0 and tx >= 1 and y >= 1 and tx + y >= 5:
        return GLYPH  # sizing grip dots
    return c


def write_bmp(path, w, h, pixel):
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up
        line = bytearray()
        for x in range(w):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += bytes(row - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    path.write_bytes(header + info + bytes(data))


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    write_bmp(out / "caption.bmp", CAPTION_W, CAPTION_H, caption_pixel)
    write_bmp(out / "borders.bmp", 7 * TILE, TILE, border_pixel)


if __name__ == "__main__":
    main()
