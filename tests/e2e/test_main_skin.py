"""The main window in its skin on the real program: the frame on the screen is
the artwork at its computed places, the control buttons maximise, restore,
minimise and close, the program ends cleanly with the skin attached, and
without the library it runs with the system frame."""
import struct
from pathlib import Path

import pytest

import harness
from harness import MainWindow, wait_until

ART = Path(__file__).resolve().parents[2] / "app" / "resources" / "skin"

# The main window's skin values.
LEFT_END, RIGHT_START, RIGHT_END = 20, 775, 779
BUTTON_W, BUTTON_H = 19, 20
MENU_START_OFFSET_X, TOP_SIZING = -20, 15
CLIENT_W, CLIENT_H = 960, 620  # the main window's client area at 96 dpi
SIDE_COLOUR = bytes((243, 244, 246))  # the options column, the client's left edge


def read_bmp(path):
    """(width, height, pixel(x, y) -> bytes RGB) of a 24-bit bottom-up bitmap file."""
    data = path.read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    w, h, _, bits = struct.unpack_from("<iiHH", data, 18)
    assert bits == 24 and h > 0
    row = (w * 3 + 3) & ~3

    def pixel(x, y):
        i = offset + (h - 1 - y) * row + 3 * x
        return bytes((data[i + 2], data[i + 1], data[i]))
    return w, h, pixel


CAPTION_W, CAPTION_H, caption_art = read_bmp(ART / "caption.bmp")
BORDER_W, TILE, border_art = read_bmp(ART / "borders.bmp")


class Layout:
    """Where the skin puts its parts in a window w x h (window coordinates)."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.right_x = w - (RIGHT_END - RIGHT_START)
        right = self.right_x + (RIGHT_END - RIGHT_START + 1) - TILE + 4
        self.buttons = {}
        for name in ("close", "maximise", "minimise"):
            left = right - (BUTTON_W + 1)
            self.buttons[name] = (left, 5)
            right = left
        self.band_left = LEFT_END - MENU_START_OFFSET_X + 2
        self.band_top = TOP_SIZING + 1

    def button_centre(self, name):
        x, y = self.buttons[name]
        return x + BUTTON_W // 2, y + BUTTON_H // 2

    def glyph_column(self, name, maximised=False):
        index = {"close": 0, "maximise": 1 if maximised else 2, "minimise": 3}[name]
        return RIGHT_END + index * BUTTON_W

    def expected(self, x, y, maximised=False):
        """The artwork's pixel at window x, y; None inside the client area."""
        for name, (bx, by) in self.buttons.items():
            if bx <= x < bx + BUTTON_W and by <= y < by + BUTTON_H:
                return caption_art(self.glyph_column(name, maximised) + x - bx, y - by)
        if y < CAPTION_H:
            if x < LEFT_END:
                return caption_art(x, y)
            if x >= self.right_x:
                return caption_art(RIGHT_START + x - self.right_x, y)
            return caption_art(LEFT_END + 1 + (x - LEFT_END) % (RIGHT_START - LEFT_END), y)
        if y >= self.h - TILE:
            ty = y - (self.h - TILE)
            if x < TILE:
                return border_art(2 * TILE + x, ty)
            if x >= self.w - TILE:
                return border_art(6 * TILE + x - (self.w - TILE), ty)
            return border_art(3 * TILE + (x - TILE) % TILE, ty)
        ty = (y - CAPTION_H) % TILE
        if x == 0:
            return border_art(0, ty)
        if x == self.w - 1:
            return border_art(5 * TILE - 1, ty)
        return None


def window_shot(main, name):
    (left, top, right, bottom), origin = harness.window_rect(main.hwnd)
    path = harness.screenshot(harness.ARTEFACTS / name)
    sw, _, rgb = harness.read_rgb(path)
    return (left, top, right, bottom), origin, lambda x, y: harness.bmp_pixel(rgb, sw, left + x, top + y)


def frame_mismatches(layout, pixel, maximised=False, menu_right=0):
    """Frame pixels that are not the artwork, leaving out the menu texts (band rows, band left .. menu_right)."""
    bad, menu = [], []
    for y in range(layout.h):
        xs = range(layout.w) if y < CAPTION_H or y >= layout.h - TILE else (0, layout.w - 1)
        for x in xs:
            want = layout.expected(x, y, maximised)
            if want is None or pixel(x, y) == want:
                continue
            if layout.band_top <= y < CAPTION_H and layout.band_left <= x < menu_right:
                menu.append((x, y))
            else:
                bad.append((x, y, pixel(x, y).hex(), want.hex()))
    return bad, menu


def away_from_the_frame(main):
    """The pointer where it highlights nothing in the frame (over the view)."""
    _, (ox, oy) = harness.window_rect(main.hwnd)
    harness.move_mouse(ox + 600, oy + 400)


@pytest.fixture
def main(program):
    m = MainWindow(program).start()
    assert m.dump()["skin"]["attached"], m.dump()["skin"]
    return m


def wait_rect(main, condition, what):
    return wait_until(lambda: (lambda r: r if condition(r) else None)(harness.window_rect(main.hwnd)[0]), 15, what)


def test_the_frame_on_the_screen_is_the_artwork_at_its_computed_places(main):
    d = main.dump()
    assert d["skin"]["margins"] == [1, CAPTION_H, 1, TILE]
    away_from_the_frame(main)
    (left, top, right, bottom), (ox, oy) = harness.window_rect(main.hwnd)
    w, h = right - left, bottom - top
    # The first size keeps the client area and takes the skin's frame around it, centred at the top.
    assert (w, h) == (CLIENT_W + 2, CLIENT_H + CAPTION_H + TILE)
    assert (ox - left, oy - top) == (1, CAPTION_H)
    assert top == 0 and left == (1280 - w) // 2
    layout = Layout(w, h)

    def clean():
        _, _, pixel = window_shot(main, "main-skin.png")
        bad, menu = frame_mismatches(layout, pixel, menu_right=layout.w // 2)
        return (pixel, menu) if not bad else None
    pixel, menu = wait_until(clean, 15, "the skinned frame on the screen")
    # The menu's texts are on the band, inside it.
    assert menu, "no menu text on the band"
    assert min(x for x, _ in menu) >= layout.band_left
    assert all(layout.band_top <= y < CAPTION_H for _, y in menu)
    # The client area starts right inside the 1-pixel left border and below the caption.
    assert pixel(1, CAPTION_H + 20) == SIDE_COLOUR
    assert pixel(0, CAPTION_H + 20) != SIDE_COLOUR


def click_button(main, name, w, h, double=False):
    layout = Layout(w, h)
    (left, top, _, _), _ = harness.window_rect(main.hwnd)
    x, y = layout.button_centre(name)
    harness.move_mouse(left + x, top + y)
    harness.xdotool("click", *(("--repeat", 2, "--delay", 80) if double else ()), 1)


def test_maximise_draws_the_restore_glyph_and_restore_brings_the_size_back(main):
    (l0, t0, r0, b0), _ = harness.window_rect(main.hwnd)
    click_button(main, "maximise", r0 - l0, b0 - t0)
    l, t, r, b = wait_rect(main, lambda q: q[2] - q[0] > r0 - l0, "the maximised window")
    assert r - l >= 1280 and b - t >= 800 - 40
    layout = Layout(r - l, b - t)
    away_from_the_frame(main)

    def restore_glyph():
        (left, top, _, _), _, pixel = window_shot(main, "main-skin-maximised.png")
        bx, by = layout.buttons["maximise"]
        col = layout.glyph_column("maximise", maximised=True)
        return all(pixel(bx + x, by + y) == caption_art(col + x, y)
                   for x in range(BUTTON_W) for y in range(BUTTON_H)
                   if 0 <= left + bx + x < 1280 and 0 <= top + by + y < 800)
    wait_until(restore_glyph, 15, "the restore glyph")

    click_button(main, "maximise", r - l, b - t)
    wait_rect(main, lambda q: q == (l0, t0, r0, b0), "the restored window")


def test_double_clicking_maximise_toggles_twice_and_the_window_survives(main):
    rect, _ = harness.window_rect(main.hwnd)
    w, h = rect[2] - rect[0], rect[3] - rect[1]
    click_button(main, "maximise", w, h, double=True)
    # Maximised and back: the window ends in its first rectangle, still there and skinned.
    wait_rect(main, lambda q: q == rect, "the window back in its rectangle")
    assert main.program.running() and main.visible()
    away_from_the_frame(main)
    layout = Layout(w, h)
    wait_until(lambda: not frame_mismatches(layout, window_shot(main, "main-skin-dblclick.png")[2],
                                            menu_right=w // 2)[0], 15, "the skinned frame after two toggles")


def test_minimise_hides_to_the_tray_and_the_tray_brings_the_skinned_window_back(main):
    rect, _ = harness.window_rect(main.hwnd)
    w, h = rect[2] - rect[0], rect[3] - rect[1]
    click_button(main, "minimise", w, h)
    main.wait_visible(False)
    main.choose_tray_entry(4)  # "  Show Window"
    main.wait_visible(True)
    away_from_the_frame(main)
    layout = Layout(w, h)
    wait_until(lambda: not frame_mismatches(layout, window_shot(main, "main-skin-shown.png")[2],
                                            menu_right=w // 2)[0], 15, "the skinned frame after the tray")


def test_close_unloads_the_program(main):
    rect, _ = harness.window_rect(main.hwnd)
    click_button(main, "close", rect[2] - rect[0], rect[3] - rect[1])
    assert main.program.wait_exit() == 0


@pytest.mark.parametrize("way", ["File Exit", "tray Exit"])
def test_exit_with_the_skin_attached_ends_the_process_cleanly(main, way):
    if way == "File Exit":
        main.command("FileExit")
    else:
        main.choose_tray_entry(13)  # "  Exit"
    assert main.program.wait_exit() == 0
    assert not any(w.pid == main.program.win_pid for w in harness.toplevel())


def test_without_the_library_the_window_keeps_the_system_frame(program):
    (program.folder / "veltrim.dll").unlink()
    main = MainWindow(program).start()
    skin = main.dump()["skin"]
    assert skin["attached"] is False and skin["error"], skin
    assert skin["margins"] == [0, 0, 0, 0]
    (left, top, right, bottom), (ox, oy) = harness.window_rect(main.hwnd)
    # The system frame: a caption and a menu bar above the client area, wider borders than the skin's.
    assert oy - top > CAPTION_H and ox - left > 1
    main.command("FileExit")
    assert main.program.wait_exit() == 0
