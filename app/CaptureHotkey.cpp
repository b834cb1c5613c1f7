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

bool CaptureHotkey::TryKey(CaptureKey key) {
    if (!owner_ || !::RegisterHotKey(owner_, kId, key.modifiers, key.virtualKey)) return false;
    current_ = key;
    return true;
}

bool CaptureHotkey::Register(HWND owner, const Question& ask) {
    Unregister();
    owner_ = owner;
    size_t index = 0;
    for (;;) {
        if (TryKey(kCaptureHotkeys[index])) return true;
        // Taken (or refused by the platform): say so, and offer the next key if there is one.
        const bool accepted = ask ? ask(owner, index) : AskWithMessageBox(owner, index);
        const auto next = NextCaptureHotkey(index);
        if (!accepted || !next) return false;
        index = *next;
    }
}

bool CaptureHotkey::RegisterPreferred(HWND owner, CaptureKey preferred, const Question& ask) {
    Unregister();
    owner_ = owner;
    return TryKey(preferred) || Register(owner, ask);
}

bool CaptureHotkey::Change(CaptureKey key) {
    const std::optional<CaptureKey> before = current_;
    if (before == key) return true;
    ReleaseKey();
    if (TryKey(key)) return true;
    if (before) TryKey(*before);
    return false;
}

void CaptureHotkey::ReleaseKey() {
    if (current_ && owner_ && ::IsWindow(owner_)) ::UnregisterHotKey(owner_, kId);
    current_.reset();
}

void CaptureHotkey::Unregister() {
    ReleaseKey();
    owner_ = nullptr;
}

}  // namespace px
