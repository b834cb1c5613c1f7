#include "controls/ControlToolTip.h"

#include "base/win/Window.h"

#include <commctrl.h>

namespace px::win {

void ControlToolTip::Set(HWND control, HWND container, const std::wstring& text) {
    text_ = text;
    if (!control) return;
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = container;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = text_.data();
    if (!tip_) {
        if (text_.empty()) return;
        tip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr,
                                     Window::Instance(), nullptr));
        if (!tip_) return;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ::SendMessageW(tip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        return;
    }
    ::SendMessageW(tip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace px::win
