#include "controls/frmValueTip.h"

#include "controls/core/SliderGeometry.h"

namespace px::win {

namespace {
HFONT LabelFont() { return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }
}  // namespace

frmValueTip& frmValueTip::Instance() {
    static frmValueTip tip;
    return tip;
}

void frmValueTip::Load() {
    if (IsLoaded()) return;
    RegisterClassOnce(kClassName, 0, nullptr);
    CreateWindowObject(kClassName, L"", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, 0, 0, 10, 10,
                       nullptr, nullptr);
}

px::Size frmValueTip::TextSize(const std::wstring& text) {
    ScopedGetDC screen(nullptr);
    ScopedSelectObject font(screen, LabelFont());
    SIZE s{0, 0};
    ::GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &s);
    return {s.cx, s.cy};
}

void frmValueTip::ShowTip(const std::wstring& text, int orientation, POINT controlScreen, const RECT& thumb) {
    Load();
    if (!IsLoaded()) return;
    lblTip_ = text;
    px::Rect r = controls::ValueTipRect(orientation, {controlScreen.x, controlScreen.y},
                                              {thumb.left, thumb.top, thumb.right, thumb.bottom}, TextSize(text));
    ::SetWindowPos(hwnd(), HWND_TOPMOST, r.left, r.top, r.width(), r.height(), SWP_NOACTIVATE);
    ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    ::UpdateWindow(hwnd());
}

void frmValueTip::CloseTip() {
    if (IsLoaded() && ::IsWindowVisible(hwnd())) ::ShowWindow(hwnd(), SW_HIDE);
}

void frmValueTip::Form_Paint(HDC ps) {
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    ::FillRect(ps, &rc, ::GetSysColorBrush(COLOR_INFOBK));
    {
        ScopedSelectObject font(ps, LabelFont());
        ::SetBkMode(ps, TRANSPARENT);
        ::SetTextColor(ps, ::GetSysColor(COLOR_INFOTEXT));
        ::TextOutW(ps, 2, 1, lblTip_.c_str(), static_cast<int>(lblTip_.size()));
    }
    // The frame: 3-D light on the top and left, 3-D dark shadow on the right and bottom.
    ScopedPen light(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DLIGHT)));
    ScopedPen dark(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DDKSHADOW)));
    {
        ScopedSelectObject sel(ps, light.get());
        ::MoveToEx(ps, 0, rc.bottom - 1, nullptr);
        ::LineTo(ps, 0, 0);
        ::LineTo(ps, rc.right - 1, 0);
    }
    ScopedSelectObject sel(ps, dark.get());
    ::MoveToEx(ps, rc.right - 1, 0, nullptr);
    ::LineTo(ps, rc.right - 1, rc.bottom - 1);
    ::LineTo(ps, -1, rc.bottom - 1);
}

LRESULT frmValueTip::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        ScopedPaint ps(hwnd());
        Form_Paint(ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Form_Paint(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_NCHITTEST:
        return HTTRANSPARENT;  // the pointer passes through to the slider under a dragging thumb
    default:
        return DefaultProc(msg, wp, lp);
    }
}

}  // namespace px::win
