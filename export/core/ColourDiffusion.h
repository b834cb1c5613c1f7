#pragma once
// Colour mapping through the 16 x 16 x 16 lookup table with Floyd-Steinberg
// error diffusion, vectorised: each row carries its current pixel and the two
// pixels of the row below that are still collecting shares in registers, so
// nothing waits on a store to the same bytes. Same bytes and entries as the
// pixel-by-pixel frame in Dither8bpp.cpp (the tests compare them).
#include "export/core/Dither8bpp.h"

namespace px {

// `ids` must already hold a buffer of the picture's size. Rows are taken in
// bands of four, each row two pixels behind the one above it.
void DiffuseToColorPaletteSse2(const Pixels32& picture, const PaletteTable& palette, const ColorLookupTable& lookup,
                               IndexBuffer8bpp& ids);
// The same result in bands of eight rows three pixels apart, four rows in
// one 256-bit register; only where the processor has AVX2.
void DiffuseToColorPaletteAvx2(const Pixels32& picture, const PaletteTable& palette, const ColorLookupTable& lookup,
                               IndexBuffer8bpp& ids);

}  // namespace px
