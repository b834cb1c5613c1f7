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
W, H = 1280, 800  # each monitor
LABEL_GREY = bytes((118, 118, 118))  # the read-out label's frame
MAGNIFIER_GREY = bytes((64, 64, 64))  # the magnifier's frame, 102 pixels wide


@dataclass
class Layout:
    name: str
    x_monitors: str   # X-screen rectangles, the primary first
    monitors: tuple   # the same in Windows screen coordinates: (left, top, right, bottom), primary first
    pattern: tuple    # x, y, w, h of a pattern across the seam, clear of the main window
    drag: tuple       # (x0, y0, x1, y1): across the seam, inside the pattern

    @property
    def virtual(self):
        return (min(m[0] for m in self.monitors), min(m[1] for m in self.monitors),
                max(m[2] for m in self.monitors), max(m[3] for m in self.monitors))

    def monitor_at(self, x, y):
        return next(m for m in self.monitors if m[0] <= x < m[2] and m[1] <= y < m[3])


# The main window takes the top 666 rows of the primary, from x 160 to 1120.
LAYOUTS = [
    Layout("second-right", f"{W}x{H}+0+0,{W}x{H}+{W}+0", ((0, 0, W, H), (W, 0, 2 * W, H)),
           (W - 150, 672, 300, 120), (W + 130, 680, W - 60, 715)),
    Layout("second-left", f"{W}x{H}+{W}+0,{W}x{H}+0+0", ((0, 0, W, H), (-W, 0, 0, H)),
           (-150, 672, 300, 120), (130, 680, -60, 715)),
    # Narrow: right of the main window, and the band's end far enough from the right edge for the
    # magnifier to fit (off an outer edge the controls are cut off, as on one monitor).
    Layout("second-above", f"{W}x{H}+0+{H},{W}x{H}+0+0", ((0, 0, W, H), (0, -H, W, 0)),
           (1124, -60, 154, 120), (1127, 50, 1139, -30)),
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
    lines = text.splitlines()
    return {"DISPLAY": lines[-2].strip(), "WINEPREFIX": lines[-1].strip()} if len(lines) >= 2 else {}


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
    win = harness.PatternWindow(*display.pattern).wait_on_screen()
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


def first_difference(rgb, expected, width):
    """The first pixel (x, y, got, expected) where two pictures of `width` differ, or None."""
    if rgb == expected:
        return None
    at = next((i for i in range(min(len(rgb), len(expected))) if rgb[i] != expected[i]), min(len(rgb), len(expected)))
    p = at // 3
    return p % width, p // width, rgb[3 * p:3 * p + 3], expected[3 * p:3 * p + 3]


def inside(rect, monitor):
    return monitor[0] <= rect[0] and rect[2] <= monitor[2] and monitor[1] <= rect[1] and rect[3] <= monitor[3]


def test_wine_lists_both_monitors_around_the_primary_at_the_origin(display):
    left, top, right, bottom = display.virtual
    # Each monitor's first and last pixel, and one past the virtual screen.
    probes = [p for m in display.monitors for p in ((m[0], m[1]), (m[2] - 1, m[3] - 1))] + [(right, bottom)]
    out = harness.wintool("monitors", *[v for p in probes for v in p], check=True).stdout.splitlines()
    assert out[0].split() == ["virtual", str(left), str(top), str(right - left), str(bottom - top)]
    listed = [tuple(int(v) for v in line.split()[1:5]) for line in out if line.startswith("monitor ")]
    primary = [line.split()[-1] == "1" for line in out if line.startswith("monitor ")]
    assert sorted(listed) == sorted(display.monitors)
    assert primary == [m == display.monitors[0] for m in listed]
    points = [int(line.split()[-1]) for line in out if line.startswith("point ")]
    assert points == [listed.index(display.monitor_at(x, y)) for x, y in probes[:-1]] + [-1]


def test_a_drag_across_the_seam_takes_both_monitors_pixels_and_reads_out_virtual_coordinates(
        display, main, pattern, tmp_path):
    # From one monitor onto the other: the magnifier and the read-outs, placed right of the band's
    # right end and round its bottom, would lie on the monitor the pointer left.
    x0, y0, x1, y1 = display.drag
    left, top, w, h = min(x0, x1), min(y0, y1), abs(x1 - x0), abs(y1 - y0)
    pointer_away(display, main)
    sw, _, before = screen_rgb(tmp_path)
    expected = crop(before, sw, *harness.to_x(left, top), w, h)

    n = main.dump()["captures"]
    main.command("EditCap")
    overlay = harness.wait_until(lambda: main.own_windows("OrvoPixtrel.Desktop"), what="the overlay")[0]
    assert overlay.rect == display.virtual  # over both monitors
    harness.drag_moves(x0, y0, x1, y1)
    try:
        label = label_picture(f" X : Y {x1},{y1}")
        pointer_monitor = display.monitor_at(x1, y1)

        def readout_and_magnifier():
            width, _, rgb = screen_rgb(tmp_path)
            labels = find_on_screen(rgb, width, label)
            frames = find_on_screen(rgb, width, (102, 1, MAGNIFIER_GREY * 102))
            return (labels, frames) if labels and frames else None
        try:
            labels, frames = harness.wait_until(readout_and_magnifier, 20, "the read-out and the magnifier")
        except harness.Timeout:
            harness.ARTEFACTS.mkdir(parents=True, exist_ok=True)
            shutil.copy(tmp_path / "screen.png", harness.ARTEFACTS / f"overlay-{display.name}.png")
            raise
        assert len(labels) == 1
        (lx, ly), (mx, my) = labels[0], frames[0]
        # Both stay on the monitor under the pointer instead of straddling the seam.
        assert inside((lx, ly, lx + label[0], ly + label[1]), pointer_monitor), (labels, pointer_monitor)
        assert inside((mx, my, mx + 102, my + 104), pointer_monitor), (frames, pointer_monitor)
    finally:
        harness.xdotool("mouseup", 1)
    d = main.wait_dump(lambda d: d["captures"] == n + 1 and d["visible"], "the region capture")
    assert d["capture"] == [w, h]

    clip = tmp_path / "clipboard.bmp"
    assert harness.clipboard_to(clip) is not None, "no bitmap on the clipboard"
    for picture in (main.program.scratch_bitmap, clip):
        pw, ph, rgb = harness.read_rgb(picture)
        assert (pw, ph) == (w, h)
        assert first_difference(rgb, expected, pw) is None  # the X server's own pixels of that rectangle
        # And the pattern's, on both sides of the seam.
        pattern_part = b"".join(harness.pattern_colour(left - pattern.x + x, top - pattern.y + y)
                                for y in range(h) for x in range(w))
        assert first_difference(rgb, pattern_part, pw) is None


def test_capture_screen_is_the_union_of_both_monitors(display, main, pattern, tmp_path):
    left, top, right, bottom = display.virtual
    (ml, mt, mr, mb), _ = harness.window_rect(main.hwnd)
    pointer_away(display, main)
    n = main.dump()["captures"]
    main.command("Entire")  # "Capture Screen"
    d = main.wait_dump(lambda d: d["captures"] == n + 1 and d["visible"], "the entire-screen capture")
    assert d["capture"] == [right - left, bottom - top]

    sw, sh, screen = screen_rgb(tmp_path)
    assert (sw, sh) == (right - left, bottom - top)
    # The main window was hidden for the capture: its place is left out; every other pixel is the screen's.
    ml, mr, mt, mb = ml - left, mr - left, mt - top, mb - top
    for y in range(mt, mb):
        screen = screen[:3 * (y * sw + ml)] + bytes(3 * (mr - ml)) + screen[3 * (y * sw + mr):]
    clip = tmp_path / "clipboard.bmp"
    assert harness.clipboard_to(clip) is not None, "no bitmap on the clipboard"
    for picture in (main.program.scratch_bitmap, clip):
        pw, ph, rgb = harness.read_rgb(picture)
        assert (pw, ph) == (sw, sh)
        for y in range(mt, mb):
            rgb = rgb[:3 * (y * pw + ml)] + bytes(3 * (mr - ml)) + rgb[3 * (y * pw + mr):]
        assert first_difference(rgb, screen, pw) is None
        # The pattern on both sides of the seam, at its place in the virtual screen.
        px, py = pattern.x - left, pattern.y - top
        for y in range(pattern.h):
            row = crop(rgb, pw, px, py + y, pattern.w, 1)
            assert row == b"".join(harness.pattern_colour(x, y) for x in range(pattern.w)), y
