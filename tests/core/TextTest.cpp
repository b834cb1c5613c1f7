// UTF-8 <-> wide text, the conversion the JPEG file names and settings rest on.
#include <gtest/gtest.h>

#include <string>

#include "base/Text.h"

namespace {
struct Case {
    const char* name;
    std::string utf8;
    std::u32string points;
};

std::wstring Wide(const std::u32string& points) {
    std::wstring w;
    for (char32_t c : points) {
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            w.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            w.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            w.push_back(static_cast<wchar_t>(c));
        }
    }
    return w;
}
}  // namespace

TEST(Text, WellFormedTextRoundTrips) {
    const Case cases[] = {
        {"empty", "", U""},
        {"ascii", "C:\\Pictures\\a.jpg", U"C:\\Pictures\\a.jpg"},
        {"two bytes", "\xC3\xA9t\xC3\xA9", U"\u00E9t\u00E9"},
        {"three bytes", "\xE2\x82\xAC 5", U"\u20AC 5"},
        {"four bytes", "\xF0\x9F\x93\xB7", U"\U0001F4F7"},
        {"edges", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF4\x8F\xBF\xBF",
         U"\u007F\u0080\u07FF\u0800\uFFFF\U0010FFFF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(px::Widen(c.utf8), Wide(c.points)) << c.name;
        EXPECT_EQ(px::Narrow(Wide(c.points)), c.utf8) << c.name;
    }
}

TEST(Text, MalformedBytesBecomeReplacementWithoutLosingWhatFollows) {
    const Case cases[] = {
        {"stray continuation", "a\x80z", U"a\uFFFDz"},
        {"truncated at end", "a\xE2\x82", U"a\uFFFD\uFFFD"},
        {"lead then ascii", "\xC3" "A", U"\uFFFDA"},
        {"overlong slash", "\xC0\xAF", U"\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"invalid lead", "\xFFok", U"\uFFFDok"},
    };
    for (const Case& c : cases) EXPECT_EQ(px::Widen(c.utf8), Wide(c.points)) << c.name;
}

TEST(Text, LoneSurrogateNarrowsToReplacement) {
    std::wstring w = L"x";
    w.push_back(static_cast<wchar_t>(0xD800));
    w += L"y";
    EXPECT_EQ(px::Narrow(w), "x\xEF\xBF\xBDy");
}
