"""A day of use in a few minutes: the real program driven through every kind
of capture, the three saves, annotation, adjustments, the zoom tool, help and
About, over and over, with its GDI objects, windows and private bytes read
from inside Wine every so many operations.

Used by tests/e2e/test_soak.py (50 operations, in the normal run) and by
scripts/soak.sh N (N rounds, on demand). Waits on conditions only.
"""
import sys
from dataclasses import dataclass
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
import harness  # noqa: E402
from harness import wait_until  # noqa: E402

PATTERN = (420, 690, 160, 90)  # x, y, w, h: below the main window, the target of active and region captures
FORM1_CLASS = "OrvoPixtrel.Form1"
ADJUST_CLASS = "OrvoPixtrel.frmBrightnessAndContrast"
JPEG_CLASS = "OrvoPixtrel.SaveJPEG"
FMAIN_CLASS = "OrvoPixtrel.fMain"
ZOOM_CLASS = "OrvoPixtrel.zoom"
ABOUT_CLASS = "OrvoPixtrel.frmAbout"
HELP_CAPTION = "Orvo Pixtrel Help"
ID_FORM1_APPLY, ID_FORM1_PICTURE = 103, 110
ID_ZOOM_EXIT = 305
ID_CONTENTS, ID_ABOUT = 110, 113


@dataclass
class Sample:
    operations: int
    gdi: int
    windows: int
    private_bytes: int

    def line(self):
        return (f"after {self.operations:5d} operations: GDI objects {self.gdi:5d}, windows {self.windows:4d}, "
                f"private bytes {self.private_bytes:,}")


def process_counts(pid):
    r = harness.wintool("proc", pid, check=True)
    gdi, windows, private = (int(v) for v in r.stdout.split())
    return gdi, windows, private


class Soak:
    def __init__(self, main, workdir: Path):
        self.main = main
        self.workdir = workdir
        self.workdir.mkdir(parents=True, exist_ok=True)
        self.done = 0
        self.pattern = None

    # -- helpers ---------------------------------------------------------------
    def own(self, cls):
        return self.main.own_windows(cls)

    def wait_own(self, cls):
        return wait_until(lambda: (self.own(cls) or [None])[0], 30, f"window {cls}")

    def wait_gone(self, hwnd):
        wait_until(lambda: not any(w.hwnd == hwnd and w.visible for w in harness.toplevel()), 30, f"{hwnd} to go")

    def captures(self):
        return self.main.dump()["captures"]

    def wait_captured(self, n, what):
        self.main.wait_dump(lambda d: d["captures"] == n + 1 and d["visible"], what, timeout=30)

    def save_dialog_to(self, path: Path):
        dlg = wait_until(lambda: (self.own("#32770") or [None])[0], 30, "the Save As dialog")
        edit = next(c for c in harness.children(dlg.hwnd) if c.cls == "Edit" and c.visible)
        harness.wintool("settext", edit.hwnd, harness.windows_path(path), check=True)
        harness.click_center(next(c for c in harness.children(dlg.hwnd) if c.text == "&Save").rect)
        wait_until(lambda: path.exists() and path.stat().st_size > 0, 60, f"the file {path.name}")
        self.wait_gone(dlg.hwnd)

    def button(self, hwnd, text):
        return wait_until(lambda: next((c for c in harness.children(hwnd) if c.text == text and c.enabled), None),
                          30, f"button {text!r}")

    def child(self, hwnd, ident):
        return wait_until(lambda: next((c for c in harness.children(hwnd) if c.id == ident), None), 30,
                          f"child {ident}")

    # -- the operations ----------------------------------------------------------
    def capture_screen(self):
        self.main.capture_entire()

    def capture_region(self):
        n = self.captures()
        self.main.click("Capture Selection")
        wait_until(lambda: any(w.pid == self.main.program.win_pid and w.title == "Desktop" and w.visible
                               for w in harness.toplevel()), 30, "the overlay")
        x, y, w, h = PATTERN
        harness.drag(x + 5, y + 5, x + w - 5, y + h - 5)
        self.wait_captured(n, "the region capture")

    def capture_active(self):
        n = self.captures()
        self.main.click("Capture Active Window")
        self.main.wait_dump(lambda d: d["activeTimer"], "the delay timer", timeout=30)
        harness.click(PATTERN[0] + 20, PATTERN[1] + 20)
        self.wait_captured(n, "the active-window capture")

    def save_bitmap(self):
        target = self.workdir / "soak.bmp"
        target.unlink(missing_ok=True)
        self.main.command("FileSave")
        self.save_dialog_to(target)

    def save_jpeg(self):
        target = self.workdir / "soak.jpg"
        target.unlink(missing_ok=True)
        self.main.command("FileSaveJPEG")
        window = self.wait_own(JPEG_CLASS)
        harness.click_center(self.button(window.hwnd, "Save JPEG").rect)
        self.save_dialog_to(target)
        self.wait_gone(window.hwnd)  # unloaded after each save
        assert target.read_bytes()[:2] == b"\xff\xd8"

    def save_gif(self):
        target = self.workdir / "soak.gif"
        target.unlink(missing_ok=True)
        self.main.command("FileSaveGIF")
        window = self.wait_own(FMAIN_CLASS)
        harness.click_center(self.button(window.hwnd, "Websafe").rect)
        harness.click_center(self.button(window.hwnd, "Dither").rect)
        harness.click_center(self.button(window.hwnd, "Save GIF").rect)
        self.save_dialog_to(target)
        harness.click_center(self.button(window.hwnd, "X").rect)
        self.wait_gone(window.hwnd)
        assert target.read_bytes()[:4] == b"GIF8"

    def annotate(self):
        seq = self.main.seq()
        self.main.click("Text Annotation")
        form1 = self.wait_own(FORM1_CLASS)
        left, top, right, bottom = self.child(form1.hwnd, ID_FORM1_PICTURE).rect
        harness.drag(left + 5, top + 5, min(right, left + 60) - 2, min(bottom, top + 40) - 2)  # a stroke
        harness.click_center(self.child(form1.hwnd, ID_FORM1_APPLY).rect)
        self.wait_gone(form1.hwnd)
        self.main.wait_dump(lambda d: d["seq"] > seq and d["visible"], "the annotation applied", timeout=30)

    def adjust(self):
        seq = self.main.seq()
        self.main.click("Image Adjustments")
        window = self.wait_own(ADJUST_CLASS)
        bars = sorted((c for c in harness.children(window.hwnd) if c.cls == "ScrollBar"), key=lambda c: c.rect[1])
        left, top, right, bottom = bars[0].rect
        harness.click(right - 40, (top + bottom) // 2)  # brighter by a page
        harness.click_center(self.button(window.hwnd, "Apply").rect)
        self.wait_gone(window.hwnd)
        self.main.wait_dump(lambda d: d["seq"] > seq and d["visible"], "the adjustment applied", timeout=30)

    def zoom_tool(self):
        self.main.click("Zoom Tool")
        window = self.wait_own(ZOOM_CLASS)
        harness.click_center(self.child(window.hwnd, ID_ZOOM_EXIT).rect)
        self.wait_gone(window.hwnd)

    def help(self):
        seq = self.main.seq()
        harness.post(self.main.hwnd, harness.WM_COMMAND, ID_CONTENTS)
        self.main.wait_dump(lambda d: d["seq"] > seq, "the help command", timeout=30)
        wait_until(lambda: any(w.pid == self.main.program.win_pid and w.visible
                               for w in harness.find_windows(HELP_CAPTION)), 30, "the help window")

    def about(self):
        harness.post(self.main.hwnd, harness.WM_COMMAND, ID_ABOUT)
        window = self.wait_own(ABOUT_CLASS)
        harness.click_center(self.button(window.hwnd, "Close").rect)
        self.wait_gone(window.hwnd)
        self.main.wait_visible(True)

    def operations(self):
        return [self.capture_screen, self.capture_region, self.capture_active, self.save_bitmap, self.save_jpeg,
                self.save_gif, self.annotate, self.adjust, self.zoom_tool, self.help, self.about]

    # -- running -------------------------------------------------------------------
    def start(self):
        self.pattern = harness.PatternWindow(*PATTERN, seconds=24 * 3600)
        self.pattern.wait_on_screen()
        self.capture_screen()  # the saves and adjustments need a capture

    def stop(self):
        if self.pattern:
            self.pattern.close()

    def kinds(self):
        return [op.__name__ for op in self.operations()]

    def run(self, count, every=None, report=print, only=None):
        """Runs `count` operations in turn (or `count` of the one kind `only`); samples (and reports) every
        `every` operations."""
        samples = []
        ops = [getattr(self, only)] if only else self.operations()
        for i in range(count):
            ops[self.done % len(ops)]()
            self.done += 1
            if every and self.done % every == 0:
                samples.append(self.sample())
                report(samples[-1].line())
        return samples

    def sample(self):
        # The platform frees some objects a moment after a window goes: read until two reads agree.
        last = [None]

        def settled():
            now = process_counts(self.main.program.win_pid)
            same = last[0] is not None and now[:2] == last[0][:2]
            last[0] = now
            return now if same else None
        gdi, windows, private = wait_until(settled, 30, "settled counts", interval=0.3)
        return Sample(self.done, gdi, windows, private)


def slope_line(samples):
    """Least-squares growth of private bytes per operation over the samples after the first (the heap settles)."""
    pts = [(s.operations, s.private_bytes) for s in samples[1:]] or [(s.operations, s.private_bytes) for s in samples]
    if len(pts) < 2:
        return "too few samples for a slope"
    n = len(pts)
    mx = sum(x for x, _ in pts) / n
    my = sum(y for _, y in pts) / n
    sxx = sum((x - mx) ** 2 for x, _ in pts)
    slope = sum((x - mx) * (y - my) for x, y in pts) / sxx
    return f"private bytes per operation (fit over operations {pts[0][0]}-{pts[-1][0]}): {slope / 1024:+.1f} KB"


def main_entry(rounds, only=None, every=None):
    """scripts/soak.sh: N rounds of every operation, counts every 100 operations; with `only`, N times that one
    operation, counts every `every` (default 10) operations."""
    import shutil
    tmp = harness.BUILD / "soak-run"
    shutil.rmtree(tmp, ignore_errors=True)
    tmp.mkdir(parents=True)
    program = harness.Program(harness.Program.make_folder(tmp))
    main = harness.MainWindow(program).start()
    soak = Soak(main, tmp / "files")
    try:
        if only and only not in soak.kinds():
            raise SystemExit(f"unknown operation {only!r}: one of {', '.join(soak.kinds())}")
        soak.start()
        if only:
            total, every = rounds, every or 10
            print(f"{total} operations of {only}, counts every {every}", flush=True)
        else:
            total, every = rounds * len(soak.operations()), every or 100
            print(f"{total} operations ({rounds} rounds of {len(soak.operations())})", flush=True)
        if only:
            print(soak.sample().line(), flush=True)
        samples = soak.run(total, every=every, report=lambda line: print(line, flush=True), only=only)
        if samples:
            final = soak.sample()
            first = samples[0]
            print(final.line())
            print(f"growth after the first {every} operations: GDI {final.gdi - first.gdi:+d}, "
                  f"windows {final.windows - first.windows:+d}, private bytes "
                  f"{final.private_bytes - first.private_bytes:+,} "
                  f"({100.0 * (final.private_bytes - first.private_bytes) / first.private_bytes:+.2f} %)")
            if only:
                print(slope_line(samples))
    finally:
        soak.stop()
        program.stop()


def parse(argv):
    import argparse
    parser = argparse.ArgumentParser(description="soak the program; N rounds of every operation by default")
    parser.add_argument("--only", help="repeat this one operation kind N times (e.g. save_jpeg)")
    parser.add_argument("--every", type=int, help="sample every so many operations (10 with --only, else 100)")
    parser.add_argument("count", type=int, nargs="?", default=10, help="rounds, or operations with --only")
    return parser.parse_args(argv)


if __name__ == "__main__":
    args = parse(sys.argv[1:])
    main_entry(args.count, only=args.only, every=args.every)
