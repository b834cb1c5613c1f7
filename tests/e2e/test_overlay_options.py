"""The options a user sets on the main window reach the overlay through the real
controls: the ruler grid and its spacing, the details and the magnifier, the
lasso's line style and colour, and the back colour of round captures."""
import pytest

import harness
from harness import MainWindow

DESKTOP_TITLE = "Desktop"
GRID = bytes((224, 224, 224))
LASSO = (255, 0, 255)
BACK = (0, 0, 255)
SECOND_SHAPE = 3  # Circle


@pytest.fixture
def main(program):
    return MainWindow(program).start()


def wait_overlay(main):
    return harness.wait_until(
        lambda: next((w for w in harness.toplevel()
                      if w.pid == main.program.win_pid and w.title == DESKTOP_TITLE and w.visible), None),
        what="the selection overlay")


def pick_colour(main, button, rgb):
    harness.click_center(button.rect)
    dlg = harness.wait_until(lambda: (main.own_windows("#32770") or [None])[0], what="the colour dialog")
    kids = {c.id: c for c in harness.children(dlg.hwnd)}
    for ident, value in zip((706, 707, 708), rgb):
        harness.wintool("settext", kids[ident].hwnd, str(value), check=True)
    harness.click_center(harness.child_by_text(dlg.hwnd, "OK").rect)
    harness.wait_until(lambda: not main.own_windows("#32770"), what="the colour dialog closing")


def colour_value(rgb):
    return rgb[0] | rgb[1] << 8 | rgb[2] << 16


def set_options(main):
    for ident in (200, 201, 202):  # tick the grid, clear details and magnifier
        harness.click_center(main.control_by_id(ident).rect)
    # The spacing slider: its thumb dragged to the right end.
    slider = next(c for c in harness.children(main.hwnd) if c.cls == "crkSlider")
    l, t, r, b = slider.rect
    thumb = l + (r - l) * (100 - 50) // (200 - 50)
    harness.drag(thumb, (t + b) // 2, r + 30, (t + b) // 2)
    d = main.wait_dump(lambda d: d["gridSpacing"] != 100, "the grid spacing to move")
    spacing = d["gridSpacing"]
    harness.click_center(main.option_panels()[1][1].rect)  # the dashed line
    main.wait_dump(lambda d: d["drStyle"] == 1, "the dashed lasso style")
    (left, _, _, _), _ = harness.window_rect(main.hwnd)
    lasso, back = sorted((c for c in harness.children(main.hwnd) if c.cls == "uxButtons_H" and c.text == "" and
                          c.rect[0] < left + 248 and c.rect[3] - c.rect[1] == 26), key=lambda c: c.rect[1])
    pick_colour(main, lasso, LASSO)
    pick_colour(main, back, BACK)
    main.wait_dump(lambda d: d["lassoColor"] == colour_value(LASSO) and d["backColor"] == colour_value(BACK),
                   "both colours")
    return spacing


def test_options_set_through_the_controls_reach_the_overlay(main, tmp_path):
    spacing = set_options(main)
    assert spacing > 100
    d = main.dump()
    assert d["shape"] == "Rectangle"

    # The overlay with its grid, before the drag.
    main.click("Capture Selection")
    wait_overlay(main)
    harness.move_mouse(300, 700)
    w, h, rgb = harness.read_rgb(harness.screenshot(tmp_path / "grid.png"))

    def shot_has_grid():
        nonlocal w, h, rgb
        w, h, rgb = harness.read_rgb(harness.screenshot(tmp_path / "grid.png"))
        return harness.bmp_pixel(rgb, w, 7, spacing) == GRID
    harness.wait_until(shot_has_grid, what="the ruler grid")
    assert harness.bmp_pixel(rgb, w, spacing, 7) == GRID, "a vertical line at the spacing"
    assert [y for y in range(1, spacing + 1) if harness.bmp_pixel(rgb, w, 7, y) == GRID] == [spacing]
    before = rgb

    # Dragging: only the band changes the picture; no details, no magnifier beside the pointer.
    x0, y0, x1, y1 = 300, 700, 520, 780
    harness.xdotool("mousedown", 1)
    for i in range(1, 5):
        harness.xdotool("mousemove", "--sync", x0 + (x1 - x0) * i // 4, y0 + (y1 - y0) * i // 4)

    def band_drawn():
        nonlocal rgb
        _, _, rgb = harness.read_rgb(harness.screenshot(harness.ARTEFACTS / "overlay-options.png"))
        return harness.bmp_pixel(rgb, w, x0, (y0 + y1) // 2) == bytes(LASSO)
    harness.wait_until(band_drawn, what="the lasso in its colour")
    outside = [(x, y) for y in range(h) for x in range(0, w, 3)
               if not (x0 - 2 <= x <= x1 + 2 and y0 - 2 <= y <= y1 + 2) and x % spacing and y % spacing and
               harness.bmp_pixel(rgb, w, x, y) != harness.bmp_pixel(before, w, x, y)]
    assert not outside, f"drawn outside the band (details or magnifier?): {outside[:5]}"
    top = [harness.bmp_pixel(rgb, w, x, y0) == bytes(LASSO) for x in range(x0 + 4, x1 - 4)]
    assert any(top) and not all(top), "a dashed line: lasso colour with gaps"
    harness.xdotool("mouseup", 1)
    main.wait_dump(lambda d: d["captures"] == 1 and d["visible"], "the capture")

    # A circle capture: outside the circle the back colour.
    harness.click_center(main.option_panels()[0][SECOND_SHAPE].rect)
    main.wait_dump(lambda d: d["shape"] == ["Rectangle", "Square", "Ellipse", "Circle"][SECOND_SHAPE], "the shape")
    main.click("Capture Selection")
    wait_overlay(main)
    harness.move_mouse(300, 690)
    harness.wait_until(shot_has_grid, what="the ruler grid again")
    harness.drag(300, 690, 400, 720)  # the pointer moves both ways; the circle takes its height from the width
    main.wait_dump(lambda d: d["captures"] == 2 and d["visible"], "the circle capture")
    bw, bh, bmp = harness.read_rgb(main.program.scratch_bitmap)
    assert (bw, bh) == (100, 100)
    assert harness.bmp_pixel(bmp, bw, 0, 0) == bytes(BACK)
    assert harness.bmp_pixel(bmp, bw, bw - 1, bh - 1) == bytes(BACK)
