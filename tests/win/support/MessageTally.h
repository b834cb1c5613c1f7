#pragma once
// MessageTally: the repaint and frame messages one window and its children
// take while the tally lives, sent and posted, seen through hooks on the
// calling thread. Tests hold an operation to a number of repaints; the
// benchmarks print what an operation costs in messages.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

#include "base/win/ScopedWin.h"

namespace px::test {

struct MessageCounts {
    int ncPaint = 0, paint = 0, childPaint = 0, erase = 0, childErase = 0, frameChanged = 0, ncActivate = 0,
        size = 0, style = 0, shown = 0;

    std::string ToString() const {
        char line[200];
        std::snprintf(line, sizeof line,
                      "ncpaint %d, paint %d + children %d, erase %d + children %d, frame changed %d, ncactivate %d, "
                      "size %d, style %d, shown %d",
                      ncPaint, paint, childPaint, erase, childErase, frameChanged, ncActivate, size, style, shown);
        return line;
    }
};

class MessageTally {
public:
    // `watched` gives the window as each message comes: it may not exist yet
    // when the tally starts (a load).
    explicit MessageTally(std::function<HWND()> watched)
        : watched_(std::move(watched)),
          sent_(::SetWindowsHookExW(WH_CALLWNDPROC, &Sent, nullptr, ::GetCurrentThreadId())),
          posted_(::SetWindowsHookExW(WH_GETMESSAGE, &Posted, nullptr, ::GetCurrentThreadId())),
          outer_(current_) {
        current_ = this;
    }
    explicit MessageTally(HWND watched) : MessageTally([watched] { return watched; }) {}
    ~MessageTally() { current_ = outer_; }
    MessageTally(const MessageTally&) = delete;
    MessageTally& operator=(const MessageTally&) = delete;

    bool Hooked() const { return sent_ && posted_; }
    const MessageCounts& Counts() const { return counts_; }
    void Reset() { counts_ = {}; }

private:
    static LRESULT CALLBACK Sent(int code, WPARAM wp, LPARAM lp) {
        if (code == HC_ACTION && current_) {
            const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
            current_->Count(m->hwnd, m->message, m->wParam, m->lParam);
        }
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
    static LRESULT CALLBACK Posted(int code, WPARAM wp, LPARAM lp) {
        if (code == HC_ACTION && wp == PM_REMOVE && current_) {
            const auto* m = reinterpret_cast<const MSG*>(lp);
            current_->Count(m->hwnd, m->message, m->wParam, m->lParam);
        }
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
    void Count(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        const HWND window = watched_();
        if (!window || !hwnd) return;
        const bool main = hwnd == window;
        if (!main && !::IsChild(window, hwnd)) return;
        MessageCounts& c = counts_;
        switch (msg) {
        case WM_NCPAINT: c.ncPaint += main; break;
        case WM_PAINT: ++(main ? c.paint : c.childPaint); break;
        case WM_ERASEBKGND: ++(main ? c.erase : c.childErase); break;
        case WM_WINDOWPOSCHANGING:
            c.frameChanged += main && (reinterpret_cast<const WINDOWPOS*>(lp)->flags & SWP_FRAMECHANGED) != 0;
            break;
        case WM_NCACTIVATE: c.ncActivate += main; break;
        case WM_SIZE: c.size += main; break;
        case WM_STYLECHANGED: c.style += main; break;
        case WM_SHOWWINDOW: c.shown += main && wp != 0; break;
        }
    }

    static inline MessageTally* current_ = nullptr;
    std::function<HWND()> watched_;
    win::ScopedHook sent_, posted_;
    MessageTally* outer_;
    MessageCounts counts_;
};

}  // namespace px::test
