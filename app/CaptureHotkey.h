#pragma once
// The system-wide key that starts "Capture Selection": registered on the main
// window (WM_HOTKEY arrives there with kId). A key the user chose to keep is
// tried first; then Print Screen, and when another program holds it, a message
// says so and offers the next key of app/core/CaptureHotkeyChoice, until the
// user declines or none is left. The key can be changed while the program runs.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>

#include "app/core/CaptureKey.h"

namespace px {

class CaptureHotkey {
public:
    static constexpr int kId = 0x5043;  // WM_HOTKEY's wParam

    // Asks the user whether to take the next key; the default shows a yes/no message box owned by `owner`.
    using Question = std::function<bool(HWND owner, size_t takenIndex)>;

    CaptureHotkey() = default;
    ~CaptureHotkey() { Unregister(); }
    CaptureHotkey(const CaptureHotkey&) = delete;
    CaptureHotkey& operator=(const CaptureHotkey&) = delete;

    // Registers the first key that can be had and the user accepts; false when none.
    bool Register(HWND owner, const Question& ask = {});
    // `preferred` when no other program holds it, without a question; else as Register.
    bool RegisterPreferred(HWND owner, CaptureKey preferred, const Question& ask = {});
    // Gives up the key held for `key`. When `key` cannot be had, the key held
    // before is taken back and false returned. Needs an earlier Register (the owner).
    bool Change(CaptureKey key);
    void Unregister();
    // The key held, if any.
    std::optional<CaptureKey> Current() const noexcept { return current_; }

private:
    static bool AskWithMessageBox(HWND owner, size_t takenIndex);
    bool TryKey(CaptureKey key);
    void ReleaseKey();  // keeps the owner
    HWND owner_ = nullptr;  // kept without a key too, so that a key can still be chosen
    std::optional<CaptureKey> current_;
};

}  // namespace px
