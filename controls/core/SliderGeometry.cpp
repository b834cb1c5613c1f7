#include "controls/core/SliderGeometry.h"

#include <algorithm>

#include "base/Rounding.h"

namespace px::controls {

namespace {
int Half(int v) { return RoundHalfEven<int>(v / 2.0); }
}  // namespace

int ThumbOffsetForValue(int64_t v, int64_t min, int64_t range, int C, int T, int orientation) {
    const int travel = C - T;
    if (range <= 0 || travel <= 0) return orientation == SliderVertical ? std::max(travel, 0) : 0;
    int along = RoundHalfEven<int>(static_cast<double>(travel) * static_cast<double>(v - min) /
                                   static_cast<double>(range));
    return orientation == SliderVertical ? travel - along : along;
}

std::optional<int64_t> ValueForThumbOffset(int offset, int64_t min, int64_t range, int C, int T, int orientation) {
    const int travel = C - T;
    if (travel <= 0 || range <= 0) return std::nullopt;
    int along = orientation == SliderVertical ? travel - offset : offset;
    return RoundHalfEven<int64_t>(static_cast<double>(along) / travel * static_cast<double>(range)) + min;
}

int DragThumbOffset(int pointer, int grab, int C, int T) {
    return std::clamp(pointer - grab, 0, std::max(C - T, 0));
}

Rect RailRect(int orientation, Size control, Size thumb) {
    Rect r;
    if (orientation == SliderVertical) {
        r.left = Half(thumb.cx - 4);
        r.right = r.left + 4;
        r.top = Half(thumb.cy) - 2;
        r.bottom = control.cy + r.top - thumb.cy + 4;
    } else {
        r.top = Half(thumb.cy - 4);
        r.bottom = r.top + 4;
        r.left = Half(thumb.cx) - 2;
        r.right = control.cx + r.left - thumb.cx + 4;
    }
    return r;
}

Rect ValueTipRect(int orientation, Point screen, Rect thumb, Size text) {
    int left, top;
    if (orientation == SliderVertical) {
        left = thumb.left - text.cx - 6;
        top = thumb.top + Half(thumb.height() - text.cy - 4);
    } else {
        left = thumb.left + Half(thumb.width() - text.cx - 4);
        top = thumb.top - text.cy - 5;
    }
    return RectAt(screen.x + left, screen.y + top, text.cx + 4, text.cy + 3);
}

Point RailPictureOrigin(int orientation, Size control, Size picture) {
    if (orientation == SliderVertical) return {Half(control.cx - picture.cx), 2};
    return {2, Half(control.cy - picture.cy)};
}

}  // namespace px::controls
