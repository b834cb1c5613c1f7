#pragma once
// Small rules of the capture commands: the shape buttons, the delay of the
// active-window capture, and what part of a window or zoom area the screen holds.
#include <string>
#include <string_view>

#include "capture/core/SelectionGeometry.h"

namespace px::capture {

// optShape index -> shape: 0 Rectangle, 1 Square, 2 Ellipse, 3 Circle; any other index keeps Rectangle.
SelectionShape ShapeFromIndex(int index) noexcept;
// The index of a shape's button, or -1 for a shape without one (Entire, Other).
int IndexOfShape(SelectionShape shape) noexcept;
// The name shown and compared at the edges: "Rectangle", "Square", "Ellipse", "Circle", "Entire", "" for Other.
std::wstring_view ShapeName(SelectionShape shape) noexcept;

// Delay of "Capture Active Window" in milliseconds, read back from lblActive's
// text (whole seconds); text that is not a number gives 0, a stopped timer.
unsigned ActiveDelayMs(const std::wstring& labelText);

// A window's rectangle clipped to the virtual screen (all monitors): the part
// a screen copy can hold. Empty when the window lies wholly off every monitor.
Rect ClipToScreen(const Rect& window, const Rect& virtualScreen) noexcept;

// A copy of `source` (in screen coordinates) into a destination of the same
// size, split into the part the screen holds and where it lands: `from` on the
// screen, `to` in the destination (both the same size, empty when nothing of
// `source` is on the screen). The rest of the destination stays black.
struct ScreenPart {
    Rect from, to;
};
ScreenPart VisiblePart(const Rect& source, const Rect& virtualScreen) noexcept;

}  // namespace px::capture
