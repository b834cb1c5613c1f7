"""Undo and redo in the annotation window with the real keyboard: ten strokes
drawn with the mouse, Ctrl+Z five times and Ctrl+Y twice leave exactly the
pixels of strokes one to seven, in the window and in the picture "Apply" keeps."""
import harness
from harness import wait_until
from test_annotation import ID_APPLY, ID_CMD_COLOR, ID_PICTURE1, RED, apply_and_read, changed_pixels, child, \
    main, open_form1, pick_colour  # noqa: F401 (main is the fixture)

STROKES = 10
X0, LENGTH = 30, 50


def stroke_pixels(i):
    """Stroke i (1-based): a horizontal line of its own row, in Picture1's pixels."""
    y = 20 + 12 * i
    return {(X0 + k, y) for k in range(LENGTH + 1)}


def picture_on_screen(pic, name):
    """Picture1's pixels of the first 10 + 12 * (STROKES + 1) rows, from a screenshot."""
    w, _, rgb = harness.read_rgb(harness.screenshot(harness.ARTEFACTS / name))
    return {(x, y): harness.bmp_pixel(rgb, w, pic[0] + x, pic[1] + y)
            for y in range(10, 20 + 12 * (STROKES + 1)) for x in range(X0 - 5, X0 + LENGTH + 5)}


def test_ten_strokes_five_undos_two_redos_leave_strokes_one_to_seven(main):
    before = harness.read_rgb(main.program.scratch_bitmap)
    f1 = open_form1(main)
    harness.click_center(child(f1.hwnd, ID_CMD_COLOR).rect)
    pick_colour(main, (255, 0, 0))
    pic = child(f1.hwnd, ID_PICTURE1).rect
    for i in range(1, STROKES + 1):
        y = 20 + 12 * i
        harness.drag(pic[0] + X0, pic[1] + y, pic[0] + X0 + LENGTH, pic[1] + y, steps=4)
    wait_until(lambda: picture_on_screen(pic, "undo-10.png")[(X0, 20 + 12 * STROKES)] == RED,
               what="the tenth stroke on the screen")

    for _ in range(5):
        harness.key("ctrl+z")
    expected_after_undo = set().union(*(stroke_pixels(i) for i in range(1, 6)))
    wait_until(lambda: {p for p, c in picture_on_screen(pic, "undo-5.png").items() if c == RED} ==
               expected_after_undo, what="strokes six to ten undone on the screen")

    for _ in range(2):
        harness.key("ctrl+y")
    expected = set().union(*(stroke_pixels(i) for i in range(1, 8)))
    wait_until(lambda: {p for p, c in picture_on_screen(pic, "undo-7.png").items() if c == RED} == expected,
               what="strokes six and seven redone on the screen")

    after = apply_and_read(main, f1)
    changed = changed_pixels(before, after)
    assert set(changed) <= expected, f"pixels outside strokes 1-7 changed: {sorted(set(changed) - expected)[:5]}"
    w, _, rgb = after
    assert all(harness.bmp_pixel(rgb, w, x, y) == RED for x, y in expected)
