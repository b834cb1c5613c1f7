#pragma once
// Pixel effects on a picture held as 32-bit pixels (0x00RRGGBB, the layout of
// a 32-bit DIB): the look of a disabled button's picture and the pressed
// looks of custom-shaped buttons. Pixels of the key colour (transparent
// outside of a shape or around an icon) are left alone.
#include <cstdint>
#include <optional>

#include "base/View2D.h"

namespace px::controls {

enum class PixelEffect { None, Darken, Lighten, Invert, Grey, Disabled };

void ApplyPixelEffect(const View2D<uint32_t>& pixels, PixelEffect effect, std::optional<uint32_t> key);

// One pixel, for tests and single colours.
uint32_t EffectOnPixel(uint32_t pixel, PixelEffect effect);

}  // namespace px::controls
