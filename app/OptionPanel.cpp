#include "app/OptionPanel.h"

namespace px {

bool OptionPanel::Create(HWND parent, int x, int y, int w, int h, COLORREF back) {
    back_.reset(::CreateSolidBrush(back));
    RegisterClassOnce(L"OrvoPixtrel.OptionPanel", 0, nullptr);
    CreateWindowObject(L"OrvoPixtrel.OptionPanel", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                       WS_EX_CONTROLPARENT, x, y, w, h, parent, nullptr);
    return IsCreated();
}

LRESULT OptionPanel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT rc;
        ::GetClientRect(hwnd(), &rc);
        ::FillRect(reinterpret_cast<HDC>(wp), &rc, back_.get());
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_COMMAND:
    case WM_NOTIFY:
        // Whatever the children say belongs to the window that laid them out.
        return ::SendMessageW(::GetParent(hwnd()), msg, wp, lp);
    }
    return Window::HandleMessage(msg, wp, lp);
}

}  // namespace px
