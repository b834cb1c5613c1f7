#include "export/core/CanvasGeometry.h"

#include <algorithm>
#include <limits>

#include "base/Error.h"
#include "base/Rounding.h"
#include "imaging/core/Dib32.h"

namespace px {

namespace {

// Per axis: the scroll range and the visible extent of a picture side of
// `size` zoomed by `zoom` in a control side of `client`.
struct Axis {
    int32_t range = 0;
    int32_t view = 0;
};

Axis LayAxis(int32_t size, int32_t zoom, int32_t client) {
    const int64_t zoomed = int64_t{size} * zoom;
    if (client >= zoomed) return {0, static_cast<int32_t>(zoomed)};
    return {static_cast<int32_t>(zoomed - client), client};
}

// The offset that keeps the old relative position, or the middle.
int32_t KeptOffset(int32_t range, float previousOffset, float previousRange) {
    const float ratio = previousRange != 0 ? static_cast<float>(range) * previousOffset / previousRange
                                           : static_cast<float>(range) / 2;
    // Rounded wide, then clamped: a single-precision range near 2^31 - 1 reads as 2^31.
    return static_cast<int32_t>(std::clamp<int64_t>(RoundHalfEven<int64_t>(ratio), 0, range));
}

int32_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return static_cast<int32_t>(q);
}

// One axis of the drawing: a scrolled view or the whole side.
void BlitAxis(bool whole, int32_t offset, int32_t zoom, int32_t view, int32_t size, int32_t surface,
              int32_t& destPos, int32_t& destLen, int32_t& srcPos, int32_t& srcLen) {
    if (whole) {
        destPos = 0;
        destLen = surface;
        srcPos = 0;
        srcLen = size;
        return;
    }
    srcPos = offset / zoom;
    // One or two extra source pixels show the partly visible ones at the
    // edges, but never beyond the picture's last column or row.
    srcLen = std::min(view / zoom + 2, size - srcPos);
    destPos = -(offset % zoom);
    destLen = srcLen * zoom;
}

}  // namespace

CanvasRect CanvasGeometry::Layout(int32_t pictureWidth, int32_t pictureHeight, int32_t clientWidth,
                                  int32_t clientHeight) {
    clientWidth = std::max(clientWidth, 0);
    clientHeight = std::max(clientHeight, 0);
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        pictureWidth_ = pictureHeight_ = 0;
        rx_ = ry_ = 0;
        ox_ = oy_ = 0;  // nothing to scroll: an offset left from the last picture would exceed the range
        surface_ = {-1, 0, 0, 0};
        return surface_;
    }
    // The zoomed picture and its scroll range are 32-bit values: a larger one is refused before
    // anything changes (the drawing and the pointer mapping multiply by the zoom as well).
    if (!fit_ && (int64_t{pictureWidth} * zoom_ > std::numeric_limits<int32_t>::max() ||
                  int64_t{pictureHeight} * zoom_ > std::numeric_limits<int32_t>::max()))
        throw Error(ErrorNumber::Overflow, "", "Overflow");
    pictureWidth_ = pictureWidth;
    pictureHeight_ = pictureHeight;
    layoutZoom_ = zoom_;
    if (fit_) {
        const FitRect fit = GetBestFitInfo(pictureWidth, pictureHeight, clientWidth, clientHeight, false);
        surface_ = {fit.x, fit.y, fit.width, fit.height};
        rx_ = ry_ = 0;  // a fitted picture does not scroll
    } else {
        const Axis h = LayAxis(pictureWidth, zoom_, clientWidth);
        const Axis v = LayAxis(pictureHeight, zoom_, clientHeight);
        rx_ = h.range;
        ry_ = v.range;
        surface_ = {(clientWidth - h.view) / 2, (clientHeight - v.view) / 2, h.view, v.view};
    }
    ox_ = KeptOffset(rx_, prevOx_, prevRx_);
    oy_ = KeptOffset(ry_, prevOy_, prevRy_);
    prevOx_ = static_cast<float>(ox_);
    prevOy_ = static_cast<float>(oy_);
    prevRx_ = static_cast<float>(rx_);
    prevRy_ = static_cast<float>(ry_);
    return surface_;
}

CanvasBlit CanvasGeometry::Blit() const {
    CanvasBlit b;
    if (!HasPicture()) return b;
    BlitAxis(fit_ || rx_ == 0, ox_, layoutZoom_, surface_.width, pictureWidth_, surface_.width, b.destX, b.destWidth,
             b.sourceX, b.sourceWidth);
    BlitAxis(fit_ || ry_ == 0, oy_, layoutZoom_, surface_.height, pictureHeight_, surface_.height, b.destY,
             b.destHeight, b.sourceY, b.sourceHeight);
    return b;
}

CanvasPoint CanvasGeometry::ToPicture(int32_t x, int32_t y) const {
    if (fit_) {
        // Through the fitted rectangle: the surface shows the whole picture scaled.
        if (surface_.width <= 0 || surface_.height <= 0) return {-1, -1};
        return {FloorDiv(int64_t{x} * pictureWidth_, surface_.width),
                FloorDiv(int64_t{y} * pictureHeight_, surface_.height)};
    }
    return {FloorDiv(int64_t{x} + ox_, layoutZoom_), FloorDiv(int64_t{y} + oy_, layoutZoom_)};
}

void CanvasGeometry::Press(int32_t x, int32_t y, bool leftButton) {
    pressed_ = true;
    dragging_ = leftButton;
    last_ = {x, y};
}

bool CanvasGeometry::Move(int32_t x, int32_t y) {
    if (!dragging_ || PickMode()) return false;
    const int32_t oldX = ox_, oldY = oy_;
    ox_ = static_cast<int32_t>(std::clamp<int64_t>(int64_t{last_.x} - x + ox_, 0, rx_));
    oy_ = static_cast<int32_t>(std::clamp<int64_t>(int64_t{last_.y} - y + oy_, 0, ry_));
    last_ = {x, y};
    // Against the offsets before this move: after parking, the kept ones belong to the last picture.
    if (ox_ == oldX && oy_ == oldY) return false;
    prevOx_ = static_cast<float>(ox_);
    prevOy_ = static_cast<float>(oy_);
    return true;
}

CanvasCursor CanvasGeometry::Cursor() const noexcept {
    if (PickMode()) return CanvasCursor::PickColor;
    if (!CanScroll()) return CanvasCursor::Default;
    return pressed_ ? CanvasCursor::HandCatch : CanvasCursor::HandOver;
}

}  // namespace px
