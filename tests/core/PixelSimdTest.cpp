// The pixel engine's AVX2 and SSE2 loops against the plain reference, at
// every level this processor runs (forced one after the other).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "export/core/Dither8bpp.h"
#include "imaging/core/BrightnessContrast.h"
#include "imaging/core/CpuFeatures.h"
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
        for (const size_t count : {size_t{0}, size_t{1}, size_t{31}, size_t{32}, size_t{33}, size_t{95}, size_t{1000}}) {
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
             {std::pair{1.48, 45}, std::pair{0.2, -255}, std::pair{5.0, 0}, std::pair{1.0, 0}}) {
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

}  // namespace
}  // namespace px
