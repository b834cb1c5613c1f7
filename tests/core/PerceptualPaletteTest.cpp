#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "export/core/Dither8bpp.h"
#include "export/core/Palette8bpp.h"
#include "imaging/core/NearestColorMap.h"
#include "imaging/core/PerceptualQuantizer.h"
#include "tests/core/PixelPictures.h"

namespace px {
namespace {

using test::Picture32;

// A gradient wallpaper with white panels of anti-aliased dark "text" strokes
// and a few saturated icons: the colour structure of a screenshot.
Picture32 GradientWithText(int32_t w, int32_t h) {
    Picture32 pic(w, h);
    std::mt19937 rng(7);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            pic.set(x, y, static_cast<uint8_t>(120 + 100 * (x + y) / (w + h)), static_cast<uint8_t>(60 + 150 * x / w),
                    static_cast<uint8_t>(20 + 200 * y / h));
    for (int32_t py = 20; py + 60 < h; py += 90)
        for (int32_t y = py; y < py + 60; ++y)
            for (int32_t x = w / 8; x < w / 2; ++x) {
                const bool stroke = (x / 3 + y / 5) % 4 == 0 && (y - py) % 15 < 11;
                const uint8_t ink = stroke ? static_cast<uint8_t>(std::uniform_int_distribution<int>(0, 120)(rng)) : 250;
                pic.set(x, y, ink, ink, ink);
            }
    for (int i = 0; i < 8; ++i)
        for (int32_t y = 4; y < 20; ++y)
            for (int32_t x = w - 24 * (i + 1); x < w - 24 * i - 8; ++x)
                pic.set(x, y, static_cast<uint8_t>(37 * i), static_cast<uint8_t>(255 - 29 * i), static_cast<uint8_t>(90 * (i % 3)));
    return pic;
}

std::set<uint32_t> DistinctRgb(Picture32& pic) {
    std::set<uint32_t> out;
    for (int32_t y = 0; y < pic.height; ++y)
        for (int32_t x = 0; x < pic.width; ++x) out.insert(pic.value(x, y) & 0xFFFFFF);
    return out;
}

// PSNR over red, green and blue of the picture mapped through `palette` by the nearest-entry map.
double MappedPsnr(Picture32& pic, const std::vector<Rgb8>& palette) {
    NearestColorMap map(palette);
    double sum = 0;
    for (int32_t y = 0; y < pic.height; ++y)
        for (int32_t x = 0; x < pic.width; ++x) {
            const uint8_t* p = pic.px(x, y);
            const Rgb8& e = palette[map(p[2], p[1], p[0])];
            const double d[3] = {static_cast<double>(e.blue) - p[0], static_cast<double>(e.green) - p[1],
                                  static_cast<double>(e.red) - p[2]};
            sum += d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
        }
    const double mse = sum / (3.0 * pic.width * pic.height);
    return 10 * std::log10(255.0 * 255.0 / mse);
}

// The entry nearest to a colour by trying every one, the lowest on ties.
int BruteNearest(const std::vector<Rgb8>& palette, uint8_t r, uint8_t g, uint8_t b) {
    const Vec3f q = ToPerceptual(r, g, b);
    int best = 0;
    float bestDistance = 0;
    for (size_t i = 0; i < palette.size(); ++i) {
        const float d = DistanceSquared(q, ToPerceptual(palette[i].red, palette[i].green, palette[i].blue));
        if (i == 0 || d < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = d;
        }
    }
    return best;
}

TEST(PerceptualPalette, SizeNeverExceedsWantedAndReachesItOnManyColours) {
    Picture32 pic = GradientWithText(240, 160);
    ASSERT_GT(DistinctRgb(pic).size(), 1000u);
    for (const int32_t wanted : {1, 2, 8, 100, 256}) {
        const auto palette = BuildPerceptualPalette(pic.pixels(), {wanted, 8});
        EXPECT_EQ(palette.size(), static_cast<size_t>(wanted)) << wanted;
    }
}

TEST(PerceptualPalette, KeepsEveryExactColourWhenThereAreNoMoreThanWanted) {
    for (const int colours : {1, 17, 256}) {
        Picture32 pic(64, 48);
        std::mt19937 rng(static_cast<uint32_t>(colours));
        std::vector<uint32_t> set;
        for (int i = 0; i < colours; ++i) set.push_back(rng() & 0xFFFFFF);
        for (int32_t y = 0; y < pic.height; ++y)
            for (int32_t x = 0; x < pic.width; ++x) {
                const uint32_t c = set[static_cast<size_t>(y * pic.width + x) % set.size()];
                pic.set(x, y, static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16));
            }
        const std::set<uint32_t> expected = DistinctRgb(pic);
        const auto palette = BuildPerceptualPalette(pic.pixels(), {256, 8});
        std::set<uint32_t> got;
        for (const Rgb8& e : palette) got.insert(uint32_t{e.red} << 16 | uint32_t{e.green} << 8 | e.blue);
        EXPECT_EQ(palette.size(), expected.size()) << colours;
        EXPECT_EQ(got, expected) << colours;
        EXPECT_TRUE(std::isinf(MappedPsnr(pic, palette))) << "every pixel maps to its own colour, " << colours;
    }
}

TEST(PerceptualPalette, OneColourMoreThanWantedIsReduced) {
    Picture32 pic(17, 1);
    for (int32_t x = 0; x < 17; ++x) pic.set(x, 0, static_cast<uint8_t>(15 * x), 0, static_cast<uint8_t>(255 - 15 * x));
    EXPECT_EQ(BuildPerceptualPalette(pic.pixels(), {16, 8}).size(), 16u);
}

TEST(PerceptualPalette, SamePictureGivesSamePalette) {
    Picture32 a = GradientWithText(200, 120);
    Picture32 b = a;  // another buffer with the same pixels
    const auto first = BuildPerceptualPalette(a.pixels());
    EXPECT_EQ(first, BuildPerceptualPalette(a.pixels()));
    EXPECT_EQ(first, BuildPerceptualPalette(b.pixels()));
}

TEST(PerceptualPalette, QualityFloorOnGradientAndTextBeatsTheOctree) {
    Picture32 pic = GradientWithText(480, 270);
    const auto palette = BuildPerceptualPalette(pic.pixels());
    const double ours = MappedPsnr(pic, palette);
    EXPECT_GE(ours, 40.5);
    Palette8bpp octree;
    octree.CreateOptimal(pic.pixels(), 256, 8, 1, 1, 1);
    const double theirs = MappedPsnr(pic, octree.EntriesInUse());
    EXPECT_GT(ours, theirs + 1.0) << "octree " << theirs;
    // Each stage improves on the ones before it: boxes alone, then k-means, then moved entries.
    const double boxes = MappedPsnr(pic, BuildPerceptualPalette(pic.pixels(), {256, 0, 0}));
    const double kMeans = MappedPsnr(pic, BuildPerceptualPalette(pic.pixels(), {256, 8, 0}));
    EXPECT_GT(kMeans, boxes);
    EXPECT_GT(ours, kMeans);
}

// Distances are the red, green and blue error with the luma part weighted 1.15 squared.
TEST(PerceptualSpace, DistanceIsRgbErrorWithLumaWeightedAboveHue) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> channel(0.0f, 255.0f);
    const double lumaLength = std::sqrt(0.299 * 0.299 + 0.587 * 0.587 + 0.114 * 0.114);
    for (int i = 0; i < 200; ++i) {
        const float c[6] = {channel(rng), channel(rng), channel(rng), channel(rng), channel(rng), channel(rng)};
        const double dr = c[0] - c[3], dg = c[1] - c[4], db = c[2] - c[5];
        const double luma = (0.299 * dr + 0.587 * dg + 0.114 * db) / lumaLength;
        const double expected = dr * dr + dg * dg + db * db + (1.15 * 1.15 - 1) * luma * luma;
        const double got = DistanceSquared(ToPerceptual(c[0], c[1], c[2]), ToPerceptual(c[3], c[4], c[5]));
        ASSERT_NEAR(got, expected, 1e-3 * expected + 1e-2) << i;
    }
    // Along luma's own direction the weight shows in full; across it, none.
    const float s = 10.0f / static_cast<float>(lumaLength);
    EXPECT_NEAR(DistanceSquared(ToPerceptual(0.299f * s, 0.587f * s, 0.114f * s), ToPerceptual(0, 0, 0)), 1.15 * 1.15 * 100, 0.1);
    EXPECT_NEAR(DistanceSquared(ToPerceptual(105.87f, 97.01f, 100), ToPerceptual(100, 100, 100)), 5.87 * 5.87 + 2.99 * 2.99, 1e-2);
}

TEST(PerceptualPalette, RejectsWantedOutsideOneTo256AndEmptyPictures) {
    Picture32 pic(4, 4);
    EXPECT_EQ(test::ErrorNumberOf([&] { BuildPerceptualPalette(pic.pixels(), {0, 8}); }), 380);
    EXPECT_EQ(test::ErrorNumberOf([&] { BuildPerceptualPalette(pic.pixels(), {257, 8}); }), 380);
    EXPECT_TRUE(BuildPerceptualPalette(Pixels32{}).empty());
    EXPECT_EQ(test::ErrorNumberOf([] { NearestColorMap map(std::vector<Rgb8>{}); }), 380);
}

// The cached map must give the exact answer everywhere, also for palettes
// whose entries crowd together (many cells then hold several candidates).
TEST(NearestColorMap, CachedAnswersEqualTheExhaustiveSearch) {
    std::mt19937 rng(3);
    auto byte = [&rng](int lo, int hi) { return static_cast<uint8_t>(std::uniform_int_distribution<int>(lo, hi)(rng)); };
    std::vector<Rgb8> spread, crowded;
    for (int i = 0; i < 256; ++i) spread.push_back({byte(0, 255), byte(0, 255), byte(0, 255)});
    for (int i = 0; i < 200; ++i) crowded.push_back({byte(100, 130), byte(90, 120), byte(100, 115)});
    crowded.push_back(crowded[5]);  // a duplicate: the lower entry must win
    for (const auto* palette : {&spread, &crowded}) {
        NearestColorMap map(*palette);
        int checked = 0;
        for (int r = 0; r < 256; r += 9)
            for (int g = 1; g < 256; g += 10)
                for (int b = 2; b < 256; b += 11) {
                    const auto R = static_cast<uint8_t>(r), G = static_cast<uint8_t>(g), B = static_cast<uint8_t>(b);
                    const int exact = BruteNearest(*palette, R, G, B);
                    ASSERT_EQ(map.Nearest(R, G, B), exact) << r << "," << g << "," << b;
                    ASSERT_EQ(map(R, G, B), exact) << r << "," << g << "," << b;
                    ++checked;
                }
        for (int r = 100; r < 131; ++r)  // every colour of the crowded corner
            for (int g = 90; g < 121; g += 2)
                for (int b = 100; b < 116; ++b) {
                    const auto R = static_cast<uint8_t>(r), G = static_cast<uint8_t>(g), B = static_cast<uint8_t>(b);
                    const int exact = BruteNearest(*palette, R, G, B);
                    ASSERT_EQ(map(R, G, B), exact) << r << "," << g << "," << b;
                    ASSERT_EQ(map(R, G, B), exact) << "asked again, " << r << "," << g << "," << b;
                }
        EXPECT_GT(checked, 15000);
    }
}

TEST(PerceptualPalette, WindowMappingWritesEntryColoursAndIndices) {
    Picture32 pic = GradientWithText(96, 64);
    Picture32 original = pic;
    Palette8bpp palette;
    palette.CreatePerceptual(pic.pixels(), 64);
    ASSERT_EQ(palette.MaxCount(), 64);
    PaletteTable table{};
    std::copy_n(palette.PalettePtr(), 1024, table.begin());
    NearestColorMap map(palette.EntriesInUse());
    IndexBuffer8bpp ids;
    DitherToNearestEntries(pic.pixels(), table, map, false, ids);
    for (int32_t y = 0; y < pic.height; ++y)
        for (int32_t x = 0; x < pic.width; ++x) {
            const uint8_t* o = original.px(x, y);
            const uint8_t id = ids.PalID(x, y);
            ASSERT_EQ(id, map.Nearest(o[2], o[1], o[0]));
            ASSERT_LT(id, 64);
            EXPECT_EQ(pic.value(x, y) & 0xFFFFFF, uint32_t{palette.rgbB(id)} | uint32_t{palette.rgbG(id)} << 8 |
                                                      uint32_t{palette.rgbR(id)} << 16);
        }
    // With diffusion the errors spread, so some pixels take another entry than their own nearest.
    Picture32 diffused = original;
    IndexBuffer8bpp diffusedIds;
    DitherToNearestEntries(diffused.pixels(), table, map, true, diffusedIds);
    int differ = 0;
    for (int32_t y = 0; y < pic.height; ++y)
        for (int32_t x = 0; x < pic.width; ++x) differ += diffusedIds.PalID(x, y) != ids.PalID(x, y);
    EXPECT_GT(differ, 0);
}

}  // namespace
}  // namespace px
