"""veltrim.dll from outside: registration with regsvr32, a script client under
cscript, a manifest-only client, and a window managed by the frame manager with
a C++ modifier, driven with xdotool and checked on screenshots."""
import queue
import subprocess
import threading
import time
from pathlib import Path

import pytest

import harness

TOOLS = harness.WIN_BUILD / "tests" / "win"
FRAMETOOL = TOOLS / "frametool.exe"
DLL = TOOLS / "veltrim.dll"

LIBID = "{C3C06846-8B2D-4EE3-8C58-BFABFCB22657}"
CLASSES = {
    "veltrim.cNeoCaption": "{09C9BBB7-6E46-4826-816C-E6E186C513A2}",
    "veltrim.cSkinConfiguration": "{5F98DD85-B6BA-4FC2-B996-04DAAEAD10E1}",
    "veltrim.cNCCalcSize": "{ABF4060E-A54C-4497-8F75-51FDD0F42AAD}",
}

# The test modifier's colours (tests/win/support/TestModifier.h), as RGB.
CAPTION, LEFT, RIGHT, BOTTOM = (200, 40, 40), (40, 200, 40), (40, 40, 200), (220, 200, 40)


def wine(*args, timeout=60):
    return subprocess.run(["wine", *map(str, args)], capture_output=True, text=True, timeout=timeout)


def key_exists(path):
    return wine("reg", "query", path).returncode == 0


def all_keys(present):
    paths = [f"HKCR\\CLSID\\{c}\\InprocServer32" for c in CLASSES.values()]
    paths += [f"HKCR\\{p}\\CLSID" for p in CLASSES]
    paths += [f"HKLM\\Software\\Classes\\TypeLib\\{LIBID}\\1.1\\409\\win64"]
    return {p: key_exists(p) for p in paths}


SCRIPT = r'''
Set skin = CreateObject("veltrim.cSkinConfiguration")
skin.ButtonWidth = 19
If skin.ButtonWidth <> 19 Then WScript.Quit 2
Set caption = CreateObject("veltrim.cNeoCaption")
If caption.ActiveCaptionColor <> 13421772 Then WScript.Quit 3
Set manager = CreateObject("veltrim.cNCCalcSize")
If manager.WindowActive Then WScript.Quit 4
If manager.hMenu <> 0 Then WScript.Quit 5
On Error Resume Next
skin.Restore "<NeoCaptionSkin", Nothing, Nothing
If Err.Number <> &H80040619 Then WScript.Quit 6
If Err.Source <> "cscript.cSkinConfiguration" Then WScript.Quit 7
If InStr(Err.Description, "The XML document could not be loaded: ") <> 1 Then WScript.Quit 8
Err.Clear
skin.DrawSample 0, 0, 0, 0, 10, 10, True
If Err.Number <> 0 Then WScript.Quit 9
WScript.Quit 0
'''


def test_registration_script_client_and_manifest_only_client(tmp_path):
    dll = harness.windows_path(DLL)
    wine("regsvr32", "/s", "/u", dll)
    assert not any(all_keys(True).values())
    r = wine("regsvr32", "/s", dll)
    assert r.returncode == 0, r.stderr
    try:
        keys = all_keys(True)
        assert all(keys.values()), keys
        script = tmp_path / "client.vbs"
        script.write_text(SCRIPT.replace("\n", "\r\n"))
        r = wine("cscript", "//nologo", harness.windows_path(script))
        assert r.returncode == 0, (r.returncode, r.stdout, r.stderr)
    finally:
        r = wine("regsvr32", "/s", "/u", dll)
    assert r.returncode == 0
    left = all_keys(False)
    assert not any(left.values()), left
    # No key at all: the manifest alone activates every class, and the DLL unloads when unused.
    r = wine(FRAMETOOL, "classes")
    assert r.returncode == 0, (r.returncode, r.stdout)
    assert "unloaded 1" in r.stdout


class FrameTool:
    def __init__(self, *args):
        self.proc = subprocess.Popen(["wine", str(FRAMETOOL), "window", *map(str, args)], stdin=subprocess.DEVNULL,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        first = self.next_line(timeout=20)
        assert first and first.startswith("ready"), first
        self.hwnd = int(first.split()[1])
        harness.wait_until(lambda: harness.window_rect(self.hwnd), 10, "frame window")
        self.heard = []

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line.strip())

    def next_line(self, timeout=5.0):
        try:
            return self.lines.get(timeout=timeout)
        except queue.Empty:
            return None

    def drain(self, settle=0.4):
        """What the modifier heard since the last call (waits until nothing new arrives)."""
        got = []
        while (line := self.next_line(settle)) is not None:
            got.append(line)
        self.heard += got
        return got

    def rect(self):
        return harness.window_rect(self.hwnd)[0]

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(timeout=15)


@pytest.fixture
def frame(request):
    tool = FrameTool()
    yield tool
    rep = getattr(request.node, "rep_call", None)
    if rep is not None and rep.failed:
        harness.screenshot(harness.ARTEFACTS / f"{request.node.name}.png")
    tool.stop()


def pixel(rgb, x, y):
    w, _, data = rgb
    i = (y * w + x) * 3
    return tuple(data[i:i + 3])


def test_the_modifier_paints_caption_borders_and_bottom_row(frame):
    left, top, right, bottom = frame.rect()
    shot = harness.screenshot(harness.ARTEFACTS / "veltrim-frame.png")
    rgb = harness.read_rgb(shot)
    mid_x, mid_y = (left + right) // 2, (top + bottom) // 2
    assert pixel(rgb, mid_x, top + 1) == CAPTION
    assert pixel(rgb, mid_x, top + 39) == CAPTION
    assert pixel(rgb, left, mid_y) == LEFT
    assert pixel(rgb, right - 1, mid_y) == RIGHT
    assert pixel(rgb, right - 5, mid_y) == RIGHT      # the extra column right of the client area
    assert pixel(rgb, mid_x, bottom - 5) == BOTTOM    # and the extra row below it
    assert pixel(rgb, mid_x, top + 41) == (255, 255, 255)


def test_caption_drag_moves_exactly_and_edge_drag_resizes(frame):
    left, top, right, bottom = frame.rect()
    harness.drag(left + 150, top + 20, left + 200, top + 20, steps=10)
    harness.wait_until(lambda: frame.rect()[0] == left + 50, 5, "moved window")
    assert frame.rect() == (left + 50, top, right + 50, bottom)
    left, top, right, bottom = frame.rect()
    harness.drag(right - 2, (top + bottom) // 2, right + 40, (top + bottom) // 2, steps=10)
    harness.wait_until(lambda: frame.rect()[2] > right + 20, 5, "resized window")
    assert frame.rect()[0] == left


def button_point(frame):
    left, top, right, bottom = frame.rect()
    return right - 4 - 24 + 10, top + 8 + 10   # inside TestModifier.ButtonZone


def test_double_click_on_a_button_zone_does_not_close(frame):
    x, y = button_point(frame)
    harness.move_mouse(x, y)
    harness.xdotool("click", "--repeat", 2, "--delay", 80, 1)
    heard = frame.drain()
    assert frame.proc.poll() is None and "closed" not in heard
    assert heard.count("click") == 2


def test_a_press_on_the_caption_released_on_a_button_does_nothing(frame):
    left, top, right, bottom = frame.rect()
    x, y = button_point(frame)
    harness.move_mouse(left + 100, top + 20)
    harness.xdotool("mousedown", 1)
    harness.xdotool("mousemove", "--sync", x, y)
    harness.xdotool("mouseup", 1)
    heard = frame.drain()
    assert "click" not in heard
    assert frame.proc.poll() is None


def test_alt_keys_reach_the_modifier_only_when_plain(frame):
    left, top, right, bottom = frame.rect()
    harness.click((left + right) // 2, (top + bottom) // 2)   # make sure it is the active window
    frame.drain()
    harness.key("alt+f")
    assert frame.drain() == [f"alt {ord('F')}"]
    for combo in ("alt+Escape", "alt+F1", "ctrl+alt+f"):
        harness.key(combo)
        heard = frame.drain()
        assert not any(h.startswith("alt") for h in heard), (combo, heard)
    harness.key("alt+F4")
    heard = frame.drain(1.0)
    assert not any(h.startswith("alt") for h in heard), heard


def test_a_quit_during_the_move_loop_ends_the_program(request):
    tool = FrameTool(2500)
    try:
        left, top, right, bottom = tool.rect()
        harness.move_mouse(left + 150, top + 20)
        harness.xdotool("mousedown", 1)
        try:
            harness.xdotool("mousemove", "--sync", left + 170, top + 30)
            # The quit arrives while the button is still down, inside the move loop.
            harness.wait_until(lambda: tool.proc.poll() is not None, 10, "program end")
        finally:
            harness.xdotool("mouseup", 1)
        heard = tool.drain()
        # Asked while the move loop ran (button down); the quit still reached the program's own loop.
        assert "quit asked, button down" in heard and "quit 7" in heard, heard
    finally:
        tool.stop()
