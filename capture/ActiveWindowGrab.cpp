#include "capture/ActiveWindowGrab.h"

#include <utility>

#include "capture/core/CaptureRules.h"

namespace px {

namespace {
// Windows 10 and later draw part of the frame outside the visible border; the
// window manager knows the visible rectangle. Where it does not answer (Wine,
// older systems) the window rectangle is the frame.
RECT VisibleFrame(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    constexpr DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS
    if (HMODULE dwm = ::LoadLibraryW(L"dwmapi.dll")) {
        win::ScopedModule owner(dwm);
        auto fn = reinterpret_cast<DwmGetWindowAttributeFn>(
            reinterpret_cast<void*>(::GetProcAddress(dwm, "DwmGetWindowAttribute")));
        RECT visible{};
        if (fn && SUCCEEDED(fn(hwnd, kExtendedFrameBounds, &visible, sizeof(visible))) &&
            visible.right > visible.left && visible.bottom > visible.top)
            r = visible;
    }
    return r;
}
}  // namespace

capture::Rect VirtualScreen() {
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

WindowGrab GrabForegroundWindow(HWND exclude) {
    using Outcome = WindowGrab::Outcome;
    HWND fg = ::GetForegroundWindow();
    if (!fg || fg == exclude || !::IsWindowVisible(fg) || ::IsIconic(fg)) return {Outcome::NoWindow, {}};
    const RECT frame = VisibleFrame(fg);
    const capture::Rect r =
        capture::ClipToScreen({frame.left, frame.top, frame.right, frame.bottom}, VirtualScreen());
    if (r.empty()) return {Outcome::OffScreen, {}};
    const int w = r.width(), h = r.height();

    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap picture(::CreateCompatibleBitmap(screen, w, h));
    if (!picture) return {Outcome::Failed, {}};
    win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    {
        win::ScopedSelectObject sel(dc.get(), picture.get());
        if (!::BitBlt(dc.get(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT)) return {Outcome::Failed, {}};
    }
    return {Outcome::Grabbed, std::move(picture)};
}

}  // namespace px
