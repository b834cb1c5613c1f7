#pragma once
// Reduction of a 32-bit picture to palette entries: the 8-bit index buffer
// (rows rounded up to 4 bytes, top row first), grey and colour mapping with
// optional Floyd-Steinberg error diffusion, and the distinct-colour count.
// The picture's pixels are overwritten with the chosen entries' colours.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "imaging/core/Dib32.h"
#include "imaging/core/NearestColorMap.h"

namespace px {

// The palette as the ditherer copies it: 256 entries of blue, green, red, 0.
using PaletteTable = std::array<uint8_t, 1024>;
// Entry numbers indexed by the 4-bit levels (blue * 256 + green * 16 + red).
using ColorLookupTable = std::array<uint8_t, 4096>;

// level(v) = v / 17 rounded, 0..15.
const std::array<uint8_t, 256>& DitherLevelMap();

// Asks `nearest` for the entry nearest to (r x 17, g x 17, b x 17) for every
// level triple. An answer outside 0..255 (a failed query) is Overflow (6).
ColorLookupTable BuildColorLookupTable(const std::function<int64_t(uint8_t red, uint8_t green, uint8_t blue)>& nearest);

class IndexBuffer8bpp {
public:
    // ((W x 8 + 31) / 32) x 4 bytes a row, H rows, all zero. Returns the first byte.
    uint8_t* InitializePalID(int32_t width, int32_t height);
    uint8_t* PalIDPtr() noexcept { return ids_.empty() ? nullptr : ids_.data(); }
    const uint8_t* PalIDPtr() const noexcept { return ids_.empty() ? nullptr : ids_.data(); }
    uint8_t PalID(int32_t x, int32_t y) const;  // SubscriptOutOfRange (9) outside the picture
    int32_t RowLength() const noexcept { return rowLength_; }
    int32_t Width() const noexcept { return width_; }
    int32_t Height() const noexcept { return height_; }
    std::span<uint8_t> Row(int32_t y);

private:
    std::vector<uint8_t> ids_;
    int32_t rowLength_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

// Grey mapping against the matching greyscale table (kind 0: 2 greys,
// 1: 16, 2: 256). An unknown kind takes entry 0 for every pixel.
void DitherToGreyPalette(const Pixels32& picture, const PaletteTable& palette, int32_t greyKind, bool diffuse,
                         IndexBuffer8bpp& ids);
// Colour mapping through the 16 x 16 x 16 lookup table.
void DitherToColorPalette(const Pixels32& picture, const PaletteTable& palette, const ColorLookupTable& lookup,
                          bool diffuse, IndexBuffer8bpp& ids);

// Colour mapping to the exact nearest entry of a perceptual palette; `map`
// must have been built from the table's entries in use.
void DitherToNearestEntries(const Pixels32& picture, const PaletteTable& palette, NearestColorMap& map, bool diffuse,
                            IndexBuffer8bpp& ids);

// Exact number of distinct (blue, green, red) colours, in one pass (AVX2
// or SSE2 skipping runs of one colour).
int32_t CountColors(const Pixels32& picture);
// The same, pixel by pixel without any shortcut: what the others are tested against.
int32_t CountColorsReference(const Pixels32& picture);

}  // namespace px
