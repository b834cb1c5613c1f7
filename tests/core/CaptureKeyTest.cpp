// Capture keys: names, which keys may be used, the hotkey control's word and
// the stored DWORD (including values a hand or an older build left broken).
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <optional>

#include "app/core/CaptureHotkeyChoice.h"
#include "app/core/CaptureKey.h"

namespace px {

namespace {
constexpr unsigned kCtrl = kHotkeyCtrl, kAlt = kHotkeyAlt, kShift = kHotkeyShift;
constexpr unsigned kF1 = 0x70, kF9 = 0x78, kF24 = 0x87, kHome = 0x24, kNum5 = 0x65, kOemMinus = 0xBD;
}  // namespace

TEST(CaptureKey, NamesModifiersInAFixedOrderBeforeTheKey) {
    const struct {
        CaptureKey key;
        const wchar_t* name;
    } rows[] = {
        {{0, kVkSnapshot}, L"Print Screen"},
        {{kCtrl, kVkSnapshot}, L"Ctrl+Print Screen"},
        {{kCtrl | kShift, 'S'}, L"Ctrl+Shift+S"},
        {{kShift | kAlt | kCtrl, '7'}, L"Ctrl+Alt+Shift+7"},
        {{kAlt, kF1}, L"Alt+F1"},
        {{kCtrl | kShift, kF9}, L"Ctrl+Shift+F9"},
        {{0, kF24}, L"F24"},
        {{kCtrl, kNum5}, L"Ctrl+Num 5"},
        {{kCtrl, kHome}, L"Ctrl+Home"},
        {{kAlt, kOemMinus}, L"Alt+-"},
        {{kCtrl, 0x07}, L""},  // no such key
        {{kCtrl, 0x10}, L""},  // Shift itself is no key to press with Ctrl
        {{kCtrl, 0}, L""},
    };
    for (const auto& r : rows) EXPECT_EQ(CaptureKeyName(r.key), r.name) << r.key.modifiers << "/" << r.key.virtualKey;
}

TEST(CaptureKey, TheOfferedKeysAreNamedAsTheirMessagesSay) {
    EXPECT_EQ(CaptureKeyName(kCaptureHotkeys[0]), L"Print Screen");
    EXPECT_EQ(CaptureKeyName(kCaptureHotkeys[1]), L"Ctrl+Print Screen");
    EXPECT_EQ(CaptureKeyName(kCaptureHotkeys[2]), L"Ctrl+Shift+S");
    for (const CaptureKey& k : kCaptureHotkeys) EXPECT_EQ(CheckCaptureKey(k), CaptureKeyVerdict::Usable);
}

TEST(CaptureKey, KeysThatTypeNeedCtrlOrAlt) {
    using V = CaptureKeyVerdict;
    const struct {
        CaptureKey key;
        V verdict;
    } rows[] = {
        {{0, kVkSnapshot}, V::Usable},     {{0, kF1}, V::Usable},
        {{0, kF24}, V::Usable},            {{kShift, kF9}, V::Usable},
        {{kCtrl, 'A'}, V::Usable},         {{kAlt, '1'}, V::Usable},
        {{kCtrl | kShift, 'S'}, V::Usable}, {{kCtrl, kHome}, V::Usable},
        {{0, 'A'}, V::NeedsModifier},      {{kShift, 'A'}, V::NeedsModifier},
        {{0, '5'}, V::NeedsModifier},      {{0, 0x20}, V::NeedsModifier},
        {{0, kHome}, V::NeedsModifier},    {{kShift, kOemMinus}, V::NeedsModifier},
        {{0, kNum5}, V::NeedsModifier},    {{0, 0x0D}, V::NeedsModifier},
        {{0, 0}, V::NoKey},                {{kCtrl | kAlt, 0}, V::NoKey},
        {{kCtrl, 0x11}, V::UnknownKey},    {{kCtrl, 0xFF}, V::UnknownKey},
        {{8, 'A'}, V::UnknownKey},  // the Windows key: not one the control gives, nor one we store
        {{0x10 | kCtrl, 'A'}, V::UnknownKey},
    };
    for (const auto& r : rows)
        EXPECT_EQ(CheckCaptureKey(r.key), r.verdict) << r.key.modifiers << "/" << r.key.virtualKey;
}

TEST(CaptureKey, RefusalsSayWhyAndNameTheKey) {
    EXPECT_TRUE(CaptureKeyRefusalText({kCtrl, 'A'}, CaptureKeyVerdict::Usable).empty());
    const std::wstring typing = CaptureKeyRefusalText({kShift, 'A'}, CaptureKeyVerdict::NeedsModifier);
    EXPECT_NE(typing.find(L"The key Shift+A is part of typing"), std::wstring::npos) << typing;
    EXPECT_NE(typing.find(L"Ctrl or Alt"), std::wstring::npos);
    EXPECT_NE(CaptureKeyRefusalText({}, CaptureKeyVerdict::NoKey).find(L"Press the key"), std::wstring::npos);
    EXPECT_NE(CaptureKeyRefusalText({kCtrl, 0xFF}, CaptureKeyVerdict::UnknownKey).find(L"cannot start"),
              std::wstring::npos);
}

TEST(CaptureKey, TakenMessageNamesTheWantedKeyAndTheOneKept) {
    EXPECT_EQ(CaptureKeyTakenText({kCtrl | kShift, kF9}, kDefaultCaptureKey),
              L"The key Ctrl+Shift+F9 is already taken by another program, so it cannot start \"Capture Selection\"."
              L"\r\n\r\nThe capture key stays Print Screen.");
    const std::wstring none = CaptureKeyTakenText({kAlt, 'P'}, std::nullopt);
    EXPECT_NE(none.find(L"The key Alt+P is already taken"), std::wstring::npos);
    EXPECT_NE(none.find(L"There is no capture key."), std::wstring::npos);
}

TEST(CaptureKey, HotkeyControlWordRoundTripsAndDropsTheExtendedBit) {
    const struct {
        uint16_t word;
        CaptureKey key;
    } rows[] = {
        {0x002C, {0, kVkSnapshot}},
        {0x0141, {kShift, 'A'}},
        {0x0253, {kCtrl, 'S'}},
        {0x0470, {kAlt, kF1}},
        {0x0378, {kCtrl | kShift, kF9}},
        {0x0737, {kCtrl | kAlt | kShift, '7'}},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(CaptureKeyFromHotkeyControl(r.word), r.key) << r.word;
        EXPECT_EQ(HotkeyControlWord(r.key), r.word) << r.word;
    }
    // The extended-key flag (Home on the editing block, not the number pad) is not part of a hotkey.
    EXPECT_EQ(CaptureKeyFromHotkeyControl(0x0A24), (CaptureKey{kCtrl, kHome}));
}

TEST(CaptureKey, StoredValueRoundTripsEveryUsableKey) {
    const CaptureKey keys[] = {{0, kVkSnapshot}, {kCtrl | kShift, kF9}, {kAlt, 'Z'}, {kCtrl | kAlt | kShift, '0'}};
    for (const CaptureKey& k : keys) {
        const uint32_t v = EncodeStoredCaptureKey(k);
        EXPECT_EQ(v, (k.modifiers << 8) | k.virtualKey) << "low byte key, next byte modifiers";
        EXPECT_EQ(DecodeStoredCaptureKey(v), k) << v;
    }
}

TEST(CaptureKey, BrokenStoredValuesGiveNoKey) {
    const uint32_t broken[] = {
        0,           // empty
        0x0600,      // modifiers without a key
        0x0041,      // a plain letter: refused as a choice, refused when read back
        0x0441,      // Shift+A
        0x0841,      // the Windows key's bit
        0x1041,      // an unknown modifier bit
        0x02FF,      // a key we do not name
        0x10253,     // a bit beyond the two bytes
        0xFFFFFFFF,  // garbage
    };
    for (uint32_t v : broken) EXPECT_EQ(DecodeStoredCaptureKey(v), std::nullopt) << std::hex << v;
}

}  // namespace px
