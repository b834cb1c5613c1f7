// The pixel engine's AVX2 and SSE2 loops against the plain reference, at
// every level this processor runs (forced one after the other).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "export/core/Dither8bpp.h"
#include "imaging/core/BrightnessContrast.h"
#include "imaging/core/CpuFeatures.h"
#include "imaging/core/Dib32.h"
#include "tests/core/JpegTestPicture.h"

namespace px {
namespace {

std::vector<SimdLevel> Levels() {
    std::vector<SimdLevel> levels{SimdLevel::Scalar, SimdLevel::Sse2};
    if (SupportedSimdLevel() == SimdLevel::Avx2) levels.push_back(SimdLevel::Avx2);
    return levels;
}

// Forces a level for one scope.
struct Forced {
    explicit Forced(SimdLevel level) { ForceSimdLevel(level); }
    ~Forced() { ResetSimdLevel(); }
};

TEST(PixelSimdTest, MapBytesLooksEveryByteUpInItsTable) {
    test::TestRandom rnd(21);
    for (const SimdLevel level : Levels()) {
        const Forced forced(level);
        for (const size_t count : {size_t{0}, size_t{1}, size_t{31}, size_t{32}, size_t{33}, size_t{95}, size_t{1000},
                                   size_t{(1 << 20) + 13}}) {  // the last one long enough for the two-byte table
            std::array<uint8_t, 256> table{};
            for (auto& t : table) t = static_cast<uint8_t>(rnd.Next());
            std::vector<uint8_t> in(count + 3), out(count + 3, 0xEE);
            for (size_t i = 0; i < in.size(); ++i) in[i] = i % 5 == 0 ? static_cast<uint8_t>(i) : static_cast<uint8_t>(rnd.Next());
            MapBytes(in.data(), out.data(), count, table);
            for (size_t i = 0; i < count; ++i) ASSERT_EQ(out[i], table[in[i]]) << "level " << int(level) << " byte " << i;
            for (size_t i = count; i < out.size(); ++i) EXPECT_EQ(out[i], 0xEE);  // nothing past the end
        }
    }
}

// Source widths whose rows are one run with the destination's (67: 204 bytes
// a row, all covered), whose padding is left alone (66: 198 of 200), a wider
// destination whose rows do not follow on from each other, and single rows.
TEST(PixelSimdTest, BrightnessContrastProcessGivesTheSameBytesAtEveryLevel) {
    test::TestRandom rnd(22);
    constexpr size_t kGuard = 40;
    for (const auto& [w, h, dstW] : {std::tuple{67, 9, 67}, std::tuple{66, 9, 66}, std::tuple{67, 5, 75},
                                     std::tuple{1, 1, 1}, std::tuple{11, 1, 11}, std::tuple{21, 3, 22}}) {
        const int32_t bps = BytesPerScanLine24(w), dstBps = BytesPerScanLine24(dstW);
        std::vector<uint8_t> src(static_cast<size_t>(bps) * h);
        for (auto& b : src) b = static_cast<uint8_t>(rnd.Next());
        const size_t covered = 3 * (static_cast<size_t>(bps) / 3);
        for (const auto& [contrast, brightness] :
             {std::pair{1.48, 45}, std::pair{0.2, -255}, std::pair{5.0, 0}, std::pair{1.0, 0}, std::pair{1.5, 1},
              std::pair{0.5 + 1e-10, 0}}) {  // the last just past ties that single precision would see as ties
            cBrightnessContrast bc;
            bc.Contrast(contrast);
            bc.Brightness(brightness);
            for (const SimdLevel level : Levels()) {
                const Forced forced(level);
                std::vector<uint8_t> dst(static_cast<size_t>(dstBps) * h + kGuard, 0xEE);
                bc.process(Dib24Bits{src.data(), w, h, bps}, Dib24Bits{dst.data(), dstW, h, dstBps});
                for (int32_t y = 0; y < h; ++y) {
                    for (size_t i = 0; i < static_cast<size_t>(dstBps); ++i) {
                        const size_t at = static_cast<size_t>(y) * dstBps + i;
                        const uint8_t expected =
                            i < covered ? cBrightnessContrast::MapByte(src[static_cast<size_t>(y) * bps + i], contrast, brightness)
                                        : 0xEE;
                        ASSERT_EQ(dst[at], expected) << w << " wide into " << dstW << ", level " << int(level) << " row "
                                                     << y << " byte " << i;
                    }
                }
                for (size_t i = dst.size() - kGuard; i < dst.size(); ++i) ASSERT_EQ(dst[i], 0xEE) << "guard " << i;
            }
        }
    }
}

// Pixels from a small set of colours in runs, the unused fourth byte random.
std::vector<uint8_t> RunsOfColours(test::TestRandom& rnd, size_t pixels, int colours) {
    std::vector<uint32_t> palette(static_cast<size_t>(colours));
    for (auto& c : palette) c = rnd.Next() & 0xFFFFFF;
    std::vector<uint8_t> bytes(4 * pixels);
    uint32_t c = palette[0];
    for (size_t i = 0; i < pixels; ++i) {
        if (rnd.Next() % 5 == 0) c = palette[rnd.Next() % palette.size()];
        const uint32_t v = c | (rnd.Next() << 24);
        std::memcpy(&bytes[4 * i], &v, 4);
    }
    return bytes;
}

TEST(PixelSimdTest, CountColorsMatchesThePixelByPixelCountAtEveryLevel) {
    test::TestRandom rnd(23);
    for (const auto& [w, h, colours] : {std::tuple{1, 1, 1}, std::tuple{7, 3, 4}, std::tuple{9, 5, 40}, std::tuple{33, 17, 300},
                                        std::tuple{64, 64, 5000}, std::tuple{3, 50, 2}}) {
        auto bytes = RunsOfColours(rnd, static_cast<size_t>(w) * h, colours);
        const Pixels32 picture{bytes.data(), w, h};
        const int32_t expected = CountColorsReference(picture);
        ASSERT_GE(expected, 1);
        for (const SimdLevel level : Levels()) {
            const Forced forced(level);
            EXPECT_EQ(CountColors(picture), expected) << w << "x" << h << " level " << int(level);
        }
    }
    // A colour that first appears where a row starts, equal to the last pixel of the row before
    // apart from the fourth byte, and a new one at the very end.
    std::vector<uint8_t> bytes(4 * 4 * 3, 0);
    const uint8_t red[4] = {0, 0, 255, 7}, redOther[4] = {0, 0, 255, 99}, blue[4] = {255, 0, 0, 0};
    std::memcpy(&bytes[4 * 3], red, 4);
    std::memcpy(&bytes[4 * 4], redOther, 4);
    std::memcpy(&bytes[4 * 11], blue, 4);
    for (const SimdLevel level : Levels()) {
        const Forced forced(level);
        EXPECT_EQ(CountColors(Pixels32{bytes.data(), 4, 3}), 3) << "level " << int(level);
    }
}

// Mirrors and the quarter turn at every level against the plain formulas,
// at widths around the steps of four and eight pixels, with guard bytes.
std::vector<uint8_t> RandomPixels(test::TestRandom& rnd, size_t pixels, size_t guard) {
    std::vector<uint8_t> bytes(4 * pixels + guard, 0xC3);
    for (size_t i = 0; i < 4 * pixels; ++i) bytes[i] = static_cast<uint8_t>(rnd.Next());
    return bytes;
}

TEST(PixelSimdTest, MirrorLeftRightReversesEveryRowAtEveryLevel) {
    test::TestRandom rnd(24);
    constexpr size_t kGuard = 32;
    for (const int32_t w : {1, 2, 3, 4, 7, 8, 9, 15, 16, 17, 23, 24, 31, 32, 33, 47}) {
        const int32_t h = 3;
        const auto original = RandomPixels(rnd, static_cast<size_t>(w) * h, kGuard);
        for (const SimdLevel level : Levels()) {
            const Forced forced(level);
            auto bytes = original;
            MirrorLeftRight(Pixels32{bytes.data(), w, h});
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x)
                    ASSERT_EQ(std::memcmp(&bytes[4 * static_cast<size_t>(y * w + x)],
                                          &original[4 * static_cast<size_t>(y * w + w - 1 - x)], 4),
                              0)
                        << "width " << w << " level " << int(level) << " pixel " << x << "," << y;
            EXPECT_TRUE(std::equal(bytes.end() - kGuard, bytes.end(), original.end() - kGuard)) << "width " << w;
        }
    }
}

TEST(PixelSimdTest, QuarterTurnPutsEveryPixelInPlaceAtEveryLevel) {
    test::TestRandom rnd(25);
    constexpr size_t kGuard = 32;
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{3, 5}, std::pair{4, 4}, std::pair{8, 8}, std::pair{9, 17},
                               std::pair{16, 3}, std::pair{33, 20}, std::pair{7, 12}, std::pair{24, 16}}) {
        auto source = RandomPixels(rnd, static_cast<size_t>(w) * h, 0);
        for (const SimdLevel level : Levels()) {
            const Forced forced(level);
            std::vector<uint8_t> target(4 * static_cast<size_t>(w) * h + kGuard, 0xC3);
            RotateQuarterAnticlockwise(Pixels32{source.data(), w, h}, Pixels32{target.data(), h, w});
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x)  // (x, y) lands at (y, w - 1 - x) of a target h wide
                    ASSERT_EQ(std::memcmp(&target[4 * static_cast<size_t>((w - 1 - x) * h + y)],
                                          &source[4 * static_cast<size_t>(y * w + x)], 4),
                              0)
                        << w << "x" << h << " level " << int(level) << " pixel " << x << "," << y;
            EXPECT_TRUE(std::all_of(target.end() - kGuard, target.end(), [](uint8_t b) { return b == 0xC3; }))
                << w << "x" << h;
        }
    }
}

}  // namespace
}  // namespace px
