#!/usr/bin/env python3
"""Prints the per-layer and total counts of the JUnit files a test run left behind.

Usage: test_summary.py <artefacts dir> <seconds> [failed step ...]
Exits non-zero when any test or step failed, or when no test ran at all.
"""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def count(path):
    root = ET.parse(path).getroot()
    suites = [root] if root.tag == "testsuite" else root.iter("testsuite")
    passed = failed = skipped = 0
    for suite in suites:
        for case in suite.iter("testcase"):
            if case.find("failure") is not None or case.find("error") is not None:
                failed += 1
            elif case.find("skipped") is not None or case.get("result") == "skipped" or case.get("status") == "notrun":
                skipped += 1
            else:
                passed += 1
    return passed, failed, skipped


def main():
    art = Path(sys.argv[1])
    seconds = int(sys.argv[2])
    failed_steps = sys.argv[3:]
    total = [0, 0, 0]
    print("Summary")
    for layer in ("core", "fuzz", "win", "winskin", "winlarge", "win96", "win144", "e2e"):
        f = art / f"{layer}.xml"
        if not f.exists():
            continue
        p, fl, s = count(f)
        total = [total[0] + p, total[1] + fl, total[2] + s]
        print(f"  {layer:6} {p:5} passed {fl:5} failed {s:5} skipped")
    for step in failed_steps:
        print(f"  step failed: {step}")
    print(f"  took {seconds // 60} min {seconds % 60} s; artefacts in {art}")
    print(f"total: {total[0]} passed, {total[1]} failed, {total[2]} skipped")
    ok = total[1] == 0 and not failed_steps and total[0] > 0
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
