"""The help commands and the About window as a user meets them: one help window for the menu, the
"Help File" button and the tray; the message for a program folder without its help; leaving the
program with help or About open; About from the tray and back."""
import shutil
import zipfile

import pytest

import harness
from harness import MainWindow, wait_until

HELP_CAPTION = "Orvo Pixtrel Help"  # the caption of the window type "Main" in the help file
ABOUT_CAPTION = "  About Orvo Pixtrel 4.0"
MAKER_ADDRESS = "https://www.example.com/pixtrel/"
MESSAGE_CAPTION = "HTML Help Class"
# Help menu identities of the main window (WM_COMMAND).
CONTENTS, ORDERING, LICENSE, ABOUT = 110, 111, 112, 113
# Tray menu positions.
TRAY_HOW_TO_USE, TRAY_ORDERING, TRAY_LICENSE, TRAY_ABOUT, TRAY_EXIT = 8, 9, 10, 12, 13


@pytest.fixture
def browser_log(tmp_path):
    return tmp_path / "browser.txt"


@pytest.fixture
def main(program, browser_log, monkeypatch):
    monkeypatch.setenv("PIXTREL_TEST_BROWSER", harness.windows_path(browser_log))
    return MainWindow(program).start()


@pytest.fixture
def main_without_help(tmp_path, request):
    prog = harness.Program(harness.Program.make_folder(tmp_path))
    shutil.rmtree(prog.folder / "Help")
    yield MainWindow(prog).start()
    rep = getattr(request.node, "rep_call", None)
    if rep is not None and rep.failed:
        harness.screenshot(harness.ARTEFACTS / f"{request.node.name}.png")
    prog.stop()


def help_windows(main):
    return [w for w in harness.find_windows(HELP_CAPTION) if w.pid == main.program.win_pid and w.visible]


def wait_help_window(main):
    return wait_until(lambda: (help_windows(main) or [None])[0], what="the help window")


def tray_icon_shown():
    return any(w.title == "Wine System Tray" and w.visible for w in harness.toplevel())


def post_and_wait(main, command):
    seq = main.seq()
    harness.post(main.hwnd, harness.WM_COMMAND, command)
    return main.wait_dump(lambda d: d["seq"] > seq, f"command {command}")


def test_the_zip_and_the_program_folder_carry_the_help_file():
    assert (harness.PROGRAM_DIR / "Help" / "Pixtrel.chm").stat().st_size > 1000
    with zipfile.ZipFile(harness.WIN_BUILD / "Orvo-Pixtrel.zip") as z:
        names = z.namelist()
        assert "Orvo-Pixtrel/Help/Pixtrel.chm" in names
        assert z.read("Orvo-Pixtrel/Help/Pixtrel.chm") == (harness.PROGRAM_DIR / "Help" / "Pixtrel.chm").read_bytes()


def test_menu_button_and_tray_share_one_help_window(main):
    d = post_and_wait(main, CONTENTS)  # Help > "How to Use"
    first = wait_help_window(main)
    assert first.cls == "HH Parent"
    print(f"time to the first help window: {d['firstHelpMs']} ms")
    assert d["firstHelpMs"] > 0
    harness.screenshot(harness.ARTEFACTS / "help-window.png")
    main.click("Help File")
    main.wait_dump(lambda x: x["seq"] > d["seq"], "the button's help command")
    for command in (ORDERING, LICENSE, CONTENTS):
        post_and_wait(main, command)
    for position in (TRAY_HOW_TO_USE, TRAY_ORDERING, TRAY_LICENSE):
        seq = main.seq()
        main.choose_tray_entry(position)
        main.wait_dump(lambda x: x["seq"] > seq, f"tray entry {position}")
    shown = help_windows(main)
    assert [w.hwnd for w in shown] == [first.hwnd], "every topic reuses the one help window"
    assert not harness.find_windows(MESSAGE_CAPTION, main.program.win_pid), "no message on the way"


def test_the_help_file_button_and_the_tray_each_open_the_help_window(program):
    for open_help in ("button", "tray"):
        main = MainWindow(program).start()
        if open_help == "button":
            main.click("Help File")
        else:
            main.click("Hide Main Window")
            main.wait_visible(False)
            main.choose_tray_entry(TRAY_HOW_TO_USE)
        first = wait_help_window(main)
        assert [w.hwnd for w in help_windows(main)] == [first.hwnd], open_help
        main.command("FileExit")
        assert main.program.wait_exit() == 0
        program.win_pid = None


def test_without_the_help_folder_the_message_names_the_full_path(main_without_help):
    main = main_without_help
    harness.post(main.hwnd, harness.WM_COMMAND, CONTENTS)
    box = wait_until(lambda: (harness.find_windows(MESSAGE_CAPTION, main.program.win_pid) or [None])[0],
                     what="the help message")
    texts = [c.text for c in harness.children(box.hwnd) if c.cls == "Static" and c.text]
    expected = (f"The file {harness.windows_path(main.program.folder / 'Help' / 'Pixtrel.chm')} does not exist."
                f"\\nPlease make sure the correct path and file name have been specified.")
    assert [t.lower() for t in texts] == [expected.lower()]
    harness.screenshot(harness.ARTEFACTS / "help-missing.png")
    harness.click_center(harness.child_by_text(box.hwnd, "OK").rect)
    wait_until(lambda: not harness.find_windows(MESSAGE_CAPTION, main.program.win_pid), what="the message to go")
    assert not help_windows(main)
    assert not [w for w in harness.toplevel() if w.pid == main.program.win_pid and w.cls == "HH Parent"]


def test_tray_exit_with_help_open_closes_it_removes_the_icon_and_ends(main):
    main.click("Hide Main Window")
    main.wait_visible(False)
    main.choose_tray_entry(TRAY_HOW_TO_USE)
    wait_help_window(main)
    main.choose_tray_entry(TRAY_EXIT)
    assert main.program.wait_exit() == 0
    wait_until(lambda: not tray_icon_shown(), what="the tray icon to go")
    assert not harness.find_windows(HELP_CAPTION)


def test_about_from_the_tray_while_hidden_and_close_shows_the_main_window(main, browser_log):
    main.click("Hide Main Window")
    main.wait_visible(False)
    main.choose_tray_entry(TRAY_ABOUT)
    about = main.program.wait_window(ABOUT_CAPTION)
    assert about.cls == "OrvoPixtrel.frmAbout"
    assert not main.visible()
    harness.screenshot(harness.ARTEFACTS / "about.png")
    link = harness.child_by_text(about.hwnd, MAKER_ADDRESS)
    assert link is not None
    harness.click_center(link.rect)
    wait_until(lambda: browser_log.exists() and browser_log.read_text().splitlines() == [MAKER_ADDRESS],
               what="the launcher to get the maker's address")
    assert main.program.running() and not main.visible()
    harness.click_center(harness.child_by_text(about.hwnd, "Close").rect)
    main.wait_visible(True)
    wait_until(lambda: not main.own_windows("OrvoPixtrel.frmAbout"), what="the About window to go")


def test_exit_with_about_and_help_open_ends_without_showing_the_main_window_again(main):
    harness.post(main.hwnd, harness.WM_COMMAND, ABOUT)
    main.program.wait_window(ABOUT_CAPTION)
    harness.post(main.hwnd, harness.WM_COMMAND, LICENSE)
    wait_help_window(main)
    main.command("Hide")  # the help window may cover the button
    main.wait_visible(False)
    seq = main.seq()
    main.choose_tray_entry(TRAY_EXIT)
    assert main.program.wait_exit() == 0
    wait_until(lambda: not tray_icon_shown(), what="the tray icon to go")
    # The About window's unload on the way down writes the last dump: the main window stayed hidden.
    last = main.dump()
    assert last["seq"] > seq and not last["visible"]
