"""PNG and the capture key as a user meets them: File > "Save As PNG" through
the menu bar writes the capture (read back by ImageMagick, pixel for pixel);
after a capture the clipboard holds PNG, CF_DIBV5 and CF_BITMAP, each the
captured pixels, also after the program has ended; Print Screen pressed on the keyboard starts the overlay; a
key held by another program gives the message and the offered key works."""
import subprocess

import pytest

import harness
from harness import MainWindow, wait_until

VK_SNAPSHOT, MOD_CONTROL = 0x2C, 2
MENU_SEPARATOR, MENU_BORDER = 6, 2  # the skin's drop-down: separator rows, and about the frame's width
TAKEN_TEXT = ('The key Print Screen is already taken by another program, so it cannot start "Capture Selection".'
              '\\n\\nUse Ctrl+Print Screen instead?')


@pytest.fixture
def main(program):
    return MainWindow(program).start()


def rgb_of(path):
    w, h, rgb = harness.read_rgb(path)
    return w, h, rgb


def same_pixels(a, b, what):
    """ImageMagick's own comparison as well: zero differing pixels."""
    r = subprocess.run(["/usr/bin/compare", "-metric", "AE", str(a), str(b), "null:"], capture_output=True,
                       text=True, timeout=60)
    assert r.stderr.strip().split()[0] == "0", f"{what}: {r.stderr.strip()} pixels differ"
    assert rgb_of(a) == rgb_of(b), what


def test_save_as_png_through_the_menu_bar_writes_the_capture(main, tmp_path):
    main.capture_entire()
    assert main.menu_entry("&File", "Save As PNG")["enabled"]
    target = tmp_path / "shot.png"
    main.wait_visible()
    # The real menu bar: "File" on the skin's band, then the fourth of File's six entries (two separators).
    harness.click(*harness.menu_band_items(main)[0])
    left, top, _, bottom = wait_until(lambda: harness.open_drop_down(main), what="the File menu")
    row = (bottom - top - 2 * MENU_SEPARATOR - 2 * MENU_BORDER) / 6
    harness.click(left + 40, int(top + MENU_BORDER + 3.5 * row))
    dlg = wait_until(lambda: (main.own_windows("#32770") or [None])[0], what="the Save As dialog")
    assert dlg.title == harness.MAIN_TITLE
    edit = next(c for c in harness.children(dlg.hwnd) if c.cls == "Edit" and c.visible)
    harness.wintool("settext", edit.hwnd, harness.windows_path(target), check=True)
    harness.click_center(next(c for c in harness.children(dlg.hwnd) if c.text == "&Save").rect)
    wait_until(lambda: target.exists() and not main.own_windows("#32770"), what="the saved PNG")
    assert target.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    ident = subprocess.run(["/usr/bin/identify", "-format", "%m %w %h", str(target)], capture_output=True,
                           text=True, check=True, timeout=30).stdout.split()
    assert ident == ["PNG", "1280", "800"]
    same_pixels(target, main.program.scratch_bitmap, "the PNG against the capture")
    assert sorted(p.name for p in tmp_path.iterdir() if p.suffix.lower() in (".tmp", ".png")) == ["shot.png"]


def test_the_clipboard_after_a_capture_holds_png_dibv5_and_bitmap_each_the_capture(main, tmp_path):
    main.capture_entire()
    formats = dict(line.split("\t")[::-1] for line in harness.wintool("clipformats", check=True).stdout.splitlines())
    assert {"PNG", "CF_DIBV5", "CF_BITMAP"} <= set(formats), formats
    png, dib5, dib = tmp_path / "clip.png", tmp_path / "clip-v5.bmp", tmp_path / "clip.bmp"
    harness.wintool("clipdata", "PNG", harness.windows_path(png), check=True)
    harness.wintool("clipdata", "17", harness.windows_path(dib5), "bmp", check=True)
    assert harness.clipboard_to(dib) is not None  # CF_BITMAP, as the platform hands it to DIB readers
    scratch = main.program.scratch_bitmap
    same_pixels(png, scratch, "PNG")
    same_pixels(dib5, scratch, "CF_DIBV5")
    same_pixels(dib, scratch, "CF_BITMAP")


def test_png_and_dibv5_stay_on_the_clipboard_after_the_program_exits(main, tmp_path):
    # Made only when asked for, so the program makes them as it ends.
    main.capture_entire()
    scratch = tmp_path / "scratch.bmp"
    scratch.write_bytes(main.program.scratch_bitmap.read_bytes())
    main.command("FileExit")
    assert main.program.wait_exit() == 0
    png, dib5 = tmp_path / "clip.png", tmp_path / "clip-v5.bmp"
    harness.wintool("clipdata", "PNG", harness.windows_path(png), check=True)
    harness.wintool("clipdata", "17", harness.windows_path(dib5), "bmp", check=True)
    same_pixels(png, scratch, "PNG after exit")
    same_pixels(dib5, scratch, "CF_DIBV5 after exit")


def test_print_screen_starts_the_overlay_while_the_window_is_in_the_tray(main):
    # The first dump comes before the key is registered: wait for the one after.
    main.wait_dump(lambda d: d["hotkey"] == "Print Screen", "Print Screen registered")
    main.command("Hide")
    main.wait_visible(False)
    # Under Wine a key reaches the platform's hotkeys only while one of Wine's windows has the X
    # keyboard focus (there is no grab of the whole keyboard): another program's window has it here.
    other = harness.PatternWindow(300, 300, 200, 150, seconds=120)
    try:
        other.wait_on_screen()
        harness.click(other.x + 20, other.y + 20)
        harness.key("Print")
        d = main.wait_dump(lambda d: d["overlayMs"] >= 0, "the overlay after Print Screen")
        assert d["captures"] == 0 and not d["visible"]
        overlay = wait_until(lambda: (main.own_windows("OrvoPixtrel.Desktop") or [None])[0], what="the overlay")
        harness.post(overlay.hwnd, harness.WM_KEYDOWN, harness.VK_ESCAPE)
        main.wait_visible()
        assert main.dump()["captures"] == 0
    finally:
        other.close()


def test_a_key_held_by_another_program_gives_the_message_and_the_offered_key_works(program):
    holder = subprocess.Popen(["wine", str(harness.WINTOOL), "hotkey", "0", str(VK_SNAPSHOT), "300"],
                              stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, text=True)
    try:
        assert holder.stdout.readline().strip() == "held"
        m = MainWindow(program)
        env_start(m)
        box = wait_until(lambda: next((w for w in harness.toplevel() if w.pid == program.win_pid and
                                       w.cls == "#32770" and w.visible), None), what="the message")
        assert box.title == harness.MAIN_TITLE
        texts = [c.text for c in harness.children(box.hwnd)]
        assert TAKEN_TEXT in texts, texts
        harness.click_center(harness.child_by_text(box.hwnd, "&Yes").rect)
        main = program.wait_window(harness.MAIN_TITLE)
        m.hwnd = main.hwnd
        d = m.wait_dump(lambda d: d["hwnd"] == m.hwnd and d["hotkey"] == "Ctrl+Print Screen", "the offered key")
        harness.click(*harness.window_rect(m.hwnd)[1])
        harness.key("ctrl+Print")
        m.wait_dump(lambda d: not d["visible"] and d["overlayMs"] >= 0, "the overlay after Ctrl+Print Screen")
        overlay = wait_until(lambda: (m.own_windows("OrvoPixtrel.Desktop") or [None])[0], what="the overlay")
        harness.post(overlay.hwnd, harness.WM_KEYDOWN, harness.VK_ESCAPE)
        m.wait_visible()
    finally:
        holder.kill()
        holder.wait(timeout=15)


def env_start(m):
    """MainWindow.start up to "Continue": the message comes before the main window shows."""
    import os
    env = dict(os.environ, **{harness.DUMP_ENV: harness.windows_path(m.dump_path)})
    log = open(m.program.folder / "wine-stderr.log", "ab")
    m.program.proc = subprocess.Popen(["wine", str(m.program.exe)], cwd=m.program.folder, env=env,
                                      stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log)
    start = m.program.wait_window(harness.START_TITLE)
    harness.click_center(harness.child_by_text(start.hwnd, "Continue").rect)
