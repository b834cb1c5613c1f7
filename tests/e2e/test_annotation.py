"""Annotation end to end: "Text Annotation" on a captured screen, a freehand
stroke with the real mouse, text placed through the text inserter (its colour
dialog and the "Invalid Size" box driven from outside), and what "Apply" and
"Cancel" leave in the scratch bitmap."""
import subprocess

import pytest

import harness
from harness import MainWindow, wait_until

FORM1_CLASS, FORM2_CLASS = "OrvoPixtrel.Form1", "OrvoPixtrel.Form2"
# Child identities.
ID_CMD_COLOR, ID_ADD_TEXT, ID_APPLY, ID_CANCEL, ID_PICTURE1 = 101, 102, 103, 104, 110
ID_TEXT1, ID_COMBO1, ID_TEXT2, ID_BOLD, ID_SWATCH, ID_OK = 201, 202, 203, 204, 208, 209
ID_RED_BOX, ID_GREEN_BOX, ID_BLUE_BOX = 706, 707, 708  # the colour dialog's edit boxes
WM_COMMAND, IDOK = 0x111, 1
RED, BLUE = b"\xff\x00\x00", b"\x00\x00\xff"


@pytest.fixture
def main(program):
    m = MainWindow(program).start()
    m.capture_entire()
    return m


def own_window(main, cls, visible=True, title=None):
    def found():
        return next((w for w in harness.toplevel() if w.pid == main.program.win_pid and w.cls == cls and
                     w.visible == visible and (title is None or w.title == title)), None)
    return wait_until(found, what=f"window {cls} {title or ''}")


def gone(hwnd):
    wait_until(lambda: not any(w.hwnd == hwnd and w.visible for w in harness.toplevel()),
               what=f"window {hwnd} to go")


def child(hwnd, ident):
    return wait_until(lambda: next((c for c in harness.children(hwnd) if c.id == ident), None),
                      what=f"child {ident} of window {hwnd}")


def open_form1(main):
    main.click("Text Annotation")
    f1 = own_window(main, FORM1_CLASS)
    assert f1.title == " Orvo Pixtrel 4.5"
    return f1


def pick_colour(main, colour):
    """Chooses colour (r, g, b) in the open colour dialog and presses OK."""
    dialog = own_window(main, "#32770")
    for ident, value in zip((ID_RED_BOX, ID_GREEN_BOX, ID_BLUE_BOX), colour):
        harness.wintool("settext", child(dialog.hwnd, ident).hwnd, str(value), check=True)
    harness.post(dialog.hwnd, WM_COMMAND, IDOK, child(dialog.hwnd, IDOK).hwnd)
    gone(dialog.hwnd)


def apply_and_read(main, form1):
    seq = main.seq()
    harness.click_center(child(form1.hwnd, ID_APPLY).rect)
    gone(form1.hwnd)
    main.wait_dump(lambda d: d["seq"] > seq and d["visible"], "the main window after Apply")
    return harness.read_rgb(main.program.scratch_bitmap)


def changed_pixels(before, after):
    w, h, a = before
    w2, h2, b = after
    assert (w, h) == (w2, h2)
    return {(i // 3 % w, i // 3 // w): b[i:i + 3] for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3]}


def test_a_freehand_stroke_and_apply_change_exactly_the_stroked_pixels(main):
    before = harness.read_rgb(main.program.scratch_bitmap)
    f1 = open_form1(main)
    harness.click_center(child(f1.hwnd, ID_CMD_COLOR).rect)  # "Text Color"
    pick_colour(main, (255, 0, 0))

    pic = child(f1.hwnd, ID_PICTURE1).rect
    x0, y0 = pic[0] + 40, pic[1] + 50
    harness.drag(x0, y0, x0 + 60, y0)  # a horizontal stroke with the left button held
    harness.drag(x0 + 100, y0 - 20, x0 + 100, y0 + 30)  # and a vertical one
    after = apply_and_read(main, f1)

    changed = changed_pixels(before, after)
    stroked = {(40 + i, 50) for i in range(61)} | {(140, 30 + i) for i in range(51)}
    assert set(changed) <= stroked, f"unstroked pixels changed: {sorted(set(changed) - stroked)[:5]}"
    w, _, rgb = after
    assert all(harness.bmp_pixel(rgb, w, x, y) == RED for x, y in stroked)
    assert main.dump()["capture"] == [before[0], before[1]]


def test_apply_without_drawing_rewrites_the_same_picture(main):
    before = harness.read_rgb(main.program.scratch_bitmap)
    main.program.scratch_bitmap.unlink()
    f1 = open_form1(main)
    after = apply_and_read(main, f1)
    assert after == before


def test_cancel_leaves_the_capture_as_it_was(main):
    before = main.program.scratch_bitmap.read_bytes()
    f1 = open_form1(main)
    pic = child(f1.hwnd, ID_PICTURE1).rect
    harness.drag(pic[0] + 10, pic[1] + 10, pic[0] + 80, pic[1] + 60)
    harness.click_center(child(f1.hwnd, ID_CANCEL).rect)
    gone(f1.hwnd)
    main.wait_visible()
    assert main.program.scratch_bitmap.read_bytes() == before


def test_two_lines_of_text_in_the_swatch_colour_then_strokes_in_the_annotation_colour(main):
    before = harness.read_rgb(main.program.scratch_bitmap)
    f1 = open_form1(main)
    harness.click_center(child(f1.hwnd, ID_CMD_COLOR).rect)
    pick_colour(main, (255, 0, 0))

    harness.click_center(child(f1.hwnd, ID_ADD_TEXT).rect)  # "Add Text"
    wait_until(lambda: not child(f1.hwnd, ID_ADD_TEXT).enabled, what="Add Text disabled")
    pic = child(f1.hwnd, ID_PICTURE1).rect
    tx, ty = 60, 40
    harness.click(pic[0] + tx, pic[1] + ty)
    f2 = own_window(main, FORM2_CLASS, title="Text Inserter")
    assert harness.control_text(child(f2.hwnd, ID_TEXT2).hwnd) == "8"
    assert harness.control_text(child(f2.hwnd, ID_COMBO1).hwnd) == "Arial"
    harness.wintool("settext", child(f2.hwnd, ID_TEXT1).hwnd, "AB\r\nCD", check=True)
    harness.wintool("settext", child(f2.hwnd, ID_TEXT2).hwnd, "20", check=True)
    harness.click_center(child(f2.hwnd, ID_BOLD).rect)
    wait_until(lambda: child(f2.hwnd, ID_BOLD).checked == 1, what="Bold ticked")
    harness.click_center(child(f2.hwnd, ID_SWATCH).rect)  # the swatch opens the colour dialog
    pick_colour(main, (0, 0, 255))
    harness.click_center(child(f2.hwnd, ID_OK).rect)
    gone(f2.hwnd)
    wait_until(lambda: child(f1.hwnd, ID_ADD_TEXT).enabled, what="Add Text enabled again")

    harness.drag(pic[0] + 20, pic[1] + 150, pic[0] + 90, pic[1] + 150)  # the pen is red again
    after = apply_and_read(main, f1)
    changed = changed_pixels(before, after)
    stroke = {(20 + i, 150) for i in range(71)}
    w, _, rgb = after
    assert all(harness.bmp_pixel(rgb, w, x, y) == RED for x, y in stroke)
    text = {p: c for p, c in changed.items() if p not in stroke}
    assert text, "no text printed"
    assert all(tx <= x < tx + 150 and ty <= y < ty + 100 for x, y in text), "text outside its place"
    assert not any(c == RED for c in text.values()), "text in the pen colour"
    blue_rows = sorted({y for (x, y), c in text.items() if c == BLUE})
    bands = []
    for y in blue_rows:
        if bands and bands[-1][1] == y - 1:
            bands[-1][1] = y
        else:
            bands.append([y, y])
    assert len(bands) == 2, f"two lines one under the other, got rows {bands}"
    for first, last in bands:
        left = min(x for (x, y), c in text.items() if c == BLUE and first <= y <= last)
        assert tx <= left <= tx + 3, "each line starts at the clicked x"


def test_a_size_that_is_not_a_number_shows_invalid_size_and_restores_8(main):
    f1 = open_form1(main)
    harness.click_center(child(f1.hwnd, ID_ADD_TEXT).rect)
    pic = child(f1.hwnd, ID_PICTURE1).rect
    harness.click(pic[0] + 30, pic[1] + 30)
    f2 = own_window(main, FORM2_CLASS, title="Text Inserter")
    size = child(f2.hwnd, ID_TEXT2).hwnd

    # The change handler shows the box inside the sent WM_SETTEXT, so the sender waits for it.
    sender = subprocess.Popen(["wine", str(harness.WINTOOL), "settext", str(size), "abc"],
                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        box = own_window(main, "#32770", title="Orvo Pixtrel")
        assert any(c.text == "Invalid Size" for c in harness.children(box.hwnd))
        harness.click_center(next(c for c in harness.children(box.hwnd) if c.text == "OK").rect)
        gone(box.hwnd)
        sender.wait(timeout=15)
    finally:
        if sender.poll() is None:
            sender.kill()
    assert harness.control_text(size) == "8"

    # Clearing the field shows nothing: the sender returns at once and no box is up.
    harness.wintool("settext", size, "", check=True, timeout=15)
    assert not any(w.pid == main.program.win_pid and w.cls == "#32770" and w.visible for w in harness.toplevel())
    assert harness.control_text(size) == ""
