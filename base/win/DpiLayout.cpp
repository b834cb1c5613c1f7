#include "base/win/DpiLayout.h"

#include <algorithm>
#include <cwchar>

#include "base/Dpi.h"

namespace px::win {

void DpiLayout::Add(HWND child, Units96 at, bool setFont) {
    if (child) items_.push_back({child, at, setFont});
}

namespace {

bool TakesDialogFont(HWND child) {
    wchar_t cls[32] = L"";
    ::GetClassNameW(child, cls, 32);
    bool native = false;
    for (const wchar_t* name : {L"Static", L"Button", L"Edit", L"ComboBox", L"ListBox"})
        native = native || ::_wcsicmp(cls, name) == 0;
    if (!native) return false;
    const auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(child, WM_GETFONT, 0, 0));
    return !font || font == ::GetStockObject(DEFAULT_GUI_FONT);
}

}  // namespace

void DpiLayout::AddChildren(HWND parent, std::initializer_list<HWND> except) {
    for (HWND c = ::GetWindow(parent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        if (std::find(except.begin(), except.end(), c) != except.end()) continue;
        if (std::any_of(items_.begin(), items_.end(), [c](const Item& i) { return i.child == c; })) continue;
        RECT r;
        ::GetWindowRect(c, &r);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        Add(c, {r.left, r.top, r.right - r.left, r.bottom - r.top}, TakesDialogFont(c));
    }
}

RECT DpiLayout::Scaled(Units96 at, UINT dpi) {
    const int d = static_cast<int>(dpi);
    // Edges are scaled, not sizes, so neighbours that touch at 96 DPI still touch.
    const int left = ScaleForDpi(at.x, d), top = ScaleForDpi(at.y, d);
    return RECT{left, top, ScaleForDpi(at.x + at.w, d), ScaleForDpi(at.y + at.h, d)};
}

ScopedFont DpiLayout::DialogFont(UINT dpi) {
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfHeight = -::MulDiv(8, static_cast<int>(dpi ? dpi : kDefaultDpi), 72);
    lf.lfWidth = 0;
    return ScopedFont(::CreateFontIndirectW(&lf));
}

void DpiLayout::Apply(UINT dpi) {
    if (dpi != dpi_ || !font_) {
        ScopedFont font = DialogFont(dpi);
        // The children take the new font before the old one goes.
        for (const Item& i : items_)
            if (i.setFont && ::IsWindow(i.child))
                ::SendMessageW(i.child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        font_ = std::move(font);
        dpi_ = dpi;
    } else {
        // Same DPI, perhaps new children (a window created again): they need the font too.
        for (const Item& i : items_)
            if (i.setFont && ::IsWindow(i.child))
                ::SendMessageW(i.child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    for (const Item& i : items_) {
        if (!::IsWindow(i.child)) continue;
        const RECT r = Scaled(i.at, dpi);
        ::SetWindowPos(i.child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::InvalidateRect(i.child, nullptr, TRUE);
    }
}

}  // namespace px::win
