#pragma once
// A window's children placed in 96-DPI units (what they measure at 100 %) and
// moved to their size at the window's DPI, with the dialog font (8 points) made
// for that DPI. A window adds each child once with its 96-DPI rectangle, calls
// Apply after creating them and again from Form_DpiChanged:
//
//     layout_.Add(lblName_, {10, 12, 80, 16});   // x, y, width, height at 96 DPI
//     layout_.Apply(Dpi());
//
// A window whose children are created at their 96-DPI rectangles may instead
// adopt them all at once before the first Apply:
//
//     layout_.AddChildren(hwnd(), {fraScroll1.hwnd()});  // all but the frame
//
// The layout does not own the children; it owns the font it gives them.
#include <windows.h>

#include <initializer_list>
#include <vector>

#include "base/win/ScopedWin.h"

namespace px::win {

class DpiLayout {
public:
    struct Units96 {
        int x, y, w, h;
    };
    void Add(HWND child, Units96 at, bool setFont = true);
    // Every direct child of `parent` not yet added and not in `except`, at its
    // present rectangle (taken as 96-DPI units). Native text controls (static,
    // button, edit, combo and list boxes) that carry no font or the stock GUI
    // font take the layout's font; the others keep theirs.
    void AddChildren(HWND parent, std::initializer_list<HWND> except = {});
    size_t Count() const noexcept { return items_.size(); }
    void Clear() { items_.clear(); }  // before a window creates its children again
    // Moves and resizes every child to `dpi` and gives the font-taking ones the font for it.
    void Apply(UINT dpi);
    HFONT Font() const noexcept { return font_.get(); }
    UINT AppliedDpi() const noexcept { return dpi_; }
    static RECT Scaled(Units96 at, UINT dpi);
    // The dialog font at `dpi`: the stock GUI font's face at 8 points.
    static ScopedFont DialogFont(UINT dpi);

private:
    struct Item {
        HWND child;
        Units96 at;
        bool setFont;
    };
    std::vector<Item> items_;
    ScopedFont font_;
    UINT dpi_ = 0;
};

}  // namespace px::win
