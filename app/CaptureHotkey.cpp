#include "app/CaptureHotkey.h"

#include "app/core/CaptureHotkeyChoice.h"
#include "app/frmDesktopImageLook.h"

namespace px {

bool CaptureHotkey::AskWithMessageBox(HWND owner, size_t takenIndex) {
    const std::wstring text = CaptureHotkeyTakenText(takenIndex);
    if (!NextCaptureHotkey(takenIndex)) {
        ::MessageBoxW(owner, text.c_str(), look::kCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    return ::MessageBoxW(owner, text.c_str(), look::kCaption, MB_YESNO | MB_ICONWARNING) == IDYES;
}

bool CaptureHotkey::Register(HWND owner, const Question& ask) {
    Unregister();
    size_t index = 0;
    for (;;) {
        const CaptureHotkeyChoice& key = kCaptureHotkeys[index];
        if (::RegisterHotKey(owner, kId, key.modifiers, key.virtualKey)) {
            owner_ = owner;
            current_ = index;
            return true;
        }
        // Taken (or refused by the platform): say so, and offer the next key if there is one.
        const bool accepted = ask ? ask(owner, index) : AskWithMessageBox(owner, index);
        const auto next = NextCaptureHotkey(index);
        if (!accepted || !next) return false;
        index = *next;
    }
}

void CaptureHotkey::Unregister() {
    if (current_ && owner_ && ::IsWindow(owner_)) ::UnregisterHotKey(owner_, kId);
    current_.reset();
    owner_ = nullptr;
}

}  // namespace px
