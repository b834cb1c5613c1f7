#include "app/ActiveWindowGrab.h"

#include <algorithm>

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

win::ScopedBitmap GrabForegroundWindow(HWND exclude) {
    HWND fg = ::GetForegroundWindow();
    if (!fg || fg == exclude || !::IsWindowVisible(fg) || ::IsIconic(fg)) return {};
    RECT r = VisibleFrame(fg);
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, sw);
    r.bottom = std::min<LONG>(r.bottom, sh);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return {};

    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap picture(::CreateCompatibleBitmap(screen, w, h));
    if (!picture) return {};
    win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    {
        win::ScopedSelectObject sel(dc.get(), picture.get());
        if (!::BitBlt(dc.get(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT)) return {};
    }
    return picture;
}

}  // namespace px
