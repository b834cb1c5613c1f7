#pragma once
// The keys that can start "Capture Selection" from anywhere, in the order they
// are offered: Print Screen first; when another program holds a key, the user
// is offered the next one. Nothing is kept between runs: every start begins
// again with Print Screen.
#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace px {

struct CaptureHotkeyChoice {
    unsigned modifiers;   // the platform's hotkey modifier bits: 1 Alt, 2 Ctrl, 4 Shift
    unsigned virtualKey;
    const wchar_t* name;  // as the user reads it
};

inline constexpr unsigned kHotkeyAlt = 1, kHotkeyCtrl = 2, kHotkeyShift = 4;
inline constexpr unsigned kVkSnapshot = 0x2C;  // Print Screen

inline constexpr CaptureHotkeyChoice kCaptureHotkeys[] = {
    {0, kVkSnapshot, L"Print Screen"},
    {kHotkeyCtrl, kVkSnapshot, L"Ctrl+Print Screen"},
    {kHotkeyCtrl | kHotkeyShift, 'S', L"Ctrl+Shift+S"},
};

// The key offered after the one at `taken` was found held by another program; none after the last.
std::optional<size_t> NextCaptureHotkey(size_t taken);

// The message when the key at `taken` could not be had: it names the key and
// offers the next one (a yes/no question), or, after the last, says the
// program runs without a capture key.
std::wstring CaptureHotkeyTakenText(size_t taken);

}  // namespace px
