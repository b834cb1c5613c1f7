#pragma once
// Colour mapping through the 16 x 16 x 16 lookup table with Floyd-Steinberg
// error diffusion, vectorised: each row carries its current pixel and the two
// pixels of the row below that are still collecting shares in registers, so
// nothing waits on a store to the same bytes. Same bytes and entries as the
// pixel-by-pixel frame of the colour mapping (the tests compare them).
#include <cstddef>
#include <cstdint>

#include "imaging/core/Dib32.h"

namespace px {

struct DiffusionTables {
    const uint8_t* palette;  // 256 entries of 4 bytes
    const uint8_t* lookup;   // 4096 entry numbers by level index (blue * 256 + green * 16 + red)
    const uint8_t* level;    // 256 levels, v / 17 rounded
};

// Where the entry numbers go: a row of `rowLength` bytes for each picture row.
struct IndexRows {
    uint8_t* first;
    size_t rowLength;
};

// Rows are taken in bands of four, each row three pixels behind the one above
// it, two rows in one 128-bit register.
void DiffuseToColorPaletteSse2(const Pixels32& picture, const DiffusionTables& palette, const IndexRows& ids);
// The same result in bands of eight rows three pixels apart, four rows in
// one 256-bit register; only where the processor has AVX2.
void DiffuseToColorPaletteAvx2(const Pixels32& picture, const DiffusionTables& palette, const IndexRows& ids);

}  // namespace px
