#include <gtest/gtest.h>

#include <string>

#include "app/core/AnnotationText.h"

namespace px {

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
