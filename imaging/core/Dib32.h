#pragma once
// The 32-bit working picture of the GIF pipeline without the platform:
// top-down rows of W x 4 bytes (blue, green, red, unused), no padding.
// Fitting, flips, the quarter turn and the noise filter work on it directly.
#include <cstddef>
#include <cstdint>

#include "base/View2D.h"
#include "imaging/core/Random.h"

namespace px {

// W x 4 x H; Overflow (6) when W x 4 or the product leaves the 32-bit signed range.
int32_t Dib32ImageSize(int32_t width, int32_t height);

struct Pixels32 {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;

    bool empty() const noexcept { return bits == nullptr || width <= 0 || height <= 0; }
    size_t rowBytes() const noexcept { return static_cast<size_t>(width) * 4; }
    // Checked byte view: x in 0..W*4-1, y in 0..H-1 (row 0 is the top).
    View2D<uint8_t> view() const {
        if (empty()) return {};
        return View2D<uint8_t>(bits, rowBytes(), static_cast<size_t>(height), rowBytes());
    }
};

struct FitRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const FitRect&) const = default;
};

// Size and place a W x H picture inside destW x destH: shrink to fit keeping
// the aspect (or stretch when asked), never enlarge otherwise, centred.
// W and H must be positive.
FitRect GetBestFitInfo(int32_t width, int32_t height, int32_t destWidth, int32_t destHeight, bool stretchToFit);

void MirrorLeftRight(const Pixels32& picture);
void MirrorTopBottom(const Pixels32& picture);
// The mirrors of an orientation change, in their order: without rotation
// horizontal then vertical; with rotation the flags swap axes (vertical flag
// mirrors left-right first, then the horizontal flag top-bottom).
void ApplyOrientationMirrors(const Pixels32& picture, bool rotate, bool flipHorizontal, bool flipVertical);
// Quarter turn anticlockwise on screen: old (x, y) lands at (y, W-1-x) of a
// target H wide and W high.
void RotateQuarterAnticlockwise(const Pixels32& source, const Pixels32& target);

// Adds the same random offset in -level..level to blue, green and red of every
// step-th pixel of every step-th row, clamped; the fourth byte is kept.
// Overflow (6) when 2 x level does not fit; InvalidPropertyValue (380) for step < 1.
void Noise(const Pixels32& picture, int32_t level, int32_t step, UniformRandom& random);

}  // namespace px
