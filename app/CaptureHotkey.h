#pragma once
// The system-wide key that starts "Capture Selection": registered on the main
// window (WM_HOTKEY arrives there with kId). Print Screen first; when another
// program holds it, a message says so and offers the next key of
// app/core/CaptureHotkeyChoice, until the user declines or none is left.
// Nothing is stored: the next start tries Print Screen again.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>

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
    void Unregister();
    // Index into kCaptureHotkeys of the key held, if any.
    std::optional<size_t> Current() const noexcept { return current_; }

private:
    static bool AskWithMessageBox(HWND owner, size_t takenIndex);
    HWND owner_ = nullptr;
    std::optional<size_t> current_;
};

}  // namespace px
