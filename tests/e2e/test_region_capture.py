"""Region captures end to end: a known pattern on the screen, "Capture Selection"
from the button or the tray, a drag on the overlay with the real mouse, and the
scratch bitmap and the clipboard holding exactly the pattern's pixels."""
import pytest

import harness
from harness import MainWindow

# Below the main window (which takes the top 666 rows), so hiding it never uncovers it.
PATTERN_AT = (40, 690, 180, 90)
DESKTOP_TITLE = "Desktop"


@pytest.fixture
def main(program):
    return MainWindow(program).start()


@pytest.fixture
def pattern():
    win = harness.PatternWindow(*PATTERN_AT)
    yield win
    win.close()


def wait_pattern_on_screen(pattern, tmp_path):
    def shown():
        w, _, rgb = harness.read_rgb(harness.screenshot(tmp_path / "screen.png"))
        return all(harness.bmp_pixel(rgb, w, pattern.x + x, pattern.y + y) == harness.pattern_colour(x, y)
                   for x, y in ((0, 0), (pattern.w - 1, pattern.h - 1), (17, 33)))
    harness.wait_until(shown, what="the pattern on the screen")


def wait_overlay(main):
    return harness.wait_until(
        lambda: next((w for w in harness.toplevel()
                      if w.pid == main.program.win_pid and w.title == DESKTOP_TITLE and w.visible), None),
        what="the selection overlay")


def region_capture(main, drag, start=lambda m: m.click("Capture Selection")):
    """Starts a region capture, drags (x0, y0, x1, y1) and waits for the main window to come back."""
    n = main.dump()["captures"]
    start(main)
    wait_overlay(main)
    harness.drag(*drag)
    return main.wait_dump(lambda d: d["captures"] == n + 1 and d["visible"], "the region capture")


def picture_differences(rgb, width, height, expected):
    """Pixels of a picture (RGB rows) that differ from expected(x, y); at most a few, for the message."""
    wrong = []
    for y in range(height):
        for x in range(width):
            got = harness.bmp_pixel(rgb, width, x, y)
            if got != expected(x, y):
                wrong.append(((x, y), got, expected(x, y)))
                if len(wrong) >= 5:
                    return wrong
    return wrong


def scratch_and_clipboard(main, tmp_path):
    """(width, height, rgb) of the scratch bitmap and of the clipboard's bitmap."""
    clip = tmp_path / "clipboard.bmp"
    assert harness.clipboard_to(clip) is not None, "no bitmap on the clipboard"
    return harness.read_rgb(main.program.scratch_bitmap), harness.read_rgb(clip)


def pattern_from(pattern, left, top):
    """The pattern's pixel under picture pixel (x, y) for a picture whose corner is at screen (left, top)."""
    return lambda x, y: harness.pattern_colour(left - pattern.x + x, top - pattern.y + y)


def test_dragging_a_rectangle_captures_exactly_the_pattern_pixels(main, pattern, tmp_path):
    wait_pattern_on_screen(pattern, tmp_path)
    d = region_capture(main, (60, 700, 200, 770))
    assert d["capture"] == [140, 70]
    expected = pattern_from(pattern, 60, 700)
    for w, h, rgb in scratch_and_clipboard(main, tmp_path):
        assert (w, h) == (140, 70)
        # The band, the read-outs and the magnifier were on the screen while dragging; none is in the picture.
        assert picture_differences(rgb, w, h, expected) == []
    assert not any(w.title == DESKTOP_TITLE and w.pid == main.program.win_pid for w in harness.toplevel())


def test_tray_capture_dragged_up_and_left_gives_the_same_picture(main, pattern, tmp_path):
    wait_pattern_on_screen(pattern, tmp_path)
    region_capture(main, (200, 770, 60, 700), start=lambda m: m.choose_tray_entry(1))
    expected = pattern_from(pattern, 60, 700)
    for w, h, rgb in scratch_and_clipboard(main, tmp_path):
        assert (w, h) == (140, 70)
        assert picture_differences(rgb, w, h, expected) == []


def test_circle_takes_its_height_from_the_width_and_paints_the_corners_black(main, pattern, tmp_path):
    wait_pattern_on_screen(pattern, tmp_path)
    seq = main.seq()
    harness.click_center(main.option_panels()[0][3].rect)  # "Circle"
    main.wait_dump(lambda d: d["seq"] > seq and d["shape"] == "Circle", "the circle shape")
    # Right and up, over the hidden main window: the circle hangs below the start point.
    d = region_capture(main, (80, 695, 140, 640))
    assert d["capture"] == [60, 60]
    inside = pattern_from(pattern, 80, 695)
    for w, h, rgb in scratch_and_clipboard(main, tmp_path):
        assert (w, h) == (60, 60)
        for x, y in ((0, 0), (59, 0), (0, 59), (59, 59), (3, 3)):
            assert harness.bmp_pixel(rgb, w, x, y) == b"\x00\x00\x00", (x, y)
        for x, y in ((30, 30), (10, 30), (30, 50), (45, 20)):
            assert harness.bmp_pixel(rgb, w, x, y) == inside(x, y), (x, y)


def test_a_click_without_movement_keeps_the_overlay_for_another_try(main, pattern, tmp_path):
    wait_pattern_on_screen(pattern, tmp_path)
    n = main.dump()["captures"]
    main.click("Capture Selection")
    overlay = wait_overlay(main)
    harness.click(120, 730)
    harness.drag(100, 710, 100, 760)  # no width
    assert main.dump()["captures"] == n
    assert any(w.hwnd == overlay.hwnd and w.visible for w in harness.toplevel())
    harness.drag(100, 710, 101, 711, steps=1)  # one pixel (each step must move the pointer)
    d = main.wait_dump(lambda d: d["captures"] == n + 1 and d["visible"], "the one-pixel capture")
    assert d["capture"] == [1, 1]
    (w, h, rgb), _ = scratch_and_clipboard(main, tmp_path)
    assert (w, h) == (1, 1)
    assert rgb[:3] == pattern_from(pattern, 100, 710)(0, 0)
