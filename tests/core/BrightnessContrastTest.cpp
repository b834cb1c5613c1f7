#include <gtest/gtest.h>

#include <random>

#include "base/Rounding.h"
#include "imaging/core/BrightnessContrast.h"
#include "imaging/core/GeneralNumberFormat.h"
#include "tests/core/PixelPictures.h"

namespace px {
namespace {

using test::Picture24;

uint8_t Through(int32_t contrastSlider, int32_t brightnessSlider, uint8_t byte) {
    Picture24 src(1, 1, byte), dst(1, 1);
    cBrightnessContrast bc;
    bc.Contrast(ContrastFromSlider(contrastSlider));
    bc.Brightness(BrightnessFromSlider(brightnessSlider));
    bc.process(src.bits(), dst.bits());
    return dst.bytes[0];
}

TEST(BrightnessContrast, SliderPositionsGiveTheDocumentedBytes) {
    const struct {
        int32_t contrast, brightness;
        uint8_t in, out;
    } cases[] = {
        {0, 255, 0, 102},    // 0.2 x -128 + 128 = 102.4
        {0, 255, 255, 153},  // 153.4
        {200, 255, 100, 0},  // -12 clamped
        {200, 255, 160, 255},
        {200, 255, 128, 128},
        {100, 510, 0, 255},  // brightness +255
        {100, 0, 255, 0},    // brightness -255
        {75, 255, 129, 128}, // 128.5 -> even neighbour
        {75, 255, 131, 130}, // 129.5 -> even neighbour
        {75, 255, 130, 129}, // 129 exactly
        {125, 300, 10, 0},   // factor 2: -108 + 45 clamped
        {125, 300, 140, 197},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Through(c.contrast, c.brightness, c.in), c.out)
            << "contrast " << c.contrast << " brightness " << c.brightness << " byte " << int(c.in);
}

TEST(BrightnessContrast, StartPositionCopiesEveryByte) {
    Picture24 src(7, 5), dst(7, 5, 1);
    for (size_t i = 0; i < src.bytes.size(); ++i) src.bytes[i] = static_cast<uint8_t>(i * 37);
    cBrightnessContrast bc;
    bc.Contrast(ContrastFromSlider(100));
    bc.Brightness(BrightnessFromSlider(255));
    bc.process(src.bits(), dst.bits());
    // width 7: 21 colour bytes + 3 padding bytes, a whole step of 3, so all 24 are processed
    EXPECT_EQ(dst.bytes, src.bytes);
}

TEST(BrightnessContrast, ZeroContrastMakesEveryByte128PlusBrightness) {
    Picture24 src(3, 2), dst(3, 2);
    for (size_t i = 0; i < src.bytes.size(); ++i) src.bytes[i] = static_cast<uint8_t>(i * 11);
    cBrightnessContrast bc;  // contrast starts at 0
    bc.Brightness(10);
    bc.process(src.bits(), dst.bits());
    for (uint8_t b : dst.bytes) EXPECT_EQ(b, 138);
}

TEST(BrightnessContrast, PaddingIsProcessedOnlyWhereAWholeStepOfThreeFits) {
    const struct {
        int32_t width;
        int processed;  // bytes of a row written
    } cases[] = {{1, 3}, {2, 6}, {3, 12}, {4, 12}, {5, 15}};
    for (const auto& c : cases) {
        Picture24 src(c.width, 2, 0), dst(c.width, 2, 7);
        cBrightnessContrast bc;
        bc.Contrast(1.0);
        bc.Brightness(0);
        bc.process(src.bits(), dst.bits());
        for (int row = 0; row < 2; ++row)
            for (int x = 0; x < dst.bps; ++x)
                EXPECT_EQ(dst.at(row, x), x < c.processed ? 0 : 7) << "width " << c.width << " byte " << x;
    }
}

TEST(BrightnessContrast, TableGivesTheSameBytesAsTheDirectArithmetic) {
    std::mt19937 gen(5);
    Picture24 src(61, 17);
    for (auto& b : src.bytes) b = static_cast<uint8_t>(gen());
    for (int32_t cs = 0; cs <= 200; cs += 7) {
        for (int32_t bs : {0, 1, 100, 254, 255, 256, 383, 509, 510}) {
            const double c = ContrastFromSlider(cs);
            const int32_t b = BrightnessFromSlider(bs);
            Picture24 dst(61, 17);
            cBrightnessContrast bc;
            bc.Contrast(c);
            bc.Brightness(b);
            bc.process(src.bits(), dst.bits());
            const size_t covered = 3 * static_cast<size_t>(src.bps / 3);
            for (size_t i = 0; i < src.bytes.size(); ++i) {
                if (i % static_cast<size_t>(src.bps) >= covered) {
                    ASSERT_EQ(dst.bytes[i], 0) << "the last padding byte is not a whole step";
                    continue;
                }
                double v = (src.bytes[i] - 128.0) * c + 128.0;
                v += b;
                v = v > 255.0 ? 255.0 : (v < 0.0 ? 0.0 : v);
                ASSERT_EQ(dst.bytes[i], static_cast<uint8_t>(RoundHalfEvenF(v))) << cs << " " << bs << " " << i;
            }
        }
    }
}

TEST(BrightnessContrast, SmallerDestinationRaisesAfterTheBytesBeforeItInColumnOrder) {
    Picture24 src(2, 3, 50), dst(2, 2, 9);
    cBrightnessContrast bc;
    bc.Contrast(1.0);
    bc.Brightness(1);
    try {
        bc.process(src.bits(), dst.bits());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::SubscriptOutOfRange);
    }
    // column 0 (bytes 0..2) of rows 0 and 1 was written, then row 2 failed
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.at(row, x), x < 3 ? 51 : 9) << row << "," << x;
}

TEST(BrightnessContrast, EmptySourceDoesNothing) {
    Picture24 dst(2, 2, 9);
    cBrightnessContrast bc;
    bc.process(Dib24Bits{}, dst.bits());
    for (uint8_t b : dst.bytes) EXPECT_EQ(b, 9);
}

TEST(BrightnessContrast, SliderMappings) {
    const struct {
        int32_t slider;
        double factor;
    } contrast[] = {{0, 0.2}, {75, 0.5}, {99, 1.0 / 1.04}, {100, 1.0}, {125, 2.0}, {200, 5.0}};
    for (const auto& c : contrast) EXPECT_DOUBLE_EQ(ContrastFromSlider(c.slider), c.factor) << c.slider;
    EXPECT_EQ(ContrastFromSlider(100), 1.0);
    EXPECT_EQ(BrightnessFromSlider(0), -255);
    EXPECT_EQ(BrightnessFromSlider(255), 0);
    EXPECT_EQ(BrightnessFromSlider(510), 255);
}

TEST(GeneralNumberFormat, FifteenDigitsNoTrailingZerosUserSeparator) {
    const struct {
        double value;
        const char* sep;
        const char* text;
    } cases[] = {
        {ContrastFromSlider(99), ".", "0.961538461538462"},
        {ContrastFromSlider(100), ".", "1"},
        {ContrastFromSlider(0), ".", "0.2"},
        {ContrastFromSlider(1), ".", "0.201612903225806"},
        {ContrastFromSlider(200), ".", "5"},
        {ContrastFromSlider(101), ",", "1,04"},
        {0.1 + 0.2, ".", "0.3"},
        {-2.5, ".", "-2.5"},
        {0.0001, ".", "0.0001"},
        {0.00001, ".", "1E-05"},
        {123456789012345.0, ".", "123456789012345"},
        {1e15, ".", "1E+15"},
        {-0.0, ".", "0"},
        {1.0 / 3.0, ".", "0.333333333333333"},
        {2.0 / 3.0, ".", "0.666666666666667"},
        {0.9999999999999999, ".", "1"},  // 16 digits, carried into a new digit
        {100.0, ".", "100"},
        {1e14, ".", "100000000000000"},
        {-123.456, ",", "-123,456"},
        {0.00012345, ".", "0.00012345"},
        {2.5e-7, ".", "2.5E-07"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatGeneralNumber(c.value, c.sep), c.text);
}

}  // namespace
}  // namespace px
