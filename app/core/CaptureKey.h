#pragma once
// A capture key as the platform's hotkey table takes it (modifier bits and a
// virtual key): its name as the user reads it ("Ctrl+Shift+S"), the rule for
// which keys may start a capture from anywhere, the hotkey control's way of
// writing a key, and the form in which a key chosen "at every start" is stored
// (a DWORD under the user's own registry key).
#include <cstdint>
#include <optional>
#include <string>

namespace px {

inline constexpr unsigned kHotkeyAlt = 1, kHotkeyCtrl = 2, kHotkeyShift = 4;  // the platform's hotkey modifier bits
inline constexpr unsigned kVkSnapshot = 0x2C;                                 // Print Screen

struct CaptureKey {
    unsigned modifiers = 0;  // kHotkeyAlt | kHotkeyCtrl | kHotkeyShift
    unsigned virtualKey = 0;
    friend constexpr bool operator==(const CaptureKey&, const CaptureKey&) = default;
};

inline constexpr CaptureKey kDefaultCaptureKey{0, kVkSnapshot};

// "Ctrl+Alt+Shift+" before the key's own name; empty when the key has no name here.
std::wstring CaptureKeyName(CaptureKey key);

enum class CaptureKeyVerdict {
    Usable,
    NoKey,          // nothing chosen (or a modifier alone)
    UnknownKey,     // a key this program does not name or a modifier bit it does not know
    NeedsModifier,  // would be taken from every program as the user types
};
// Without Ctrl or Alt only Print Screen and the function keys may be used:
// a letter, digit or editing key alone (or with Shift alone) is part of typing.
CaptureKeyVerdict CheckCaptureKey(CaptureKey key);
// What the user is told when a key is refused; empty for a usable key.
std::wstring CaptureKeyRefusalText(CaptureKey key, CaptureKeyVerdict verdict);
// The message when another program holds `wanted`; the program keeps `kept` (none when nullopt).
std::wstring CaptureKeyTakenText(CaptureKey wanted, std::optional<CaptureKey> kept);

// The hotkey control's word: low byte the virtual key, high byte its own
// modifier bits (1 Shift, 2 Ctrl, 4 Alt, 8 extended key, which is dropped).
CaptureKey CaptureKeyFromHotkeyControl(uint16_t word);
uint16_t HotkeyControlWord(CaptureKey key);

// The stored value: low byte the virtual key, next byte the modifier bits.
uint32_t EncodeStoredCaptureKey(CaptureKey key);
// A stored value that does not hold a usable key (zero, bits beyond the two
// bytes, unknown modifier bits, a key refused above) gives nullopt.
std::optional<CaptureKey> DecodeStoredCaptureKey(uint32_t value);

// Where the key is stored, under the current user's key.
inline constexpr wchar_t kSettingsRegistryKey[] = L"Software\\Orvo Pixtrel";
inline constexpr wchar_t kCaptureKeyValueName[] = L"CaptureKey";

}  // namespace px
