import os
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).parent))
import harness  # noqa: E402


def pytest_configure(config):
    missing = [v for v in ("DISPLAY", "WINEPREFIX") if not os.environ.get(v)]
    if missing:
        pytest.exit(f"run the end-to-end tests through scripts/test.sh e2e (missing {missing})", returncode=2)


@pytest.hookimpl(tryfirst=True, hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    rep = outcome.get_result()
    setattr(item, "rep_" + rep.when, rep)


@pytest.fixture
def program(request, tmp_path):
    """A program in a fresh copy of the program folder; a failing test leaves its screenshot behind."""
    prog = harness.Program(harness.Program.make_folder(tmp_path))
    yield prog
    rep = getattr(request.node, "rep_call", None)
    if rep is not None and rep.failed:
        # Brackets of a parameterised test's name would read as a frame selection to ImageMagick.
        name = request.node.name.replace("[", "-").replace("]", "")
        harness.screenshot(harness.ARTEFACTS / f"{name}.png")
    prog.stop()


@pytest.fixture
def second_program(request, tmp_path):
    prog = harness.Program(harness.Program.make_folder(tmp_path / "second"))
    yield prog
    prog.stop()
