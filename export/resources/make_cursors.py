#!/usr/bin/env python3
"""Writes the preview canvas's three cursors as 32 x 32 monochrome .cur files.

Each cursor is drawn below as text: '.' transparent, 'X' black, 'o' white,
'*' a black pixel that is also the hotspot. Run it again after changing a
drawing; the .cur files are kept in the repository.
"""
import struct
from pathlib import Path

HANDOVER = """
.......XX.......
...XX.XooXXX....
..XooXXooXooX...
..XooXXooXooX.X.
...XooXooXooXXoX
...XooXooXooXooX
.XX.XooooooooooX
XooXXooooo*ooooX
XoooXoooooooooX.
.XooooooooooooX.
..XoooooooooooX.
..XooooooooooX..
...XoooooooooX..
....XoooooooX...
.....XooooooX...
.....XooooooX...
"""

HANDCATCH = """
................
................
................
....XX.XX.XX....
...XooXooXooXX..
...XoooooooooXX.
....Xooooooooo.X
...XXoooo*ooooX.
..XooXooooooooX.
..XoooooooooooX.
...XooooooooooX.
....XooooooooX..
.....XoooooooX..
......XoooooX...
......XoooooX...
................
"""

PICKCOLOR = """
.............XX.
............XXXX
...........XXXXX
........X.XXXXXX
.........XXXXXX.
........XoXXXX..
.......XoooXX...
......XoooX.X...
.....XoooX......
....XoooX.......
...XoooX........
..XoooX.........
..XooX..........
.XXXX...........
.XX.............
*...............
"""

SIZE = 32


def parse(art):
    rows = [r for r in art.strip("\n").split("\n")]
    pixels, hotspot = {}, None
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c == "*":
                hotspot = (x, y)
                c = "X"
            if c in "Xo":
                pixels[(x, y)] = c
    assert hotspot is not None
    return pixels, hotspot


def cur_file(art):
    pixels, (hx, hy) = parse(art)
    xor_rows, and_rows = [], []
    for y in reversed(range(SIZE)):  # bottom-up rows
        xor_bits = and_bits = 0
        for x in range(SIZE):
            bit = 1 << (31 - x)
            c = pixels.get((x, y))
            if c is None:
                and_bits |= bit
            elif c == "o":
                xor_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 1, 0, 0, 0, 0, 2, 0)
    colours = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + colours + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, hx, hy, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = Path(__file__).resolve().parent
    for name, art in (("handover", HANDOVER), ("handcatch", HANDCATCH), ("pickcolor", PICKCOLOR)):
        (here / f"{name}.cur").write_bytes(cur_file(art))


if __name__ == "__main__":
    main()
