#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <utility>

#include "app/core/CaptureHotkeyChoice.h"

namespace px {

TEST(CaptureHotkeyChoice, PrintScreenFirstThenDistinctAlternatives) {
    EXPECT_EQ(kCaptureHotkeys[0].virtualKey, 0x2Cu);
    EXPECT_EQ(kCaptureHotkeys[0].modifiers, 0u);
    std::set<std::pair<unsigned, unsigned>> keys;
    for (const auto& k : kCaptureHotkeys) {
        EXPECT_TRUE(keys.insert({k.modifiers, k.virtualKey}).second) << "offered twice: " << k.virtualKey;
        EXPECT_EQ(k.modifiers & ~(kHotkeyAlt | kHotkeyCtrl | kHotkeyShift), 0u);
    }
}

TEST(CaptureHotkeyChoice, EachRefusalOffersTheNextUntilNoneIsLeft) {
    const size_t n = std::size(kCaptureHotkeys);
    for (size_t i = 0; i + 1 < n; ++i) EXPECT_EQ(NextCaptureHotkey(i), i + 1);
    EXPECT_EQ(NextCaptureHotkey(n - 1), std::nullopt);
    EXPECT_EQ(NextCaptureHotkey(n + 5), std::nullopt);
}

TEST(CaptureHotkeyChoice, MessageNamesTheTakenKeyAndTheOffer) {
    const std::wstring first = CaptureHotkeyTakenText(0);
    EXPECT_EQ(first,
              L"The key Print Screen is already taken by another program, so it cannot start \"Capture Selection\"."
              L"\r\n\r\nUse Ctrl+Print Screen instead?");
    const std::wstring second = CaptureHotkeyTakenText(1);
    EXPECT_NE(second.find(L"The key Ctrl+Print Screen is already taken"), std::wstring::npos);
    EXPECT_NE(second.find(L"Use Ctrl+Shift+S instead?"), std::wstring::npos);
    const std::wstring last = CaptureHotkeyTakenText(std::size(kCaptureHotkeys) - 1);
    EXPECT_NE(last.find(L"The key Ctrl+Shift+S is already taken"), std::wstring::npos);
    EXPECT_EQ(last.find(L"instead?"), std::wstring::npos) << "nothing is left to offer";
    EXPECT_NE(last.find(L"no capture key"), std::wstring::npos);
    EXPECT_TRUE(CaptureHotkeyTakenText(std::size(kCaptureHotkeys)).empty());
}

}  // namespace px
