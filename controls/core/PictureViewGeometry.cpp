#include "controls/core/PictureViewGeometry.h"

#include <algorithm>
#include <cstdint>

namespace px::controls {

int ZoomedExtent(int pixels, int zoomPercent) {
    if (pixels <= 0 || zoomPercent <= 0) return 0;
    int64_t v = static_cast<int64_t>(pixels) * zoomPercent / 100;
    return static_cast<int>(std::clamp<int64_t>(v, 1, INT32_MAX / 2));
}

namespace {
void LayoutAxis(int display, int view, int scroll, int& origin, int& clamped, int& maxScroll) {
    if (display <= view) {
        maxScroll = 0;
        clamped = 0;
        origin = (view - display) / 2;
    } else {
        maxScroll = display - view;
        clamped = std::clamp(scroll, 0, maxScroll);
        origin = -clamped;
    }
}

// First source pixel whose view span ends after `v`.
int SourceAt(int pixels, int display, int origin, int v) {
    // Largest i with origin + i * display / pixels <= v.
    int64_t rel = static_cast<int64_t>(v) - origin;
    if (rel < 0) return 0;
    int64_t i = (rel * pixels) / display;
    // Correct for the truncation in the forward mapping.
    while (i + 1 <= pixels && (i + 1) * display / pixels <= rel) ++i;
    while (i > 0 && i * display / pixels > rel) --i;
    return static_cast<int>(std::min<int64_t>(i, pixels));
}

int ViewAt(int pixels, int display, int origin, int i) {
    return origin + static_cast<int>(static_cast<int64_t>(i) * display / pixels);
}
}  // namespace

ViewLayout LayoutPicture(int pictureW, int pictureH, int zoomPercent, int viewW, int viewH, int scrollX,
                         int scrollY) {
    ViewLayout l;
    l.displayW = ZoomedExtent(pictureW, zoomPercent);
    l.displayH = ZoomedExtent(pictureH, zoomPercent);
    LayoutAxis(l.displayW, std::max(viewW, 0), scrollX, l.originX, l.scrollX, l.maxScrollX);
    LayoutAxis(l.displayH, std::max(viewH, 0), scrollY, l.originY, l.scrollY, l.maxScrollY);
    return l;
}

AxisMapping MapAxis(int pixels, int display, int origin, int viewBegin, int viewEnd) {
    AxisMapping m;
    if (pixels <= 0 || display <= 0) return m;
    int b = std::max(viewBegin, origin), e = std::min(viewEnd, origin + display);
    if (e <= b) return m;
    m.source.begin = b <= origin ? 0 : SourceAt(pixels, display, origin, b);
    m.source.end = e >= origin + display ? pixels : std::min(pixels, SourceAt(pixels, display, origin, e - 1) + 1);
    m.dest.begin = ViewAt(pixels, display, origin, m.source.begin);
    m.dest.end = ViewAt(pixels, display, origin, m.source.end);
    return m;
}

int ScrollKeepingCentre(int scroll, int viewExtent, int oldDisplay, int newDisplay) {
    if (oldDisplay <= 0) return 0;
    int64_t centre = static_cast<int64_t>(scroll) + viewExtent / 2;
    int64_t moved = centre * newDisplay / oldDisplay - viewExtent / 2;
    return static_cast<int>(std::clamp<int64_t>(moved, 0, INT32_MAX / 2));
}

}  // namespace px::controls
