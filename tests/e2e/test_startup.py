"""Start-up and lifecycle of the program as a user meets it."""
import harness
from harness import MAIN_TITLE, START_TITLE, wait_until


def start_window(program):
    program.start()
    return program.wait_window(START_TITLE)


def test_start_window_offers_continue_and_cancel(program):
    start = start_window(program)
    texts = {c.text: c for c in harness.children(start.hwnd)}
    assert "Continue" in texts and "Cancel" in texts
    assert texts["Continue"].visible and texts["Cancel"].visible
    shot = harness.screenshot(harness.ARTEFACTS / "start-window.png")
    # The window shows its picture: the area above the buttons is not plain button face.
    (left, top, right, bottom), (cx, cy) = harness.window_rect(start.hwnd)
    w, h, rgb = harness.read_rgb(shot)
    colours = {rgb[3 * ((cy + 40) * w + x):3 * ((cy + 40) * w + x) + 3] for x in range(cx, cx + 300, 7)}
    assert len(colours) > 3


def test_continue_shows_the_main_window_and_closes_the_start_window(program):
    start = start_window(program)
    harness.click_center(harness.child_by_text(start.hwnd, "Continue").rect)
    main = program.wait_window(MAIN_TITLE)
    assert main.visible
    wait_until(lambda: not any(w.title == START_TITLE for w in program.windows()), what="start window gone")
    (left, top, right, bottom), _ = harness.window_rect(main.hwnd)
    assert top == 0  # placed at the top of the screen


def test_cancel_ends_the_program_without_a_main_window(program):
    start = start_window(program)
    harness.click_center(harness.child_by_text(start.hwnd, "Cancel").rect)
    assert program.wait_exit() == 0
    assert not harness.find_windows(MAIN_TITLE, program.win_pid)


def test_a_second_start_is_refused_and_leaves_the_first_alone(program, second_program):
    first = start_window(program)
    second_program.start()

    def refusal():
        for w in harness.find_windows(START_TITLE):
            if w.pid != program.win_pid and w.visible:
                texts = [c.text for c in harness.children(w.hwnd)]
                if "Orvo Pixtrel is Already Started !" in texts:
                    return w
        return None

    box = wait_until(refusal, what="the refusal message")
    assert box.cls == "#32770"  # a message box, not a start window
    second_windows = harness.process_windows(box.pid)
    assert all(w.cls == "#32770" or not w.visible for w in second_windows)
    ok = next(c for c in harness.children(box.hwnd) if c.cls == "Button")
    harness.click_center(ok.rect)
    second_program.wait_exit()
    # The first instance still shows its start window.
    assert any(w.hwnd == first.hwnd and w.visible for w in harness.find_windows(START_TITLE, program.win_pid))
