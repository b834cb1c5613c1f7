#pragma once
// The outline of a custom-shaped button: every pixel of its picture that
// differs from the key colour (the picture's top-left pixel) belongs to the
// button. The result is a list of rectangles for a window region: horizontal
// runs per row, with equal runs of consecutive rows merged into one rectangle.
#include <cstdint>
#include <vector>

#include "base/View2D.h"
#include "base/Geometry.h"

namespace px::controls {

// pixels: 0x??RRGGBB or 0x??BBGGRR alike; the top byte is ignored.
std::vector<Rect> OpaqueRuns(const View2D<const uint32_t>& pixels, uint32_t key);

// The key colour of a picture: its top-left pixel without the top byte.
uint32_t KeyColourOf(const View2D<const uint32_t>& pixels);

}  // namespace px::controls
