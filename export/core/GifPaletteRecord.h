#pragma once
// The palette record handed to the platform image library with an indexed
// bitmap: flags 1 (the entries carry alpha), the count in use, and each entry
// as a little-endian 32-bit value of blue, green, red and alpha; alpha is 255
// except for the one transparent entry.
#include <array>
#include <cstdint>

namespace px {

struct GifPaletteRecord {
    uint32_t flags = 1;
    uint32_t count = 0;
    std::array<uint32_t, 256> entries{};
};

// `table`: 256 entries of blue, green, red, reserved; `count`: entries in use
// (clamped to 0..256); `transparent`: -1 for none, else 0..255.
GifPaletteRecord MakeGifPaletteRecord(const uint8_t* table, int32_t count, int32_t transparent);

}  // namespace px
