// Files stay strictly baseline at every quality and subsampling: every DC
// difference within +-2047 and every AC coefficient within +-1023, even where
// the sharpened chroma filter overshoots the sample range (saturated colour
// edges at the highest qualities). Checked on the file's own Huffman tables
// (which hold exactly the symbols coded) and by an outside decoder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "export/core/JpegColor.h"
#include "export/core/JpegDct.h"
#include "export/core/JpegEncoder.h"
#include "tests/core/JpegTestSink.h"
#include "tests/core/JpegTestSupport.h"

namespace px::jpeg {
namespace {

using test::BgrPicture;

using test::BytesSink;

struct Colour {
    uint8_t b, g, r;
};

// Cells of `cell` pixels alternating between two colours.
BgrPicture Checkerboard(int w, int h, int cell, Colour a, Colour b) {
    BgrPicture p;
    p.width = w;
    p.height = h;
    p.stride = 3 * static_cast<size_t>(w);
    p.bytes.resize(p.stride * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Colour c = ((x / cell) + (y / cell)) % 2 ? b : a;
            uint8_t* px = p.Pixel(x, y);
            px[0] = c.b;
            px[1] = c.g;
            px[2] = c.r;
        }
    }
    return p;
}

// Symbols of the file's DHT segments: [0] DC tables, [1] AC tables.
std::vector<uint8_t> TableSymbols(const std::vector<uint8_t>& file, int tableClass) {
    std::vector<uint8_t> symbols;
    size_t i = 2;
    while (i + 4 <= file.size() && file[i] == 0xFF && file[i + 1] != 0xDA) {
        const size_t length = size_t{file[i + 2]} << 8 | file[i + 3];
        if (file[i + 1] == 0xC4) {
            size_t t = i + 4;
            while (t + 17 <= i + 2 + length) {
                const int cls = file[t] >> 4;
                size_t n = 0;
                for (int k = 1; k <= 16; ++k) n += file[t + k];
                for (size_t k = 0; k < n; ++k)
                    if (cls == tableClass) symbols.push_back(file[t + 17 + k]);
                t += 17 + n;
            }
        }
        i += 2 + length;
    }
    return symbols;
}

// Decodes with djpeg (libjpeg's program), its warnings kept.
struct Decoded {
    bool ok = false;
    std::string warnings;
    BgrPicture picture;
};

Decoded DecodeWithDjpeg(const std::vector<uint8_t>& jpeg) {
    test::ScratchFolder folder("baseline");
    Decoded d;
    if (!test::WriteFileBytes(folder / "in.jpg", jpeg)) return d;
    const std::string command = "djpeg -ppm -outfile '" + (folder / "out.ppm").string() + "' '" +
                                (folder / "in.jpg").string() + "' 2>'" + (folder / "err.txt").string() + "'";
    const int rc = std::system(command.c_str());
    const auto err = test::ReadFileBytes(folder / "err.txt");
    d.warnings.assign(err.begin(), err.end());
    auto picture = test::FromPpm(test::ReadFileBytes(folder / "out.ppm"));
    d.ok = rc == 0 && picture.has_value();
    if (picture) d.picture = std::move(*picture);
    return d;
}

TEST(JpegBaselineTest, SaturatedCheckerboardsStayBaselineAtTheHighestQualities) {
    if (!test::ProgramAvailable("djpeg")) GTEST_SKIP() << "djpeg (libjpeg-turbo-progs) is not installed";
    const struct {
        const char* name;
        Colour a, b;
    } pairs[] = {
        {"blue/yellow", {255, 0, 0}, {0, 255, 255}},
        {"red/cyan", {0, 0, 255}, {255, 255, 0}},
        {"green/magenta", {0, 255, 0}, {255, 0, 255}},
        {"black/white", {0, 0, 0}, {255, 255, 255}},
    };
    for (const auto& pair : pairs) {
        for (const int cell : {8, 16}) {
            const BgrPicture source = Checkerboard(96, 80, cell, pair.a, pair.b);
            for (const Subsampling s : {Subsampling::Chroma420, Subsampling::Chroma444}) {
                for (int quality = 96; quality <= 100; ++quality) {
                    SCOPED_TRACE(std::string(pair.name) + " cell " + std::to_string(cell) + " quality " +
                                 std::to_string(quality) + (s == Subsampling::Chroma420 ? " 4:2:0" : " 4:4:4"));
                    Settings settings;
                    settings.quality = quality;
                    settings.subsampling = s;
                    BytesSink sink;
                    ASSERT_EQ(Encode({source.bytes.data(), source.width, source.height,
                                      static_cast<ptrdiff_t>(source.stride), false},
                                     settings, sink),
                              EncodeResult::Ok);
                    // DC symbols are the difference's size category (11 bits for +-2047);
                    // AC symbols carry the coefficient's category in their low 4 bits (10 for +-1023).
                    for (const uint8_t dc : TableSymbols(sink.bytes, 0)) EXPECT_LE(dc, 11);
                    for (const uint8_t ac : TableSymbols(sink.bytes, 1)) EXPECT_LE(ac & 15, 10);
                    const Decoded d = DecodeWithDjpeg(sink.bytes);
                    ASSERT_TRUE(d.ok) << d.warnings;
                    EXPECT_EQ(d.warnings, "");
                    // Away from the colour edges the cells come back in their own colour.
                    for (int y = cell / 2; y < source.height; y += cell) {
                        for (int x = cell / 2; x < source.width; x += cell) {
                            for (int c = 0; c < 3; ++c)
                                ASSERT_NEAR(d.picture.Pixel(x, y)[c], source.Pixel(x, y)[c], 40)
                                    << "pixel " << x << "," << y << " channel " << c;
                        }
                    }
                }
            }
        }
    }
}

// The transform itself never leaves the baseline ranges, whatever the
// samples: chroma overshooting its nominal range by the filter's gain, at
// steps of 1, in flat and in busy blocks.
TEST(JpegBaselineTest, QuantisedCoefficientsStayWithinTheBaselineRanges) {
    std::array<uint8_t, 64> ones{};
    ones.fill(1);
    std::array<float, 64> plain{};
    plain.fill(0.5f);
    const Quantizer q = MakeQuantizer(ones, plain);
    constexpr int kOvershoot = 1300;  // 162.5 sample levels with 3 fraction bits
    test::TestRandom rnd(3);
    int widestAc = 0, widestDc = 0;
    for (int trial = 0; trial < 400; ++trial) {
        int16_t block[64];
        for (int i = 0; i < 64; ++i) {
            const int x = i % 8, y = i / 8;
            switch (trial % 4) {
                case 0: block[i] = static_cast<int16_t>(trial % 8 < 4 ? kOvershoot : -kOvershoot); break;
                case 1: block[i] = static_cast<int16_t>(x < 4 ? kOvershoot : -kOvershoot); break;  // strongest low AC
                case 2: block[i] = static_cast<int16_t>((x + y) % 2 ? kOvershoot : -kOvershoot); break;
                default: block[i] = static_cast<int16_t>(rnd.Range(-kOvershoot, kOvershoot)); break;
            }
        }
        alignas(16) int16_t out[64];
        ForwardDctQuantize(block, 8, q, out);
        widestDc = std::max(widestDc, std::abs(int{out[0]}));
        EXPECT_GE(out[0], -1024);
        EXPECT_LE(out[0], 1023);
        for (int i = 1; i < 64; ++i) {
            widestAc = std::max(widestAc, std::abs(int{out[i]}));
            ASSERT_LE(std::abs(int{out[i]}), 1023) << "trial " << trial << " coefficient " << i;
        }
    }
    // The inputs do reach the limits (the clamp is exercised, not merely unneeded).
    EXPECT_GE(widestDc, 1023);
    EXPECT_GE(widestAc, 1023);
}

}  // namespace
}  // namespace px::jpeg
