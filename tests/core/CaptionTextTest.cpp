#include <gtest/gtest.h>

#include "controls/core/CaptionText.h"

using namespace px;
using namespace px::controls;

namespace {

struct CaptionCase {
    const wchar_t* caption;
    std::vector<std::wstring> lines;
    wchar_t key;
    int keyLine;
    int keyPos;
};

class ParseCaptionTest : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(ParseCaptionTest, LinesAndAccessKey) {
    const CaptionCase& c = GetParam();
    CaptionText t = ParseCaption(c.caption);
    EXPECT_EQ(t.lines, c.lines);
    EXPECT_EQ(t.accessKey, c.key);
    EXPECT_EQ(t.keyLine, c.keyLine);
    EXPECT_EQ(t.keyPos, c.keyPos);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, ParseCaptionTest,
    ::testing::Values(
        CaptionCase{L"", {L""}, 0, -1, -1},
        CaptionCase{L"Continue", {L"Continue"}, 0, -1, -1},
        CaptionCase{L"&File", {L"File"}, L'F', 0, 0},
        CaptionCase{L"Save &As", {L"Save As"}, L'A', 0, 5},
        // Only the last single mark is the key; earlier ones vanish.
        CaptionCase{L"&a&b", {L"ab"}, L'b', 0, 1},
        CaptionCase{L"Fish && Chips", {L"Fish & Chips"}, 0, -1, -1},
        CaptionCase{L"&&&x", {L"&x"}, L'x', 0, 1},
        CaptionCase{L"x&&", {L"x&"}, 0, -1, -1},
        CaptionCase{L"end&", {L"end"}, 0, -1, -1},
        CaptionCase{L"Copy to||Clipboard", {L"Copy to", L"Clipboard"}, 0, -1, -1},
        CaptionCase{L"||", {L"", L""}, 0, -1, -1},
        CaptionCase{L"a|b", {L"a|b"}, 0, -1, -1},
        CaptionCase{L"a|||b", {L"a", L"|b"}, 0, -1, -1},
        CaptionCase{L"One||&Two", {L"One", L"Two"}, L'T', 1, 0},
        CaptionCase{L"&One||T&wo", {L"One", L"Two"}, L'w', 1, 1},
        // A mark right before a line break underlines nothing.
        CaptionCase{L"A&||B", {L"A", L"B"}, 0, -1, -1},
        CaptionCase{L"&|x", {L"|x"}, L'|', 0, 0}));

TEST(CaptionTextTest, MnemonicTitleKeepsOnlyTheKeyMark) {
    struct {
        const wchar_t* caption;
        const wchar_t* title;
    } cases[] = {
        {L"&a&b", L"a&b"},
        {L"Fish && &Chips", L"Fish && &Chips"},
        {L"Copy to||&Clipboard", L"Copy to &Clipboard"},
        {L"plain", L"plain"},
    };
    for (auto& c : cases) EXPECT_EQ(MnemonicTitle(ParseCaption(c.caption)), c.title) << c.caption;
}

TEST(CaptionTextTest, AccessKeyMatchIgnoresCase) {
    CaptionText t = ParseCaption(L"&Save");
    EXPECT_TRUE(MatchesAccessKey(t, L's'));
    EXPECT_TRUE(MatchesAccessKey(t, L'S'));
    EXPECT_FALSE(MatchesAccessKey(t, L'a'));
    EXPECT_TRUE(MatchesAccessKey(ParseCaption(L"&\u00e9t\u00e9"), L'\u00c9'));
    EXPECT_FALSE(MatchesAccessKey(ParseCaption(L"none"), 0));
}

}  // namespace

namespace {

TEST(CaptionTextTest, PrefixedLinesForTextDrawing) {
    CaptionText t = ParseCaption(L"R&&D||&Go");
    EXPECT_EQ(PrefixedLine(t, 0), L"R&&D");
    EXPECT_EQ(PrefixedLine(t, 1), L"&Go");
    EXPECT_EQ(PrefixedLine(t, 2), L"");
}

}  // namespace
