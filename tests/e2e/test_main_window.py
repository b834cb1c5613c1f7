"""The main capture window as a user meets it: menus, controls, zoom steps,
saving, printing, colours, the delay and the tray."""
import os
import shutil
import subprocess
import time
from pathlib import Path

import pytest

import harness
from harness import MainWindow, TRAY_CAPTIONS, wait_until

SCREEN_W, SCREEN_H = 1280, 800


@pytest.fixture
def main(program):
    return MainWindow(program).start()


def zoom_buttons(main):
    """cmdOut, cmdIn, cmdZoomActual: the captionless buttons right of the options column, left to right."""
    (left, _, _, _), _ = harness.window_rect(main.hwnd)
    icons = [c for c in harness.children(main.hwnd) if c.cls == "uxButtons_H" and c.text == "" and
             c.rect[0] > left + 300]
    assert len(icons) == 3
    return sorted(icons, key=lambda c: c.rect[0])


def click_and_wait(main, child):
    seq = main.seq()
    harness.click_center(child.rect)
    return main.wait_dump(lambda d: d["seq"] > seq, "the click to be handled")


def capture_active_of(main, pattern):
    """Active-window capture of the pattern window: the command, then the user activates the window."""
    n = main.dump()["captures"]
    main.click("Capture Active Window")
    main.wait_dump(lambda d: d["activeTimer"], "the delay timer")
    harness.click(pattern.x + pattern.w // 2, pattern.y + pattern.h // 2)
    return main.wait_dump(lambda d: d["captures"] == n + 1 and d["visible"], "the active-window capture")


def test_load_builds_menus_controls_and_the_tray(main):
    d = main.dump()
    (left, top, right, bottom), _ = harness.window_rect(main.hwnd)
    assert top == 0 and left == (SCREEN_W - (right - left)) // 2

    menu = d["menu"]
    assert [m["caption"] for m in menu] == ["&File", "&Edit", "&Options", "&Help"]
    expected = {
        "&File": ["Save As Bitmap", "Save As JPEG", "Save As GIF", "Save As PNG", "-", "Print", "-", "Exit"],
        "&Edit": ["Capture Selection", "Capture Entire Screen", "-", "Copy to Clipboard"],
        "&Options": ["Zoom Tool", "Capture Key...", "-", "Hide Main Window"],
        "&Help": ["How to Use", "Ordering Information", "License Agreement", "-", "About "],
    }
    for m in menu:
        assert ["-" if e["separator"] else e["caption"] for e in m["items"]] == expected[m["caption"]]
        for e in m["items"]:
            if not e["separator"]:
                # Only the save entries wait for the first capture.
                assert e["enabled"] == (e["caption"] not in ("Save As Bitmap", "Save As JPEG", "Save As GIF",
                                                             "Save As PNG")), e

    tray = d["tray"]
    assert [e["caption"] for e in tray] == TRAY_CAPTIONS
    assert [e["kind"] for e in tray] == [5 if c == " " else 1 for c in TRAY_CAPTIONS]
    assert [e["id"] for e in tray] == [1000000000 + 10000000 * p for p in range(1, 14)]
    assert [e["position"] for e in tray if e["picture"]] == [1, 2, 3, 4, 5, 6, 8, 12, 13]
    assert d["trayTip"] == "Orvo Pixtrel 4.5" and d["trayShown"]

    texts = {c.text: c for c in harness.children(main.hwnd)}
    for caption in ["Capture Selection", "Capture Screen", "Capture Active Window", "Copy to   Clipboard",
                    "Hide Main Window", "Help File", "Zoom Tool", "Text Annotation", "Image Adjustments",
                    "  Selection Shape", "Lasso Style", "Sec"]:
        assert caption in texts, caption
    assert texts[" Show Image Details"].checked == 1
    assert texts[" Show Auto Magnifier"].checked == 1
    assert texts[" Show Screen Ruler Grid"].checked == 0
    assert main.control_by_id(204).text == "2"  # lblActive
    assert main.zoom_label() == "100%"
    assert d["zoomButtonsDisabled"] and all(not b.enabled for b in zoom_buttons(main))
    assert (d["shape"], d["drStyle"], d["optShape"]) == ("Rectangle", 0, 0)
    assert (d["gridSpacing"], d["lassoColor"], d["backColor"]) == (100, 0x00FF00, 0)
    assert d["zoom"] == 100
    # The view shows the start picture on its background colour 0x9C8E85 (red 0x85, green 0x8E, blue 0x9C).
    assert d["view"][0] > 0 and d["view"][1] > 0
    shot = harness.screenshot(harness.ARTEFACTS / "main-window.png")
    w, _, rgb = harness.read_rgb(shot)
    view = main.control_by_id(208)  # picMV
    assert harness.bmp_pixel(rgb, w, view.rect[0] + 6, view.rect[1] + 6) == bytes((0x85, 0x8E, 0x9C))


def test_zoom_buttons_step_between_10_and_500_percent(main):
    main.capture_entire()
    out, zin, actual = zoom_buttons(main)
    assert out.enabled and zin.enabled and actual.enabled
    for _ in range(40):
        click_and_wait(main, zin)
    assert main.dump()["zoom"] == 500 and main.zoom_label() == "500%"
    d = click_and_wait(main, zin)  # the forty-first changes nothing
    assert d["zoom"] == 500 and main.zoom_label() == "500%"
    d = click_and_wait(main, actual)
    assert d["zoom"] == 100 and main.zoom_label() == "100%"
    for _ in range(9):
        click_and_wait(main, out)
    assert main.dump()["zoom"] == 10 and main.zoom_label() == "10%"
    d = click_and_wait(main, out)
    assert d["zoom"] == 10 and main.zoom_label() == "10%"
    # A new capture keeps the zoom level and its label.
    main.capture_entire()
    assert main.dump()["zoom"] == 10 and main.zoom_label() == "10%"


def save_dialog(main):
    return wait_until(lambda: (main.own_windows("#32770") or [None])[0], what="the Save As dialog")


def save_as(main, path: Path):
    """File > Save As Bitmap, typing `path` and pressing Save."""
    main.command("FileSave")
    dlg = save_dialog(main)
    assert dlg.title == harness.MAIN_TITLE  # titled with the window's caption
    edit = next(c for c in harness.children(dlg.hwnd) if c.cls == "Edit" and c.visible)
    harness.wintool("settext", edit.hwnd, harness.windows_path(path), check=True)
    harness.click_center(next(c for c in harness.children(dlg.hwnd) if c.text == "&Save").rect)
    return dlg


def test_save_as_bitmap_writes_the_capture_and_asks_before_replacing(main, tmp_path):
    first = main.capture_entire()
    assert main.menu_entry("&File", "Save As Bitmap")["enabled"]
    target = tmp_path / "saved.bmp"
    dlg = save_as(main, target)
    wait_until(lambda: target.exists() and not any(w.hwnd == dlg.hwnd for w in main.own_windows("#32770")),
               what="the saved file")
    w, h, rgb = harness.read_rgb(target)
    sw, sh, scratch = harness.read_rgb(main.program.scratch_bitmap)
    assert (w, h) == (SCREEN_W, SCREEN_H) == (sw, sh) == tuple(first["capture"])
    assert rgb == scratch
    assert target.read_bytes()[:2] == b"BM"
    saved = target.read_bytes()

    # The same name again: the question, and Cancel keeps the file as it is.
    target.write_bytes(b"previous content")
    save_as(main, target)
    box = wait_until(lambda: next((b for b in main.own_windows("#32770")
                                   if harness.child_by_text(b.hwnd, "File already exists ! Overwrite ?")), None),
                     what="the overwrite question")
    buttons = {c.text: c for c in harness.children(box.hwnd) if c.cls == "Button"}
    assert set(buttons) >= {"OK", "Cancel"}
    harness.click_center(buttons["Cancel"].rect)
    wait_until(lambda: not main.own_windows("#32770"), what="the question closing")
    assert target.read_bytes() == b"previous content"

    # OK replaces it.
    save_as(main, target)
    box = wait_until(lambda: next((b for b in main.own_windows("#32770")
                                   if harness.child_by_text(b.hwnd, "File already exists ! Overwrite ?")), None),
                     what="the overwrite question")
    harness.click_center(harness.child_by_text(box.hwnd, "OK").rect)
    wait_until(lambda: target.read_bytes() == saved, what="the replaced file")


def test_a_cancelled_save_writes_nothing(main, tmp_path):
    main.capture_entire()
    main.command("FileSave")
    dlg = save_dialog(main)
    harness.click_center(harness.child_by_text(dlg.hwnd, "Cancel").rect)
    wait_until(lambda: not main.own_windows("#32770"), what="the dialog closing")
    assert sorted(p.name for p in tmp_path.rglob("*.bmp")) == ["temp.bmp"]


# --- printing -------------------------------------------------------------------

PDF_DIRS = [Path.home() / "PDF", Path("/var/spool/cups-pdf/ANONYMOUS")]


@pytest.fixture(scope="module")
def pdf_printer():
    """A CUPS printer "PDF" (cups-pdf) as the default; cupsd is started when it is not running."""
    if not shutil.which("lpadmin") or not Path("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd").exists():
        pytest.skip("CUPS with cups-pdf is not installed")
    def scheduler_running():
        # lpstat -r answers 0 either way; its words tell.
        out = subprocess.run(["lpstat", "-r"], capture_output=True, text=True).stdout
        return out.strip() == "scheduler is running"

    started = None
    if not scheduler_running():
        started = subprocess.Popen(["/usr/sbin/cupsd", "-f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_until(scheduler_running, 15, "the CUPS scheduler")
        except harness.Timeout:
            started.kill()
            pytest.skip("the CUPS scheduler cannot run here")
    r1 = subprocess.run(["lpadmin", "-p", "PDF", "-E", "-v", "cups-pdf:/", "-m", "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"],
                        capture_output=True, text=True)
    r2 = subprocess.run(["lpadmin", "-d", "PDF"], capture_output=True, text=True)
    if r1.returncode or r2.returncode:
        pytest.skip(f"cannot set up the PDF printer: {r1.stderr} {r2.stderr}")
    yield
    if started is not None:
        started.terminate()
        started.wait(timeout=15)


def pdfs():
    return {p for d in PDF_DIRS if d.exists() for p in d.glob("*.pdf")}


def test_print_puts_the_capture_centred_with_a_black_frame_on_the_page(pdf_printer, program, tmp_path):
    main = MainWindow(program).start()  # started after the printer exists, so the platform lists it
    pattern = harness.PatternWindow(400, 690, 160, 100)
    try:
        pattern.wait_on_screen()
        d = capture_active_of(main, pattern)
    finally:
        pattern.close()
    assert d["capture"] == [160, 100]
    before = pdfs()
    main.command("Print")
    pdf = wait_until(lambda: next(iter(pdfs() - before), None), 60, "the printed PDF")
    wait_until(lambda: pdf.stat().st_size > 0 and
               subprocess.run(["pdfinfo", str(pdf)], capture_output=True).returncode == 0, 30, "a complete PDF")
    png = tmp_path / "page"
    subprocess.run(["pdftoppm", "-r", "96", "-png", "-singlefile", str(pdf), str(png)], check=True, timeout=60)
    w, h, rgb = harness.read_rgb(png.with_suffix(".png"))
    shutil.copy(png.with_suffix(".png"), harness.ARTEFACTS / "printed-page.png")

    def px(x, y):
        return rgb[3 * (y * w + x):3 * (y * w + x) + 3]

    dark = [(x, y) for y in range(h) for x in range(0, w) if max(px(x, y)) < 60]
    assert dark, "nothing dark printed"
    xs, ys = [p[0] for p in dark], [p[1] for p in dark]
    left, right, top, bottom = min(xs), max(xs), min(ys), max(ys)
    # At 96 dpi the picture keeps its pixel size (a pixel or two for the frame's width).
    assert abs((right - left) - 160) <= 3 and abs((bottom - top) - 100) <= 3, (left, top, right, bottom)
    # Centred on the page (the printable area may sit a few pixels off the paper's middle).
    assert abs((left + right) / 2 - w / 2) <= 10 and abs((top + bottom) / 2 - h / 2) <= 10, (left, top, w, h)
    # The frame is black on all four sides; inside is the captured pattern.
    for x in range(left + 5, right - 5, 7):
        assert max(px(x, top)) < 60 and max(px(x, bottom)) < 60
    for y in range(top + 5, bottom - 5, 7):
        assert max(px(left, y)) < 60 and max(px(right, y)) < 60
    for x, y in [(40, 30), (80, 50), (120, 70)]:
        want = harness.pattern_colour(x, y)
        got = px(left + x, top + y)
        assert all(abs(a - b) <= 48 for a, b in zip(got, want)), (x, y, got, want)


# --- colours and the delay ---------------------------------------------------------

def colour_dialog(main):
    return wait_until(lambda: (main.own_windows("#32770") or [None])[0], what="the colour dialog")


def colour_buttons(main):
    """cmdLassoColor and cmdBackColor: the captionless buttons of the options column outside the option groups."""
    (left, _, _, _), _ = harness.window_rect(main.hwnd)
    found = [c for c in harness.children(main.hwnd) if c.cls == "uxButtons_H" and c.text == "" and
             c.rect[0] < left + 248 and c.rect[3] - c.rect[1] == 26]
    assert len(found) == 2
    return sorted(found, key=lambda c: c.rect[1])


def test_colour_pickers_open_full_with_the_colour_preselected_and_cancel_keeps_it(main):
    lasso, back = colour_buttons(main)
    swatch = main.control_by_id(206)  # picLassoColor
    for button, key, start in [(lasso, "lassoColor", 0x00FF00), (back, "backColor", 0x000000)]:
        harness.click_center(button.rect)
        dlg = colour_dialog(main)
        kids = {c.id: c for c in harness.children(dlg.hwnd)}
        # Fully open: the custom colour part with its red, green and blue boxes is shown.
        assert kids[706].visible and kids[707].visible and kids[708].visible
        assert [int(harness.control_text(kids[i].hwnd)) for i in (706, 707, 708)] == \
            [start & 0xFF, (start >> 8) & 0xFF, start >> 16]
        harness.click_center(harness.child_by_text(dlg.hwnd, "Cancel").rect)
        d = main.wait_dump(lambda d: not main.own_windows("#32770"), "the dialog closing")
        assert d[key] == start

    # A chosen colour is kept and painted in the swatch.
    harness.click_center(lasso.rect)
    dlg = colour_dialog(main)
    kids = {c.id: c for c in harness.children(dlg.hwnd)}
    for ident, value in [(706, "200"), (707, "40"), (708, "90")]:
        harness.wintool("settext", kids[ident].hwnd, value, check=True)
    harness.click_center(harness.child_by_text(dlg.hwnd, "OK").rect)
    main.wait_dump(lambda d: d["lassoColor"] == 200 | 40 << 8 | 90 << 16, "the new lasso colour")
    shot = harness.screenshot(harness.ARTEFACTS / "lasso-colour.png")
    w, h, rgb = harness.read_rgb(shot)
    l, t, r, b = swatch.rect
    assert harness.bmp_pixel(rgb, w, (l + r) // 2, (t + b) // 2) == bytes((200, 40, 90))


def test_the_delay_label_follows_the_scroll_bar_and_zero_never_fires(main):
    bar = main.control_by_id(203)  # scrActive
    l, t, r, b = bar.rect
    seq = main.seq()
    for expected in ("1", "0", "0"):  # the left arrow, down to the end of the range
        harness.click(l + 5, (t + b) // 2)
        wait_until(lambda: main.control_by_id(204).text == expected, what=f"lblActive {expected}")
    harness.click(r - 5, (t + b) // 2)
    wait_until(lambda: main.control_by_id(204).text == "1", what="lblActive 1")
    harness.click(l + 5, (t + b) // 2)
    wait_until(lambda: main.control_by_id(204).text == "0", what="lblActive 0")
    main.click("Capture Active Window")
    d = main.wait_dump(lambda d: d["seq"] > seq, "the command")
    # An interval of 0 is a stopped timer: nothing is pending and the window stays.
    assert not d["activeTimer"] and d["visible"] and d["captures"] == 0


# --- the tray ------------------------------------------------------------------------

def tray_icon_shown():
    return any(w.title == "Wine System Tray" and w.visible for w in harness.toplevel())


def test_tray_menu_opens_on_the_icon_and_exit_while_hidden_ends_the_program(main):
    menu = main.open_tray_menu()
    l, t, r, b = menu.rect
    assert r - l > 100 and b - t > 13 * 10  # thirteen entries tall
    harness.screenshot(harness.ARTEFACTS / "tray-menu.png")
    harness.post(menu.hwnd, harness.WM_KEYDOWN, harness.VK_ESCAPE)
    wait_until(lambda: not main.own_windows("#32768"), what="the menu closing")

    main.click("Hide Main Window")
    main.wait_visible(False)
    main.choose_tray_entry(13)  # "  Exit"
    assert main.program.wait_exit() == 0
    wait_until(lambda: not tray_icon_shown(), what="the tray icon to go")


def test_tray_restores_the_window_after_minimise_and_hide(main):
    harness.post(main.hwnd, harness.WM_SYSCOMMAND, harness.SC_MINIMIZE)
    main.wait_visible(False)  # minimised, it lives only in the tray
    x, y = main.tray_icon_point()
    harness.click(x, y)  # icon activation
    main.wait_visible(True)
    (left, top, right, bottom), _ = harness.window_rect(main.hwnd)
    assert top == 0 and right - left > 600  # back in its normal state, not an icon

    main.command("Hide")
    main.wait_visible(False)
    main.choose_tray_entry(4)  # "  Show Window"
    main.wait_visible(True)


def test_tray_capture_screen_entry_captures(main):
    main.click("Hide Main Window")
    main.wait_visible(False)
    main.choose_tray_entry(2)  # "  Capture Screen"
    d = main.wait_dump(lambda d: d["captures"] == 1 and d["visible"], "the capture from the tray")
    assert d["capture"] == [SCREEN_W, SCREEN_H]


# --- the windows the main window opens -------------------------------------------

def test_applied_adjustments_become_the_capture_in_the_view_and_on_copy(main, tmp_path):
    pattern = harness.PatternWindow(400, 690, 160, 100)
    try:
        pattern.wait_on_screen()
        capture_active_of(main, pattern)
    finally:
        pattern.close()
    main.click("Image Adjustments")
    adjust = wait_until(lambda: (main.own_windows("OrvoPixtrel.frmBrightnessAndContrast") or [None])[0],
                        what="the adjustments window")
    bars = sorted((c for c in harness.children(adjust.hwnd) if c.cls == "ScrollBar"), key=lambda c: c.rect[1])
    l, t, r, b = bars[0].rect  # brightness
    for _ in range(3):
        harness.click(r - 40, (t + b) // 2)  # a page to the right: brighter
    seq = main.seq()
    harness.click_center(harness.child_by_text(adjust.hwnd, "Apply").rect)
    main.wait_dump(lambda d: d["seq"] > seq and d["visible"], "the applied adjustment")
    w, h, scratch = harness.read_rgb(main.program.scratch_bitmap)
    assert (w, h) == (160, 100)
    original = b"".join(harness.pattern_colour(x, y) for y in range(h) for x in range(w))
    assert sum(scratch) > sum(original)  # brighter
    # The capture itself follows the file: copying it gives the adjusted pixels.
    main.click("Copy to   Clipboard")
    out = tmp_path / "copy.bmp"
    wait_until(lambda: harness.clipboard_to(out) is not None and harness.read_rgb(out)[2] == scratch,
               what="the adjusted capture on the clipboard")


def test_exit_with_every_other_window_open_ends_the_program(main):
    main.capture_entire()
    for caption, cls in [("Zoom Tool", "OrvoPixtrel.zoom"), ("Text Annotation", "OrvoPixtrel.Form1"),
                         ("Image Adjustments", "OrvoPixtrel.frmBrightnessAndContrast")]:
        main.click(caption)
        wait_until(lambda: main.own_windows(cls), what=cls)
    main.command("FileSaveJPEG")
    wait_until(lambda: main.own_windows("OrvoPixtrel.SaveJPEG"), what="the JPEG window")
    main.command("FileExit")
    assert main.program.wait_exit() == 0
    wait_until(lambda: not tray_icon_shown(), what="the tray icon to go")
