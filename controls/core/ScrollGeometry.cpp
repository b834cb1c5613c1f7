#include "controls/core/ScrollGeometry.h"

#include <algorithm>
#include <climits>

namespace px::controls {

ScrollLayout ComputeScrollLayout(Size outer, Size content, Size bars, Point requested) {
    ScrollLayout l;
    int w = std::max(outer.cx, 0), h = std::max(outer.cy, 0);
    bool hBar = content.cx > w, vBar = content.cy > h;
    // Each bar narrows the other direction; two passes settle it.
    for (int pass = 0; pass < 2; ++pass) {
        hBar = hBar || content.cx > w - (vBar ? bars.cx : 0);
        vBar = vBar || content.cy > h - (hBar ? bars.cy : 0);
    }
    l.horizontalBar = hBar;
    l.verticalBar = vBar;
    l.viewport = {std::max(w - (vBar ? bars.cx : 0), 0), std::max(h - (hBar ? bars.cy : 0), 0)};
    l.maxPosition = {std::max(content.cx - l.viewport.cx, 0), std::max(content.cy - l.viewport.cy, 0)};
    l.position = {std::clamp(requested.x, 0, l.maxPosition.x), std::clamp(requested.y, 0, l.maxPosition.y)};
    return l;
}

int ScrollPosition(ScrollRequest request, int current, int trackPosition, int line, int page, int maxPosition) {
    int p = current;
    switch (request) {
    case ScrollRequest::LineUp: p = current - line; break;
    case ScrollRequest::LineDown: p = current + line; break;
    case ScrollRequest::PageUp: p = current - std::max(page, 1); break;
    case ScrollRequest::PageDown: p = current + std::max(page, 1); break;
    case ScrollRequest::Top: p = 0; break;
    case ScrollRequest::Bottom: p = maxPosition; break;
    case ScrollRequest::ThumbTrack:
    case ScrollRequest::ThumbPosition: p = trackPosition; break;
    case ScrollRequest::EndScroll: break;
    }
    return std::clamp(p, 0, std::max(maxPosition, 0));
}

ScrollBarModel::ScrollBarModel(int32_t min, int32_t max, int32_t value, int32_t smallChange, int32_t largeChange) {
    SetRange(min, max, smallChange, largeChange);
    SetValue(value);
}

void ScrollBarModel::SetRange(int32_t min, int32_t max, int32_t smallChange, int32_t largeChange) {
    min_ = min;
    max_ = std::max(min, max);
    small_ = smallChange;
    large_ = largeChange;
    value_ = Clamp(value_);
}

int32_t ScrollBarModel::Clamp(int64_t v) const { return static_cast<int32_t>(std::clamp<int64_t>(v, min_, max_)); }

void ScrollBarModel::SetValue(int32_t value) { value_ = Clamp(value); }

ScrollBarModel::Event ScrollBarModel::Apply(ScrollRequest request, int32_t thumbPosition) {
    if (request == ScrollRequest::EndScroll) return Event::None;
    // The steps work on offsets from Min; the thumb is clamped into the range first.
    const int64_t span = static_cast<int64_t>(max_) - min_;
    const auto offset = [&](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v - min_, 0, span)); };
    const int next = ScrollPosition(request, offset(value_), offset(thumbPosition), small_, large_,
                                    static_cast<int>(std::min<int64_t>(span, INT32_MAX)));
    const int32_t moved = Clamp(static_cast<int64_t>(min_) + next);
    if (moved == value_) return Event::None;
    value_ = moved;
    return request == ScrollRequest::ThumbTrack ? Event::Scroll : Event::Change;
}

}  // namespace px::controls
