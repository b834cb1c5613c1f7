#pragma once
// Where the picture view draws its picture: the zoomed size, the origin
// (centred when the picture fits, scrolled when it is larger than the view),
// the scroll ranges, and which source pixels cover a part of the view.
namespace px::controls {

struct ViewLayout {
    int displayW = 0, displayH = 0;  // the picture at the zoom level, in view pixels
    int originX = 0, originY = 0;    // the picture's top-left corner in the view
    int scrollX = 0, scrollY = 0;    // the scroll position, clamped to the ranges
    int maxScrollX = 0, maxScrollY = 0;
};

// Zoomed extent of `pixels` at `zoomPercent` (truncated, at least 1 for a non-empty picture).
int ZoomedExtent(int pixels, int zoomPercent);

ViewLayout LayoutPicture(int pictureW, int pictureH, int zoomPercent, int viewW, int viewH, int scrollX,
                         int scrollY);

struct Span {
    int begin = 0, end = 0;  // half-open
    bool empty() const noexcept { return end <= begin; }
};

// Along one axis: the source pixels that cover [viewBegin, viewEnd) of the view and
// the view span they are drawn to. Source pixel i starts at origin + i * display / pixels.
struct AxisMapping {
    Span source, dest;
};
AxisMapping MapAxis(int pixels, int display, int origin, int viewBegin, int viewEnd);

// The scroll position that keeps the picture point at the view's centre in place when
// the displayed extent changes from `oldDisplay` to `newDisplay`.
int ScrollKeepingCentre(int scroll, int viewExtent, int oldDisplay, int newDisplay);

}  // namespace px::controls
