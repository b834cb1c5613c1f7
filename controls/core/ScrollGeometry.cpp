#include "controls/core/ScrollGeometry.h"

#include <algorithm>

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

}  // namespace px::controls
