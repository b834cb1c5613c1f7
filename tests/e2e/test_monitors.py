"""Two monitors side by side, on a display of their own: the X server splits one wide screen
into two monitors, and Wine (reading them through Xinerama) lists both. A drag across the
seam takes the exact pixels of both monitors, "Capture Screen" takes their union, and the
overlay's read-out shows virtual-screen coordinates, on the monitor under the pointer. With
the second monitor left of the primary, the virtual screen starts at a negative x."""
import os
import shutil
import subprocess
import tempfile
from dataclasses import dataclass
from pathlib import Path

import pytest

import harness
from harness import MainWindow

REPO = Path(__file__).resolve().parents[2]
WIDTH, HEIGHT = 1280, 800
LABEL_GREY = bytes((118, 118, 118))  # the read-out label's frame
MAGNIFIER_GREY = bytes((64, 64, 64))  # the magnifier's frame, 102 pixels wide


@dataclass
class Layout:
    name: str
    x_monitors: str   # X-screen rectangles, the primary first
    monitors: tuple   # the same in Windows screen coordinates: (left, top, right, bottom), primary first
    seam: int         # Windows x where the two monitors meet

    @property
    def virtual(self):
        return (min(m[0] for m in self.monitors), min(m[1] for m in self.monitors),
                max(m[2] for m in self.monitors), max(m[3] for m in self.monitors))

    def monitor_at(self, x, y):
        return next(m for m in self.monitors if m[0] <= x < m[2] and m[1] <= y < m[3])


LAYOUTS = [
    Layout("second-right", f"{WIDTH}x{HEIGHT}+0+0,{WIDTH}x{HEIGHT}+{WIDTH}+0",
           ((0, 0, WIDTH, HEIGHT), (WIDTH, 0, 2 * WIDTH, HEIGHT)), WIDTH),
    Layout("second-left", f"{WIDTH}x{HEIGHT}+{WIDTH}+0,{WIDTH}x{HEIGHT}+0+0",
           ((0, 0, WIDTH, HEIGHT), (-WIDTH, 0, 0, HEIGHT)), 0),
]


def wine_env(layout, action):
    """Runs a function of scripts/wine-env.sh for the layout's display; returns its DISPLAY and WINEPREFIX."""
    script = f'source "{REPO}/scripts/wine-env.sh" && {action} && echo "$DISPLAY" && echo "$WINEPREFIX"'
    env = dict(os.environ, PIXTREL_MONITORS=layout.x_monitors, PIXTREL_BUILD=str(harness.BUILD))
    # Output through a file: the Xvfb and the wineserver it starts outlive the shell.
    with tempfile.TemporaryFile("w+") as out:
        r = subprocess.run(["bash", "-c", script], env=env, stdout=out, stderr=subprocess.STDOUT,
                           stdin=subprocess.DEVNULL, timeout=900)
        out.seek(0)
        text = out.read()
    assert r.returncode == 0, f"{action} for {layout.x_monitors} failed:\n{text}"
    lines = text.split()
    return {"DISPLAY": lines[-2], "WINEPREFIX": lines[-1]}


@pytest.fixture(scope="module", params=LAYOUTS, ids=lambda layout: layout.name)
def display(request):
    """The layout's display and prefix, in place of the session's for the tests of one layout."""
    if shutil.which("xrandr") is None:
        pytest.skip("xrandr is missing (Debian package x11-xserver-utils, installed by scripts/setup.sh)")
    layout = request.param
    wine_env(layout, "pixtrel_wine_down")  # an Xvfb left by an interrupted run may show another layout
    saved = {k: os.environ.get(k) for k in ("DISPLAY", "WINEPREFIX")}
    os.environ.update(wine_env(layout, "pixtrel_wine_up"))
    harness.X_ORIGIN[:] = layout.virtual[:2]
    yield layout
    harness.X_ORIGIN[:] = [0, 0]
    wine_env(layout, "pixtrel_wine_down")
    for k, v in saved.items():
        if v is None:
            os.environ.pop(k, None)
        else:
            os.environ[k] = v


@pytest.fixture
def main(display, program):
    return MainWindow(program).start()


@pytest.fixture
def pattern(display):
    """A pattern across the seam, below the main window (the top 666 rows of the primary)."""
    win = harness.PatternWindow(display.seam - 150, 672, 300, 120).wait_on_screen()
    yield win
    win.close()


def screen_rgb(tmp_path):
    """(width, height, rgb) of the whole X screen: the virtual screen, its corner at pixel 0, 0."""
    return harness.read_rgb(harness.screenshot(tmp_path / "screen.png"))


def crop(rgb, width, left, top, w, h):
    return b"".join(rgb[3 * ((top + y) * width + left):3 * ((top + y) * width + left + w)] for y in range(h))


def find_on_screen(rgb, width, picture):
    """Windows screen coordinates of every place where `picture` (w, h, rgb) shows on the screen."""
    w, h, pixels = picture
    first_row = pixels[:3 * w]
    found, at = [], rgb.find(first_row)
    while at >= 0:
        if at % 3 == 0:
            x, y = (at // 3) % width, (at // 3) // width
            if x + w <= width and crop(rgb, width, x, y, w, h) == pixels:
                found.append((x + harness.X_ORIGIN[0], y + harness.X_ORIGIN[1]))
        at = rgb.find(first_row, at + 1)
    return found


def label_picture(text):
    """The overlay's read-out label for `text`, as wintool paints it: (w, h, rgb)."""
    lines = harness.wintool("label", text, check=True).stdout.split()
    w, h = int(lines[0]), int(lines[1])
    return w, h, b"".join(bytes.fromhex(row) for row in lines[2:2 + h])


def pointer_away(display, main):
    """Puts the pointer on an empty part of the second monitor and waits for the program's tooltips to go."""
    second = display.monitors[1]
    harness.move_mouse((second[0] + second[2]) // 2, 100)
    harness.wait_until(lambda: not main.own_windows("tooltips_class32"), what="no tooltip")


def inside(rect, monitor):
    return monitor[0] <= rect[0] and rect[2] <= monitor[2] and monitor[1] <= rect[1] and rect[3] <= monitor[3]


def test_wine_lists_both_monitors_around_the_primary_at_the_origin(display):
    seam, (left, top, right, bottom) = display.seam, display.virtual
    probes = [(seam - 1, 400), (seam, 400), (left, top), (right - 1, bottom - 1), (right, 400)]
    out = harness.wintool("monitors", *[v for p in probes for v in p], check=True).stdout.splitlines()
    assert out[0].split() == ["virtual", str(left), str(top), str(right - left), str(bottom - top)]
    listed = [tuple(int(v) for v in line.split()[1:5]) for line in out if line.startswith("monitor ")]
    primary = [line.split()[-1] == "1" for line in out if line.startswith("monitor ")]
    assert sorted(listed) == sorted(display.monitors)
    assert primary == [m == display.monitors[0] for m in listed]
    points = [int(line.split()[-1]) for line in out if line.startswith("point ")]
    expected = [listed.index(display.monitor_at(x, y)) for x, y in probes[:-1]] + [-1]
    assert points == expected


def test_a_drag_across_the_seam_takes_both_monitors_pixels_and_reads_out_virtual_coordinates(
        display, main, pattern, tmp_path):
    # From one monitor to the other, ending 60 pixels past the seam: the band's right end (where the
    # magnifier and the read-outs go) is on the monitor the pointer left.
    seam = display.seam
    start, end = (seam + 130, 680), (seam - 60, 715)
    pointer_away(display, main)
    w, h, before = screen_rgb(tmp_path)
    ox, oy = harness.to_x(seam - 60, 680)
    expected = crop(before, w, ox, oy, 190, 35)

    n = main.dump()["captures"]
    main.command("EditCap")
    harness.wait_until(lambda: main.own_windows("OrvoPixtrel.Desktop"), what="the overlay")
    harness.drag_moves(*start, *end)
    try:
        label = label_picture(f" X : Y {end[0]},{end[1]}")
        pointer_monitor = display.monitor_at(*end)

        def readout_and_magnifier():
            sw, _, rgb = screen_rgb(tmp_path)
            labels = find_on_screen(rgb, sw, label)
            frames = find_on_screen(rgb, sw, (102, 1, MAGNIFIER_GREY * 102))
            return (labels, frames) if labels and frames else None
        labels, frames = harness.wait_until(readout_and_magnifier, 20, "the read-out and the magnifier")
        assert len(labels) == 1
        (lx, ly), (mx, my) = labels[0], frames[0]
        # Both stay on the monitor under the pointer instead of straddling the seam.
        assert inside((lx, ly, lx + label[0], ly + label[1]), pointer_monitor), (labels, pointer_monitor)
        assert inside((mx, my, mx + 102, my + 104), pointer_monitor), (frames, pointer_monitor)
    finally:
        harness.xdotool("mouseup", 1)
    d = main.wait_dump(lambda d: d["captures"] == n + 1 and d["visible"], "the region capture")
    assert d["capture"] == [190, 35]

    clip = tmp_path / "clipboard.bmp"
    assert harness.clipboard_to(clip) is not None, "no bitmap on the clipboard"
    for picture in (main.program.scratch_bitmap, clip):
        pw, ph, rgb = harness.read_rgb(picture)
        assert (pw, ph) == (190, 35)
        assert rgb == expected  # the X server's own pixels of that rectangle
        # Left of the seam and right of it: the pattern's pixels under each.
        for x, y in ((0, 0), (59, 17), (60, 17), (189, 34)):
            assert harness.bmp_pixel(rgb, pw, x, y) == harness.pattern_colour(90 + x, 8 + y), (x, y)


def test_capture_screen_is_the_union_of_both_monitors(display, main, pattern, tmp_path):
    left, top, right, bottom = display.virtual
    (ml, mt, mr, mb), _ = harness.window_rect(main.hwnd)
    pointer_away(display, main)
    n = main.dump()["captures"]
    main.command("Entire")  # "Capture Screen"
    d = main.wait_dump(lambda d: d["captures"] == n + 1 and d["visible"], "the entire-screen capture")
    assert d["capture"] == [right - left, bottom - top] == [2 * WIDTH, HEIGHT]

    sw, sh, screen = screen_rgb(tmp_path)
    assert (sw, sh) == (2 * WIDTH, HEIGHT)
    # The main window was hidden for the capture; every other pixel is the screen's.
    ml, mr, mt, mb = ml - left, mr - left, mt - top, mb - top
    for picture in (main.program.scratch_bitmap, None):
        if picture is None:
            picture = tmp_path / "clipboard.bmp"
            assert harness.clipboard_to(picture) is not None, "no bitmap on the clipboard"
        pw, ph, rgb = harness.read_rgb(picture)
        assert (pw, ph) == (sw, sh)
        for y in range(ph):
            row = slice(3 * y * pw, 3 * (y + 1) * pw)
            if mt <= y < mb:
                assert rgb[row][:3 * ml] == screen[row][:3 * ml], y
                assert rgb[row][3 * mr:] == screen[row][3 * mr:], y
            else:
                assert rgb[row] == screen[row], y
        # The pattern on both sides of the seam, at its place in the virtual screen.
        px, py = pattern.x - left, pattern.y - top
        for x, y in ((0, 0), (149, 60), (150, 60), (299, 119)):
            assert harness.bmp_pixel(rgb, pw, px + x, py + y) == harness.pattern_colour(x, y), (x, y)
