// The JPEG encoder: its building blocks against straightforward references,
// and whole files decoded by libjpeg-turbo and compared with the source and
// with libjpeg-turbo's own encoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>
#include <set>

#include "export/core/JpegColor.h"
#include "export/core/JpegDct.h"
#include "export/core/JpegEncoder.h"
#include "export/core/JpegHuffman.h"
#include "export/core/JpegTables.h"
#include "tests/core/JpegTestSupport.h"

namespace px::jpeg {
namespace {

using test::BgrPicture;

class VectorSink : public Sink {
public:
    bool Write(const uint8_t* data, size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> EncodeToBytes(const BgrPicture& p, int quality, Subsampling subsampling,
                                   bool bottomUp = false) {
    Picture picture{p.bytes.data(), p.width, p.height, static_cast<ptrdiff_t>(p.stride), bottomUp};
    Settings settings;
    settings.quality = quality;
    settings.subsampling = subsampling;
    VectorSink sink;
    EXPECT_EQ(Encode(picture, settings, sink), EncodeResult::Ok);
    return sink.bytes;
}

// Smooth colour ramps with a sharp diagonal step in brightness (colour stays
// smooth, so halving its resolution loses little): a decoded copy must stay
// close to it everywhere, the picture's edges included.
BgrPicture MakeRamp(int w, int h, size_t pad = 0) {
    BgrPicture p;
    p.width = w;
    p.height = h;
    p.stride = 3 * static_cast<size_t>(w) + pad;
    p.bytes.assign(p.stride * h, 0x5A);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* px = p.Pixel(x, y);
            const int step = x + y < (w + h) / 2 ? 0 : 60;
            px[0] = static_cast<uint8_t>(40 + 120 * x / std::max(1, w) + step);
            px[1] = static_cast<uint8_t>(160 - 100 * y / std::max(1, h) + step);
            px[2] = static_cast<uint8_t>(90 + step);
        }
    }
    return p;
}

int MaxAbsDifference(const BgrPicture& a, const BgrPicture& b) {
    int worst = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int i = 0; i < 3 * a.width; ++i) worst = std::max(worst, std::abs(a.Pixel(0, y)[i] - b.Pixel(0, y)[i]));
    }
    return worst;
}

// ---------------------------------------------------------------------------
// Huffman tables.

// Code lengths of the table, by symbol.
std::map<int, int> Lengths(const HuffmanSpec& spec) {
    std::map<int, int> lengths;
    int k = 0;
    for (int n = 1; n <= 16; ++n) {
        for (int i = 0; i < spec.counts[n]; ++i) lengths[spec.symbols[k++]] = n;
    }
    return lengths;
}

TEST(JpegHuffmanTest, TablesAreCompletePrefixCodesWithoutTheAllOnesCode) {
    std::array<uint64_t, 256> skewed{};  // Fibonacci counts force very deep trees before limiting
    uint64_t a = 1, b = 1;
    for (int s = 0; s < 40; ++s) {
        skewed[s] = a;
        std::tie(a, b) = std::pair{b, a + b};
    }
    std::array<uint64_t, 256> flat{};
    flat.fill(7);
    std::array<uint64_t, 256> single{};
    single[0x42] = 1000;
    std::array<uint64_t, 256> typical{};
    for (int s : {0x00, 0x01, 0x02, 0x11, 0x21, 0x03, 0xF0, 0x31, 0x12, 0x04}) typical[s] = 1000u / (1 + (s & 15)) + s;

    for (const auto* freq : {&skewed, &flat, &single, &typical}) {
        const HuffmanSpec spec = BuildHuffmanSpec(*freq);
        const std::map<int, int> lengths = Lengths(spec);
        // Exactly the used symbols get codes, none longer than 16 bits.
        std::set<int> used;
        for (int s = 0; s < 256; ++s) {
            if ((*freq)[s]) used.insert(s);
        }
        ASSERT_EQ(lengths.size(), used.size());
        for (const auto& [symbol, length] : lengths) {
            EXPECT_TRUE(used.count(symbol));
            EXPECT_GE(length, 1);
            EXPECT_LE(length, 16);
        }
        // Kraft sum: the code space is full but for the one reserved all-ones code.
        double kraft = 0;
        for (const auto& [symbol, length] : lengths) kraft += std::ldexp(1.0, -length);
        const int longest = std::max_element(lengths.begin(), lengths.end(), [](auto& x, auto& y) {
                                return x.second < y.second;
                            })->second;
        EXPECT_DOUBLE_EQ(kraft + std::ldexp(1.0, -longest), 1.0);

        const HuffmanCodes codes = MakeHuffmanCodes(spec);
        for (const auto& [s1, n1] : lengths) {
            EXPECT_EQ(codes.length[s1], n1);
            EXPECT_NE(codes.code[s1], (1u << n1) - 1) << "all-ones code used";
            for (const auto& [s2, n2] : lengths) {
                if (s1 == s2 || n1 > n2) continue;
                EXPECT_NE(codes.code[s2] >> (n2 - n1), codes.code[s1]) << s1 << " is a prefix of " << s2;
            }
        }
        // A more frequent symbol never gets a longer code.
        for (const auto& [s1, n1] : lengths) {
            for (const auto& [s2, n2] : lengths) {
                if ((*freq)[s1] > (*freq)[s2]) {
                    EXPECT_LE(n1, n2);
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Transform and quantisation.

double ReferenceDct(const int16_t* block, int v, int u) {  // row-major input, samples with fraction bits
    const double cu = u == 0 ? std::numbers::sqrt2 / 2 : 1.0, cv = v == 0 ? std::numbers::sqrt2 / 2 : 1.0;
    double sum = 0;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            sum += block[y * 8 + x] * std::cos((2 * x + 1) * u * std::numbers::pi / 16) *
                   std::cos((2 * y + 1) * v * std::numbers::pi / 16);
        }
    }
    return sum * cu * cv / 4 / (1 << kSampleFractionBits);
}

TEST(JpegDctTest, MatchesTheDefiningSumWithinRounding) {
    test::TestRandom rnd(7);
    std::array<uint8_t, 64> steps{};
    for (auto& s : steps) s = static_cast<uint8_t>(rnd.Range(1, 12));
    std::array<float, 64> plainRounding{};
    plainRounding.fill(0.5f);
    const Quantizer quantizer = MakeQuantizer(steps, plainRounding);
    for (int trial = 0; trial < 200; ++trial) {
        int16_t block[64];
        const int amplitude = trial % 3 == 0 ? 1024 : 200;  // full range and quieter blocks
        for (auto& s : block) s = static_cast<int16_t>(std::clamp(rnd.Range(-amplitude, amplitude), -1024, 1016));
        if (trial % 10 == 0) std::fill_n(block, 64, block[0]);  // flat blocks take a short cut
        if (trial == 10) std::fill_n(block, 64, -1024);        // black
        if (trial == 20) std::fill_n(block, 64, 1016);         // white
        alignas(16) int16_t out[64];
        const uint64_t mask = ForwardDctQuantize(block, 8, quantizer, out);
        for (int i = 0; i < 64; ++i) {
            const int t = TransformIndex(i);
            const double expected = ReferenceDct(block, i / 8, i % 8) / steps[i];
            EXPECT_LE(std::abs(out[t] - expected), 0.5 + 1e-3) << "coefficient " << i;
            EXPECT_EQ((mask >> t) & 1, out[t] != 0 ? 1u : 0u);
        }
    }
}

TEST(JpegDctTest, CoefficientsBelowTheKeepThresholdBecomeZero) {
    // A pure horizontal cosine of known amplitude hits one coefficient.
    int16_t block[64];
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            block[y * 8 + x] = static_cast<int16_t>(std::lround(8 * 4.0 * std::cos((2 * x + 1) * 3 * std::numbers::pi / 16)));
        }
    }
    const double coefficient = ReferenceDct(block, 0, 3);  // about 11.3
    std::array<uint8_t, 64> steps{};
    steps.fill(1);
    steps[3] = static_cast<uint8_t>(std::ceil(coefficient / 0.6));  // the value is about 0.6 steps
    const double inSteps = coefficient / steps[3];
    ASSERT_GT(inSteps, 0.5);
    ASSERT_LT(inSteps, 0.7);
    for (const float keepFrom : {0.5f, 0.7f}) {
        std::array<float, 64> keep{};
        keep.fill(0.5f);
        keep[3] = keepFrom;
        alignas(16) int16_t out[64];
        ForwardDctQuantize(block, 8, MakeQuantizer(steps, keep), out);
        EXPECT_EQ(out[TransformIndex(3)], keepFrom < inSteps ? 1 : 0) << keepFrom;
    }
}

TEST(JpegTablesTest, QualityScalesTheExampleTables) {
    EXPECT_EQ(ScaledQuantTable(kLuminanceQuant, 50), kLuminanceQuant);
    const auto q100 = ScaledQuantTable(kChrominanceQuant, 100);
    EXPECT_TRUE(std::all_of(q100.begin(), q100.end(), [](uint8_t v) { return v == 1; }));
    const auto q1 = ScaledQuantTable(kLuminanceQuant, 1);
    EXPECT_TRUE(std::all_of(q1.begin(), q1.end(), [](uint8_t v) { return v == 255; }));  // limited to 8 bits
    EXPECT_EQ(ScaledQuantTable(kLuminanceQuant, 90)[0], 3);                           // 16 * 20% rounded
    EXPECT_EQ(ScaledQuantTable(kLuminanceQuant, 25)[0], 32);                          // 16 * 200%
    // The scan order visits every coefficient once, row by row diagonals.
    std::set<int> seen(kZigzag.begin(), kZigzag.end());
    EXPECT_EQ(seen.size(), 64u);
    EXPECT_EQ(kZigzag[2], 8);
    EXPECT_EQ(kZigzag[63], 63);
}

// ---------------------------------------------------------------------------
// Colour conversion.

struct Ycc {
    double y, cb, cr;
};
Ycc ReferenceYcc(double b, double g, double r) {
    return {0.299 * r + 0.587 * g + 0.114 * b - 128, -0.168736 * r - 0.331264 * g + 0.5 * b,
            0.5 * r - 0.418688 * g - 0.081312 * b};
}

TEST(JpegColorTest, FullResolutionConversionMatchesTheJfifFormulas) {
    test::TestRandom rnd(3);
    std::vector<uint8_t> bgr(48 * 4);
    for (auto& v : bgr) v = static_cast<uint8_t>(rnd.Next());
    bgr[0] = bgr[1] = bgr[2] = 255;  // white
    bgr[3] = bgr[4] = bgr[5] = 0;    // black
    std::vector<int16_t> y(64), cb(64), cr(64);
    ConvertRow444(bgr.data(), 4, y.data(), cb.data(), cr.data());
    const double scale = 1 << kSampleFractionBits;
    for (int i = 0; i < 64; ++i) {
        const Ycc ref = ReferenceYcc(bgr[3 * i], bgr[3 * i + 1], bgr[3 * i + 2]);
        EXPECT_NEAR(y[i], ref.y * scale, 0.6) << i;
        EXPECT_NEAR(cb[i], ref.cb * scale, 0.6) << i;
        EXPECT_NEAR(cr[i], ref.cr * scale, 0.6) << i;
    }
    EXPECT_EQ(y[0], 127 * scale);
    EXPECT_EQ(cb[0], 0);
    EXPECT_EQ(y[1], -128 * scale);
}

// The downsampling filter written out: taps -1, 9, 9, -1 on pixels 2i - 2,
// 2i, 2i + 1, 2i + 3 each way, positions clamped to the picture.
double ReferenceChroma(const BgrPicture& p, int i, int j, bool blue) {
    const int offsets[4] = {-2, 0, 1, 3};
    const double taps[4] = {-1, 9, 9, -1};
    double b = 0, g = 0, r = 0;
    for (int a = 0; a < 4; ++a) {
        for (int c = 0; c < 4; ++c) {
            const int x = std::clamp(2 * i + offsets[c], 0, p.width - 1);
            const int y = std::clamp(2 * j + offsets[a], 0, p.height - 1);
            const double w = taps[a] * taps[c] / 256;
            b += w * p.Pixel(x, y)[0];
            g += w * p.Pixel(x, y)[1];
            r += w * p.Pixel(x, y)[2];
        }
    }
    const Ycc ycc = ReferenceYcc(b, g, r);
    return blue ? ycc.cb : ycc.cr;
}

TEST(JpegColorTest, SubsampledChromaFollowsTheFilterUpToTheEdges) {
    // Two chunks across, 16 rows; random colours so every tap counts.
    BgrPicture p;
    p.width = 32;
    p.height = 16;
    p.stride = 96;
    p.bytes.resize(p.stride * p.height);
    test::TestRandom rnd(11);
    for (auto& v : p.bytes) v = static_cast<uint8_t>(rnd.Next());
    std::vector<int16_t> y(32), rowsCb(16 * 20), rowsCr(16 * 20), cb(16 * 8), cr(16 * 8);
    for (int k = 0; k < 20; ++k) {
        const int row = std::clamp(k - 2, 0, p.height - 1);
        ConvertRow420(p.Pixel(0, row), 2, nullptr, y.data(), &rowsCb[k * 16], &rowsCr[k * 16]);
        if (k - 2 == 5) {
            for (int x = 0; x < 32; ++x) {
                const uint8_t* px = p.Pixel(x, 5);
                EXPECT_NEAR(y[x], ReferenceYcc(px[0], px[1], px[2]).y * 8, 0.6);
            }
        }
    }
    for (int j = 0; j < 8; ++j) {
        CombineChromaRows(&rowsCb[2 * j * 16], &rowsCb[(2 * j + 2) * 16], &rowsCb[(2 * j + 3) * 16],
                          &rowsCb[(2 * j + 5) * 16], 16, &cb[j * 16]);
        CombineChromaRows(&rowsCr[2 * j * 16], &rowsCr[(2 * j + 2) * 16], &rowsCr[(2 * j + 3) * 16],
                          &rowsCr[(2 * j + 5) * 16], 16, &cr[j * 16]);
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(cb[j * 16 + i], ReferenceChroma(p, i, j, true) * 8, 1.0) << i << "," << j;
            EXPECT_NEAR(cr[j * 16 + i], ReferenceChroma(p, i, j, false) * 8, 1.0) << i << "," << j;
        }
    }
}

TEST(JpegColorTest, ARowEndingInATailChunkCountsPixelsPastItsEndAsTheLastPixel) {
    BgrPicture p = MakeRamp(16 + 5, 1);  // one full chunk and 5 pixels
    uint8_t tail[48];
    std::memcpy(tail, p.Pixel(16, 0), 15);
    for (int i = 5; i < 16; ++i) std::memcpy(tail + 3 * i, p.Pixel(20, 0), 3);
    std::vector<int16_t> split(16), whole(16), unused(16);
    ConvertRow420(p.Pixel(0, 0), 1, tail, nullptr, split.data(), unused.data());
    // The same row made of whole chunks: the padding pixels are copies anyway.
    std::vector<uint8_t> padded(96);
    std::memcpy(padded.data(), p.Pixel(0, 0), 48);
    std::memcpy(padded.data() + 48, tail, 48);
    ConvertRow420(padded.data(), 2, nullptr, nullptr, whole.data(), unused.data());
    EXPECT_EQ(split, whole);
}

// ---------------------------------------------------------------------------
// Whole files.

TEST(JpegEncoderTest, EverySmallSizeDecodesToThePictureItself) {
    if (!test::DecoderAvailable()) GTEST_SKIP() << "no JPEG decoder";
    const int sizes[] = {1, 7, 8, 9, 15, 16, 17};
    for (Subsampling sub : {Subsampling::Chroma420, Subsampling::Chroma444}) {
        for (int w : sizes) {
            for (int h : sizes) {
                const BgrPicture source = MakeRamp(w, h, 3);
                const auto decoded = test::DecodeJpeg(EncodeToBytes(source, 98, sub));
                ASSERT_TRUE(decoded) << w << "x" << h;
                ASSERT_EQ(decoded->width, w);
                ASSERT_EQ(decoded->height, h);
                const int worst = MaxAbsDifference(source, *decoded);
                EXPECT_LE(worst, 12) << w << "x" << h << " " << static_cast<int>(sub);
                EXPECT_GT(test::Psnr(source, *decoded), 35.0) << w << "x" << h;
            }
        }
    }
}

TEST(JpegEncoderTest, FileStartsWithJfifAndEndsWithEoi) {
    const auto bytes = EncodeToBytes(MakeRamp(20, 10), 75, Subsampling::Chroma420);
    ASSERT_GT(bytes.size(), 20u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    EXPECT_EQ(std::string(bytes.begin() + 6, bytes.begin() + 11), std::string("JFIF\0", 5));
    EXPECT_EQ(bytes[bytes.size() - 2], 0xFF);
    EXPECT_EQ(bytes.back(), 0xD9);
}

TEST(JpegEncoderTest, DensityGoesIntoTheJfifHeader) {
    const BgrPicture p = MakeRamp(8, 8);
    Picture picture{p.bytes.data(), 8, 8, static_cast<ptrdiff_t>(p.stride), false};
    Settings settings;
    settings.densityUnit = 1;
    settings.xDensity = 96;
    settings.yDensity = 300;
    VectorSink sink;
    ASSERT_EQ(Encode(picture, settings, sink), EncodeResult::Ok);
    const auto& b = sink.bytes;
    EXPECT_EQ(b[13], 1);
    EXPECT_EQ(b[14] << 8 | b[15], 96);
    EXPECT_EQ(b[16] << 8 | b[17], 300);
}

TEST(JpegEncoderTest, BottomUpRowsComeOutUpright) {
    if (!test::DecoderAvailable()) GTEST_SKIP() << "no JPEG decoder";
    // Top half red, bottom half blue, as the picture should look.
    BgrPicture upright;
    upright.width = 24;
    upright.height = 40;
    upright.stride = 72;
    upright.bytes.resize(72 * 40);
    test::FillRect(upright, 0, 0, 24, 20, 0, 0, 255);
    test::FillRect(upright, 0, 20, 24, 20, 255, 0, 0);
    BgrPicture memory = upright;  // the same rows stored bottom row first
    for (int y = 0; y < 40; ++y) std::memcpy(memory.Pixel(0, y), upright.Pixel(0, 39 - y), 72);

    const auto decoded = test::DecodeJpeg(EncodeToBytes(memory, 90, Subsampling::Chroma444, true));
    ASSERT_TRUE(decoded);
    EXPECT_LE(MaxAbsDifference(upright, *decoded), 12);
    EXPECT_GT(decoded->Pixel(5, 2)[2], 200);   // red at the top
    EXPECT_GT(decoded->Pixel(5, 37)[0], 200);  // blue at the bottom
}

TEST(JpegEncoderTest, PaddingBytesAtRowEndsAreNeverRead) {
    BgrPicture a = MakeRamp(13, 11, 7);
    BgrPicture b = a;
    for (int y = 0; y < b.height; ++y) std::fill_n(b.Pixel(13, y), 7, static_cast<uint8_t>(y * 31));
    EXPECT_EQ(EncodeToBytes(a, 80, Subsampling::Chroma420), EncodeToBytes(b, 80, Subsampling::Chroma420));
    EXPECT_EQ(EncodeToBytes(a, 80, Subsampling::Chroma444), EncodeToBytes(b, 80, Subsampling::Chroma444));
}

TEST(JpegEncoderTest, FidelityAndSizeRiseWithQuality) {
    if (!test::DecoderAvailable()) GTEST_SKIP() << "no JPEG decoder";
    const BgrPicture source = test::MakeScreenshot(400, 300, 5);
    for (Subsampling sub : {Subsampling::Chroma420, Subsampling::Chroma444}) {
        double lastPsnr = 0;
        size_t lastSize = 0;
        for (int q : {1, 10, 25, 50, 75, 90, 95, 100}) {
            const auto bytes = EncodeToBytes(source, q, sub);
            const auto decoded = test::DecodeJpeg(bytes);
            ASSERT_TRUE(decoded);
            const double psnr = test::Psnr(source, *decoded);
            EXPECT_GT(psnr, lastPsnr) << "quality " << q;
            EXPECT_GT(bytes.size(), lastSize) << "quality " << q;
            lastPsnr = psnr;
            lastSize = bytes.size();
        }
    }
}

TEST(JpegEncoderTest, FidelityMatchesLibjpegTurboAtEveryQuality) {
    if (!test::DecoderAvailable() || !test::ProgramAvailable("cjpeg")) GTEST_SKIP() << "no libjpeg-turbo tools";
    const BgrPicture source = test::MakeScreenshot(640, 400, 9);
    for (bool subsampled : {true, false}) {
        for (int q : {5, 25, 50, 75, 90, 95, 100}) {
            const auto ours = test::DecodeJpeg(
                EncodeToBytes(source, q, subsampled ? Subsampling::Chroma420 : Subsampling::Chroma444));
            const auto theirs = test::DecodeJpeg(test::ReferenceEncode(source, q, subsampled));
            ASSERT_TRUE(ours && theirs);
            EXPECT_GE(test::Psnr(source, *ours), test::Psnr(source, *theirs) - 0.2)
                << "quality " << q << (subsampled ? " 4:2:0" : " 4:4:4");
        }
    }
}

TEST(JpegEncoderTest, AtQuality90TheFileIsNoBiggerThanLibjpegTurbosOptimisedOneAndAtLeastAsFaithful) {
    if (!test::DecoderAvailable() || !test::ProgramAvailable("cjpeg")) GTEST_SKIP() << "no libjpeg-turbo tools";
    for (uint64_t seed : {1, 2}) {
        const BgrPicture source = test::MakeScreenshot(960, 540, seed);
        const auto ours = EncodeToBytes(source, 90, Subsampling::Chroma420);
        const auto theirs = test::ReferenceEncode(source, 90, true);
        ASSERT_FALSE(theirs.empty());
        EXPECT_LE(ours.size(), theirs.size());
        EXPECT_GE(test::Psnr(source, *test::DecodeJpeg(ours)), test::Psnr(source, *test::DecodeJpeg(theirs)));
    }
}

TEST(JpegEncoderTest, WithoutRoomToKeepTheBlocksTheFileComesOutTheSame) {
    // Noise keeps nearly every coefficient: the store would outgrow the limit.
    BgrPicture noise = MakeRamp(123, 45);
    test::TestRandom rnd(8);
    for (auto& b : noise.bytes) b = static_cast<uint8_t>(rnd.Next());
    for (Subsampling sub : {Subsampling::Chroma420, Subsampling::Chroma444}) {
        Picture picture{noise.bytes.data(), noise.width, noise.height, static_cast<ptrdiff_t>(noise.stride), false};
        Settings settings;
        settings.quality = 100;
        settings.subsampling = sub;
        VectorSink stored, remade, overflowed;
        ASSERT_EQ(Encode(picture, settings, stored), EncodeResult::Ok);
        settings.memoryLimit = 1;  // not even one block
        ASSERT_EQ(Encode(picture, settings, remade), EncodeResult::Ok);
        settings.memoryLimit = 4000;  // a few blocks, then no more
        ASSERT_EQ(Encode(picture, settings, overflowed), EncodeResult::Ok);
        EXPECT_EQ(remade.bytes, stored.bytes);
        EXPECT_EQ(overflowed.bytes, stored.bytes);
    }
}

TEST(JpegEncoderTest, RejectsWhatItCannotEncode) {
    const BgrPicture p = MakeRamp(10, 10);
    const Picture good{p.bytes.data(), 10, 10, 30, false};
    struct Case {
        const char* what;
        Picture picture;
        Settings settings;
    };
    const Case cases[] = {
        {"no pixels", {nullptr, 10, 10, 30, false}, {}},
        {"zero width", {p.bytes.data(), 0, 10, 30, false}, {}},
        {"zero height", {p.bytes.data(), 10, 0, 30, false}, {}},
        {"too wide", {p.bytes.data(), 65536, 1, 3 * 65536, false}, {}},
        {"stride too small", {p.bytes.data(), 10, 10, 29, false}, {}},
        {"quality 0", good, {0}},
        {"quality 101", good, {101}},
        {"unknown subsampling", good, {75, static_cast<Subsampling>(7)}},
        {"density unit 3", good, {75, Subsampling::Chroma420, 3}},
        {"density 0", good, {75, Subsampling::Chroma420, 1, 0, 72}},
    };
    for (const Case& c : cases) {
        VectorSink sink;
        EXPECT_EQ(Encode(c.picture, c.settings, sink), EncodeResult::BadArgument) << c.what;
        EXPECT_TRUE(sink.bytes.empty()) << c.what;
    }
}

TEST(JpegEncoderTest, ARefusingSinkEndsTheEncodingWithWriteFailed) {
    class FailingSink : public Sink {
    public:
        bool Write(const uint8_t*, size_t) override {
            ++calls;
            return false;
        }
        int calls = 0;
    } sink;
    const BgrPicture p = test::MakeScreenshot(300, 200);
    Picture picture{p.bytes.data(), p.width, p.height, static_cast<ptrdiff_t>(p.stride), false};
    EXPECT_EQ(Encode(picture, Settings{}, sink), EncodeResult::WriteFailed);
    EXPECT_EQ(sink.calls, 1);  // nothing more is offered after the first refusal
}

}  // namespace
}  // namespace px::jpeg
