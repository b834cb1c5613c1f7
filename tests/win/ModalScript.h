#pragma once
// Drives modal windows (message boxes, the colour dialog, modal forms) from
// inside their own message loops: a thread timer, dispatched by whichever loop
// is running, waits for each step's condition and then performs its action.
// Nothing sleeps; the test pumps messages until the script is done.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/win/Window.h"

namespace px::test {

class ModalScript {
public:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> action;
    };

    ModalScript() = default;
    ~ModalScript() { Stop(); }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    ModalScript& Then(std::function<bool()> ready, std::function<void()> action) {
        steps_.push_back({std::move(ready), std::move(action)});
        return *this;
    }
    void Start() {
        Stop();
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 15, &ModalScript::Tick);
    }
    void Stop() {
        if (timer_) ::KillTimer(nullptr, timer_);
        timer_ = 0;
        if (current_ == this) current_ = nullptr;
    }
    bool Done() const { return next_ >= steps_.size(); }
    size_t StepsDone() const { return next_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript* s = current_;
        if (!s || s->busy_ || s->Done()) return;
        s->busy_ = true;  // an action may open a modal loop that dispatches this timer again
        Step& step = s->steps_[s->next_];
        if (step.ready()) {
            ++s->next_;
            step.action();
        }
        s->busy_ = false;
        if (s->Done()) s->Stop();
    }

    static inline ModalScript* current_ = nullptr;
    std::vector<Step> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    bool busy_ = false;
};

// A visible dialog-class window (#32770) of this thread, optionally owned by `owner`.
inline HWND FindThreadDialog(HWND owner = nullptr) {
    struct Ctx {
        HWND owner, found;
    } ctx{owner, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            wchar_t cls[32] = L"";
            ::GetClassNameW(h, cls, 32);
            if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(h) &&
                (!c->owner || ::GetWindow(h, GW_OWNER) == c->owner)) {
                c->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// Every text of a dialog's static controls, joined by "|".
inline std::wstring DialogStaticTexts(HWND dialog) {
    std::wstring all;
    ::EnumChildWindows(
        dialog,
        [](HWND h, LPARAM lp) -> BOOL {
            wchar_t cls[32] = L"";
            ::GetClassNameW(h, cls, 32);
            if (std::wstring(cls) == L"Static") {
                auto* s = reinterpret_cast<std::wstring*>(lp);
                std::wstring t = win::GetWindowTextString(h);
                if (!t.empty()) *s += (s->empty() ? L"" : L"|") + t;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

// The icon a message box shows (its icon static control), or nullptr.
inline HICON DialogIcon(HWND dialog) {
    HICON icon = nullptr;
    ::EnumChildWindows(
        dialog,
        [](HWND h, LPARAM lp) -> BOOL {
            if ((::GetWindowLongPtrW(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                *reinterpret_cast<HICON*>(lp) = reinterpret_cast<HICON>(::SendMessageW(h, STM_GETICON, 0, 0));
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&icon));
    return icon;
}

// Chooses `color` in an open colour dialog and confirms it. The red, green and
// blue boxes take it (Wine's dialog does not implement SETRGBSTRING); they
// exist, hidden, also when the dialog is not opened fully.
inline void PickColorInDialog(HWND dialog, COLORREF color) {
    constexpr int kRedBox = 706, kGreenBox = 707, kBlueBox = 708;
    ::SetDlgItemInt(dialog, kRedBox, GetRValue(color), FALSE);
    ::SetDlgItemInt(dialog, kGreenBox, GetGValue(color), FALSE);
    ::SetDlgItemInt(dialog, kBlueBox, GetBValue(color), FALSE);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
}

// A left click posted to a window (pressed and released at client x, y).
inline void PostLeftClick(HWND h, int x, int y) {
    ::PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace px::test
