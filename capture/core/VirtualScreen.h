#pragma once
// The selection overlay over every monitor. The overlay covers the virtual
// screen (the bounding box of all monitors, whose top-left may lie at negative
// coordinates); overlay pixel (0, 0) is that top-left corner. Here: the
// layout from what the platform lists, the conversions between overlay and
// screen coordinates, the monitor under the pointer, the parts of the box no
// monitor shows, and the shift that keeps the magnifier and read-outs on the
// pointer's monitor instead of straddling a seam.
#include <vector>

#include "capture/core/SelectionGeometry.h"

namespace px::capture {

struct ScreenLayout {
    Rect bounds;                 // the virtual screen, screen coordinates
    std::vector<Rect> monitors;  // screen coordinates, in the platform's order
};

// The layout from the listed monitors and the virtual screen the platform
// reports: the bounds hold both, so neither is cut off; empty monitors are
// dropped, and with none left the reported area counts as the one monitor.
ScreenLayout MakeScreenLayout(std::vector<Rect> monitors, const Rect& reportedVirtual);

inline Point ToScreen(Point overlay, const Rect& bounds) noexcept {
    return {overlay.x + bounds.left, overlay.y + bounds.top};
}
inline Rect ToOverlay(const Rect& screen, const Rect& bounds) noexcept {
    return screen.offset(-bounds.left, -bounds.top);
}

// The monitor holding p, else the nearest one (the first on ties); -1 when there is none.
int MonitorAt(const std::vector<Rect>& monitors, Point p) noexcept;

// The parts of `bounds` that no monitor shows, as disjoint rectangles.
std::vector<Rect> UncoveredParts(const Rect& bounds, const std::vector<Rect>& monitors);

// How far to move `box` (the controls' extent) so that it lies on `monitor`:
// nothing while it does, and nothing while what sticks out reaches no other
// monitor (off the outer edge it is cut off, as on a single screen); else
// the least move that brings it inside (the top-left edge wins when the box
// is larger than the monitor).
Point ShiftOntoMonitor(const Rect& box, const Rect& monitor, const std::vector<Rect>& monitors) noexcept;

}  // namespace px::capture
