#!/usr/bin/env python3
"""Draws the program's 16 x 16 icons with ImageMagick and writes them as .ico files.

Shapes are given on the 16-pixel grid (one unit is one pixel of the icon) and
drawn 16 times larger, then reduced with a box filter: edges on the grid stay
sharp, curves and diagonals come out anti-aliased. Run it again after changing
a drawing; the .ico files are kept in the repository.
"""
import subprocess
import sys
from pathlib import Path

S = 16  # drawing scale
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

BLUE = "#2B6CD4"
BLUE_LIGHT = "#B9D3F7"
DARK = "#3A4452"
GREY = "#8A94A3"
PAPER = "#F4F6F9"
WHITE = "#FFFFFF"
RED = "#D64545"
GREEN = "#2EA44F"
YELLOW = "#F2B705"


def r(x0, y0, x1, y1, fill):
    """Filled box covering icon pixels x0..x1-1, y0..y1-1."""
    return f"fill {fill} stroke none rectangle {x0 * S},{y0 * S} {x1 * S - 1},{y1 * S - 1}"


def frame(x0, y0, x1, y1, color, inner=None):
    """One-pixel outline of the box x0..x1-1, y0..y1-1, optionally filled."""
    parts = [r(x0, y0, x1, y1, color)]
    parts.append(r(x0 + 1, y0 + 1, x1 - 1, y1 - 1, inner) if inner else
                 f"fill none stroke none")
    if not inner:
        # hollow: paint the inside transparent by drawing the frame as four bars instead
        parts = [r(x0, y0, x1, y0 + 1, color), r(x0, y1 - 1, x1, y1, color),
                 r(x0, y0, x0 + 1, y1, color), r(x1 - 1, y0, x1, y1, color)]
    return parts


def ellipse(cx, cy, rx, ry, fill="none", stroke="none", width=0):
    return (f"fill {fill} stroke {stroke} stroke-width {width * S} "
            f"ellipse {cx * S},{cy * S} {rx * S},{ry * S} 0,360")


def line(x0, y0, x1, y1, color, width, cap="round"):
    return (f"fill none stroke {color} stroke-width {width * S} stroke-linecap {cap} "
            f"line {x0 * S},{y0 * S} {x1 * S},{y1 * S}")


def text(x, y, size, s, color):
    return f"fill {color} stroke none font '{FONT}' font-size {size * S} text {x * S},{y * S} '{s}'"


def dashed_frame(x0, y0, x1, y1, color):
    parts = []
    for x in range(x0, x1, 3):
        parts += [r(x, y0, min(x + 2, x1), y0 + 1, color), r(x, y1 - 1, min(x + 2, x1), y1, color)]
    for y in range(y0, y1, 3):
        parts += [r(x0, y, x0 + 1, min(y + 2, y1), color), r(x1 - 1, y, x1, min(y + 2, y1), color)]
    return parts


def magnifier(extra=()):
    return [ellipse(6.5, 6.5, 4.5, 4.5, fill=WHITE, stroke=DARK, width=1.6),
            line(9.8, 9.8, 14, 14, DARK, 2.4), *extra]


def window(x0, y0, x1, y1, title=BLUE, body=WHITE):
    return [r(x0, y0, x1, y1, DARK), r(x0 + 1, y0 + 1, x1 - 1, y0 + 3, title),
            r(x0 + 1, y0 + 3, x1 - 1, y1 - 1, body)]


ICONS = {
    # capture commands
    "capture-selection": [r(3, 4, 13, 12, BLUE_LIGHT), *dashed_frame(2, 3, 14, 13, BLUE),
                          r(0, 7, 2, 8, DARK), r(14, 7, 16, 8, DARK), r(7, 0, 8, 2, DARK), r(7, 14, 8, 16, DARK)],
    "capture-screen": [r(0, 1, 16, 12, DARK), r(1, 2, 15, 11, BLUE), r(1, 2, 15, 5, "#4C88E6"),
                       r(7, 12, 9, 14, GREY), r(4, 14, 12, 15, DARK)],
    "capture-active": [*window(0, 4, 11, 15, title=GREY, body=PAPER), *window(4, 1, 16, 12)],
    "show-window": [*window(0, 1, 16, 15), line(8, 13, 8, 6.5, BLUE, 2, "butt"),
                    f"fill {BLUE} stroke none polygon {4.5 * S},{8 * S} {8 * S},{4.5 * S} {11.5 * S},{8 * S}"],
    "copy": [r(1, 0, 11, 12, DARK), r(2, 1, 10, 11, PAPER), r(5, 4, 15, 16, DARK), r(6, 5, 14, 15, WHITE),
             r(8, 7, 12, 8, GREY), r(8, 9, 12, 10, GREY), r(8, 11, 11, 12, GREY)],
    "zoom-tool": magnifier([ellipse(6.5, 6.5, 2.2, 2.2, fill=BLUE_LIGHT)]),
    "help": [ellipse(8, 8, 7.5, 7.5, fill=BLUE), text(4.6, 13, 11, "?", WHITE)],
    "about": [ellipse(8, 8, 7.5, 7.5, fill=BLUE), text(6.2, 13, 11, "i", WHITE)],
    "exit": [ellipse(8, 8, 7.5, 7.5, fill=RED), line(5.2, 5.2, 10.8, 10.8, WHITE, 2),
             line(10.8, 5.2, 5.2, 10.8, WHITE, 2)],
    # tool buttons
    "text": [r(2, 1, 14, 4, DARK), r(6.5, 1, 9.5, 13, DARK), r(4, 14, 12, 15, BLUE)],
    "adjust": [ellipse(8, 8, 6.5, 6.5, fill=WHITE, stroke=DARK, width=1.4),
               f"fill {DARK} stroke none path 'M {8 * S},{1.5 * S} A {6.5 * S},{6.5 * S} 0 0,1 {8 * S},{14.5 * S} Z'"],
    "hide": [*window(0, 1, 16, 12), r(4, 14, 12, 16, BLUE)],
    "lasso-color": [f"fill {RED} stroke none path 'M {8 * S},{8 * S} L {8 * S},{0.5 * S} A {7.5 * S},{7.5 * S} 0 0,1 {15.5 * S},{8 * S} Z'",
                    f"fill {YELLOW} stroke none path 'M {8 * S},{8 * S} L {15.5 * S},{8 * S} A {7.5 * S},{7.5 * S} 0 0,1 {8 * S},{15.5 * S} Z'",
                    f"fill {GREEN} stroke none path 'M {8 * S},{8 * S} L {8 * S},{15.5 * S} A {7.5 * S},{7.5 * S} 0 0,1 {0.5 * S},{8 * S} Z'",
                    f"fill {BLUE} stroke none path 'M {8 * S},{8 * S} L {0.5 * S},{8 * S} A {7.5 * S},{7.5 * S} 0 0,1 {8 * S},{0.5 * S} Z'",
                    ellipse(8, 8, 2.5, 2.5, fill=WHITE)],
    "back-color": [r(0, 2, 16, 14, DARK), ellipse(8, 8, 7, 5, fill=WHITE)],
    "zoom-in": magnifier([r(4, 6, 9, 7, DARK), r(6, 4, 7, 9, DARK)]),
    "zoom-out": magnifier([r(4, 6, 9, 7, DARK)]),
    "zoom-actual": [r(0, 2, 16, 14, DARK), r(1, 3, 15, 13, WHITE), text(1.9, 11.6, 7.2, "1:1", DARK)],
    # selection shapes
    "shape-rectangle": [*frame(1, 4, 15, 12, DARK), r(2, 5, 14, 11, BLUE_LIGHT)],
    "shape-square": [*frame(3, 3, 13, 13, DARK), r(4, 4, 12, 12, BLUE_LIGHT)],
    "shape-ellipse": [ellipse(8, 8, 7, 4.5, fill=BLUE_LIGHT, stroke=DARK, width=1)],
    "shape-circle": [ellipse(8, 8, 5.5, 5.5, fill=BLUE_LIGHT, stroke=DARK, width=1)],
}


def build(name, parts, out_dir: Path):
    big = 16 * S
    cmd = ["convert", "-size", f"{big}x{big}", "xc:none"]
    for p in parts:
        cmd += ["-draw", p]
    cmd += ["-filter", "box", "-resize", "16x16", "-define", "icon:auto-resize=16", str(out_dir / f"{name}.ico")]
    subprocess.run(cmd, check=True)


def main():
    out_dir = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    only = set(sys.argv[2:])
    for name, parts in ICONS.items():
        if not only or name in only:
            build(name, parts, out_dir)


if __name__ == "__main__":
    main()
