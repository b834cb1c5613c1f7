"""Driving the real program under Wine on the test display.

The test command prepares the environment (private WINEPREFIX, own Xvfb in
DISPLAY, a persistent wineserver) and PIXTREL_BUILD; everything here waits on
conditions and ends only the processes it started.
"""
import os
import shutil
import subprocess
import time
from dataclasses import dataclass
from pathlib import Path

BUILD = Path(os.environ.get("PIXTREL_BUILD", Path(__file__).resolve().parents[2] / "build"))
WIN_BUILD = BUILD / "win"
PROGRAM_DIR = WIN_BUILD / "Orvo-Pixtrel"
WINTOOL = WIN_BUILD / "tests" / "win" / "wintool.exe"
ARTEFACTS = BUILD / "test-artefacts" / "e2e"
CONVERT = "/usr/bin/convert"
IMPORT = "/usr/bin/import"

MAIN_TITLE = " Orvo Pixtrel 4.5"
START_TITLE = "Orvo Pixtrel"


class Timeout(AssertionError):
    pass


def wait_until(condition, timeout=15.0, what="condition", interval=0.05):
    """Polls `condition` until it returns something truthy; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout}s waiting for {what}")
        time.sleep(interval)


def windows_path(path: Path) -> str:
    return "Z:" + str(path).replace("/", "\\")


def wintool(*args, check=False, timeout=30):
    r = subprocess.run(["wine", str(WINTOOL), *map(str, args)], capture_output=True, text=True,
                       timeout=timeout, stdin=subprocess.DEVNULL)
    if check and r.returncode != 0:
        raise AssertionError(f"wintool {args} failed: {r.returncode} {r.stderr}")
    return r


@dataclass
class Win:
    hwnd: int
    visible: bool
    pid: int
    cls: str
    title: str = ""


def find_windows(title, pid=None):
    r = wintool("find", title, *( [pid] if pid else [] ))
    wins = []
    for line in r.stdout.splitlines():
        parts = line.split("\t")
        if len(parts) >= 4:
            wins.append(Win(int(parts[0]), parts[1] == "1", int(parts[2]), parts[3], title))
    return wins


def process_windows(pid):
    wins = []
    for line in wintool("windows", pid).stdout.splitlines():
        parts = line.split("\t")
        if len(parts) >= 4:
            wins.append(Win(int(parts[0]), parts[1] == "1", pid, parts[2], parts[3]))
    return wins


@dataclass
class Child:
    hwnd: int
    id: int
    visible: bool
    enabled: bool
    checked: int
    cls: str
    text: str
    rect: tuple


def children(hwnd):
    out = []
    for line in wintool("children", hwnd).stdout.splitlines():
        p = line.split("\t")
        if len(p) >= 8:
            out.append(Child(int(p[0]), int(p[1]), p[2] == "1", p[3] == "1", int(p[4]), p[5], p[6],
                             tuple(int(v) for v in p[7].split(","))))
    return out


def child_by_text(hwnd, text):
    for c in children(hwnd):
        if c.text == text:
            return c
    return None


def window_rect(hwnd):
    r = wintool("rect", hwnd, check=True)
    v = [int(x) for x in r.stdout.split()]
    return tuple(v[:4]), tuple(v[4:6])


def gdi_count(pid):
    r = wintool("gdi", pid, check=True)
    return int(r.stdout.split()[0])


def clipboard_to(path: Path):
    """Writes the clipboard's bitmap to `path`; returns (width, height, bits) or None."""
    r = wintool("clipboard", windows_path(path))
    if r.returncode != 0 or r.stdout.strip() == "none":
        return None
    w, h, bits = (int(x) for x in r.stdout.split())
    return w, h, bits


# --- mouse and keyboard through the X server -------------------------------

def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, timeout=15)


def click(x, y, button=1):
    xdotool("mousemove", "--sync", x, y)
    xdotool("click", button)


def click_center(rect, button=1):
    left, top, right, bottom = rect
    click((left + right) // 2, (top + bottom) // 2, button)


def drag(x0, y0, x1, y1, steps=8):
    xdotool("mousemove", "--sync", x0, y0)
    xdotool("mousedown", 1)
    for i in range(1, steps + 1):
        # Moves chained in one call may be merged; separate calls keep each one.
        xdotool("mousemove", "--sync", x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
    xdotool("mouseup", 1)


def key(*keys):
    xdotool("key", *keys)


# --- pixels -----------------------------------------------------------------

def screenshot(path: Path):
    path.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run([IMPORT, "-display", os.environ["DISPLAY"], "-window", "root", str(path)], check=True,
                   timeout=30)
    return path


def read_rgb(path: Path):
    """Returns (width, height, bytes RGB rows top-down) of any image ImageMagick reads."""
    r = subprocess.run([CONVERT, str(path), "-depth", "8", "rgb:-"], capture_output=True, check=True, timeout=60)
    ident = subprocess.run(["/usr/bin/identify", "-format", "%w %h", str(path) + "[0]"], capture_output=True,
                           text=True, check=True, timeout=30)
    w, h = (int(v) for v in ident.stdout.split())
    return w, h, r.stdout


# --- the program ----------------------------------------------------------------

class Program:
    """One running Orvo-Pixtrel in its own copy of the program folder."""

    def __init__(self, folder: Path):
        self.folder = folder
        self.proc = None
        self.win_pid = None

    @staticmethod
    def make_folder(tmp: Path, with_data=True) -> Path:
        folder = tmp / "Orvo-Pixtrel"
        shutil.copytree(PROGRAM_DIR, folder)
        if not with_data:
            shutil.rmtree(folder / "Data")
        return folder

    @property
    def exe(self):
        return self.folder / "Orvo-Pixtrel.exe"

    @property
    def scratch_bitmap(self):
        return self.folder / "Data" / "temp.bmp"

    def start(self):
        log = open(self.folder / "wine-stderr.log", "ab")
        self.proc = subprocess.Popen(["wine", str(self.exe)], cwd=self.folder, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=log)
        return self

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout=15):
        wait_until(lambda: not self.running(), timeout, "program exit")
        return self.proc.returncode

    def wait_window(self, title, visible=True, timeout=15):
        def found():
            for w in find_windows(title):
                if (not visible or w.visible) and (self.win_pid is None or w.pid == self.win_pid):
                    return w
            return None
        w = wait_until(found, timeout, f"window {title!r}")
        self.win_pid = w.pid
        return w

    def windows(self):
        return process_windows(self.win_pid) if self.win_pid else []

    def stop(self):
        if self.running():
            self.proc.kill()
            self.proc.wait(timeout=15)
