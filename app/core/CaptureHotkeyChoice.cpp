#include "app/core/CaptureHotkeyChoice.h"

#include <iterator>

namespace px {

std::optional<size_t> NextCaptureHotkey(size_t taken) {
    if (taken + 1 >= std::size(kCaptureHotkeys)) return std::nullopt;
    return taken + 1;
}

std::wstring CaptureHotkeyTakenText(size_t taken) {
    if (taken >= std::size(kCaptureHotkeys)) return {};
    std::wstring text = L"The key ";
    text += CaptureKeyName(kCaptureHotkeys[taken]);
    text += L" is already taken by another program, so it cannot start \"Capture Selection\".";
    if (const auto next = NextCaptureHotkey(taken)) {
        text += L"\r\n\r\nUse ";
        text += CaptureKeyName(kCaptureHotkeys[*next]);
        text += L" instead?";
    } else {
        text += L"\r\n\r\nCapture Selection stays on the tray menu and the main window; there is no capture key in this run.";
    }
    return text;
}

}  // namespace px
