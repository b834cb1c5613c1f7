#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "export/core/Palette8bpp.h"
#include "tests/core/PixelPictures.h"

namespace px {
namespace {

using test::ErrorNumberOf;

using Rgb = std::tuple<int, int, int>;

Rgb At(const Palette8bpp& p, int32_t i) { return {p.rgbR(i), p.rgbG(i), p.rgbB(i)}; }

TEST(Palette8bpp, InitializeGivesCapacityAndBlackEntries) {
    Palette8bpp p;
    EXPECT_EQ(p.Count(), 0);
    EXPECT_EQ(p.PalettePtr(), nullptr);
    const uint8_t* first = p.InitializePalette();
    EXPECT_EQ(first, p.PalettePtr());
    EXPECT_EQ(p.Count(), 256);
    EXPECT_EQ(p.MaxCount(), 0);
    for (int i = 0; i < 1024; ++i) EXPECT_EQ(first[i], 0);
}

TEST(Palette8bpp, GreyscaleKinds) {
    const struct {
        int32_t kind, count, step;
    } cases[] = {{0, 2, 255}, {1, 16, 17}, {2, 256, 1}};
    for (const auto& c : cases) {
        Palette8bpp p;
        p.CreateGreyscale(c.kind);
        ASSERT_EQ(p.MaxCount(), c.count);
        for (int i = 0; i < c.count; ++i) EXPECT_EQ(At(p, i), Rgb(i * c.step, i * c.step, i * c.step));
        EXPECT_TRUE(p.IsGreyScale());
    }
    Palette8bpp p;
    EXPECT_EQ(ErrorNumberOf([&] { p.CreateGreyscale(3); }), ErrorNumber::DivisionByZero);
}

TEST(Palette8bpp, EgaHoldsTheDarkThenTheBrightSet) {
    Palette8bpp p;
    p.CreateEGA();
    ASSERT_EQ(p.MaxCount(), 16);
    const Rgb expected[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                              {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                              {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                              {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(At(p, i), expected[i]) << i;
    EXPECT_FALSE(p.IsGreyScale());
}

TEST(Palette8bpp, HalftoneCubesRedFastest) {
    const int counts[5] = {8, 27, 64, 125, 216};
    for (int k = 0; k < 5; ++k) {
        Palette8bpp p;
        p.CreateHalftone(k);
        EXPECT_EQ(p.MaxCount(), counts[k]);
        EXPECT_EQ(At(p, counts[k] - 1), Rgb(255, 255, 255));
    }
    Palette8bpp p;
    p.CreateHalftone(2);
    EXPECT_EQ(At(p, 0), Rgb(0, 0, 0));
    EXPECT_EQ(At(p, 1), Rgb(85, 0, 0));
    EXPECT_EQ(At(p, 3), Rgb(255, 0, 0));
    EXPECT_EQ(At(p, 4), Rgb(0, 85, 0));
    EXPECT_EQ(At(p, 16), Rgb(0, 0, 85));
    EXPECT_EQ(At(p, 63), Rgb(255, 255, 255));
    p.CreateHalftone(1);
    EXPECT_EQ(At(p, 1), Rgb(128, 0, 0));
    EXPECT_EQ(At(p, 2), Rgb(255, 0, 0));
    EXPECT_EQ(ErrorNumberOf([&] { p.CreateHalftone(5); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(ErrorNumberOf([&] { p.CreateHalftone(-1); }), ErrorNumber::SubscriptOutOfRange);
}

TEST(Palette8bpp, WebsafeLayout) {
    Palette8bpp p;
    p.CreateWebsafe();
    ASSERT_EQ(p.MaxCount(), 256);
    const struct {
        int32_t index;
        Rgb colour;
    } cases[] = {{0, {0, 0, 0}},         {7, {192, 192, 192}},   {8, {51, 0, 0}},      {9, {102, 0, 0}},
                 {215, {204, 255, 255}}, {216, {0, 0, 0}},       {217, {8, 8, 8}},     {247, {248, 248, 248}},
                 {248, {128, 128, 128}}, {249, {255, 0, 0}},     {255, {255, 255, 255}}};
    for (const auto& c : cases) EXPECT_EQ(At(p, c.index), c.colour) << c.index;
    // 8..215: the 208 cube colours that are not all-0-or-255, each once.
    std::set<Rgb> cube;
    for (int i = 8; i <= 215; ++i) {
        const auto [r, g, b] = At(p, i);
        for (int v : {r, g, b}) EXPECT_EQ(v % 51, 0);
        auto extreme = [](int v) { return v == 0 || v == 255; };
        EXPECT_FALSE(extreme(r) && extreme(g) && extreme(b)) << i;
        cube.insert(At(p, i));
    }
    EXPECT_EQ(cube.size(), 208u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(p.PalettePtr()[4 * i + 3], 0) << "reserved byte of " << i;
}

TEST(Palette8bpp, ChannelAccessAndClear) {
    Palette8bpp p;
    EXPECT_EQ(ErrorNumberOf([&] { p.rgbR(0); }), ErrorNumber::SubscriptOutOfRange);
    p.CreateEGA();
    p.rgbG(3, 77);
    EXPECT_EQ(p.PalettePtr()[3 * 4 + 1], 77);  // blue, green, red, 0
    EXPECT_EQ(ErrorNumberOf([&] { p.rgbB(256); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(p.rgbR(255), 0);  // beyond MaxCount but inside the table
    p.Clear();
    EXPECT_EQ(p.Count(), 0);
    EXPECT_EQ(p.MaxCount(), 0);
    EXPECT_FALSE(p.IsGreyScale());
    EXPECT_EQ(ErrorNumberOf([&] { p.rgbR(0); }), ErrorNumber::SubscriptOutOfRange);
}

TEST(Palette8bpp, NearestEntryTakesTheSmallestDistanceAndTheLowestOnTies) {
    Palette8bpp p;
    EXPECT_EQ(ErrorNumberOf([&] { p.NearestEntry(1, 2, 3); }), ErrorNumber::Overflow);
    p.CreateGreyscale(0);
    EXPECT_EQ(p.NearestEntry(127, 127, 127), 0);
    EXPECT_EQ(p.NearestEntry(128, 128, 128), 1);
    EXPECT_EQ(p.NearestEntry(255, 0, 0), 0);  // 255^2 against 2 x 255^2
    p.CreateEGA();
    EXPECT_EQ(p.NearestEntry(64, 0, 0), 0);    // tie between black (0) and dark red (1)
    EXPECT_EQ(p.NearestEntry(65, 0, 0), 1);
    EXPECT_EQ(p.NearestEntry(250, 10, 10), 9);
    EXPECT_EQ(p.NearestEntry(0, 0, 0), 0);     // black is in only once
    p.CreateWebsafe();
    EXPECT_EQ(p.NearestEntry(0, 0, 0), 0);     // entries 0 and 216 are both black
    EXPECT_EQ(p.NearestEntry(255, 0, 0), 249);
}

}  // namespace
}  // namespace px
