#pragma once
// The keys that can start "Capture Selection" from anywhere when the user has
// not chosen one to use at every start (or that one cannot be had), in the
// order they are offered: Print Screen first; when another program holds a
// key, the user is offered the next one.
#include <cstddef>
#include <optional>
#include <string>

#include "app/core/CaptureKey.h"

namespace px {

inline constexpr CaptureKey kCaptureHotkeys[] = {
    kDefaultCaptureKey,
    {kHotkeyCtrl, kVkSnapshot},
    {kHotkeyCtrl | kHotkeyShift, 'S'},
};

// The key offered after the one at `taken` was found held by another program; none after the last.
std::optional<size_t> NextCaptureHotkey(size_t taken);

// The message when the key at `taken` could not be had: it names the key and
// offers the next one (a yes/no question), or, after the last, says the
// program runs without a capture key.
std::wstring CaptureHotkeyTakenText(size_t taken);

}  // namespace px
