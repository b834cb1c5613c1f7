// The GIF export window's number fields, depth, size estimates, label
// formats and marker arithmetic.
#include <gtest/gtest.h>

#include <cstdint>

#include "export/core/GifExportRules.h"

namespace px {
namespace {

TEST(GifExportRules, NumberFieldsKeepLeadingDigitsAndClamp) {
    const struct {
        const wchar_t* text;
        const wchar_t* digits;
        int32_t weight;   // 0..1000
        int32_t entries;  // 8..256
    } cases[] = {
        {L"", L"", 0, 8},
        {L"360", L"360", 360, 256},
        {L"2000", L"2000", 1000, 256},
        {L"12abc", L"12", 12, 12},
        {L"abc12", L"", 0, 8},
        {L"3", L"3", 3, 8},
        {L"99999999999999999999999", L"99999999999999999999999", 1000, 256},
        {L"0007", L"0007", 7, 8},
        {L"1/2", L"1", 1, 8},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LeadingDigits(c.text), c.digits) << c.text;
        EXPECT_EQ(DigitsValue(c.text, 0, 1000), c.weight) << c.text;
        EXPECT_EQ(DigitsValue(c.text, 8, 256), c.entries) << c.text;
    }
}

TEST(GifExportRules, VirtualDepthFollowsTheEntriesInUse) {
    const struct {
        int32_t count;
        uint8_t depth;
    } cases[] = {{0, 1}, {2, 1}, {3, 4}, {16, 4}, {17, 8}, {27, 8}, {256, 8}, {257, 32}};
    for (const auto& c : cases) EXPECT_EQ(VirtualDepth(c.count, 32), c.depth) << c.count;
}

TEST(GifExportRules, SizeEstimatesAreUncompressedBitmapFiles) {
    EXPECT_EQ(Bitmap24FileSize(100, 50), 15054);  // 300-byte rows
    EXPECT_EQ(Bitmap24FileSize(203, 117), 612 * 117 + 54);
    EXPECT_EQ(Bitmap24FileSize(0, 0), 54);
    EXPECT_EQ(PaletteBitmapFileSize(1, 100, 50), 862);
    EXPECT_EQ(PaletteBitmapFileSize(4, 100, 50), 64 + 54 + 52 * 50);
    EXPECT_EQ(PaletteBitmapFileSize(8, 100, 50), 1024 + 54 + 100 * 50);
    EXPECT_EQ(Bitmap24FileSize(40000, 40000), int64_t{120000} * 40000 + 54);  // no 32-bit overflow
}

TEST(GifExportRules, LabelFormats) {
    const struct {
        int64_t value;
        const wchar_t* text;
    } cases[] = {{0, L""}, {7, L"7"}, {862, L"862"}, {1000, L"1,000"}, {15054, L"15,054"}, {1234567, L"1,234,567"},
                 {-4321, L"-4,321"},
                 // Found by fuzzing: the most negative value was negated past the range.
                 {INT64_MIN, L"-9,223,372,036,854,775,808"}, {INT64_MAX, L"9,223,372,036,854,775,807"}};
    for (const auto& c : cases) EXPECT_EQ(FormatThousands(c.value), c.text) << c.value;
    EXPECT_EQ(FormatZoom(1), L"100%");
    EXPECT_EQ(FormatZoom(10), L"1000%");
}

TEST(GifExportRules, MarkerAndEntryAgree) {
    EXPECT_EQ(EntryAtMarker({24, 16}), 35);
    EXPECT_EQ(MarkerPosition(35), (GridPoint{24, 16}));
    for (int32_t e = 0; e < 256; ++e) EXPECT_EQ(EntryAtMarker(MarkerPosition(e)), e);
    EXPECT_EQ(MarkerPosition(255), (GridPoint{120, 120}));
}

}  // namespace
}  // namespace px
