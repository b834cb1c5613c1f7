"""Driving the real program under Wine on the test display.

The test command prepares the environment (private WINEPREFIX, own Xvfb in
DISPLAY, a persistent wineserver) and PIXTREL_BUILD; everything here waits on
conditions and ends only the processes it started.
"""
import os
import shutil
import subprocess
import tempfile
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
    # Output through files, not pipes: when this call happens to start the prefix's desktop
    # process (explorer), that process inherits the output handles and would hold a pipe open
    # long after wintool has ended.
    with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
        r = subprocess.run(["wine", str(WINTOOL), *map(str, args)], stdout=out, stderr=err, text=True,
                           timeout=timeout, stdin=subprocess.DEVNULL)
        out.seek(0)
        err.seek(0)
        r.stdout, r.stderr = out.read(), err.read()
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


def settled_gdi_count(pid):
    """The GDI count once two readings agree: objects of work just finished (a window's
    repaint after an activation change, an overlay going) may still be on their way."""
    last = [None]

    def same():
        now = gdi_count(pid)
        agreed = now == last[0]
        last[0] = now
        return agreed
    wait_until(same, what="a settled GDI count", interval=0.2)
    return last[0]


def clipboard_to(path: Path):
    """Writes the clipboard's bitmap to `path`; returns (width, height, bits) or None."""
    r = wintool("clipboard", windows_path(path))
    if r.returncode != 0 or r.stdout.strip() == "none":
        return None
    w, h, bits = (int(x) for x in r.stdout.split())
    return w, h, bits


# --- mouse and keyboard through the X server -------------------------------
# Points are in Windows screen coordinates. The X screen's top-left corner is the virtual
# screen's, which lies left of or above Windows' 0,0 when a monitor does (the primary's corner
# is 0,0 there): X_ORIGIN is that corner, set by the tests of such a display.

X_ORIGIN = [0, 0]


def to_x(x, y):
    return x - X_ORIGIN[0], y - X_ORIGIN[1]


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, timeout=15)


def mouse_location():
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True, text=True, check=True,
                         timeout=15).stdout
    v = dict(line.split("=", 1) for line in out.split())
    return int(v["X"]) + X_ORIGIN[0], int(v["Y"]) + X_ORIGIN[1]


def move_mouse(x, y):
    # --sync waits for the pointer to move, which it never does when it is already there.
    if mouse_location() != (x, y):
        xdotool("mousemove", "--sync", *to_x(x, y))


def click(x, y, button=1):
    move_mouse(x, y)
    xdotool("click", button)


def click_center(rect, button=1):
    left, top, right, bottom = rect
    click((left + right) // 2, (top + bottom) // 2, button)


def drag_moves(x0, y0, x1, y1, steps=8):
    """Presses the button at (x0, y0) and moves to (x1, y1) in `steps` moves, the button held."""
    move_mouse(x0, y0)
    xdotool("mousedown", 1)
    for i in range(1, steps + 1):
        # Moves chained in one call may be merged; separate calls keep each one.
        xdotool("mousemove", "--sync", *to_x(x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps))


def drag(x0, y0, x1, y1, steps=8):
    drag_moves(x0, y0, x1, y1, steps)
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


# --- the main capture window ------------------------------------------------------
# The program writes its menus and some state to the file named by
# PIXTREL_TEST_DUMP (a test hook: another process cannot read its menus under Wine).

import json  # noqa: E402

DUMP_ENV = "PIXTREL_TEST_DUMP"
WM_KEYDOWN, WM_COMMAND, WM_SYSCOMMAND = 0x100, 0x111, 0x112
VK_RETURN, VK_ESCAPE, VK_DOWN = 0x0D, 0x1B, 0x28
SC_MINIMIZE = 0xF020

# Menu identities of the main window (WM_COMMAND).
MNU = dict(FileSave=100, FileSaveJPEG=101, FileSaveGIF=102, Print=103, FileExit=104, EditCap=105, Entire=106,
           EditCopy=107, Zoom=108, Hide=109, FileSavePNG=114, CaptureKey=115)
TRAY_CAPTIONS = ["  Capture Selection", "  Capture Screen", "  Capture Active ", "  Show Window",
                 "  Copy to Clipboard", "  Zoom Tool", " ", "  How to Use", "  Ordering Information",
                 "  License Agreement", " ", "  About", "  Exit"]


@dataclass
class TopWin:
    hwnd: int
    visible: bool
    pid: int
    cls: str
    title: str
    rect: tuple


def toplevel():
    """Every top-level window of every process."""
    out = []
    for line in wintool("toplevel").stdout.splitlines():
        p = line.split("\t")
        if len(p) >= 6:
            out.append(TopWin(int(p[0]), p[1] == "1", int(p[2]), p[3], p[4], tuple(int(v) for v in p[5].split(","))))
    return out


def post(hwnd, msg, wparam=0, lparam=0):
    r = wintool("post", hwnd, msg, wparam, lparam)
    if r.returncode == 0:
        return
    # Once in hundreds of runs Wine refuses a post to a live window of a responding program; the
    # message is sent again only while the window lives, and the refusal stays in the test's output.
    print(f"observation: wintool post {hwnd} {msg} {wparam} {lparam} refused: {r.returncode} {r.stderr.strip()}")
    assert "window alive" in r.stderr, f"wintool post failed: {r.returncode} {r.stderr}"
    wintool("post", hwnd, msg, wparam, lparam, check=True)


def control_text(hwnd):
    """A control's text, also of another process's edit boxes."""
    return wintool("gettext", hwnd, check=True).stdout.rstrip("\r\n")


def pattern_colour(x, y):
    """The colour of the pattern window's pixel (x, y), as wintool paints it."""
    return bytes(((x * 7 + 20) & 0xFF, (y * 5 + 40) & 0xFF, ((x + y) * 3) & 0xFF))


class PatternWindow:
    """A window with a known pattern (wintool pattern), ended by pid when done."""

    def __init__(self, x, y, w, h, seconds=300):
        self.x, self.y, self.w, self.h = x, y, w, h
        self.proc = subprocess.Popen(["wine", str(WINTOOL), "pattern", *map(str, (x, y, w, h, seconds))],
                                     stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, text=True)
        self.hwnd = int(self.proc.stdout.readline())

    def wait_on_screen(self):
        """Waits until the screen shows the pattern (its window is drawn)."""
        shot = ARTEFACTS / f"pattern-check-{os.getpid()}.png"

        def shown():
            w, _, rgb = read_rgb(screenshot(shot))
            left, top = to_x(self.x, self.y)
            return all(bmp_pixel(rgb, w, left + x, top + y) == pattern_colour(x, y)
                       for x, y in ((0, 0), (self.w - 1, self.h - 1), (self.w // 2, self.h // 3)))
        wait_until(shown, what="the pattern on the screen")
        shot.unlink(missing_ok=True)
        return self

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(timeout=15)


def bmp_pixel(rgb, width, x, y):
    i = 3 * (y * width + x)
    return rgb[i:i + 3]


class MainWindow:
    """The main window of a started program, driven through its controls and tray."""

    def __init__(self, program: Program):
        self.program = program
        self.dump_path = program.folder / "pixtrel-dump.json"
        self.hwnd = None

    # -- start-up --
    def start(self):
        env = dict(os.environ, **{DUMP_ENV: windows_path(self.dump_path)})
        log = open(self.program.folder / "wine-stderr.log", "ab")
        self.program.proc = subprocess.Popen(["wine", str(self.program.exe)], cwd=self.program.folder, env=env,
                                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log)
        start = self.program.wait_window(START_TITLE)
        click_center(child_by_text(start.hwnd, "Continue").rect)
        main = self.program.wait_window(MAIN_TITLE)
        self.hwnd = main.hwnd
        self.wait_dump(lambda d: d["hwnd"] == self.hwnd, "the first dump")
        return self

    # -- state --
    def dump(self):
        try:
            return json.loads(self.dump_path.read_text())
        except (OSError, ValueError):
            return None

    def wait_dump(self, condition, what, timeout=20):
        def check():
            d = self.dump()
            return d if d and condition(d) else None
        return wait_until(check, timeout, what)

    def seq(self):
        d = self.dump()
        return d["seq"] if d else 0

    def visible(self):
        return any(w.hwnd == self.hwnd and w.visible for w in toplevel())

    def wait_visible(self, visible=True, timeout=20):
        wait_until(lambda: self.visible() == visible, timeout, f"main window visible={visible}")

    def control(self, text):
        c = child_by_text(self.hwnd, text)
        assert c is not None, f"no control {text!r}"
        return c

    def control_by_id(self, ident):
        return next(c for c in children(self.hwnd) if c.id == ident)

    def zoom_label(self):
        return self.control_by_id(205).text  # lblZoomLevel

    def click(self, text):
        click_center(self.control(text).rect)

    def option_panels(self):
        """The option-button groups, top first: [shape buttons, line style buttons], each left to right."""
        panels = sorted((c for c in children(self.hwnd) if c.cls == "OrvoPixtrel.OptionPanel"),
                        key=lambda c: c.rect[1])
        return [sorted((b for b in children(p.hwnd) if b.cls == "uxButtons_H"), key=lambda b: (b.rect[1], b.rect[0]))
                for p in panels]

    def command(self, name):
        post(self.hwnd, WM_COMMAND, MNU[name])

    def capture_entire(self):
        n = self.dump()["captures"]
        self.click("Capture Screen")
        return self.wait_dump(lambda d: d["captures"] == n + 1 and d["visible"], "the entire-screen capture")

    def menu_entry(self, *path):
        entries = self.dump()["menu"]
        for caption in path[:-1]:
            entries = next(e for e in entries if e["caption"] == caption)["items"]
        return next(e for e in entries if e["caption"] == path[-1])

    def own_windows(self, cls):
        return [w for w in toplevel() if w.pid == self.program.win_pid and w.cls == cls and w.visible]

    # -- tray --
    def tray_icon_point(self):
        tray = wait_until(lambda: next((w for w in toplevel() if w.title == "Wine System Tray" and w.visible), None),
                          what="the system tray window")
        _, (cx, cy) = window_rect(tray.hwnd)
        return cx + 10, cy + 10  # the first icon cell

    def open_tray_menu(self):
        """Right-clicks the tray icon until the menu is up; returns the menu window."""
        def opened():
            menus = self.own_windows("#32768")
            if menus:
                return menus[0]
            x, y = self.tray_icon_point()
            click(x, y, 3)
            try:
                return wait_until(lambda: (self.own_windows("#32768") or [None])[0], 3, "the tray menu")
            except Timeout:
                return None
        return wait_until(opened, 20, "the tray menu")

    def choose_tray_entry(self, position):
        """Opens the tray menu and chooses the entry at `position` (1-based) with the arrow keys."""
        menu = self.open_tray_menu()
        downs = sum(1 for p in range(1, position + 1) if TRAY_CAPTIONS[p - 1] != " ")
        for _ in range(downs):
            post(menu.hwnd, WM_KEYDOWN, VK_DOWN)
        post(menu.hwnd, WM_KEYDOWN, VK_RETURN)
        wait_until(lambda: not self.own_windows("#32768"), what="the tray menu closing")


# The skinned main window's menu band: where its item texts are, and its open drop-down.
BAND_TOP_SIZING, BAND_MENU_OFFSET_X, BAND_LEFT_END = 15, -20, 20
BAND_LEFT, BAND_TOP = BAND_LEFT_END - BAND_MENU_OFFSET_X + 2, BAND_TOP_SIZING + 1
BAND_TEXT = bytes((255, 255, 255))  # the menu texts (ActiveMenuColor)


def away_from_band(main):
    _, (ox, oy) = window_rect(main.hwnd)
    move_mouse(ox + 600, oy + 400)


def menu_band_items(main):
    """Screen centres of the band's items, left to right: the runs of menu-text pixels on the band."""
    away_from_band(main)
    (left, top, right, _), _ = window_rect(main.hwnd)

    def runs():
        path = screenshot(ARTEFACTS / "skin-menu-band.png")
        sw, _, rgb = read_rgb(path)
        columns = [x for x in range(BAND_LEFT, (right - left) // 2)
                   if any(bmp_pixel(rgb, sw, left + x, top + y) == BAND_TEXT for y in range(BAND_TOP, BAND_TOP + 20))]
        found, start, last = [], None, None
        for x in columns:
            if start is None or x - last > 5:
                if start is not None:
                    found.append((start, last))
                start = x
            last = x
        if start is not None:
            found.append((start, last))
        return found if len(found) == 4 else None
    items = wait_until(runs, 15, "four menu texts on the band")
    return [(left + (a + b) // 2, top + BAND_TOP + 10) for a, b in items]


def open_drop_down(main):
    """The rectangle of the program's open drop-down, or None."""
    for w in toplevel():
        if w.pid == main.program.win_pid and w.cls == "#32768" and w.visible:
            return w.rect
    return None
