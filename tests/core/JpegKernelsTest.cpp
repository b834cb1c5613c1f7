// The encoder's SSE2 and AVX2 inner loops give exactly the scalar
// reference's output (every level this processor runs), and whole files
// come out byte for byte the same whichever level is forced.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/core/JpegColor.h"
#include "export/core/JpegEncoder.h"
#include "export/core/JpegKernels.h"
#include "export/core/JpegTables.h"
#include "tests/core/JpegTestPicture.h"
#include "tests/core/JpegTestSink.h"

namespace px::jpeg {
namespace {

std::vector<SimdLevel> VectorLevels() {
    std::vector<SimdLevel> levels{SimdLevel::Sse2};
    if (SupportedSimdLevel() == SimdLevel::Avx2) levels.push_back(SimdLevel::Avx2);
    return levels;
}

std::string Name(SimdLevel level) { return level == SimdLevel::Avx2 ? "AVX2" : level == SimdLevel::Sse2 ? "SSE2" : "scalar"; }

// Random pixels with runs of saturated and flat colour.
std::vector<uint8_t> RandomPixels(test::TestRandom& rnd, size_t count) {
    std::vector<uint8_t> p(3 * count);
    for (size_t i = 0; i < p.size(); ++i) {
        const uint32_t kind = (i / 21) % 4;
        p[i] = kind == 0 ? static_cast<uint8_t>(rnd.Next()) : kind == 1 ? (rnd.Next() % 2 ? 255 : 0) : static_cast<uint8_t>(i / 60);
    }
    return p;
}

// Each output buffer gets a guard past its end that no version may touch.
constexpr int16_t kGuard = 0x5A5A;

TEST(JpegKernelsTest, ColourConversionMatchesTheScalarReference) {
    test::TestRandom rnd(11);
    for (const SimdLevel level : VectorLevels()) {
        const Kernels& k = KernelsFor(level);
        for (size_t chunks = 1; chunks <= 6; ++chunks) {
            SCOPED_TRACE(Name(level) + " chunks " + std::to_string(chunks));
            const auto pixels = RandomPixels(rnd, 16 * chunks);
            const size_t n = 16 * chunks + 8;
            std::vector<int16_t> y(n, kGuard), cb(n, kGuard), cr(n, kGuard), y0(n, kGuard), cb0(n, kGuard), cr0(n, kGuard);
            k.convertRow444(pixels.data(), chunks, y.data(), cb.data(), cr.data());
            scalar::ConvertRow444(pixels.data(), chunks, y0.data(), cb0.data(), cr0.data());
            EXPECT_EQ(y, y0);
            EXPECT_EQ(cb, cb0);
            EXPECT_EQ(cr, cr0);
            for (const bool withTail : {false, true}) {
                for (const bool withY : {false, true}) {
                    const size_t full = withTail ? chunks - 1 : chunks;
                    const auto tail = RandomPixels(rnd, 16);
                    std::fill(y.begin(), y.end(), kGuard), std::fill(cb.begin(), cb.end(), kGuard);
                    std::fill(cr.begin(), cr.end(), kGuard), std::fill(y0.begin(), y0.end(), kGuard);
                    std::fill(cb0.begin(), cb0.end(), kGuard), std::fill(cr0.begin(), cr0.end(), kGuard);
                    const uint8_t* t = withTail ? tail.data() : nullptr;
                    k.convertRow420(pixels.data(), full, t, withY ? y.data() : nullptr, cb.data(), cr.data());
                    scalar::ConvertRow420(pixels.data(), full, t, withY ? y0.data() : nullptr, cb0.data(), cr0.data());
                    EXPECT_EQ(y, y0) << "tail " << withTail;
                    EXPECT_EQ(cb, cb0) << "tail " << withTail << " y " << withY;
                    EXPECT_EQ(cr, cr0) << "tail " << withTail << " y " << withY;
                    EXPECT_EQ(cb[8 * chunks], kGuard);
                }
            }
        }
    }
}

TEST(JpegKernelsTest, ChromaRowsCombineLikeTheScalarReference) {
    test::TestRandom rnd(12);
    for (const SimdLevel level : VectorLevels()) {
        for (size_t count = 8; count <= 56; count += 8) {
            std::vector<int16_t> rows[4];
            for (auto& r : rows) {
                r.resize(count);
                for (auto& v : r) v = static_cast<int16_t>(rnd.Range(-10400, 10400));  // overshooting chroma, 6 fraction bits
            }
            std::vector<int16_t> out(count + 8, kGuard), expected(count + 8, kGuard);
            KernelsFor(level).combineChromaRows(rows[0].data(), rows[1].data(), rows[2].data(), rows[3].data(), count,
                                                out.data());
            scalar::CombineChromaRows(rows[0].data(), rows[1].data(), rows[2].data(), rows[3].data(), count,
                                      expected.data());
            EXPECT_EQ(out, expected) << Name(level) << " count " << count;
        }
    }
}

TEST(JpegKernelsTest, TransformAndQuantisationMatchTheScalarReferenceBitForBit) {
    test::TestRandom rnd(13);
    for (const SimdLevel level : VectorLevels()) {
        for (const int quality : {1, 30, 75, 90, 97, 100}) {
            const auto table = ScaledQuantTable(quality > 90 ? kChrominanceQuant : kLuminanceQuant, quality);
            const Quantizer q = MakeQuantizer(table, KeepThresholds(table));
            for (int trial = 0; trial < 300; ++trial) {
                alignas(16) int16_t block[80];  // 8 rows, 10 samples apart
                const int amplitude = trial % 3 == 0 ? 1300 : trial % 3 == 1 ? 60 : 8;
                for (auto& s : block) s = static_cast<int16_t>(rnd.Range(-amplitude, amplitude));
                if (trial % 25 == 0) std::fill(std::begin(block), std::end(block), block[3]);  // flat
                alignas(16) int16_t out[64], expected[64];
                std::fill(std::begin(out), std::end(out), kGuard);  // nothing left for a version to skip
                const uint64_t mask = KernelsFor(level).forwardDctQuantize(block, 10, q, out);
                const uint64_t expectedMask = scalar::ForwardDctQuantize(block, 10, q, expected);
                ASSERT_EQ(std::vector<int16_t>(out, out + 64), std::vector<int16_t>(expected, expected + 64))
                    << Name(level) << " quality " << quality << " trial " << trial;
                ASSERT_EQ(mask, expectedMask);
            }
        }
    }
}

using test::BytesSink;

std::vector<uint8_t> EncodeAt(SimdLevel level, const test::BgrPicture& p, int quality, Subsampling s) {
    ForceSimdLevel(level);
    Settings settings;
    settings.quality = quality;
    settings.subsampling = s;
    BytesSink sink;
    const EncodeResult r = Encode({p.bytes.data(), p.width, p.height, static_cast<ptrdiff_t>(p.stride), false}, settings, sink);
    ResetSimdLevel();
    EXPECT_EQ(r, EncodeResult::Ok);
    return sink.bytes;
}

TEST(JpegKernelsTest, EveryForcedLevelWritesTheSameFile) {
    for (const auto& [w, h] : {std::pair{77, 45}, std::pair{200, 131}, std::pair{16, 16}, std::pair{47, 9}}) {
        const test::BgrPicture p = test::MakeScreenshot(w, h, 5, 3);
        for (const Subsampling s : {Subsampling::Chroma420, Subsampling::Chroma444}) {
            for (const int quality : {50, 90, 100}) {
                const auto reference = EncodeAt(SimdLevel::Scalar, p, quality, s);
                ASSERT_GT(reference.size(), 100u);
                for (const SimdLevel level : VectorLevels())
                    EXPECT_EQ(EncodeAt(level, p, quality, s), reference)
                        << Name(level) << " " << w << "x" << h << " quality " << quality;
            }
        }
    }
}

TEST(JpegKernelsTest, ForcingALevelIsHonouredAndResetReturnsToTheProcessorsBest) {
    ForceSimdLevel(SimdLevel::Scalar);
    EXPECT_EQ(ActiveSimdLevel(), SimdLevel::Scalar);
    ForceSimdLevel(SimdLevel::Avx2);
    EXPECT_EQ(ActiveSimdLevel(), SupportedSimdLevel());  // never above what the processor runs
    ResetSimdLevel();
    EXPECT_EQ(ActiveSimdLevel(), SupportedSimdLevel());
    EXPECT_NE(SupportedSimdLevel(), SimdLevel::Scalar);  // every x86-64 processor has SSE2
}

}  // namespace
}  // namespace px::jpeg
