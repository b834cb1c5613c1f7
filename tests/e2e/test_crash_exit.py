"""A program that crashes in the test prefix ends at once with its exception's code and Wine's one-line
report, and no debugger is started: a debugger's crash dialog would hold a test step until its timeout."""
import os
import subprocess
from pathlib import Path

import harness

ACCESS_VIOLATION_EXIT = 0xC0000005 & 0xFF  # the exit status keeps the code's low byte


def debuggers_of_this_prefix():
    """Pids of winedbg processes started in this run's prefix (other prefixes' are not ours)."""
    prefix = os.environ["WINEPREFIX"]
    found = []
    for proc in Path("/proc").iterdir():
        if not proc.name.isdigit():
            continue
        try:
            args = (proc / "cmdline").read_bytes().split(b"\0")
            env = (proc / "environ").read_bytes().split(b"\0")
        except OSError:
            continue
        if any(b"winedbg" in a.lower() for a in args[:2]) and f"WINEPREFIX={prefix}".encode() in env:
            found.append(int(proc.name))
    return found


def debugger_setting():
    """The prefix's AeDebug Debugger line as the registry tool prints it."""
    r = subprocess.run(["wine", "reg", "query", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug", "/v",
                        "Debugger"], capture_output=True, text=True, timeout=30, stdin=subprocess.DEVNULL)
    return next((line.strip() for line in r.stdout.splitlines() if "Debugger" in line), "(no Debugger value)")


def test_a_crash_ends_the_process_with_its_code_and_starts_no_debugger():
    assert debuggers_of_this_prefix() == []
    # The setting that keeps the debugger away, as the program will read it.
    assert debugger_setting() == "Debugger    REG_SZ"
    # A debugger's dialog would never close: the timeout turns that hang into a failure.
    r = harness.wintool("crash", timeout=20)
    # A debugger that did start writes its backtrace into the program's output.
    assert r.stdout.strip() == "crashing"
    assert r.returncode == ACCESS_VIOLATION_EXIT, r.stderr
    assert "Unhandled page fault on read access to 0000000000000000" in r.stderr
    assert debuggers_of_this_prefix() == []
