"""The capture key as the user chooses it: Options > "Capture Key..." on the
skin's menu band opens the window; a key typed into its hotkey control is taken
on OK and starts the overlay from another program's window. A key kept "at
every start" is read from the user's registry key at the next start; without
the box nothing is kept, and a broken value gives Print Screen again."""
import subprocess

import pytest

import harness
from harness import MainWindow, wait_until

REG_KEY, REG_VALUE = r"HKCU\Software\Orvo Pixtrel", "CaptureKey"
MENU_SEPARATOR, MENU_BORDER = 6, 2  # the skin's drop-down: separator rows, and about the frame's width
WINDOW_CLASS, WINDOW_TITLE = "OrvoPixtrel.frmCaptureKey", "Capture Key"
EVERY_START = "Use this key at every start"


def reg(*args):
    return subprocess.run(["wine", "reg", *args], capture_output=True, text=True, timeout=60)


def stored_value():
    """(type, data) of the stored key as the registry holds it, or None."""
    r = reg("query", REG_KEY, "/v", REG_VALUE)
    for line in r.stdout.splitlines() if r.returncode == 0 else []:
        parts = line.split()
        if len(parts) >= 3 and parts[0] == REG_VALUE:
            return parts[1], parts[2]
    return None


@pytest.fixture(autouse=True)
def no_stored_key():
    """The private prefix's user key holds no capture key before or after each test."""
    reg("delete", REG_KEY, "/v", REG_VALUE, "/f")
    assert stored_value() is None
    yield
    reg("delete", REG_KEY, "/v", REG_VALUE, "/f")


def restart(program):
    """Ends the program by its pid and starts it again in the same folder."""
    old = program.win_pid
    program.stop()
    wait_until(lambda: not any(w.pid == old for w in harness.toplevel()), what="the old program's windows gone")
    program.win_pid = None
    return MainWindow(program).start()


def open_capture_key_window(main):
    """Options on the band, then its second entry (Zoom Tool, Capture Key..., separator, Hide Main Window)."""
    main.wait_visible()
    harness.click(*harness.menu_band_items(main)[2])
    left, top, _, bottom = wait_until(lambda: harness.open_drop_down(main), what="the Options menu")
    row = (bottom - top - MENU_SEPARATOR - 2 * MENU_BORDER) / 3
    harness.click(left + 40, int(top + MENU_BORDER + 1.5 * row))
    dlg = wait_until(lambda: (main.own_windows(WINDOW_CLASS) or [None])[0], what="the Capture Key window")
    assert dlg.title == WINDOW_TITLE
    return dlg


def type_key(dlg, keys):
    box = next(c for c in harness.children(dlg.hwnd) if c.cls.lower() == "msctls_hotkey32")
    harness.click_center(box.rect)
    harness.key(keys)


def press_ok(main, dlg):
    harness.click_center(harness.child_by_text(dlg.hwnd, "OK").rect)
    wait_until(lambda: not main.own_windows(WINDOW_CLASS), what="the Capture Key window closed")


def test_a_key_chosen_in_the_window_starts_the_overlay_and_is_not_kept(main_window):
    main = main_window
    main.wait_dump(lambda d: d["hotkey"] == "Print Screen", "Print Screen at the start")
    dlg = open_capture_key_window(main)
    assert harness.child_by_text(dlg.hwnd, EVERY_START).checked == 0, "unchecked while nothing is stored"
    type_key(dlg, "ctrl+shift+F9")
    press_ok(main, dlg)
    main.wait_dump(lambda d: d["hotkey"] == "Ctrl+Shift+F9", "the chosen key")
    assert stored_value() is None, "nothing is stored unless the box is checked"

    # As for Print Screen: the key reaches the platform's hotkeys while a Wine window has the X focus.
    other = harness.PatternWindow(300, 300, 200, 150, seconds=120)
    try:
        other.wait_on_screen()
        harness.click(other.x + 20, other.y + 20)
        harness.key("ctrl+shift+F9")
        d = main.wait_dump(lambda d: d["overlayMs"] >= 0, "the overlay after Ctrl+Shift+F9")
        assert d["captures"] == 0
        overlay = wait_until(lambda: (main.own_windows("OrvoPixtrel.Desktop") or [None])[0], what="the overlay")
        harness.post(overlay.hwnd, harness.WM_KEYDOWN, harness.VK_ESCAPE)
        main.wait_visible()
    finally:
        other.close()


def test_a_kept_key_is_taken_at_the_next_start_until_the_box_is_cleared(program):
    main = MainWindow(program).start()
    dlg = open_capture_key_window(main)
    type_key(dlg, "ctrl+shift+F11")  # not Ctrl+Alt+F-key: the X keymap makes that a console switch
    harness.click_center(harness.child_by_text(dlg.hwnd, EVERY_START).rect)
    press_ok(main, dlg)
    main.wait_dump(lambda d: d["hotkey"] == "Ctrl+Shift+F11", "the chosen key")
    assert stored_value() == ("REG_DWORD", "0x67a"), "low byte F11, next byte Ctrl and Shift"

    main = restart(program)
    main.wait_dump(lambda d: d["hotkey"] == "Ctrl+Shift+F11", "the kept key at the next start")
    dlg = open_capture_key_window(main)
    box = harness.child_by_text(dlg.hwnd, EVERY_START)
    assert box.checked == 1, "checked while a key is stored"
    harness.click_center(box.rect)
    press_ok(main, dlg)
    wait_until(lambda: stored_value() is None, what="the stored key deleted")
    assert main.dump()["hotkey"] == "Ctrl+Shift+F11", "the key stays for this run"

    main = restart(program)
    main.wait_dump(lambda d: d["hotkey"] == "Print Screen", "Print Screen at the start after")


@pytest.mark.parametrize("kind, data", [("REG_SZ", "0x37a"), ("REG_DWORD", "0"), ("REG_DWORD", "0x41")])
def test_a_broken_stored_value_gives_print_screen(program, kind, data):
    assert reg("add", REG_KEY, "/v", REG_VALUE, "/t", kind, "/d", data, "/f").returncode == 0
    main = MainWindow(program).start()
    main.wait_dump(lambda d: d["hotkey"] == "Print Screen", "Print Screen in place of the broken value")
    assert not main.own_windows("#32770"), "no message: Print Screen was free"


@pytest.fixture
def main_window(program):
    return MainWindow(program).start()
