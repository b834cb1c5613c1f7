// The frame manager's message handling: margins, painting, hit codes, clicks,
// the move loop and the plain default frame.
#include <windowsx.h>

#include "skin/cNCCalcSize.h"

namespace veltrim {

namespace {

RECT WindowBox(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return {0, 0, r.right - r.left, r.bottom - r.top};
}

POINT ScreenPointOf(LPARAM lp) { return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

POINT WindowRelative(HWND hwnd, POINT screen) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return {screen.x - r.left, screen.y - r.top};
}

}  // namespace

bool cNCCalcSize::UpdateMaximisedMdiChild() {
    maximisedMdiChild_ = mdiChild_ && ::IsZoomed(hwnd_);
    return maximisedMdiChild_;
}

core::Margins cNCCalcSize::CurrentMargins() {
    core::Margins m = core::SystemMargins(metrics_.cxFrame, metrics_.cyFrame, metrics_.cyCaption);
    if (maximisedMdiChild_) return m;
    if (auto impl = Implementation()) {
        long left = m.left, top = m.top, right = m.right, bottom = m.bottom;
        impl->GetLeftMarginWidth(&left);
        impl->GetTopMarginHeight(&top);
        impl->GetRightMarginWidth(&right);
        impl->GetBottomMarginHeight(&bottom);
        m = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
    }
    return m;
}

void cNCCalcSize::OnNcCalcSize(WPARAM wp, LPARAM lp) {
    UpdateMaximisedMdiChild();
    // With wParam 0 the default handling (which ran first) has already turned
    // the rectangle into the client rectangle; running it again would shrink it twice.
    if (wp == 0) return;
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp);
    const WINDOWPOS& pos = *params->lppos;
    margins_ = CurrentMargins();
    core::Box client = core::ClientBoxFor({pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy}, margins_);
    params->rgrc[0] = {client.left, client.top, client.right, client.bottom};
    params->rgrc[1] = params->rgrc[0];
}

void cNCCalcSize::OnNcPaint(HWND hwnd) {
    if (!::IsWindowVisible(hwnd)) return;
    if (UpdateMaximisedMdiChild()) return;
    px::win::ScopedWindowDC windowDC(hwnd);
    if (!windowDC) return;
    RECT box = WindowBox(hwnd);
    auto impl = Implementation();
    if (impl) impl->NCPaint(HandleTo(windowDC.get()), 0, 0, box.right, box.bottom);
    else DefaultNCPaint(HandleTo(windowDC.get()), 0, 0, box.right, box.bottom);
}

int cNCCalcSize::HitCode(HWND hwnd, POINT screen, _INCAreaModifier* impl) {
    // One look at the window rectangle: every platform call costs under Wine.
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    const int x = screen.x - r.left, y = screen.y - r.top;
    VARIANT_BOOL canSize = VARIANT_FALSE;
    if (impl) impl->get_CanSize(&canSize);
    int code = core::FrameHitCode(x, y, r.right - r.left, r.bottom - r.top, margins_,
                                  metrics_.cyCaption, canSize != VARIANT_FALSE);
    if (impl) {
        ECNCHitTestConstants answer = static_cast<ECNCHitTestConstants>(code);
        impl->HitTest(x, y, &answer);
        code = static_cast<int>(answer);
    }
    return code;
}

LRESULT cNCCalcSize::OnNcHitTest(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto impl = Implementation();
    if (!impl) return Default(hwnd, msg, wp, lp);
    lastHitCode_ = HitCode(hwnd, ScreenPointOf(lp), impl.get());
    return core::AnsweredHitCode(lastHitCode_);
}

LRESULT cNCCalcSize::OnSetCursor(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Over the client area the default handling only sets the cursor: no frame
    // to protect, and a style change there costs a repaint of every child.
    if (LOWORD(lp) == HTCLIENT) {
        LRESULT r = Default(hwnd, msg, wp, lp);
        if (::GetMenu(hwnd)) ::SetMenu(hwnd, nullptr);
        return r;
    }
    // With the visible bit off the default handling cannot paint the system frame.
    insideCursorHandling_ = true;
    LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    ::SetWindowLongPtrW(hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    LRESULT r = Default(hwnd, msg, wp, lp);
    if (::GetMenu(hwnd)) ::SetMenu(hwnd, nullptr);
    ::SetWindowLongPtrW(hwnd, GWL_STYLE, style);
    insideCursorHandling_ = false;
    return r;
}

void cNCCalcSize::NudgeMouse() {
    // One pixel back and forth, so what lies under the pointer hears of it.
    nudgeX_ = -nudgeX_;
    nudgeY_ = -nudgeY_;
    ::mouse_event(MOUSEEVENTF_MOVE, static_cast<DWORD>(nudgeX_), static_cast<DWORD>(nudgeY_), 0, 0);
}

LRESULT cNCCalcSize::OnNcLButtonDown(HWND hwnd, UINT msg, WPARAM, LPARAM lp) {
    // The move loop measures from where the press was, not from the nudged pointer.
    POINT pressed = ScreenPointOf(lp);
    if (msg == WM_NCLBUTTONDOWN) NudgeMouse();
    auto impl = Implementation();
    lastHitCode_ = HitCode(hwnd, pressed, impl.get());
    auto byDefault = [&]() -> LRESULT {
        LRESULT r = Default(hwnd, msg, static_cast<WPARAM>(lastHitCode_), lp);
        if (hwnd_ == hwnd && !insideCursorHandling_) RepaintFrame();
        return msg == WM_NCLBUTTONDOWN ? 0 : r;
    };
    if (!impl) return byDefault();
    if (lastHitCode_ == HTCAPTION) {
        // A double-click on the caption keeps its system meaning (maximise or restore).
        if (msg == WM_NCLBUTTONDBLCLK) return byDefault();
        if (!windowActive_) ::SetForegroundWindow(hwnd);
        MoveLoop(hwnd, pressed);
        return 0;
    }
    POINT p = WindowRelative(hwnd, pressed);
    RECT box = WindowBox(hwnd);
    VARIANT_BOOL handled = VARIANT_FALSE;
    {
        px::win::ScopedWindowDC dc(hwnd);
        impl->NCMouseDown(p.x, p.y, &handled, HandleTo(dc.get()), 0, 0, box.right, box.bottom);
    }
    // A handled press (a caption button) never reaches the default handling: a
    // double-click there would close the window.
    if (handled != VARIANT_FALSE) return 0;
    return byDefault();
}

void cNCCalcSize::OnNcLButtonUp(HWND hwnd, LPARAM lp) {
    auto impl = Implementation();
    if (!impl) return;
    POINT p = WindowRelative(hwnd, ScreenPointOf(lp));
    RECT box = WindowBox(hwnd);
    // Only a press that began on a button may count as its click: the release
    // alone presses nothing. The implementation may detach meanwhile; the DC
    // and window stay in locals.
    px::win::ScopedWindowDC dc(hwnd);
    impl->NCMouseUp(p.x, p.y, HandleTo(dc.get()), 0, 0, box.right, box.bottom);
}

void cNCCalcSize::MoveLoop(HWND hwnd, POINT cursorStart) {
    if (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_MAXIMIZE) return;
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    HWND parent = (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(hwnd) : nullptr;
    if (parent) ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    const core::Point origin{r.left, r.top};
    core::Point placed = origin;
    while (::IsWindow(hwnd) && hwnd_ == hwnd && windowActive_) {
        // The button state is read before the cursor, so the step after the
        // release still takes the window to where the button went up.
        const bool down = (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
        POINT now{};
        ::GetCursorPos(&now);
        core::Point target = core::MovedOrigin(origin, {cursorStart.x, cursorStart.y}, {now.x, now.y});
        if (!(target == placed)) {
            ::SetWindowPos(hwnd, nullptr, target.x, target.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
            placed = target;
        }
        if (!down) return;
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) {
                // The quit belongs to the outer loop: give it back and stop.
                ::PostQuitMessage(static_cast<int>(m.wParam));
                return;
            }
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
        ::Sleep(1);
    }
}

LRESULT cNCCalcSize::ModifyAreaProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCCALCSIZE:
        OnNcCalcSize(wp, lp);
        return 0;
    case WM_NCPAINT:
        OnNcPaint(hwnd);
        return 0;
    case WM_NCACTIVATE: {
        // Only the frame shows the activation: the default handling is told not
        // to paint the system's (lParam -1), and client and children stay as they are.
        const LRESULT r = Default(hwnd, msg, wp, -1);
        windowActive_ = wp != 0;
        if (hwnd_ == hwnd) RepaintFrame();
        return r;
    }
    case WM_NCHITTEST:
        return OnNcHitTest(hwnd, msg, wp, lp);
    case WM_SETCURSOR:
        return OnSetCursor(hwnd, msg, wp, lp);
    case WM_SETTEXT:
    case WM_STYLECHANGED: {
        LRESULT r = Default(hwnd, msg, wp, lp);
        if (!insideCursorHandling_ && hwnd_ == hwnd) RepaintFrame();
        return r;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        return OnNcLButtonDown(hwnd, msg, wp, lp);
    case WM_NCLBUTTONUP:
        OnNcLButtonUp(hwnd, lp);
        return 0;
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
    case WM_SIZE: {
        Default(hwnd, msg, wp, lp);
        if (hwnd_ == hwnd) RepaintFrame();
        auto impl = Implementation();
        if (msg == WM_INITMENUPOPUP && HIWORD(lp) == 0 && impl)
            impl->InitMenuPopup(static_cast<long>(wp), static_cast<long>(lp));
        if (msg == WM_EXITMENULOOP && impl) impl->ExitMenuLoop();
        return 0;
    }
    }
    return Default(hwnd, msg, wp, lp);
}

void cNCCalcSize::ClientAreaProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto impl = Implementation();
    switch (msg) {
    case WM_ACTIVATE:
        windowActive_ = LOWORD(wp) != WA_INACTIVE;
        if (impl) impl->NCPaint(0, 0, 0, 0, 0);  // asks for the client-area caption to be repainted
        return;
    case WM_NCHITTEST:
        if (impl) lastHitCode_ = HitCode(hwnd, ScreenPointOf(lp), impl.get());
        return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP: {
        if (!impl) return;
        POINT p = WindowRelative(hwnd, ScreenPointOf(lp));
        RECT r{};
        ::GetWindowRect(hwnd, &r);  // screen coordinates in this mode
        px::win::ScopedWindowDC dc(hwnd);
        if (msg == WM_NCLBUTTONDOWN) {
            VARIANT_BOOL handled = VARIANT_FALSE;
            impl->NCMouseDown(p.x, p.y, &handled, HandleTo(dc.get()), r.left, r.top, r.right, r.bottom);
        } else {
            impl->NCMouseUp(p.x, p.y, HandleTo(dc.get()), r.left, r.top, r.right, r.bottom);
        }
        return;
    }
    }
}

}  // namespace veltrim
