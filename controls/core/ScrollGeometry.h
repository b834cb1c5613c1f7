#pragma once
// The one scroll model. The layout of a scrolling area: which bars a content
// of a given size needs in an outer area, how much of the content is visible,
// and where a scroll position may go (showing one bar takes room from the
// other direction, so a bar can become necessary only because the other one
// appeared). The step of a position under a scroll-bar request. And a scroll
// bar's value as its user moves it, for the bars that are controls of their own.
#include <cstdint>

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

// A scroll bar's value in Min..Max: the arrows step by SmallChange, the trough
// by LargeChange, the thumb goes where it is dragged, the ends go to Min and
// Max (the same steps as ScrollPosition, shifted to Min). A drag reports
// Scroll, every other move Change, and only when the value really moved.
class ScrollBarModel {
public:
    ScrollBarModel(int32_t min, int32_t max, int32_t value, int32_t smallChange, int32_t largeChange);

    enum class Event { None, Change, Scroll };
    // Applies a request (thumbPosition only for the thumb ones) and says which event it raises.
    Event Apply(ScrollRequest request, int32_t thumbPosition = 0);
    void SetValue(int32_t value);  // clamped; raises nothing
    void SetRange(int32_t min, int32_t max, int32_t smallChange, int32_t largeChange);  // keeps the value, clamped

    int32_t Value() const noexcept { return value_; }
    int32_t Min() const noexcept { return min_; }
    int32_t Max() const noexcept { return max_; }
    int32_t SmallChange() const noexcept { return small_; }
    int32_t LargeChange() const noexcept { return large_; }

private:
    int32_t Clamp(int64_t v) const;
    int32_t min_ = 0, max_ = 0, value_ = 0, small_ = 1, large_ = 1;
};

}  // namespace px::controls
