// The palette record given to the platform with the index buffer.
#include <gtest/gtest.h>

#include "export/core/GifPaletteRecord.h"
#include "export/core/Palette8bpp.h"

namespace px {
namespace {

TEST(GifPaletteRecord, EntriesCarryAlphaAndOnlyTheTransparentOneIsClear) {
    Palette8bpp websafe;
    websafe.CreateWebsafe();
    const struct {
        int32_t transparent;
        int32_t clearEntry;  // -1: none
    } cases[] = {{-1, -1}, {3, 3}, {0, 0}, {255, 255}, {256, -1}, {-7, -1}};
    for (const auto& c : cases) {
        const GifPaletteRecord r = MakeGifPaletteRecord(websafe.PalettePtr(), websafe.MaxCount(), c.transparent);
        EXPECT_EQ(r.flags, 1u);
        ASSERT_EQ(r.count, 256u);
        for (int i = 0; i < 256; ++i) {
            const uint32_t alpha = r.entries[static_cast<size_t>(i)] >> 24;
            EXPECT_EQ(alpha, i == c.clearEntry ? 0u : 255u) << c.transparent << " entry " << i;
            EXPECT_EQ(r.entries[static_cast<size_t>(i)] & 0xFFFFFF,
                      uint32_t{websafe.rgbB(i)} | uint32_t{websafe.rgbG(i)} << 8 | uint32_t{websafe.rgbR(i)} << 16);
        }
    }
    // Entry 249 of the websafe table is pure red: 0xAARRGGBB.
    EXPECT_EQ(MakeGifPaletteRecord(websafe.PalettePtr(), 256, -1).entries[249], 0xFFFF0000u);
}

TEST(GifPaletteRecord, CountIsTheEntriesInUse) {
    Palette8bpp bw;
    bw.CreateGreyscale(0);
    const GifPaletteRecord r = MakeGifPaletteRecord(bw.PalettePtr(), bw.MaxCount(), 1);
    EXPECT_EQ(r.count, 2u);
    EXPECT_EQ(r.entries[0], 0xFF000000u);
    EXPECT_EQ(r.entries[1], 0x00FFFFFFu);  // white, transparent
    EXPECT_EQ(r.entries[2], 0u);           // beyond the count: untouched
    EXPECT_EQ(MakeGifPaletteRecord(bw.PalettePtr(), 300, -1).count, 256u);
    EXPECT_EQ(MakeGifPaletteRecord(bw.PalettePtr(), -1, -1).count, 0u);
}

}  // namespace
}  // namespace px
