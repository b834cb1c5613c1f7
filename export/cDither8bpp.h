#pragma once
// Reduces a cDIB32 to the entries of a cPalette8bpp: an 8-bit index buffer
// (rows rounded up to 4 bytes, top row first) for the GIF writer, and the
// picture's pixels overwritten with the chosen colours for the preview.
#include <cstdint>

#include "base/Event.h"
#include "export/cPalette8bpp.h"
#include "export/core/Dither8bpp.h"
#include "imaging/cDIB32.h"

namespace px {

class cDither8bpp {
public:
    Event<int32_t> Progress;  // declared for listeners; never raised
    Event<> ProgressEnd;      // at the end of each dithering call

    uint8_t* InitializePalID(int32_t width, int32_t height) { return ids_.InitializePalID(width, height); }
    uint8_t* PalIDPtr() noexcept { return ids_.PalIDPtr(); }
    uint8_t PalID(int32_t x, int32_t y) const { return ids_.PalID(x, y); }
    int32_t PalIDRowLength() const noexcept { return ids_.RowLength(); }

    // Grey kind 0, 1, 2 against the matching greyscale palette.
    void DitherToGreyPalette(cDIB32& picture, const cPalette8bpp& palette, int32_t greyKind, bool diffuse);
    // Builds the 16 x 16 x 16 lookup table from 4096 queries of the palette's
    // hPal (Overflow (6) when a query fails), then maps every pixel through it.
    void DitherToColorPalette(cDIB32& picture, const cPalette8bpp& palette, bool diffuse);
    // Maps every pixel to the exact nearest entry in the perceptual space (the
    // palette's own map, not the platform's, whose 4-bit lookup would undo
    // what the perceptual palette gains). Overflow (6) with no entries in use.
    void DitherToPerceptualPalette(cDIB32& picture, const cPalette8bpp& palette, bool diffuse);
    // Exact number of distinct colours.
    int32_t CountColors(const cDIB32& picture) const;

private:
    static PaletteTable TableOf(const cPalette8bpp& palette);
    IndexBuffer8bpp ids_;
};

}  // namespace px
