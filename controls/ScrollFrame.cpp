#include "controls/ScrollFrame.h"

namespace px::win {


namespace {
constexpr wchar_t kClassName[] = L"OrvoPixtrel.ScrollFrame";
}

bool ScrollFrame::Create(HWND parent, int id, int x, int y, int w, int h) {
    if (IsCreated()) return false;
    RegisterClassOnce(kClassName, 0, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
    CreateWindowObject(kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CLIENTEDGE,
                       x, y, w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    child_ = nullptr;
    layout_ = {};
    requested_ = {};
    return IsCreated();
}

void ScrollFrame::SetChild(HWND child) {
    if (!IsCreated()) return;
    child_ = child;
    requested_ = {};
    if (child_) {
        ::SetParent(child_, hwnd());
        LONG_PTR style = ::GetWindowLongPtrW(child_, GWL_STYLE);
        ::SetWindowLongPtrW(child_, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
        ::ShowWindow(child_, SW_SHOWNA);
    }
    Relayout();
}

void ScrollFrame::ScrollTo(int x, int y) {
    requested_ = {x, y};
    Relayout();
}

void ScrollFrame::Relayout() {
    if (!IsCreated() || inLayout_) return;
    inLayout_ = true;
    // The area the bars may take: the client area plus any bar now shown.
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd(), GWL_STYLE);
    const px::Size bars{::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL)};
    px::Size outer{rc.right + ((style & WS_VSCROLL) ? bars.cx : 0), rc.bottom + ((style & WS_HSCROLL) ? bars.cy : 0)};
    px::Size content;
    if (child_ && ::IsWindow(child_)) {
        RECT cr;
        ::GetWindowRect(child_, &cr);
        content = {cr.right - cr.left, cr.bottom - cr.top};
    }
    layout_ = controls::ComputeScrollLayout(outer, content, bars, requested_);
    requested_ = layout_.position;

    ::ShowScrollBar(hwnd(), SB_HORZ, layout_.horizontalBar);
    ::ShowScrollBar(hwnd(), SB_VERT, layout_.verticalBar);
    auto setBar = [&](int bar, bool shown, int contentSize, int page, int pos) {
        if (!shown) return;
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, contentSize - 1, static_cast<UINT>(page), pos, 0};
        ::SetScrollInfo(hwnd(), bar, &si, TRUE);
    };
    setBar(SB_HORZ, layout_.horizontalBar, content.cx, layout_.viewport.cx, layout_.position.x);
    setBar(SB_VERT, layout_.verticalBar, content.cy, layout_.viewport.cy, layout_.position.y);
    if (child_ && ::IsWindow(child_))
        ::SetWindowPos(child_, nullptr, -layout_.position.x, -layout_.position.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    inLayout_ = false;
}

void ScrollFrame::OnScroll(int bar, WPARAM wp) {
    const bool horizontal = bar == SB_HORZ;
    const int current = horizontal ? layout_.position.x : layout_.position.y;
    const int page = horizontal ? layout_.viewport.cx : layout_.viewport.cy;
    const int maxPos = horizontal ? layout_.maxPosition.x : layout_.maxPosition.y;
    int track = current;
    const auto request = ScrollRequestFromCode(LOWORD(wp));
    if (!request || *request == ScrollRequest::EndScroll) return;
    if (IsThumbRequest(*request)) {
        // The 32-bit track position; the message carries only 16 bits.
        SCROLLINFO si{sizeof(si), SIF_TRACKPOS};
        ::GetScrollInfo(hwnd(), bar, &si);
        track = si.nTrackPos;
    }
    int p = controls::ScrollPosition(*request, current, track, kLine, page, maxPos);
    if (horizontal)
        ScrollTo(p, layout_.position.y);
    else
        ScrollTo(layout_.position.x, p);
}

void ScrollFrame::OnWheel(int bar, int delta) {
    int& rest = wheelRest_[bar == SB_HORZ ? 0 : 1];
    rest += delta;
    const int notches = rest / WHEEL_DELTA;
    rest -= notches * WHEEL_DELTA;
    if (notches == 0) return;
    UINT lines = 3;
    ::SystemParametersInfoW(bar == SB_HORZ ? SPI_GETWHEELSCROLLCHARS : SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    // Wheel up (positive) scrolls back; a horizontal wheel to the right (positive) scrolls forward.
    const int sign = bar == SB_HORZ ? 1 : -1;
    const int step = sign * notches * static_cast<int>(lines == WHEEL_PAGESCROLL ? 1 : lines) * kLine;
    if (bar == SB_HORZ)
        ScrollTo(layout_.position.x + step, layout_.position.y);
    else
        ScrollTo(layout_.position.x, layout_.position.y + step);
}

LRESULT ScrollFrame::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: Relayout(); return 0;
    case WM_HSCROLL: OnScroll(SB_HORZ, wp); return 0;
    case WM_VSCROLL: OnScroll(SB_VERT, wp); return 0;
    case WM_MOUSEWHEEL: OnWheel(SB_VERT, GET_WHEEL_DELTA_WPARAM(wp)); return 0;
    case WM_MOUSEHWHEEL: OnWheel(SB_HORZ, GET_WHEEL_DELTA_WPARAM(wp)); return 0;
    case WM_NCDESTROY: child_ = nullptr; break;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace px::win
