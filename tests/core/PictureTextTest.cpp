#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/core/PictureText.h"

namespace px {

using Lines = std::vector<std::wstring>;

TEST(PictureText, TextSplitsIntoLinesAtEveryKindOfBreak) {
    struct Case {
        const wchar_t* text;
        Lines lines;
    } cases[] = {
        {L"", {}},
        {L"one", {L"one"}},
        {L"Type Text Here\r\n", {L"Type Text Here"}},
        {L"first\r\nsecond", {L"first", L"second"}},
        {L"a\nb\rc\r\nd", {L"a", L"b", L"c", L"d"}},
        {L"a\r\n\r\nb", {L"a", L"", L"b"}},
        {L"\r\nb", {L"", L"b"}},
        {L"a\r\n\r\n", {L"a", L""}},
        {L"\n\r", {L"", L""}},  // LF then a lone CR: two empty lines
    };
    for (auto& c : cases) EXPECT_EQ(SplitTextLines(c.text), c.lines) << "text: " << testing::PrintToString(c.text);
}

TEST(PictureText, FontHeightsRoundTiesToEven) {
    struct Case {
        double points;
        int dpi, height;
    } cases[] = {
        {8, 96, -11},   // 10.667
        {12, 96, -16},  // exact
        {10.5, 96, -14},
        {7.5, 96, -10},  // exactly 10
        {3.75, 144, -8},  // 7.5 -> 8
        {4.25, 144, -8},  // 8.5 -> 8
        {4.75, 144, -10}, // 9.5 -> 10
    };
    for (auto& c : cases) EXPECT_EQ(FontCharacterHeight(c.points, c.dpi), c.height) << c.points << "pt @" << c.dpi;
}

}  // namespace px
