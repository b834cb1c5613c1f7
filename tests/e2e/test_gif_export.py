"""The GIF export as a user meets it: File > "Save As GIF" on a captured
pattern, Websafe, Dither, save through the real dialog; the file read by
ImageMagick and gifsicle shows the previewed colours; repeated
open-dither-save-close cycles leave the program's GDI count where it was."""
import re
import subprocess

import pytest

import harness
from harness import MainWindow, wait_until

FMAIN_CLASS = "OrvoPixtrel.fMain"
SURFACE_CLASS = "OrvoPixtrel.ucCanvas.iCanvas"
PATTERN = (400, 690, 160, 100)  # x, y, w, h: below the main window


@pytest.fixture
def main(program):
    return MainWindow(program).start()


def capture_pattern(main):
    """Active-window capture of a window with a known pattern."""
    pattern = harness.PatternWindow(*PATTERN).wait_on_screen()
    try:
        n = main.dump()["captures"]
        main.click("Capture Active Window")
        main.wait_dump(lambda d: d["activeTimer"], "the delay timer")
        harness.click(pattern.x + pattern.w // 2, pattern.y + pattern.h // 2)
        return main.wait_dump(lambda d: d["captures"] == n + 1 and d["visible"], "the active-window capture")
    finally:
        pattern.close()


def open_export(main):
    main.command("FileSaveGIF")
    return wait_until(lambda: (main.own_windows(FMAIN_CLASS) or [None])[0], what="the GIF window")


def control(window, text):
    c = harness.child_by_text(window.hwnd, text)
    assert c is not None, f"no control {text!r}"
    return c


def click_when_enabled(window, text):
    c = wait_until(lambda: next((c for c in harness.children(window.hwnd) if c.text == text and c.enabled), None),
                   what=f"{text!r} enabled")
    harness.click_center(c.rect)


def label_text(window, predicate, what):
    return wait_until(lambda: next((c.text for c in harness.children(window.hwnd) if predicate(c.text)), None),
                      what=what)


def dither_websafe(window):
    click_when_enabled(window, "Websafe")
    click_when_enabled(window, "Dither")
    label_text(window, lambda t: t.endswith("bpp (virtual color depth)"), "the dithered depth")


def save_through_dialog(main, window, path, overwrite=False):
    click_when_enabled(window, "Save GIF")
    dlg = wait_until(lambda: (main.own_windows("#32770") or [None])[0], what="the Save As dialog")
    assert dlg.title == "  GIF Palette Options - Orvo Pixtrel 4.0"
    edit = next(c for c in harness.children(dlg.hwnd) if c.cls == "Edit" and c.visible)
    harness.wintool("settext", edit.hwnd, harness.windows_path(path), check=True)
    harness.click_center(next(c for c in harness.children(dlg.hwnd) if c.text == "&Save").rect)
    if overwrite:
        box = wait_until(lambda: next((b for b in main.own_windows("#32770")
                                       if harness.child_by_text(b.hwnd, "File already exists ! Overwrite ?")), None),
                         what="the overwrite question")
        harness.click_center(harness.child_by_text(box.hwnd, "OK").rect)
    return label_text(window, lambda t: t.endswith(" bytes") and "(" not in t, "the file size")


def preview_pixels(main, window, tmp_path, w, h):
    """RGB rows of the preview's picture as the screen shows it (zoom 1: the whole picture, centred)."""
    surface = next(c for c in harness.children(window.hwnd) if c.cls == SURFACE_CLASS)
    left, top = surface.rect[0], surface.rect[1]
    sw, _, screen = harness.read_rgb(harness.screenshot(tmp_path / "preview.png"))
    rows = bytearray()
    for y in range(h):
        i = 3 * ((top + y) * sw + left)
        rows += screen[i:i + 3 * w]
    return bytes(rows)


def test_websafe_dither_saves_the_previewed_colours(main, tmp_path):
    captured = capture_pattern(main)
    w, h = captured["capture"]
    window = open_export(main)
    assert control(window, f"{w} x {h}")
    assert control(window, "32 bpp (memory DIB)")
    dither_websafe(window)
    harness.screenshot(harness.ARTEFACTS / "gif-export-window.png")
    previewed = preview_pixels(main, window, tmp_path, w, h)

    target = tmp_path / "pattern.gif"
    size = save_through_dialog(main, window, target)
    assert size == f"{target.stat().st_size:,} bytes"
    fw, fh, decoded = harness.read_rgb(target)
    assert (fw, fh) == (w, h)
    assert decoded == previewed
    # Every colour of the file is a websafe entry: channels from the 0, 51, ..., 255 cube, the greys, black.
    colours = {decoded[i:i + 3] for i in range(0, len(decoded), 3)}
    assert all(all(c % 51 == 0 or c % 8 == 0 for c in rgb) for rgb in colours)
    info = subprocess.run(["gifsicle", "--info", str(target)], capture_output=True, text=True, check=True).stdout
    assert f"{w}x{h}" in info and "transparent" not in info


def gif_colour_table(path):
    """Entry number -> (r, g, b) of the file's colour table, and its transparent entry, as gifsicle reads them."""
    out = subprocess.run(["gifsicle", "--color-info", str(path)], capture_output=True, text=True, check=True).stdout
    table = {}
    for n, rgb in re.findall(r"(\d+): #([0-9A-F]{6})", out):
        table[int(n)] = bytes.fromhex(rgb)
    m = re.search(r"transparent (\d+)", out)
    return table, int(m.group(1)) if m else None


def test_a_picked_entry_is_saved_as_the_transparent_one(main, tmp_path):
    captured = capture_pattern(main)
    w, h = captured["capture"]
    window = open_export(main)
    dither_websafe(window)
    click_when_enabled(window, "Pick &color")
    surface = next(c for c in harness.children(window.hwnd) if c.cls == SURFACE_CLASS)
    at = (w // 3, h // 2)
    harness.click(surface.rect[0] + at[0], surface.rect[1] + at[1])
    click_when_enabled(window, "Use transparent entry (Pick)")
    target = tmp_path / "picked.gif"
    save_through_dialog(main, window, target)
    table, transparent = gif_colour_table(target)
    assert transparent is not None
    # The transparent entry is the colour of the picked pixel (the previewed, dithered one).
    previewed = preview_pixels(main, window, tmp_path, w, h)
    i = 3 * (at[1] * w + at[0])
    assert table[transparent] == previewed[i:i + 3]
    giftext = subprocess.run(["giftext", str(target)], capture_output=True, text=True, check=True).stdout
    assert "Transparency on: yes" in giftext and f"Transparent Index: {transparent}" in giftext


def test_open_dither_save_close_cycles_leave_the_gdi_count(main, tmp_path):
    capture_pattern(main)
    pid = main.program.win_pid
    target = tmp_path / "cycle.gif"

    def cycle(i):
        window = open_export(main)
        dither_websafe(window)
        save_through_dialog(main, window, target, overwrite=target.exists())
        harness.click_center(control(window, "X").rect)
        wait_until(lambda: not main.own_windows(FMAIN_CLASS), what="the GIF window closing")

    cycle(0)
    # Read when settled: closing the GIF window activates the main window, whose skinned frame
    # repaints it with its children.
    before = harness.settled_gdi_count(pid)
    for i in range(50):
        cycle(i)
    assert harness.settled_gdi_count(pid) == before
