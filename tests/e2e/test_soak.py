"""Fifty operations of everyday use (every capture kind, the three saves,
annotation, adjustments, the zoom tool, help and About) leave the program's
GDI objects and windows where they were after a warm-up round, and its
private bytes within a small margin. scripts/soak.sh runs the long version."""
import harness
from harness import MainWindow
from soak import Soak


def test_fifty_operations_leave_gdi_objects_windows_and_memory_where_they_were(program, tmp_path):
    main = MainWindow(program).start()
    soak = Soak(main, tmp_path / "files")
    try:
        soak.start()
        # One round first: every single-instance window, the help window and the caches exist afterwards.
        soak.run(len(soak.operations()))
        before = soak.sample()
        soak.run(50)
        after = soak.sample()
    finally:
        soak.stop()
    print("\n" + before.line() + "\n" + after.line())
    harness.screenshot(harness.ARTEFACTS / "soak-end.png")
    assert abs(after.gdi - before.gdi) <= 2, (before, after)
    assert abs(after.windows - before.windows) <= 2, (before, after)
    # Wine's heaps grow in steps; a leak of the capture size per operation would show as tens of megabytes.
    assert after.private_bytes - before.private_bytes <= max(0.05 * before.private_bytes, 8 << 20), (before, after)
