#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/AnnotationText.h"

namespace px {

using Lines = std::vector<std::wstring>;

TEST(AnnotationText, TextSplitsIntoLinesAtEveryKindOfBreak) {
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

TEST(AnnotationText, SizeFieldIsEmptyValidOrInvalid) {
    using K = FontSizeField::Kind;
    struct Case {
        const wchar_t* text;
        K kind;
        double points;
    } cases[] = {
        {L"", K::Empty, 0},       {L"8", K::Valid, 8},         {L"12", K::Valid, 12},
        {L" 14 ", K::Valid, 14},  {L"10.5", K::Valid, 10.5},   {L"8.", K::Valid, 8},
        {L"+9", K::Valid, 9},     {L"1e1", K::Valid, 10},      {L"1", K::Valid, 1},
        {L"1638", K::Valid, 1638},
        {L"abc", K::Invalid, 0},  {L"8a", K::Invalid, 0},      {L"a8", K::Invalid, 0},
        {L" ", K::Invalid, 0},    {L".", K::Invalid, 0},       {L"1e", K::Invalid, 0},
        {L"-8", K::Invalid, 0},   {L"0", K::Invalid, 0},       {L"0.5", K::Invalid, 0},
        {L"1639", K::Invalid, 0}, {L"1e400", K::Invalid, 0},   {L"8,5", K::Invalid, 0},
        {L"1.2.3", K::Invalid, 0},
    };
    for (auto& c : cases) {
        FontSizeField f = ParseFontSizeField(c.text);
        EXPECT_EQ(f.kind, c.kind) << testing::PrintToString(c.text);
        if (c.kind == K::Valid) {
            EXPECT_DOUBLE_EQ(f.points, c.points) << testing::PrintToString(c.text);
        }
    }
}

TEST(AnnotationText, FontHeightsRoundTiesToEven) {
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

TEST(AnnotationText, StyleBoxesToggleOnTheTextBoxFont) {
    using namespace px::FontStyleBit;
    struct Case {
        int style, bit;
        StyleToggle result;
    } cases[] = {
        {0, Bold, {Bold, true}},
        {Bold, Bold, {0, false}},
        {Bold | Italic, Italic, {Bold, false}},
        {Italic, Underline, {Italic | Underline, true}},
        {Bold | Italic | Underline | Strikeout, Strikeout, {Bold | Italic | Underline, false}},
    };
    for (auto& c : cases) EXPECT_EQ(ToggleFontStyle(c.style, c.bit), c.result) << c.style << "/" << c.bit;
}

TEST(AnnotationText, PenPreviewCentreRoundsHalvesToEven) {
    struct Case {
        int w, h;
        px::Point c;
    } cases[] = {{24, 24, {12, 12}}, {25, 23, {12, 12}}, {27, 21, {14, 10}}, {1, 3, {0, 2}}, {0, 0, {0, 0}}};
    for (auto& c : cases) EXPECT_EQ(PenPreviewCentre(c.w, c.h), c.c) << c.w << "x" << c.h;
}

}  // namespace px
