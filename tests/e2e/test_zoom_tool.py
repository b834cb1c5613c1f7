"""The zoom tool end to end: opened from the main window's button, menu and
tray, its read-out following the scroll bar under real clicks, the screen at
the pointer shown magnified on the real display, "Reset Zoom" and "X"."""
import pytest

import harness
from harness import MainWindow, wait_until

ZOOM_TITLE = " Zoom"
ZOOM_CLASS = "OrvoPixtrel.zoom"
# Child identities of the zoom window.
ID_DISPLAY, ID_HSCROLL, ID_READOUT, ID_RESET, ID_EXIT = 301, 302, 303, 304, 305
WM_HSCROLL, SB_THUMBPOSITION = 0x114, 4
# Left of the zoom window (top right of the screen), on top of the main window.
PATTERN_AT = (40, 100, 300, 300)
TABLE = {1: (210, "75%"), 2: (100, "200%"), 3: (67, "300%"), 4: (50, "400%"), 5: (40, "500%"),
         6: (33, "600%"), 7: (29, "700%"), 8: (25, "800%"), 9: (22, "900%"), 10: (20, "1000%")}


@pytest.fixture
def main(program):
    return MainWindow(program).start()


def zoom_window(main, visible=True):
    def found():
        return next((w for w in harness.toplevel()
                     if w.pid == main.program.win_pid and w.cls == ZOOM_CLASS and w.visible == visible), None)
    return wait_until(found, what=f"the zoom tool (visible={visible})")


def child(hwnd, ident):
    return wait_until(lambda: next((c for c in harness.children(hwnd) if c.id == ident), None),
                      what=f"child {ident} of window {hwnd}")


def scroll_to(zoom_hwnd, bar_hwnd, v):
    # Sent, not posted: the platform refuses to post scroll messages to another process.
    harness.wintool("message", zoom_hwnd, WM_HSCROLL, (v << 16) | SB_THUMBPOSITION, bar_hwnd, check=True)


def readout(hwnd):
    return harness.control_text(child(hwnd, ID_READOUT).hwnd)


def wait_readout(hwnd, text):
    return wait_until(lambda: readout(hwnd) == text, what=f"the read-out {text!r}")


def open_zoom(main):
    main.click("Zoom Tool")
    z = zoom_window(main)
    assert z.title == ZOOM_TITLE
    wait_readout(z.hwnd, "100%")
    return z


def test_button_menu_and_tray_open_the_zoom_tool_and_x_closes_it(main):
    z = open_zoom(main)
    harness.click_center(child(z.hwnd, ID_EXIT).rect)
    wait_until(lambda: not any(w.hwnd == z.hwnd for w in harness.toplevel()), what="the zoom tool to close")

    main.command("Zoom")  # Options > Zoom Tool
    z = zoom_window(main)
    wait_readout(z.hwnd, "100%")
    harness.click_center(child(z.hwnd, ID_EXIT).rect)
    wait_until(lambda: not any(w.hwnd == z.hwnd for w in harness.toplevel()), what="the zoom tool to close")

    main.choose_tray_entry(6)  # "  Zoom Tool"
    z = zoom_window(main)
    wait_readout(z.hwnd, "100%")


def test_scroll_arrows_and_every_scroll_value_follow_the_table(main):
    z = open_zoom(main)
    bar = child(z.hwnd, ID_HSCROLL)
    left, top, right, bottom = bar.rect
    mid = (top + bottom) // 2
    # A click that activates the window resets it to step 2 first, so the right arrow always ends at 3.
    harness.click(right - 6, mid)
    wait_readout(z.hwnd, "300%")
    harness.click(left + 6, mid)
    wait_readout(z.hwnd, "200%")
    harness.click(left + 6, mid)
    wait_readout(z.hwnd, "75%")
    harness.click(left + 6, mid)  # already at the first step
    wait_readout(z.hwnd, "75%")

    for v, (_, text) in TABLE.items():
        scroll_to(z.hwnd, bar.hwnd, v)
        wait_readout(z.hwnd, text)

    # "Reset Zoom": 1:1 with the bar at 2, so one step right reads 300%.
    harness.click_center(child(z.hwnd, ID_RESET).rect)
    wait_readout(z.hwnd, "100%")
    harness.click(right - 6, mid)
    wait_readout(z.hwnd, "300%")


def display_matches(display, pointer, pattern, source, tmp_path):
    """Whether the screen shows, in the display, the pattern area at the pointer stretched from `source` to 200.
    A stretched pixel may come from the source pixel of its neighbour (the platform's rounding is free);
    the pattern's colours differ from pixel to pixel, so anything else shows."""
    w, _, rgb = harness.read_rgb(harness.screenshot(tmp_path / "zoom.png"))
    dl, dt = display.rect[0], display.rect[1]
    px, py = pointer[0] - pattern.x, pointer[1] - pattern.y
    slack = (-1, 0, 1) if source != 200 else (0,)
    for dy in range(0, 200, 3):
        ys = {min(max((dy + d) * source // 200, 0), source - 1) for d in slack}
        for dx in range(0, 200, 3):
            xs = {min(max((dx + d) * source // 200, 0), source - 1) for d in slack}
            got = harness.bmp_pixel(rgb, w, dl + dx, dt + dy)
            if not any(got == harness.pattern_colour(px + sx, py + sy) for sx in xs for sy in ys):
                return False
    return True


def test_the_screen_at_the_pointer_is_shown_magnified(main, tmp_path):
    z = open_zoom(main)
    pattern = harness.PatternWindow(*PATTERN_AT)
    try:
        pattern.wait_on_screen()
        display = child(z.hwnd, ID_DISPLAY)
        assert (display.rect[2] - display.rect[0], display.rect[3] - display.rect[1]) == (200, 200)
        pointer = (pattern.x + 20, pattern.y + 30)
        harness.move_mouse(*pointer)
        bar = child(z.hwnd, ID_HSCROLL).hwnd
        for v in (4, 10, 2):
            scroll_to(z.hwnd, bar, v)
            wait_readout(z.hwnd, TABLE[v][1])
            wait_until(lambda: display_matches(display, pointer, pattern, TABLE[v][0], tmp_path),
                       what=f"the pattern magnified at step {v}")
        # One to one after "Reset Zoom" (the pointer goes there and back).
        harness.click_center(child(z.hwnd, ID_RESET).rect)
        wait_readout(z.hwnd, "100%")
        harness.move_mouse(*pointer)
        wait_until(lambda: display_matches(display, pointer, pattern, 200, tmp_path),
                   what="the pattern one to one")
    finally:
        pattern.close()
