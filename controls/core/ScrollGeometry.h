#pragma once
// Layout of the scrolling frame: which bars a content of a given size needs in
// an outer area, how much of the content is visible, and where a scroll
// position may go. Showing one bar takes room from the other direction, so a
// bar can become necessary only because the other one appeared.
#include "base/Geometry.h"
#include "controls/core/ScrollCodes.h"

namespace px::controls {

struct ScrollLayout {
    bool horizontalBar = false;
    bool verticalBar = false;
    Size viewport;       // the visible part of the outer area, after the bars
    Point maxPosition;   // largest scroll position in each direction (0: no scrolling)
    Point position;      // the requested position, clamped to 0..maxPosition
    friend bool operator==(const ScrollLayout&, const ScrollLayout&) = default;
};

// outer: the area with no bars; bars: thickness of the vertical bar (cx) and of the horizontal bar (cy).
ScrollLayout ComputeScrollLayout(Size outer, Size content, Size bars, Point requested);

// New position after a scroll-bar request; `line` pixels per arrow click, a page is the viewport; the end
// of a scroll leaves the position where it is.
int ScrollPosition(ScrollRequest request, int current, int trackPosition, int line, int page, int maxPosition);

}  // namespace px::controls
