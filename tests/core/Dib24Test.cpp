#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>

#include "base/Rounding.h"
#include "imaging/core/Dib24.h"
#include "imaging/core/PixelRounding.h"
#include "tests/core/PixelPictures.h"

namespace px {
namespace {

using test::ErrorNumberOf;

using test::Picture24;

uint32_t U32(const std::vector<uint8_t>& f, size_t at) {
    return uint32_t{f[at]} | uint32_t{f[at + 1]} << 8 | uint32_t{f[at + 2]} << 16 | uint32_t{f[at + 3]} << 24;
}

std::vector<uint8_t> FileOf(Picture24& pic) {
    std::vector<uint8_t> out;
    const DibHeader24 h = MakeDibHeader24(pic.width, pic.height);
    const bool ok = WriteBitmapFile(h, pic.bytes.data(), [&](const uint8_t* d, size_t n) {
        out.insert(out.end(), d, d + n);
        return true;
    });
    EXPECT_TRUE(ok);
    return out;
}

TEST(Dib24, BytesPerScanLineRoundsThreeBytesAPixelUpToFour) {
    const struct {
        int32_t width, expected;
    } cases[] = {{0, 0}, {1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {715827881, 2147483644}};
    for (const auto& c : cases) EXPECT_EQ(BytesPerScanLine24(c.width), c.expected) << c.width;
}

TEST(Dib24, BytesPerScanLineOverflowsPastTheSignedRange) {
    for (int32_t w : {715827882, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()})
        EXPECT_EQ(ErrorNumberOf([w] { BytesPerScanLine24(w); }), ErrorNumber::Overflow) << w;
}

TEST(Dib24, HeaderHoldsTheImageSizeAndOverflowsWhenItCannot) {
    const DibHeader24 h = MakeDibHeader24(10, 10);
    EXPECT_EQ(h.biSizeImage, 320u);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biHeight, 10);
    EXPECT_EQ(ErrorNumberOf([] { MakeDibHeader24(50000, 50000); }), ErrorNumber::Overflow);
}

TEST(Dib24, TenByTenFileIs378BytesWithTheZeroEntryBeforeThePixels) {
    Picture24 pic(10, 10);
    for (size_t i = 0; i < pic.bytes.size(); ++i) pic.bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    const auto f = FileOf(pic);
    ASSERT_EQ(f.size(), 378u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(U32(f, 2), 378u);   // bfSize counts the colour-table entry
    EXPECT_EQ(U32(f, 6), 0u);     // reserved words
    EXPECT_EQ(U32(f, 10), 58u);   // bfOffBits
    EXPECT_EQ(U32(f, 14), 40u);   // biSize
    EXPECT_EQ(U32(f, 18), 10u);   // biWidth
    EXPECT_EQ(U32(f, 22), 10u);   // biHeight, positive: bottom-up
    EXPECT_EQ(f[26] | f[27] << 8, 1);
    EXPECT_EQ(f[28] | f[29] << 8, 24);
    EXPECT_EQ(U32(f, 30), 0u);    // BI_RGB
    EXPECT_EQ(U32(f, 34), 320u);  // biSizeImage
    for (size_t i = 38; i < 58; ++i) EXPECT_EQ(f[i], 0) << "byte " << i;
    EXPECT_TRUE(std::equal(pic.bytes.begin(), pic.bytes.end(), f.begin() + 58));
}

TEST(Dib24, OneByOneFileIs62BytesWithPaddingIncluded) {
    Picture24 pic(1, 1);
    pic.bytes = {0x11, 0x22, 0x33, 0x44};
    const auto f = FileOf(pic);
    ASSERT_EQ(f.size(), 62u);
    EXPECT_EQ(U32(f, 54), 0u);
    EXPECT_EQ(U32(f, 58), 0x44332211u);
}

TEST(Dib24, FailedWriteSkipsTheRestAndReportsFailure) {
    Picture24 pic(2, 2, 9);
    const DibHeader24 h = MakeDibHeader24(2, 2);
    for (int failAt = 0; failAt < 3; ++failAt) {
        std::vector<size_t> calls;
        const bool ok = WriteBitmapFile(h, pic.bytes.data(), [&](const uint8_t*, size_t n) {
            calls.push_back(n);
            return static_cast<int>(calls.size()) - 1 != failAt;
        });
        EXPECT_FALSE(ok);
        EXPECT_EQ(calls.size(), static_cast<size_t>(failAt + 1));
    }
    std::vector<size_t> sizes;
    EXPECT_TRUE(WriteBitmapFile(h, pic.bytes.data(), [&](const uint8_t*, size_t n) {
        sizes.push_back(n);
        return true;
    }));
    EXPECT_EQ(sizes, (std::vector<size_t>{14, 44, 16}));
}

TEST(Dib24, FileSizeBeyondTheSignedRangeIsAnOverflow) {
    DibHeader24 h;
    h.biSizeImage = 2147483647u - 58u;
    const auto bytes = BitmapFileHeaderBytes(h);
    EXPECT_EQ(U32(std::vector<uint8_t>(bytes.begin(), bytes.end()), 2), 2147483647u);
    h.biSizeImage += 1;
    EXPECT_EQ(ErrorNumberOf([&] { BitmapFileHeaderBytes(h); }), ErrorNumber::Overflow);
}

TEST(PixelRounding, FastRoundAgreesWithTheSharedRule) {
    std::vector<float> values;
    for (int k = 0; k <= 300 * 64; ++k) values.push_back(static_cast<float>(k) / 64.0f);
    for (int i = 0; i <= 600; ++i) {
        const float half = static_cast<float>(i) / 2.0f;
        values.push_back(std::nextafter(half, 0.0f));
        values.push_back(std::nextafter(half, 1000.0f));
    }
    for (float v : values)
        EXPECT_EQ(RoundHalfEvenNonNegative(v), static_cast<int32_t>(RoundHalfEvenF(v))) << v;
}

// Sets blue, green and red of the pixel at (column, memory row) to one value.
void SetGrey(Picture24& p, int32_t col, int32_t row, uint8_t v) {
    for (int k = 0; k < 3; ++k) p.at(row, 3 * col + k) = v;
}

TEST(Dib24, ResampleRoundsTiesToEvenInEachStep) {
    // 4 x 4 -> 2 x 2: scale 1.5 both ways, so target (1, 1) sits halfway
    // between source columns 1, 2 and rows 1, 2.
    Picture24 src(4, 4);
    SetGrey(src, 1, 1, 1);
    SetGrey(src, 2, 1, 3);
    SetGrey(src, 1, 2, 2);
    SetGrey(src, 2, 2, 4);
    SetGrey(src, 0, 0, 200);
    Picture24 dst(2, 2, 0xAA);
    ResampleBilinear(src.bits(), dst.bits());
    // vertical: round(1.5) = 2, round(3.5) = 4; horizontal: 3. A single
    // rounding of the exact average (2.5) would give 2.
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(dst.at(1, 3 + k), 3);
        EXPECT_EQ(dst.at(0, k), 200);  // (0, 0) maps to source (0, 0)
    }
    for (int row = 0; row < 2; ++row)
        for (int pad = 6; pad < 8; ++pad) EXPECT_EQ(dst.at(row, pad), 0xAA) << "padding is not written";
}

TEST(Dib24, ResampleKeepsChannelsApartAndHalvesToEven) {
    // 4 x 2 -> 2 x 1: target column 1 is halfway between columns 1 and 2.
    Picture24 src(4, 2);
    const uint8_t left[3] = {10, 10, 7};
    const uint8_t right[3] = {13, 11, 8};  // 11.5 -> 12, 10.5 -> 10, 7.5 -> 8
    for (int k = 0; k < 3; ++k) {
        src.at(0, 3 + k) = left[k];
        src.at(0, 6 + k) = right[k];
    }
    Picture24 dst(2, 1);
    ResampleBilinear(src.bits(), dst.bits());
    EXPECT_EQ(dst.at(0, 3), 12);
    EXPECT_EQ(dst.at(0, 4), 10);
    EXPECT_EQ(dst.at(0, 5), 8);
}

// The steps as described, one target pixel at a time, for comparison.
uint8_t ReferenceBilinear(Picture24& src, int32_t tw, int32_t th, int32_t x, int32_t y, int ch) {
    const float xScale = static_cast<float>(src.width - 1) / static_cast<float>(tw);
    const float yScale = static_cast<float>(src.height - 1) / static_cast<float>(th);
    const float fY = static_cast<float>(y) * yScale, fX = static_cast<float>(x) * xScale;
    const int iY = static_cast<int>(std::floor(fY)), iX = static_cast<int>(std::floor(fX));
    const float dY = fY - static_cast<float>(iY), dX = fX - static_cast<float>(iX);
    const int p = 3 * iX + ch;
    auto r = [](float v) { return static_cast<float>(RoundHalfEvenF(v)); };
    const float i1 = r((1 - dY) * src.at(iY, p) + dY * src.at(iY + 1, p));
    const float i2 = r((1 - dY) * src.at(iY, p + 3) + dY * src.at(iY + 1, p + 3));
    return ClampByte(static_cast<int>(r((1 - dX) * i1 + dX * i2)));
}

TEST(Dib24, ResampleMatchesTheStepsPixelByPixel) {
    uint32_t seed = 17;
    for (auto [sw, sh, tw, th] : {std::array{9, 7, 4, 3}, std::array{5, 4, 13, 11}, std::array{64, 48, 31, 17},
                                  std::array{2, 2, 7, 5}, std::array{33, 3, 33, 9}}) {
        Picture24 src(sw, sh);
        for (auto& b : src.bytes) b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
        Picture24 dst(tw, th);
        ResampleBilinear(src.bits(), dst.bits());
        for (int y = 0; y < th; ++y)
            for (int x = 0; x < tw; ++x)
                for (int ch = 0; ch < 3; ++ch)
                    ASSERT_EQ(dst.at(y, 3 * x + ch), ReferenceBilinear(src, tw, th, x, y, ch))
                        << sw << "x" << sh << " -> " << tw << "x" << th << " at " << x << "," << y;
    }
}

TEST(Dib24, ResampleOfAOnePixelWideOrHighSourceIsASubscriptError) {
    for (auto [w, h] : {std::pair{1, 5}, std::pair{5, 1}}) {
        Picture24 src(w, h);
        Picture24 dst(3, 3);
        EXPECT_EQ(ErrorNumberOf([&] { ResampleBilinear(src.bits(), dst.bits()); }), ErrorNumber::SubscriptOutOfRange)
            << w << "x" << h;
    }
}

// A source without pixels or with a size below 2 x 2 (an empty buffer, a caller's wrong size) is
// refused before a column is worked out: negative scales made negative positions before the check.
TEST(Dib24, ResampleOfAnEmptyOrNegativeSourceIsASubscriptErrorAndWritesNothing) {
    Picture24 pixels(4, 4, 0x11);
    const Dib24Bits sources[] = {
        Dib24Bits{},                                      // no buffer at all
        Dib24Bits{pixels.bytes.data(), 0, 4, pixels.bps},  // width 0 over real memory
        Dib24Bits{pixels.bytes.data(), -3, 4, pixels.bps},
        Dib24Bits{pixels.bytes.data(), 4, 0, pixels.bps},
        Dib24Bits{pixels.bytes.data(), 4, -7, pixels.bps},
        Dib24Bits{pixels.bytes.data(), 1, 1, pixels.bps},
    };
    for (const Dib24Bits& source : sources) {
        Picture24 dst(6, 5, 0xA5);
        EXPECT_EQ(ErrorNumberOf([&] { ResampleBilinear(source, dst.bits()); }), ErrorNumber::SubscriptOutOfRange)
            << source.width << "x" << source.height;
        EXPECT_EQ(std::count(dst.bytes.begin(), dst.bytes.end(), 0xA5), static_cast<std::ptrdiff_t>(dst.bytes.size()));
    }
}

TEST(Dib24, RandomiseBitsGreyGivesEqualChannelsAndLeavesPadding) {
    Picture24 pic(5, 4, 0x5A);
    RandomiseBits(pic.bits(), true, 1234);
    std::set<int> values;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 5; ++col) {
            EXPECT_EQ(pic.at(row, 3 * col), pic.at(row, 3 * col + 1));
            EXPECT_EQ(pic.at(row, 3 * col), pic.at(row, 3 * col + 2));
            values.insert(pic.at(row, 3 * col));
        }
        EXPECT_EQ(pic.at(row, 15), 0x5A);
    }
    EXPECT_GT(values.size(), 5u);
}

TEST(Dib24, RandomiseBitsColourLeavesBlueZeroAndFollowsTheSeed) {
    Picture24 a(5, 4, 0x5A), b(5, 4, 0x00);
    RandomiseBits(a.bits(), false, 77);
    RandomiseBits(b.bits(), false, 77);
    std::set<int> greens;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 5; ++col) {
            EXPECT_EQ(a.at(row, 3 * col), 0);
            greens.insert(a.at(row, 3 * col + 1));
        }
        EXPECT_EQ(a.at(row, 15), 0x5A);
    }
    EXPECT_GT(greens.size(), 5u);
    for (int row = 0; row < 4; ++row)
        for (int x = 0; x < 15; ++x) EXPECT_EQ(a.at(row, x), b.at(row, x));
}

}  // namespace
}  // namespace px
