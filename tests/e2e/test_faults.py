"""Faults the real program meets on a user's machine: a target file held open
by another program, a full disk, a read-only Data folder, a name outside the
ANSI code page, the clipboard held by another program, no default printer.
Each shows a clear message owned by the main window and loses nothing: the
user's earlier file and the current capture survive, and no partial or
temporary file is left.

The full disk and the read-only folder are real filesystems: a tiny tmpfs and
a read-only one, mounted for the test (root only; skipped otherwise) and seen
by Wine through its Z: drive and a drive letter of the private prefix.

Paths longer than MAX_PATH are tested at the writers themselves
(tests/win/FileFaultsTest.cpp): Wine's own Save As dialog crashes inside
comdlg32.dll when given such a name, so the real program cannot be driven
there under Wine."""
import os
import shutil
import subprocess
from pathlib import Path

import pytest

import harness
from harness import MainWindow, wait_until

SCREEN_W, SCREEN_H = 1280, 800
EARLIER = b"the user's earlier file"
WIN_TESTS = harness.WIN_BUILD / "tests" / "win" / "win_tests.exe"


@pytest.fixture
def main(program):
    return MainWindow(program).start()


class Holder:
    """A wintool process holding something (the clipboard, a file) until released; ended by its pid."""

    def __init__(self, *args):
        self.proc = subprocess.Popen(["wine", str(harness.WINTOOL), *map(str, args)], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        line = self.proc.stdout.readline().strip()
        assert line == "ready", f"holder {args} did not start: {line!r}"

    def release(self):
        if self.proc.poll() is None:
            self.proc.stdin.close()
            try:
                self.proc.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(timeout=15)


def message_box(main, fragment):
    """The program's message box whose text holds `fragment`; returns (box, text)."""
    def found():
        for b in main.own_windows("#32770"):
            for c in harness.children(b.hwnd):
                if fragment in c.text:
                    return b, c.text
        return None
    return wait_until(found, 30, f"a message with {fragment!r}")


def owner_of(hwnd):
    return int(harness.wintool("owner", hwnd, check=True).stdout.split()[0])


def close_box(main, box):
    harness.click_center(harness.child_by_text(box.hwnd, "OK").rect)
    wait_until(lambda: not any(w.hwnd == box.hwnd for w in main.own_windows("#32770")), what="the message closing")


def save_bitmap_as(main, path, expect_question):
    main.command("FileSave")
    dlg = wait_until(lambda: (main.own_windows("#32770") or [None])[0], what="the Save As dialog")
    edit = next(c for c in harness.children(dlg.hwnd) if c.cls == "Edit" and c.visible)
    harness.wintool("settext", edit.hwnd, path, check=True)
    harness.click_center(next(c for c in harness.children(dlg.hwnd) if c.text == "&Save").rect)
    if expect_question:
        box, _ = message_box(main, "File already exists ! Overwrite ?")
        harness.click_center(harness.child_by_text(box.hwnd, "OK").rect)


def leftovers(folder: Path):
    return sorted(p.name for p in folder.iterdir() if p.name.startswith("~px") or p.suffix == ".tmp")


def expect_save_refused_and_kept(main, folder: Path, target: Path, windows_target: str):
    scratch = main.program.scratch_bitmap.read_bytes()
    save_bitmap_as(main, windows_target, expect_question=target.exists())
    box, text = message_box(main, "could not be saved")
    assert windows_target in text
    assert owner_of(box.hwnd) == main.hwnd, "the message belongs to the main window"
    harness.screenshot(harness.ARTEFACTS / f"fault-{folder.name}.png")
    close_box(main, box)
    assert target.read_bytes() == EARLIER, "the user's earlier file changed"
    assert leftovers(folder) == []
    # The capture itself is untouched and still saves elsewhere.
    assert main.program.scratch_bitmap.read_bytes() == scratch
    assert main.dump()["capture"] == [SCREEN_W, SCREEN_H]


def test_a_target_held_open_by_another_program_is_reported_and_kept(main, tmp_path):
    main.capture_entire()
    folder = tmp_path / "held"
    folder.mkdir()
    target = folder / "picture.bmp"
    target.write_bytes(EARLIER)
    holder = Holder("lock", harness.windows_path(target), 600)
    try:
        expect_save_refused_and_kept(main, folder, target, harness.windows_path(target))
    finally:
        holder.release()
    # Released, the same save replaces it with the capture.
    save_bitmap_as(main, harness.windows_path(target), expect_question=True)
    wait_until(lambda: target.read_bytes()[:2] == b"BM", what="the saved file")
    assert harness.read_rgb(target)[2] == harness.read_rgb(main.program.scratch_bitmap)[2]
    assert sorted(p.name for p in folder.iterdir()) == ["picture.bmp"]


def test_a_name_outside_the_ansi_code_page_is_saved_under_that_name(main, tmp_path):
    main.capture_entire()
    folder = tmp_path / "Снимки 写真"
    folder.mkdir()
    target = folder / "картинка ü.bmp"
    save_bitmap_as(main, harness.windows_path(target), expect_question=False)
    wait_until(lambda: target.exists() and target.stat().st_size > 0, what="the saved file")
    assert harness.read_rgb(target)[2] == harness.read_rgb(main.program.scratch_bitmap)[2]
    assert [p.name for p in folder.iterdir()] == [target.name]


# --- real filesystems: a full one and a read-only one ------------------------------


class Mount:
    """A tmpfs of `size` at `where` (read-only after `seal`), unmounted at the end."""

    def __init__(self, where: Path, size: str):
        self.where = where
        where.mkdir(parents=True, exist_ok=True)
        r = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size},mode=0777", "tmpfs", str(where)],
                           capture_output=True, text=True)
        if r.returncode != 0:
            pytest.skip(f"cannot mount a small filesystem here: {r.stderr.strip()}")

    def seal(self):
        r = subprocess.run(["mount", "-o", "remount,ro", str(self.where)], capture_output=True, text=True)
        assert r.returncode == 0, r.stderr

    def fill(self):
        """Fills the filesystem to the last byte."""
        with open(self.where / "filler", "wb", buffering=0) as f:
            for size in (1 << 16, 4096, 512, 1):
                try:
                    while True:
                        f.write(b"\0" * size)
                except OSError:
                    pass

    def unmount(self):
        subprocess.run(["umount", "-l", str(self.where)], capture_output=True)


@pytest.fixture
def drive_letter():
    """Maps a drive letter of the private prefix to a folder; removed afterwards."""
    made = []

    def mapped(folder: Path, letter="r"):
        link = Path(os.environ["WINEPREFIX"]) / "dosdevices" / f"{letter}:"
        if link.exists() or link.is_symlink():
            link.unlink()
        link.symlink_to(folder)
        made.append(link)
        return f"{letter.upper()}:"
    yield mapped
    for link in made:
        link.unlink(missing_ok=True)


def seed_earlier_files(folder: Path):
    for ext in (".bmp", ".jpg", ".gif", ".png"):
        (folder / f"earlier{ext}").write_bytes(EARLIER)


def run_win_faults(case, env_name, windows_folder):
    env = dict(os.environ, **{env_name: windows_folder})
    r = subprocess.run(["wine", str(WIN_TESTS), f"--gtest_filter=FileFaultsTest.{case}"], env=env,
                       capture_output=True, text=True, timeout=300, stdin=subprocess.DEVNULL)
    assert r.returncode == 0 and "[  PASSED  ] 1 test" in r.stdout and "SKIPPED" not in r.stdout, r.stdout[-3000:]


def test_a_full_disk_is_reported_and_keeps_the_earlier_file(main, tmp_path, drive_letter):
    mount = Mount(tmp_path / "tiny", "256k")
    try:
        seed_earlier_files(mount.where)
        mount.fill()
        drive = drive_letter(mount.where)
        main.capture_entire()
        target = mount.where / "earlier.bmp"
        expect_save_refused_and_kept(main, mount.where, target, drive + "\\earlier.bmp")
        # Every writer of the program against the same full disk.
        run_win_faults("FullDiskIsRefusedAndKeepsTheEarlierFile", "PIXTREL_FULL_DISK_FOLDER", drive + "\\")
        assert leftovers(mount.where) == []
    finally:
        mount.unmount()


def test_a_read_only_data_folder_keeps_the_capture_and_says_so(main, tmp_path, drive_letter):
    first = main.capture_entire()
    data = main.program.folder / "Data"
    scratch_before = main.program.scratch_bitmap.read_bytes()
    mount = Mount(tmp_path / "ro", "16m")
    try:
        for p in data.iterdir():
            shutil.copy2(p, mount.where / p.name)
        seed_earlier_files(mount.where)
        mount.seal()
        shutil.rmtree(data)
        data.symlink_to(mount.where)  # the program's Data folder is now read-only
        main.click("Capture Screen")
        box, text = message_box(main, "could not be written")
        assert owner_of(box.hwnd) == main.hwnd
        close_box(main, box)
        d = main.dump()
        assert d["captures"] == first["captures"] and d["capture"] == [SCREEN_W, SCREEN_H]
        assert (mount.where / "temp.bmp").read_bytes() == scratch_before
        # The writers themselves against the read-only filesystem.
        run_win_faults("ReadOnlyFolderIsRefusedAndKeepsTheEarlierFile", "PIXTREL_READONLY_FOLDER",
                       drive_letter(mount.where) + "\\")
    finally:
        if data.is_symlink():
            data.unlink()
        mount.unmount()


# --- the clipboard and the printer ------------------------------------------------


def test_the_clipboard_held_by_another_program_is_reported_and_the_capture_kept(main, tmp_path):
    main.capture_entire()
    scratch = harness.read_rgb(main.program.scratch_bitmap)
    holder = Holder("holdclip", 600)
    try:
        main.click("Copy to   Clipboard")
        box, text = message_box(main, "could not be put on the clipboard")
        assert owner_of(box.hwnd) == main.hwnd
        close_box(main, box)
    finally:
        holder.release()
    assert harness.read_rgb(main.program.scratch_bitmap) == scratch
    # Free again, the same command puts the capture there.
    main.click("Copy to   Clipboard")
    out = tmp_path / "clip.bmp"
    wait_until(lambda: harness.clipboard_to(out) is not None and harness.read_rgb(out)[2] == scratch[2],
               what="the capture on the clipboard")


def test_a_capture_while_the_clipboard_is_held_is_kept_and_reported(main):
    before = main.dump()["captures"]
    holder = Holder("holdclip", 600)
    try:
        main.click("Capture Screen")
        box, _ = message_box(main, "could not be put on the clipboard")
        assert owner_of(box.hwnd) == main.hwnd
        close_box(main, box)
    finally:
        holder.release()
    d = main.dump()
    assert d["captures"] == before + 1 and d["capture"] == [SCREEN_W, SCREEN_H]
    assert harness.read_rgb(main.program.scratch_bitmap)[:2] == (SCREEN_W, SCREEN_H)


def test_printing_without_a_default_printer_says_so(main):
    r = subprocess.run(["lpstat", "-d"], capture_output=True, text=True) if shutil.which("lpstat") else None
    if r is not None and "system default destination:" in r.stdout:
        pytest.skip("this machine has a default printer")
    main.capture_entire()
    scratch = main.program.scratch_bitmap.read_bytes()
    main.command("Print")
    box, text = message_box(main, "There is no default printer.")
    assert owner_of(box.hwnd) == main.hwnd
    close_box(main, box)
    assert main.program.scratch_bitmap.read_bytes() == scratch
    assert main.program.running()


# --- the skin library ----------------------------------------------------------------


def test_without_the_skin_library_the_program_still_captures_saves_and_exits(program, tmp_path):
    (program.folder / "veltrim.dll").unlink()
    main = MainWindow(program).start()
    main.capture_entire()
    target = tmp_path / "no-skin.bmp"
    save_bitmap_as(main, harness.windows_path(target), expect_question=False)
    wait_until(lambda: target.exists() and target.stat().st_size > 0, what="the saved file")
    assert harness.read_rgb(target)[2] == harness.read_rgb(main.program.scratch_bitmap)[2]
    # No message on the way: the missing library only means the platform's own frame.
    assert not main.own_windows("#32770")
    harness.screenshot(harness.ARTEFACTS / "fault-no-skin-library.png")
    main.command("FileExit")
    assert main.program.wait_exit() == 0



def test_an_active_window_capture_while_the_clipboard_is_held_keeps_the_grabbed_picture(main):
    pattern = harness.PatternWindow(400, 690, 160, 100)
    try:
        pattern.wait_on_screen()
        before = main.dump()["captures"]
        holder = Holder("holdclip", 600)
        try:
            main.click("Capture Active Window")
            main.wait_dump(lambda d: d["activeTimer"], "the delay timer")
            harness.click(pattern.x + 20, pattern.y + 20)
            box, _ = message_box(main, "could not be put on the clipboard")
            assert owner_of(box.hwnd) == main.hwnd
            close_box(main, box)
        finally:
            holder.release()
    finally:
        pattern.close()
    d = main.dump()
    assert d["captures"] == before + 1 and d["capture"] == [pattern.w, pattern.h]
    w, h, rgb = harness.read_rgb(main.program.scratch_bitmap)
    assert (w, h) == (pattern.w, pattern.h)
    assert rgb[:3] == harness.pattern_colour(0, 0) and rgb[-3:] == harness.pattern_colour(w - 1, h - 1)
