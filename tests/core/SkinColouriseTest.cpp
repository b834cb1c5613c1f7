#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "skin/core/Colourise.h"
#include "tests/core/PixelPictures.h"

namespace px {
namespace {

using test::Picture24;

TEST(SkinColourise, EveryColourSurvivesRgbToHlsAndBack) {
    int64_t mismatches = 0;
    uint32_t first = 0;
    for (uint32_t c = 0; c < (1u << 24); ++c) {
        const Rgb8 in = ColourBytes(static_cast<int32_t>(c));
        const Hls hls = RgbToHls(in);
        if (HlsToRgb(hls.h, hls.l, hls.s) != in && mismatches++ == 0) first = c;
    }
    EXPECT_EQ(mismatches, 0) << "first mismatch 0x" << std::hex << first;
}

TEST(SkinColourise, KnownConversions) {
    const struct {
        Rgb8 rgb;
        float h, l, s;
    } cases[] = {
        {{255, 0, 0}, 0.0f, 0.5f, 1.0f},    {{0, 255, 0}, 2.0f, 0.5f, 1.0f},  {{0, 0, 255}, 4.0f, 0.5f, 1.0f},
        {{255, 0, 255}, -1.0f, 0.5f, 1.0f}, {{255, 255, 0}, 1.0f, 0.5f, 1.0f}, {{0, 0, 0}, 0.0f, 0.0f, 0.0f},
        {{255, 255, 255}, 0.0f, 1.0f, 0.0f},
    };
    for (const auto& c : cases) {
        const Hls hls = RgbToHls(c.rgb);
        EXPECT_FLOAT_EQ(hls.h, c.h);
        EXPECT_FLOAT_EQ(hls.l, c.l);
        EXPECT_FLOAT_EQ(hls.s, c.s);
    }
}

TEST(SkinColourise, GreyKeepsItsLightnessAndTakesHueAndSaturation) {
    const float hues[] = {0.0f, 0.5f, 1.0f, 2.0f, 3.5f, 4.0f, 4.75f, 5.25f};
    const float saturations[] = {0.25f, 0.5f, 1.0f};
    for (int grey = 64; grey <= 192; grey += 16) {
        const int32_t colour = grey * 0x010101;
        const float l = RgbToHls(ColourBytes(colour)).l;
        for (float h : hues) {
            for (float s : saturations) {
                const auto out = ColouriseColour(colour, -1, h, s);
                ASSERT_TRUE(out.has_value());
                const Hls got = RgbToHls(ColourBytes(*out));
                SCOPED_TRACE(testing::Message() << "grey " << grey << " hue " << h << " sat " << s);
                EXPECT_NEAR(got.l, l, 0.5f / 255.0f + 1e-6f);
                EXPECT_NEAR(got.s, s, 0.02f);
                const float wanted = h > 5.0f ? h - 6.0f : h;  // the conversion gives -1..5
                EXPECT_NEAR(got.h, wanted, 0.03f);
            }
        }
    }
}

TEST(SkinColourise, HuesAboveFiveGiveTheColoursBetweenMagentaAndRed) {
    EXPECT_EQ(HlsToRgb(5.0f, 0.5f, 1.0f), (Rgb8{255, 0, 255}));
    EXPECT_EQ(HlsToRgb(5.5f, 0.5f, 1.0f), (Rgb8{255, 0, 128}));  // 127.5 to even
    EXPECT_EQ(HlsToRgb(6.0f, 0.5f, 1.0f), (Rgb8{255, 0, 0}));
    EXPECT_EQ(HlsToRgb(5.5f, 0.25f, 1.0f), (Rgb8{128, 0, 64}));
    // From magenta to red the colour moves a step at a time; a wrapped byte would jump.
    Rgb8 previous = HlsToRgb(4.9f, 0.5f, 1.0f);
    for (int i = 1; i <= 110; ++i) {
        const Rgb8 c = HlsToRgb(4.9f + 0.01f * static_cast<float>(i), 0.5f, 1.0f);
        EXPECT_LE(std::abs(c.r - previous.r) + std::abs(c.g - previous.g) + std::abs(c.b - previous.b), 4) << i;
        previous = c;
    }
}

TEST(SkinColourise, ValuesOutsideTheirRangeClampEachChannel) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float h, l, s;
        Rgb8 want;
    } cases[] = {
        {0.0f, 0.5f, 2.0f, {255, 0, 0}},      // Min -0.5, Max 1.5
        {0.0f, 0.5f, -1.0f, {0, 255, 255}},   // Min 1, Max 0
        {2.0f, 1.5f, 0.0f, {255, 255, 255}},  // grey past white
        {2.0f, -0.5f, 0.0f, {0, 0, 0}},
        {-3.0f, 0.5f, 1.0f, {255, 0, 255}},   // B = Min + 3D, clamped
        {12.0f, 0.5f, 1.0f, {255, 0, 255}},   // 6 after the turn: the blue row, R past Max clamped
        {0.0f, 0.5f, nan, {0, 0, 0}},
        {0.0f, nan, 1.0f, {0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(HlsToRgb(c.h, c.l, c.s), c.want) << c.h << " " << c.l << " " << c.s;
}

TEST(SkinColourise, AdjustChannelScalesRoundsToEvenAndClamps) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        uint8_t in;
        float percent;
        uint8_t want;
    } cases[] = {
        {5, 0.5f, 8},     // 7.5
        {3, 0.5f, 4},     // 4.5
        {7, 0.5f, 10},    // 10.5
        {101, -0.5f, 50}, // 50.5
        {103, -0.5f, 52}, // 51.5
        {200, 0.0f, 200}, {255, 0.5f, 255}, {200, 0.25f, 250}, {240, 0.25f, 255},
        {200, -1.0f, 0},  {200, -1.5f, 0},  {0, 3.0f, 0},       {128, nan, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(AdjustChannel(c.in, c.percent), c.want) << int{c.in} << " " << c.percent;
}

TEST(SkinColourise, ColourMembersLeaveTheKeyAndChangeEverythingElse) {
    EXPECT_FALSE(ColouriseColour(0x123456, 0x123456, 2.0f, 1.0f).has_value());
    EXPECT_FALSE(AdjustRGBColour(0x123456, 0x123456, 0.5f, 0.5f, 0.5f).has_value());
    // No key: every colour changes, white included.
    EXPECT_EQ(ColouriseColour(0xFFFFFF, -1, 2.0f, 1.0f), 0xFFFFFF);  // white has no hue to take
    EXPECT_EQ(AdjustRGBColour(0xFFFFFF, -1, -0.5f, 0.0f, -1.0f), 0x00FF80);
    EXPECT_EQ(AdjustRGBColour(0x0A141E, -1, 0.5f, 1.0f, -0.5f), 0x05282D);  // R 30->45, G 20->40, B 10->5
    EXPECT_EQ(ColouriseColour(0x808080, -1, 0.0f, 1.0f), 0x0101FF);
}

// A picture with every pixel different, a few key pixels and an odd width
// (so rows carry padding).
Picture24 Pattern(int32_t w, int32_t h, Rgb8 key) {
    Picture24 p(w, h, 0xEE);  // padding bytes stay 0xEE
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* q = &p.at(y, 3 * x);
            const bool isKey = (x * 7 + y * 3) % 11 == 0;
            q[0] = isKey ? key.b : static_cast<uint8_t>(x * 37 + y);
            q[1] = isKey ? key.g : static_cast<uint8_t>(y * 53 + x * 3);
            q[2] = isKey ? key.r : static_cast<uint8_t>((x ^ y) * 29);
        }
    return p;
}

TEST(SkinColourise, PixelPassesEqualThePerColourRuleAndSkipKeyAndPadding) {
    const Rgb8 key{12, 200, 99};
    const int32_t keyValue = ColourValue(key);
    const Picture24 original = Pattern(37, 23, key);
    Picture24 colourised = original, adjusted = original;
    ColouriseBits(colourised.bits(), keyValue, 3.3f, 0.6f);
    AdjustRGBBits(adjusted.bits(), keyValue, 0.3f, -0.4f, 1.5f);
    for (int32_t y = 0; y < original.height; ++y) {
        for (int32_t i = 3 * original.width; i < original.bps; ++i) {
            EXPECT_EQ(colourised.bytes[static_cast<size_t>(y * original.bps + i)], 0xEE);
            EXPECT_EQ(adjusted.bytes[static_cast<size_t>(y * original.bps + i)], 0xEE);
        }
        for (int32_t x = 0; x < original.width; ++x) {
            const size_t o = static_cast<size_t>(y * original.bps + 3 * x);
            const Rgb8 in{original.bytes[o + 2], original.bytes[o + 1], original.bytes[o]};
            const Rgb8 c{colourised.bytes[o + 2], colourised.bytes[o + 1], colourised.bytes[o]};
            const Rgb8 a{adjusted.bytes[o + 2], adjusted.bytes[o + 1], adjusted.bytes[o]};
            if (in == key) {
                EXPECT_EQ(c, key);
                EXPECT_EQ(a, key);
                continue;
            }
            EXPECT_EQ(ColourValue(c), ColouriseColour(ColourValue(in), keyValue, 3.3f, 0.6f).value());
            EXPECT_EQ(ColourValue(a), AdjustRGBColour(ColourValue(in), keyValue, 0.3f, -0.4f, 1.5f).value());
        }
    }
}

TEST(SkinColourise, TableGivesTheDirectRuleForEveryLargestAndSmallestByte) {
    ColouriseTable table(1.7f, 0.8f);
    for (int mx = 0; mx < 256; ++mx)
        for (int mn = 0; mn <= mx; ++mn) {
            const Rgb8 c{static_cast<uint8_t>(mn), static_cast<uint8_t>(mx), static_cast<uint8_t>((mn + mx) / 2)};
            ASSERT_EQ(table(static_cast<uint8_t>(mx), static_cast<uint8_t>(mn)),
                      HlsToRgb(1.7f, RgbToHls(c).l, 0.8f))
                << mx << " " << mn;
        }
}

// Decision kept from the stored behaviour: with no key (-1) the pixel passes
// compare the three low bytes of -1, so pure white stays white. Skin bitmaps
// use white as their cut-out, and authors may rely on it.
TEST(SkinColourise, WithoutAKeyPixelPassesLeavePureWhite) {
    Picture24 p(3, 1);
    const uint8_t pixels[] = {255, 255, 255, 200, 200, 200, 255, 255, 254};
    std::copy(std::begin(pixels), std::end(pixels), p.bytes.begin());
    Picture24 q = p;
    ColouriseBits(p.bits(), -1, 4.0f, 1.0f);
    AdjustRGBBits(q.bits(), -1, -0.5f, -0.5f, -0.5f);
    for (const Picture24* r : {&p, &q}) {
        EXPECT_EQ(r->bytes[0], 255);
        EXPECT_EQ(r->bytes[1], 255);
        EXPECT_EQ(r->bytes[2], 255);
    }
    EXPECT_NE(p.bytes[3], 200);  // grey 200 becomes blue-ish
    EXPECT_EQ(q.bytes[3], 100);
    EXPECT_EQ(q.bytes[6], 128);  // near-white is not the key: 254 / 2 = 127, 255 / 2 = 127.5 -> 128
    EXPECT_EQ(q.bytes[8], 127);
}

TEST(SkinColourise, EmptyOrTooNarrowBuffersAreRefusedCleanly) {
    EXPECT_NO_THROW(ColouriseBits(Dib24Bits{}, -1, 1.0f, 1.0f));
    EXPECT_NO_THROW(AdjustRGBBits(Dib24Bits{}, -1, 1.0f, 1.0f, 1.0f));
    Picture24 p(4, 2);
    Dib24Bits lying = p.bits();
    lying.width = 5;  // wider than its rows
    EXPECT_EQ(test::ErrorNumberOf([&] { AdjustRGBBits(lying, -1, 0.1f, 0.1f, 0.1f); }), ErrorNumber::SubscriptOutOfRange);
}

TEST(SkinColourise, EdgeColoursMoveLightnessByTheFixedSteps) {
    const struct {
        int32_t colour, lighter, darker;
    } cases[] = {
        {0xFFFFFF, 0xCCCCCC, 0x808080},  // L 1: 0.8 and 0.5
        {0x000000, 0x666666, 0x333333},  // L 0: 0.4 and 0.2
        {0x808080, 0xB3B3B3, 0x4D4D4D},  // L 0.502 +- 0.2
        {0xD6D6D6, 0xFFFFFF, 0xA3A3A3},  // L 0.839: lighter capped at 1
    };
    for (const auto& c : cases) {
        const EdgeColours e = GetEdgeColors(c.colour);
        EXPECT_EQ(e.lighter, c.lighter) << std::hex << c.colour;
        EXPECT_EQ(e.darker, c.darker) << std::hex << c.colour;
    }
    // A coloured background keeps its hue, loses a tenth of its saturation.
    const int32_t menuBack = 115 | 142 << 8 | 172 << 16;
    const Hls base = RgbToHls(ColourBytes(menuBack));
    const EdgeColours e = GetEdgeColors(menuBack);
    for (int32_t shade : {e.lighter, e.darker}) {
        const Hls h = RgbToHls(ColourBytes(shade));
        EXPECT_NEAR(h.h, base.h, 0.03f);
        EXPECT_NEAR(h.s, base.s * 0.9f, 0.03f);
    }
    EXPECT_NEAR(RgbToHls(ColourBytes(e.lighter)).l, base.l + 0.2f, 0.005f);
    EXPECT_NEAR(RgbToHls(ColourBytes(e.darker)).l, base.l - 0.2f, 0.005f);
}

}  // namespace
}  // namespace px
