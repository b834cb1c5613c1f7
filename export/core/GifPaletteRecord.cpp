#include "export/core/GifPaletteRecord.h"

#include <algorithm>

namespace px {

GifPaletteRecord MakeGifPaletteRecord(const uint8_t* table, int32_t count, int32_t transparent) {
    GifPaletteRecord record;
    record.count = static_cast<uint32_t>(std::clamp(count, 0, 256));
    for (uint32_t i = 0; i < record.count; ++i) {
        const uint8_t* e = table + 4 * i;
        record.entries[i] = uint32_t{e[0]} | uint32_t{e[1]} << 8 | uint32_t{e[2]} << 16 | 0xFF000000u;
    }
    if (transparent >= 0 && transparent <= 255) record.entries[static_cast<size_t>(transparent)] &= 0x00FFFFFFu;
    return record;
}

}  // namespace px
