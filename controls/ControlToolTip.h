#pragma once
// The tip text the program's windows give their buttons and slider: one
// platform tooltip window per control, made when the first text arrives and
// destroyed with the control.
#include <windows.h>

#include <string>

#include "base/win/ScopedWin.h"

namespace px::win {

class ControlToolTip {
public:
    // Shows `text` over `control` (a child of `container`); an empty text removes nothing
    // that was never made and blanks an existing tip.
    void Set(HWND control, HWND container, const std::wstring& text);
    void Destroy() { tip_.reset(); }
    HWND hwnd() const noexcept { return tip_.get(); }

private:
    ScopedHwnd tip_;
    std::wstring text_;
};

}  // namespace px::win
