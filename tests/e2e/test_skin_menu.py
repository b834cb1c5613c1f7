"""The menu bar of the skinned main window on the real program: a click on
"File" opens its drop-down, moving along the band and Left/Right switch, a
click on the open item closes it, Alt+F opens File and Escape closes it, "Exit" ends the program,
typing E inside File moves to Edit and never prints, and a capture that
finishes while a drop-down is open enables the save entries."""
import pytest

import harness
from harness import MainWindow, wait_until

@pytest.fixture
def main(program):
    m = MainWindow(program).start()
    assert m.dump()["skin"]["attached"], m.dump()["skin"]
    return m


away, band_items, drop_down = harness.away_from_band, harness.menu_band_items, harness.open_drop_down


def wait_drop_down(main, below_x=None, what="a drop-down"):
    """Waits for an open drop-down (under the item at below_x when given); its rectangle."""
    def found():
        r = drop_down(main)
        if r and below_x is not None and not (r[0] - 40 <= below_x <= r[0] + 60):
            return None
        return r
    return wait_until(found, 15, what)


def focus_x_window(main):
    """Gives the X keyboard focus to the main window: shown again after a capture it does not get it back."""
    harness.xdotool("search", "--onlyvisible", "--name", "^" + harness.MAIN_TITLE + "$", "windowfocus", "--sync")


def wait_closed(main):
    wait_until(lambda: drop_down(main) is None, 15, "no drop-down")


def test_click_opens_file_moving_and_arrows_switch_click_on_the_open_item_closes(main):
    items = band_items(main)
    harness.click(*items[0])
    first = wait_drop_down(main, items[0][0], "File's drop-down")
    harness.move_mouse(*items[1])
    edit = wait_until(lambda: (lambda r: r if r and r[0] > first[0] + 10 else None)(drop_down(main)), 15,
                      "Edit's drop-down after the move")
    harness.key("Right")
    options = wait_until(lambda: (lambda r: r if r and r[0] > edit[0] + 10 else None)(drop_down(main)), 15,
                         "Options' drop-down after Right")
    harness.key("Left")
    wait_until(lambda: (lambda r: r if r and r[0] < options[0] - 10 else None)(drop_down(main)), 15,
               "Edit's drop-down after Left")
    harness.click(*items[1])
    wait_closed(main)
    assert main.program.running()


def test_alt_f_opens_file_and_escape_closes_it(main):
    items = band_items(main)
    harness.key("alt+f")
    wait_drop_down(main, items[0][0], "File's drop-down after Alt+F")
    harness.key("Escape")
    wait_closed(main)


def test_e_inside_file_moves_to_edit_and_never_prints(main):
    # With a capture, "Print" in File would run (and, with no printer, say so in a message box).
    main.capture_entire()
    items = band_items(main)
    focus_x_window(main)
    harness.click(*items[0])
    first = wait_drop_down(main, items[0][0], "File's drop-down")
    harness.key("e")
    # E is no entry's letter in File: it moves to Edit, and nothing runs.
    wait_until(lambda: (lambda r: r if r and r[0] > first[0] + 10 else None)(drop_down(main)), 15,
               "Edit's drop-down after E")
    assert not main.own_windows("#32770"), "a dialog came up after E in File"
    harness.key("Escape")
    wait_closed(main)
    assert not main.own_windows("#32770")
    assert main.program.running() and main.visible()


def test_exit_from_file_ends_the_program(main):
    items = band_items(main)
    harness.click(*items[0])
    r = wait_drop_down(main, items[0][0], "File's drop-down")
    # "Exit" is the last entry: just above the drop-down's bottom edge.
    harness.click((r[0] + r[2]) // 2, r[3] - 8)
    assert main.program.wait_exit() == 0


def test_save_entries_enabled_by_a_capture_while_a_drop_down_is_open(main):
    assert not main.menu_entry("&File", "Save As Bitmap")["enabled"]
    items = band_items(main)
    harness.click(*items[2])
    wait_drop_down(main, items[2][0], "Options' drop-down")
    # A capture finishes while the drop-down is open: it enables the save entries.
    n = main.dump()["captures"]
    main.command("Entire")
    main.wait_dump(lambda d: d["captures"] == n + 1 and d["visible"], "the capture")
    for entry in ("Save As Bitmap", "Save As JPEG", "Save As GIF", "Save As PNG", "Print"):
        assert main.menu_entry("&File", entry)["enabled"], entry
