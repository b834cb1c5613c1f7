// The platform palette behind cPalette8bpp and the ditherer's lookup table:
// its nearest-entry answers (with red and blue exchanged on the way in and in
// the table) must agree with the portable rule, except where two entries tie.
#include <gtest/gtest.h>

#include <random>

#include "base/Error.h"
#include "export/cDither8bpp.h"
#include "export/cPalette8bpp.h"
#include "imaging/cDIB32.h"
#include "tests/win/support/GdiCount.h"

namespace px {
namespace {

// True when more than one entry is nearest to the colour.
bool IsTie(const Palette8bpp& p, int r, int g, int b) {
    int best = 1 << 30, count = 0;
    for (int i = 0; i < p.MaxCount(); ++i) {
        const int dr = p.rgbR(i) - r, dg = p.rgbG(i) - g, db = p.rgbB(i) - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < best) {
            best = d;
            count = 1;
        } else if (d == best) {
            ++count;
        }
    }
    return count > 1;
}

// Sweeps the colour cube and compares every untied answer; returns how many were compared.
int CompareSweep(const cPalette8bpp& pal, int step) {
    int compared = 0;
    for (int r = 0; r < 256; r += step)
        for (int g = 0; g < 256; g += step)
            for (int b = 0; b < 256; b += step) {
                if (IsTie(pal.Table(), r, g, b)) continue;
                const auto R = static_cast<uint8_t>(r), G = static_cast<uint8_t>(g), B = static_cast<uint8_t>(b);
                EXPECT_EQ(pal.NearestPaletteIndex(R, G, B), pal.Table().NearestEntry(R, G, B))
                    << "colour " << r << "," << g << "," << b;
                ++compared;
            }
    return compared;
}

TEST(cPalette8bpp, PlatformNearestEntryAgreesWithThePortableRule) {
    cPalette8bpp pal;
    pal.CreateEGA();
    EXPECT_GT(CompareSweep(pal, 15), 4000);
    pal.CreateHalftone(4);
    EXPECT_GT(CompareSweep(pal, 15), 3000);
    pal.CreateWebsafe();
    EXPECT_GT(CompareSweep(pal, 17), 2000);
    pal.CreateGreyscale(1);
    EXPECT_GT(CompareSweep(pal, 15), 3000);

    // An optimal table of a random picture: irregular entries.
    cDIB32 pic;
    ASSERT_TRUE(pic.Create(50, 40));
    std::mt19937 gen(9);
    const Pixels32 px = pic.Pixels();
    for (int i = 0; i < 50 * 40 * 4; ++i) px.bits[i] = static_cast<uint8_t>(gen());
    pal.CreateOptimal(pic.Pixels(), 100, 8, 1, 1, 1);
    EXPECT_GT(pal.MaxCount(), 50);
    EXPECT_GT(CompareSweep(pal, 15), 4000);
}

TEST(cPalette8bpp, RedAndBlueAreExchangedInThePlatformPalette) {
    cPalette8bpp pal;
    pal.CreateEGA();
    PALETTEENTRY e{};
    ASSERT_EQ(::GetPaletteEntries(pal.hPal(), 9, 1, &e), 1u);  // entry 9 is (255, 0, 0)
    EXPECT_EQ(e.peRed, 0);
    EXPECT_EQ(e.peBlue, 255);
    uint8_t r = 0, g = 0, b = 0, n = 0;
    pal.ClosestColor(250, 5, 5, r, g, b, n);
    EXPECT_EQ(n, 9);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(b, 0);
    pal.ClosestColor(5, 5, 250, r, g, b, n);
    EXPECT_EQ(n, 12);  // (0, 0, 255)
}

TEST(cPalette8bpp, QueriesWithoutAPlatformPaletteFail) {
    cPalette8bpp pal;
    try {
        pal.NearestPaletteIndex(1, 2, 3);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::Overflow);
    }
    pal.CreateEGA();
    pal.Clear();
    EXPECT_EQ(pal.hPal(), nullptr);
    EXPECT_FALSE(pal.IsGreyScale());
}

TEST(cDither8bpp, LookupFromThePlatformMapsWebsafeRedToTheBrightSet) {
    cPalette8bpp pal;
    pal.CreateWebsafe();
    cDIB32 pic;
    ASSERT_TRUE(pic.Create(7, 5, RGB(255, 0, 0)));
    cDither8bpp dither;
    int ends = 0;
    dither.ProgressEnd.connect([&] { ++ends; });
    dither.DitherToColorPalette(pic, pal, false);
    EXPECT_EQ(ends, 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(dither.PalID(x, y), 249);
    EXPECT_EQ(dither.PalIDRowLength(), 8);
    EXPECT_EQ(dither.CountColors(pic), 1);
}

TEST(cDither8bpp, PlatformLookupGivesThePortableResultOnARealPicture) {
    // With a table whose level colours have no ties, the platform path and the
    // portable rule must dither a picture to the same bytes.
    cPalette8bpp pal;
    pal.CreateHalftone(2);  // levels 0, 85, 170, 255 against level colours r x 17
    int ties = 0;
    for (int r = 0; r < 16; ++r)
        for (int g = 0; g < 16; ++g)
            for (int b = 0; b < 16; ++b) ties += IsTie(pal.Table(), r * 17, g * 17, b * 17);
    ASSERT_EQ(ties, 0);
    cDIB32 a, b;
    ASSERT_TRUE(a.Create(64, 32));
    std::mt19937 gen(4);
    for (int i = 0; i < 64 * 32 * 4; ++i) a.Pixels().bits[i] = static_cast<uint8_t>(gen());
    ASSERT_TRUE(b.Create(64, 32));
    std::copy_n(a.Pixels().bits, 64 * 32 * 4, b.Pixels().bits);
    cDither8bpp platform;
    platform.DitherToColorPalette(a, pal, true);

    PaletteTable table{};
    std::copy_n(pal.PalettePtr(), 1024, table.begin());
    const ColorLookupTable lut = BuildColorLookupTable(
        [&](uint8_t r, uint8_t g, uint8_t bl) { return int64_t{pal.Table().NearestEntry(r, g, bl)}; });
    IndexBuffer8bpp ids;
    DitherToColorPalette(b.Pixels(), table, lut, true, ids);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(platform.PalID(x, y), ids.PalID(x, y)) << x << "," << y;
    EXPECT_TRUE(std::equal(a.Pixels().bits, a.Pixels().bits + 64 * 32 * 4, b.Pixels().bits));
}

TEST(cDither8bpp, GreyPathAndEmptyPictures) {
    cPalette8bpp pal;
    pal.CreateGreyscale(0);
    cDIB32 pic;
    ASSERT_TRUE(pic.Create(2, 1, RGB(128, 128, 128)));
    cDither8bpp dither;
    dither.DitherToGreyPalette(pic, pal, 0, false);
    EXPECT_EQ(dither.PalID(1, 0), 1);
    cDIB32 empty;
    int ends = 0;
    dither.ProgressEnd.connect([&] { ++ends; });
    dither.DitherToGreyPalette(empty, pal, 0, true);
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(dither.CountColors(empty), 0);
}

TEST(cPalette8bpp, ThousandCyclesLeaveTheGdiCountUnchanged) {
    cDIB32 pic;
    ASSERT_TRUE(pic.Create(16, 16, RGB(10, 200, 30)));
    const long before = px::test::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 1000; ++i) {
        cPalette8bpp pal;
        switch (i % 5) {
            case 0: pal.CreateGreyscale(i % 3); break;
            case 1: pal.CreateEGA(); break;
            case 2: pal.CreateHalftone(i % 5); break;
            case 3: pal.CreateWebsafe(); break;
            default: pal.CreateOptimal(pic.Pixels(), 16, 8, 1, 1, 1); break;
        }
        pal.CreateEGA();  // replaces the previous platform palette
        if (i % 2) pal.Clear();
        cDither8bpp dither;
        if (i % 50 == 0) {
            pal.CreateEGA();
            dither.DitherToColorPalette(pic, pal, true);
        }
    }
    EXPECT_EQ(px::test::GdiObjectCount(), before);
}

}  // namespace
}  // namespace px
