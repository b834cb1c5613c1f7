#include <gtest/gtest.h>

#include <set>

#include "imaging/core/Dib32.h"
#include "tests/core/PixelPictures.h"

namespace px {
namespace {

using test::ErrorNumberOf;

using test::Picture32;

// Every pixel gets a distinct value: blue = x, green = y, red = 100 + 10 y + x, spare = 7.
Picture32 Numbered(int32_t w, int32_t h) {
    Picture32 p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.set(x, y, static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                                          static_cast<uint8_t>(100 + 10 * y + x), 7);
    return p;
}

TEST(Dib32, ImageSizeOverflows) {
    EXPECT_EQ(Dib32ImageSize(3, 2), 24);
    EXPECT_EQ(ErrorNumberOf([] { Dib32ImageSize(600000000, 1); }), ErrorNumber::Overflow);  // W x 4
    EXPECT_EQ(ErrorNumberOf([] { Dib32ImageSize(40000, 40000); }), ErrorNumber::Overflow);
}

TEST(Dib32, BestFit) {
    const struct {
        int32_t w, h, dw, dh;
        bool stretch;
        FitRect expected;
    } cases[] = {
        {400, 200, 100, 100, false, {0, 25, 100, 50}},
        {50, 40, 100, 100, false, {25, 30, 50, 40}},
        {50, 40, 100, 100, true, {0, 10, 100, 80}},
        {200, 100, 100, 50, false, {0, 0, 100, 50}},   // equal ratios: height from the destination
        {100, 100, 100, 100, true, {0, 0, 100, 100}},
        {10, 30, 50, 20, false, {21, 0, 7, 20}},        // 20/30 x 10 = 6.67 -> 7; (50 - 7) / 2 truncated
        {4, 1, 10, 10, true, {0, 4, 10, 2}},            // rx 2.5 < ry 10: height 2.5 rounds to 2
    };
    for (const auto& c : cases) {
        const FitRect r = GetBestFitInfo(c.w, c.h, c.dw, c.dh, c.stretch);
        EXPECT_EQ(r, c.expected) << c.w << "x" << c.h << " into " << c.dw << "x" << c.dh << " -> " << r.x << ","
                                 << r.y << " " << r.width << "x" << r.height;
    }
}

TEST(Dib32, QuarterTurnPutsTheOldTopRightAtTheTopLeft) {
    Picture32 src = Numbered(3, 2);
    Picture32 dst(2, 3);
    RotateQuarterAnticlockwise(src.pixels(), dst.pixels());
    EXPECT_EQ(dst.value(0, 0), src.value(2, 0));  // old top-right
    EXPECT_EQ(dst.value(0, 2), src.value(0, 0));  // old top-left at the bottom-left
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(dst.value(y, 2 - x), src.value(x, y)) << x << "," << y;
}

TEST(Dib32, BothFlipsWithoutRotationAreAHalfTurn) {
    Picture32 p = Numbered(4, 3);
    const Picture32 orig = p;
    ApplyOrientationMirrors(p.pixels(), false, true, true);
    Picture32 o = orig;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(p.value(x, y), o.value(3 - x, 2 - y));
}

TEST(Dib32, FlipsTakeTheRotatedAxes) {
    const struct {
        bool rotate, flipH, flipV;
        bool mirrorLR, mirrorTB;  // expected mirrors of the stored picture before any turn
    } cases[] = {
        {false, true, false, true, false},
        {false, false, true, false, true},
        {true, true, false, false, true},
        {true, false, true, true, false},
        {true, false, false, false, false},
    };
    for (const auto& c : cases) {
        Picture32 p = Numbered(5, 3);
        Picture32 orig = p;
        ApplyOrientationMirrors(p.pixels(), c.rotate, c.flipH, c.flipV);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const int sx = c.mirrorLR ? 4 - x : x;
                const int sy = c.mirrorTB ? 2 - y : y;
                ASSERT_EQ(p.value(x, y), orig.value(sx, sy)) << c.rotate << c.flipH << c.flipV;
            }
    }
}

TEST(Dib32, RotationTargetMustBeTheTurnedSize) {
    Picture32 src(3, 2), dst(3, 2);
    EXPECT_EQ(ErrorNumberOf([&] { RotateQuarterAnticlockwise(src.pixels(), dst.pixels()); }),
              ErrorNumber::SubscriptOutOfRange);
}

TEST(Noise, LevelZeroChangesNothing) {
    Picture32 p = Numbered(6, 4);
    const auto before = p.bytes;
    UniformRandom rnd(1);
    Noise(p.pixels(), 0, 1, rnd);
    EXPECT_EQ(p.bytes, before);
}

TEST(Noise, OneOffsetPerPixelWithinTheLevelAndTheSpareByteKept) {
    Picture32 p(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) p.set(x, y, 100, 100, 100, 0xEE);
    UniformRandom rnd(2);
    Noise(p.pixels(), 3, 1, rnd);
    std::set<int> offsets;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const uint8_t* q = p.px(x, y);
            EXPECT_EQ(q[0], q[1]);
            EXPECT_EQ(q[1], q[2]);
            EXPECT_EQ(q[3], 0xEE);
            offsets.insert(q[0] - 100);
        }
    EXPECT_EQ(offsets, (std::set<int>{-3, -2, -1, 0, 1, 2, 3}));
}

TEST(Noise, ClampsAtTheEnds) {
    Picture32 p(50, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 50; ++x) p.set(x, y, 0, 128, 255);
    UniformRandom rnd(3);
    Noise(p.pixels(), 255, 1, rnd);
    int lowClamped = 0, highClamped = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 50; ++x) {
            const uint8_t* q = p.px(x, y);
            const int d = q[1] - 128;  // exact while green is not clamped
            if (d > 0 && q[1] < 255) {
                EXPECT_EQ(q[0], d) << "blue 0 + d";
            }
            if (d < 0) {
                EXPECT_EQ(q[0], 0);
                ++lowClamped;
            }
            if (d > 0) {
                EXPECT_EQ(q[2], 255);
                ++highClamped;
            }
        }
    EXPECT_GT(lowClamped, 0);
    EXPECT_GT(highClamped, 0);
}

TEST(Noise, StepTwoTouchesOnlyEvenColumnsOfEvenRows) {
    Picture32 p(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) p.set(x, y, 100, 100, 100);
    UniformRandom rnd(4);
    Noise(p.pixels(), 100, 2, rnd);
    int changed = 0;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const bool touched = p.px(x, y)[0] != 100;
            if (x % 2 || y % 2) {
                EXPECT_FALSE(touched) << x << "," << y;
            }
            changed += touched;
        }
    EXPECT_GT(changed, 6);  // 16 visited, a zero offset is rare at level 100
}

TEST(Noise, RejectsOverflowingLevelsAndStepsBelowOne) {
    Picture32 p(2, 2);
    UniformRandom rnd(5);
    EXPECT_EQ(ErrorNumberOf([&] { Noise(p.pixels(), 1 << 30, 1, rnd); }), ErrorNumber::Overflow);
    EXPECT_EQ(ErrorNumberOf([&] { Noise(p.pixels(), 5, 0, rnd); }), ErrorNumber::InvalidPropertyValue);
}

TEST(Noise, ProcessGeneratorIsSharedAndUniform) {
    UniformRandom& a = ProcessRandom();
    EXPECT_EQ(&a, &ProcessRandom());
    double lo = 1, hi = 0, sum = 0;
    for (int i = 0; i < 10000; ++i) {
        const double u = a.Next();
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
        lo = std::min(lo, u);
        hi = std::max(hi, u);
        sum += u;
    }
    EXPECT_LT(lo, 0.01);
    EXPECT_GT(hi, 0.99);
    EXPECT_NEAR(sum / 10000, 0.5, 0.02);
}

}  // namespace
}  // namespace px
