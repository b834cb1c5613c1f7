#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "export/core/Dither8bpp.h"
#include "export/core/Palette8bpp.h"
#include "imaging/core/CpuFeatures.h"
#include "tests/core/PixelPictures.h"

namespace px {
namespace {

using test::ErrorNumberOf;

using test::Picture32;

PaletteTable TableOf(const Palette8bpp& p) {
    PaletteTable t{};
    std::copy(p.PalettePtr(), p.PalettePtr() + 1024, t.begin());
    return t;
}

ColorLookupTable LookupOf(const Palette8bpp& p) {
    return BuildColorLookupTable([&](uint8_t r, uint8_t g, uint8_t b) { return int64_t{p.NearestEntry(r, g, b)}; });
}

// Palette whose entry n is blue n x 17 (n = 0..15), and a lookup that
// answers the blue level: a pixel's index then shows its blue level after
// the error it received.
struct BlueLevels {
    PaletteTable palette{};
    ColorLookupTable lookup{};
    BlueLevels() {
        for (int n = 0; n < 16; ++n) palette[static_cast<size_t>(4 * n)] = static_cast<uint8_t>(n * 17);
        for (int i = 0; i < 4096; ++i) lookup[static_cast<size_t>(i)] = static_cast<uint8_t>(i / 256);
    }
};

TEST(Dither8bpp, LevelMapRoundsBySeventeen) {
    const auto& level = DitherLevelMap();
    const struct {
        int v, l;
    } cases[] = {{0, 0}, {8, 0}, {9, 1}, {25, 1}, {26, 2}, {136, 8}, {246, 14}, {247, 15}, {255, 15}};
    for (const auto& c : cases) EXPECT_EQ(level[static_cast<size_t>(c.v)], c.l) << c.v;
}

TEST(Dither8bpp, IndexRowsAreRoundedUpToFourBytes) {
    const struct {
        int32_t w, len;
    } cases[] = {{1, 4}, {3, 4}, {4, 4}, {5, 8}, {9, 12}};
    for (const auto& c : cases) {
        IndexBuffer8bpp ids;
        ids.InitializePalID(c.w, 2);
        EXPECT_EQ(ids.RowLength(), c.len) << c.w;
    }
    IndexBuffer8bpp ids;
    ids.InitializePalID(3, 2);
    EXPECT_EQ(ErrorNumberOf([&] { ids.PalID(3, 0); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(ErrorNumberOf([&] { ids.PalID(0, 2); }), ErrorNumber::SubscriptOutOfRange);
}

TEST(Dither8bpp, LookupTableAsksForEachLevelColourAndRejectsFailedAnswers) {
    const ColorLookupTable t = BuildColorLookupTable([](uint8_t r, uint8_t g, uint8_t b) {
        return int64_t{r / 17} + 3 * (g / 17) + 7 * (b / 17);
    });
    for (int b = 0; b < 16; ++b)
        for (int g = 0; g < 16; ++g)
            for (int r = 0; r < 16; ++r) ASSERT_EQ(t[static_cast<size_t>(b * 256 + g * 16 + r)], r + 3 * g + 7 * b);
    for (int64_t bad : {int64_t{-1}, int64_t{256}, int64_t{0xFFFFFFFF}})
        EXPECT_EQ(ErrorNumberOf([bad] { BuildColorLookupTable([bad](uint8_t, uint8_t, uint8_t) { return bad; }); }),
                  ErrorNumber::Overflow);
}

TEST(Dither8bpp, OnePixelTakesItsOwnColoursEntry) {
    Palette8bpp p;
    p.CreateEGA();
    Picture32 pic(1, 1);
    pic.set(0, 0, 0, 250, 5, 0x99);  // nearly green
    IndexBuffer8bpp ids;
    DitherToColorPalette(pic.pixels(), TableOf(p), LookupOf(p), true, ids);
    EXPECT_EQ(ids.PalID(0, 0), 10);
    EXPECT_EQ(pic.value(0, 0), 0x0000FF00u);  // all four bytes of the entry, reserved 0 included
}

TEST(Dither8bpp, WebsafeRedMapsToTheBrightSet) {
    Palette8bpp p;
    p.CreateWebsafe();
    Picture32 pic(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) pic.set(x, y, 0, 0, 255);
    IndexBuffer8bpp ids;
    DitherToColorPalette(pic.pixels(), TableOf(p), LookupOf(p), false, ids);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(ids.PalID(x, y), 249);
    for (int y = 0; y < 3; ++y)
        for (int x = 5; x < 8; ++x) EXPECT_EQ(ids.PalIDPtr()[y * 8 + x], 0) << "row padding stays 0";
}

TEST(Dither8bpp, ErrorOfThreeIsDroppedAndFourIsPassedOn) {
    for (int blue : {3, 4}) {
        BlueLevels lv;
        Picture32 pic(2, 1);
        pic.set(0, 0, static_cast<uint8_t>(blue), 0, 0);  // level 0: error = blue
        pic.set(1, 0, 8, 0, 0);                           // level 0, or 1 once it gets 4 x 7 / 16 = 1
        IndexBuffer8bpp ids;
        DitherToColorPalette(pic.pixels(), lv.palette, lv.lookup, true, ids);
        EXPECT_EQ(ids.PalID(1, 0), blue == 4 ? 1 : 0) << blue;
    }
}

TEST(Dither8bppTruncation, SharesTruncateTowardZero) {
    // Entry 0 is (blue 1, green 3): a black pixel has errors -1, -3 (sum 4).
    // Its blue shares are (-1 x 7) / 16 = 0 to the right and (-1 x 5) / 16 = 0
    // below; flooring would take 1 off. A neighbour of blue 9 stays level 1
    // only if nothing is taken off.
    for (auto [w, h] : {std::pair{2, 1}, std::pair{1, 2}}) {
        BlueLevels lv;
        lv.palette[0] = 1;
        lv.palette[1] = 3;
        Picture32 pic(w, h);
        pic.set(w - 1, h - 1, 9, 0, 0);
        IndexBuffer8bpp ids;
        DitherToColorPalette(pic.pixels(), lv.palette, lv.lookup, true, ids);
        EXPECT_EQ(ids.PalID(0, 0), 0);
        EXPECT_EQ(ids.PalID(w - 1, h - 1), 1) << w << "x" << h;
    }
    // Entry 0 blue 20 against a black pixel: error -20, right share -140 / 16 = -8 (not -9).
    BlueLevels big;
    big.palette[0] = 20;
    Picture32 pic(2, 1);
    pic.set(1, 0, 17, 0, 0);  // 17 - 8 = 9: level 1; 17 - 9 = 8 would be level 0
    IndexBuffer8bpp ids;
    DitherToColorPalette(pic.pixels(), big.palette, big.lookup, true, ids);
    EXPECT_EQ(ids.PalID(1, 0), 1);
}

TEST(Dither8bpp, ErrorReachesAllFourNeighboursAndStopsAtTheEdges) {
    // Worked by hand on blue levels (entry n = blue 17 n):
    //   (0,0) 8 -> entry 0, error 8: right +3, below +2, below-right +0
    //   (1,0) 6+3 = 9 -> entry 1, error -8: below -2, below-left -1 (last column)
    //   (0,1) 7+2-1 = 8 -> entry 0, error 8: right +3 only (last row)
    //   (1,1) 8+0-2+3 = 9 -> entry 1
    const uint8_t start[4] = {8, 6, 7, 8};
    for (bool diffuse : {false, true}) {
        BlueLevels lv;
        Picture32 pic(2, 2);
        for (int i = 0; i < 4; ++i) pic.set(i % 2, i / 2, start[i], 0, 0, 0x55);
        IndexBuffer8bpp ids;
        DitherToColorPalette(pic.pixels(), lv.palette, lv.lookup, diffuse, ids);
        const int expected[4] = {0, diffuse ? 1 : 0, 0, diffuse ? 1 : 0};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(ids.PalID(i % 2, i / 2), expected[i]) << i << " diffuse " << diffuse;
        EXPECT_EQ(pic.px(1, 1)[0], diffuse ? 17 : 0);
        EXPECT_EQ(pic.px(1, 1)[3], 0);  // colour path copies the reserved 0
    }
}

TEST(Dither8bppGrey, KindZeroSwitchesBetween127And128) {
    Palette8bpp p;
    p.CreateGreyscale(0);
    Picture32 pic(4, 1);
    const uint8_t greys[4] = {0, 127, 128, 255};
    for (int x = 0; x < 4; ++x) pic.set(x, 0, greys[x], greys[x], greys[x], 0x77);
    IndexBuffer8bpp ids;
    DitherToGreyPalette(pic.pixels(), TableOf(p), 0, false, ids);
    const int expected[4] = {0, 0, 1, 1};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(ids.PalID(x, 0), expected[x]);
        EXPECT_EQ(pic.px(x, 0)[0], expected[x] ? 255 : 0);
        EXPECT_EQ(pic.px(x, 0)[3], 0x77);  // grey path keeps the fourth byte
    }
}

TEST(Dither8bppGrey, GreyValueWeightsGreenRedBlue) {
    Palette8bpp p;
    p.CreateGreyscale(2);
    Picture32 pic(3, 1);
    pic.set(0, 0, 0, 255, 0);  // 0.587 x 255 = 149.685
    pic.set(1, 0, 0, 0, 255);  // 0.299 x 255 = 76.245
    pic.set(2, 0, 255, 0, 0);  // 0.114 x 255 = 29.07
    IndexBuffer8bpp ids;
    DitherToGreyPalette(pic.pixels(), TableOf(p), 2, false, ids);
    EXPECT_EQ(ids.PalID(0, 0), 150);
    EXPECT_EQ(ids.PalID(1, 0), 76);
    EXPECT_EQ(ids.PalID(2, 0), 29);
    EXPECT_EQ(pic.px(1, 0)[0], 76);
}

TEST(Dither8bppGrey, KindTwoWithDiffusionEqualsThePlainMapping) {
    Palette8bpp p;
    p.CreateGreyscale(2);
    std::mt19937 gen(11);
    Picture32 a(23, 11);
    for (auto& b : a.bytes) b = static_cast<uint8_t>(gen());
    Picture32 b = a;
    IndexBuffer8bpp ia, ib;
    DitherToGreyPalette(a.pixels(), TableOf(p), 2, true, ia);
    DitherToGreyPalette(b.pixels(), TableOf(p), 2, false, ib);
    EXPECT_EQ(a.bytes, b.bytes);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 23; ++x) EXPECT_EQ(ia.PalID(x, y), ib.PalID(x, y));
}

TEST(Dither8bppGrey, KindOneWithDiffusionCarriesTheGreyError) {
    // 16 greys: Y 8 -> entry 0 (error 8 per channel, 24 in all) -> right +3 -> 9 + 3 = 12 -> entry 1
    Palette8bpp p;
    p.CreateGreyscale(1);
    Picture32 pic(2, 1);
    pic.set(0, 0, 8, 8, 8);
    pic.set(1, 0, 6, 6, 6);
    IndexBuffer8bpp ids;
    DitherToGreyPalette(pic.pixels(), TableOf(p), 1, true, ids);
    EXPECT_EQ(ids.PalID(0, 0), 0);
    EXPECT_EQ(ids.PalID(1, 0), 1);  // 6 alone would be entry 0
}

TEST(Dither8bppGrey, UnknownKindTakesEntryZero) {
    Palette8bpp p;
    p.CreateGreyscale(1);
    Picture32 pic(2, 1);
    pic.set(0, 0, 200, 200, 200);
    pic.set(1, 0, 255, 255, 255);
    IndexBuffer8bpp ids;
    DitherToGreyPalette(pic.pixels(), TableOf(p), 7, false, ids);
    EXPECT_EQ(ids.PalID(0, 0), 0);
    EXPECT_EQ(ids.PalID(1, 0), 0);
    EXPECT_EQ(pic.px(1, 0)[2], 0);
}

TEST(CountColors, CountsDistinctColoursExactly) {
    {
        Picture32 pic(3, 2);
        for (int i = 0; i < 6; ++i) pic.set(i % 3, i / 3, 3, i % 2 ? 9 : 2, 1, static_cast<uint8_t>(i));
        EXPECT_EQ(CountColors(pic.pixels()), 2);  // (1,2,3) and (1,9,3), spare byte ignored
    }
    {
        Picture32 pic(5, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x) pic.set(x, y, 40, 50, 60);
        EXPECT_EQ(CountColors(pic.pixels()), 1);
    }
    EXPECT_EQ(CountColors(Pixels32{}), 0);
}

TEST(CountColors, StaysExactPastThirtyTwoThousandBlueRedPairs) {
    // Every (blue, red) pair with two greens each, in scattered order: 131072 colours.
    Picture32 pic(512, 256);
    std::vector<uint32_t> colours;
    for (uint32_t br = 0; br < 65536; ++br)
        for (uint32_t g : {0u, 200u}) colours.push_back((br & 0xFF) | g << 8 | (br >> 8) << 16);
    std::mt19937 gen(3);
    std::shuffle(colours.begin(), colours.end(), gen);
    for (size_t i = 0; i < colours.size(); ++i) {
        const uint32_t c = colours[i];
        pic.set(static_cast<int32_t>(i % 512), static_cast<int32_t>(i / 512), static_cast<uint8_t>(c),
                static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16));
    }
    EXPECT_EQ(CountColors(pic.pixels()), 131072);
    // Repeat half of them: the count does not change.
    for (int y = 128; y < 256; ++y)
        for (int x = 0; x < 512; ++x) std::memcpy(pic.px(x, y), pic.px(x, y - 128), 4);
    EXPECT_EQ(CountColors(pic.pixels()), 65536);
}

}  // namespace
}  // namespace px

namespace px {
namespace {

using test::Picture32;

// The procedure in its plainest form: each share added to the neighbour's
// bytes in memory at once, in the order right, below, below-right, below-left.
void PlainColourDither(Picture32& pic, const PaletteTable& pal, const ColorLookupTable& lut, std::vector<uint8_t>& ids) {
    const auto& level = DitherLevelMap();
    ids.assign(static_cast<size_t>(pic.width * pic.height), 0);
    auto add = [](uint8_t* q, const int (&e)[3], int k) {
        for (int c = 0; c < 3; ++c) {
            const int v = q[c] + (e[c] * k) / 16;
            q[c] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
        }
    };
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x) {
            uint8_t* p = pic.px(x, y);
            const int n = lut[static_cast<size_t>(level[p[0]] * 256 + level[p[1]] * 16 + level[p[2]])];
            ids[static_cast<size_t>(y * pic.width + x)] = static_cast<uint8_t>(n);
            const int e[3] = {p[0] - pal[4 * n], p[1] - pal[4 * n + 1], p[2] - pal[4 * n + 2]};
            std::memcpy(p, &pal[4 * static_cast<size_t>(n)], 4);
            if (std::abs(e[0]) + std::abs(e[1]) + std::abs(e[2]) <= 3) continue;
            if (x < pic.width - 1) add(pic.px(x + 1, y), e, 7);
            if (y < pic.height - 1) {
                add(pic.px(x, y + 1), e, 5);
                if (x < pic.width - 1) add(pic.px(x + 1, y + 1), e, 1);
                if (x > 0) add(pic.px(x - 1, y + 1), e, 3);
            }
        }
}

std::vector<SimdLevel> Levels() {
    std::vector<SimdLevel> levels{SimdLevel::Scalar, SimdLevel::Sse2};
    if (SupportedSimdLevel() == SimdLevel::Avx2) levels.push_back(SimdLevel::Avx2);
    return levels;
}

// Random palette entries (the fourth byte too, which a mapped pixel takes
// over) and a picture either anywhere (large errors, clamping at both ends)
// or "near": entries whose channels sit on the border between two levels
// (17 k + 8 | 17 k + 9), the lookup answering the nearest entry, and pixels
// one channel away from an entry by -3 .. 3. Errors are then small, some of
// exactly 3 (dropped, though 7/16 of 3 is 1), and a share of 1 moves a pixel
// to the next level, so any difference in the arithmetic shows in the entries.
struct DiffusionCase {
    PaletteTable palette{};
    ColorLookupTable lookup{};
    std::vector<uint8_t> pixels;
    DiffusionCase(std::mt19937& gen, int32_t w, int32_t h, bool near) {
        const unsigned count = near ? 64 : 2 + gen() % 20;
        for (size_t i = 0; i < palette.size(); ++i)
            palette[i] = near && i % 4 != 3 ? static_cast<uint8_t>(17 * (gen() % 15) + 8 + gen() % 2)
                                            : static_cast<uint8_t>(gen());
        for (size_t i = 0; i < lookup.size(); ++i) lookup[i] = near ? Nearest(i, count) : static_cast<uint8_t>(gen() % count);
        pixels.resize(static_cast<size_t>(w) * h * 4);
        for (size_t i = 0; i < pixels.size(); i += 4) {
            const size_t entry = 4 * (gen() % count);
            const size_t off = gen() % 3;
            const int by = static_cast<int>(gen() % 7) - 3;
            for (size_t c = 0; c < 4; ++c)
                pixels[i + c] = near ? static_cast<uint8_t>(palette[entry + c] + (c == off ? by : 0))
                                     : static_cast<uint8_t>(gen());
        }
    }
    // The entry nearest to the colour of lookup index i (levels blue * 256 + green * 16 + red).
    uint8_t Nearest(size_t i, unsigned count) const {
        const int level[3] = {static_cast<int>(i / 256) * 17, static_cast<int>(i / 16 % 16) * 17, static_cast<int>(i % 16) * 17};
        unsigned best = 0;
        int bestDistance = 1 << 30;
        for (unsigned n = 0; n < count; ++n) {
            int d = 0;
            for (size_t c = 0; c < 3; ++c) d += (palette[4 * n + c] - level[c]) * (palette[4 * n + c] - level[c]);
            if (d < bestDistance) bestDistance = d, best = n;
        }
        return static_cast<uint8_t>(best);
    }
};

TEST(Dither8bpp, DiffusionMatchesThePlainInPlaceProcedureAtEveryLevel) {
    std::mt19937 gen(21);
    constexpr size_t kGuard = 64;
    // Sizes around the bands of four and eight rows and the first width at
    // which every row of an eight-row band has steps away from both edges.
    for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 9}, std::pair{9, 1}, std::pair{2, 2}, std::pair{37, 23},
                        std::pair{3, 8}, std::pair{4, 5}, std::pair{64, 19}, std::pair{23, 17}, std::pair{24, 8},
                        std::pair{24, 9}, std::pair{25, 16}, std::pair{130, 17}, std::pair{1, 40}, std::pair{97, 33}}) {
        for (const bool near : {false, true}) {
            const DiffusionCase c(gen, w, h, near);
            Picture32 plain(w, h);
            plain.bytes = c.pixels;
            std::vector<uint8_t> plainIds;
            PlainColourDither(plain, c.palette, c.lookup, plainIds);
            for (const SimdLevel level : Levels()) {
                ForceSimdLevel(level);
                std::vector<uint8_t> buffer(c.pixels);
                buffer.resize(c.pixels.size() + kGuard, 0xA5);
                IndexBuffer8bpp ids;
                DitherToColorPalette(Pixels32{buffer.data(), w, h}, c.palette, c.lookup, true, ids);
                ResetSimdLevel();
                const std::string where = std::to_string(w) + "x" + std::to_string(h) + (near ? " near" : " far") +
                                          " level " + std::to_string(static_cast<int>(level));
                ASSERT_TRUE(std::equal(plain.bytes.begin(), plain.bytes.end(), buffer.begin())) << where;
                EXPECT_TRUE(std::all_of(buffer.end() - kGuard, buffer.end(), [](uint8_t b) { return b == 0xA5; }))
                    << where;
                for (int y = 0; y < h; ++y) {
                    for (int x = 0; x < ids.RowLength(); ++x) {
                        const uint8_t id = ids.PalIDPtr()[static_cast<size_t>(y * ids.RowLength() + x)];
                        ASSERT_EQ(id, x < w ? plainIds[static_cast<size_t>(y * w + x)] : 0)
                            << where << " entry " << x << "," << y;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace px
