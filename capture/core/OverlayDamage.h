#pragma once
// What a frame of the overlay covers, so the next frame restores only those
// pixels from the frozen desktop instead of the whole screen. The covers are
// conservative: every pixel the platform draws for a band, a grid line or a
// control lies inside them.
#include <cstdint>
#include <span>
#include <vector>

#include "base/View2D.h"
#include "capture/core/SelectionGeometry.h"

namespace px::capture {

// A rectangle band outline from `start` to `end` (both corners on the line)
// drawn with a pen of `penWidth`: its four edges as strips.
std::vector<Rect> RectangleOutlineCover(Point start, Point end, int penWidth);

// The outline of the ellipse inscribed in `box` (half-open, as given to the
// platform's ellipse) drawn with a pen of `penWidth`: strips of at most
// `bandRows` rows on a fixed grid of rows, each covering the arc's left and
// right parts in them.
std::vector<Rect> EllipseOutlineCover(const Rect& box, int penWidth, int bandRows = 32);

// One-pixel grid lines across a screen of `width` x `height`.
std::vector<Rect> GridCover(int width, int height, int spacing);

// The rectangles clipped to `bounds`, empty ones dropped.
std::vector<Rect> ClipRects(std::span<const Rect> rects, const Rect& bounds);

// The same pixels in fewer rectangles: rectangles spanning the same rows whose
// columns overlap or touch become one; empty ones are dropped.
std::vector<Rect> MergeRects(std::span<const Rect> rects);

// Sum of the rectangles' areas (overlaps counted as often as they occur).
int64_t TotalArea(std::span<const Rect> rects);

// Copies every rectangle from `source` to `target` (same size; rectangles
// already clipped to it).
void RestoreRects(const View2D<uint32_t>& target, const View2D<const uint32_t>& source, std::span<const Rect> rects);

}  // namespace px::capture
