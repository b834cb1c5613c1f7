#include "controls/NativeControls.h"

#include <algorithm>

#include "base/win/Window.h"

namespace px::win {

bool NativeControl::CreateChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle,
                                int x, int y, int w, int h, int id) {
    if (hwnd_ && ::IsWindow(hwnd_)) return false;
    hwnd_ = ::CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Window::Instance(), nullptr);
    id_ = id;
    return hwnd_ != nullptr;
}

std::wstring NativeControl::Text() const { return GetWindowTextString(hwnd_); }
void NativeControl::SetText(const std::wstring& text) { ::SetWindowTextW(hwnd_, text.c_str()); }
void NativeControl::SetEnabled(bool enabled) { ::EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
void NativeControl::SetFont(HFONT font) { ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }
void NativeControl::Move(int x, int y, int w, int h) { ::MoveWindow(hwnd_, x, y, w, h, TRUE); }

bool NativeEdit::Create(HWND parent, int id, int x, int y, int w, int h, DWORD extraStyle) {
    return CreateChild(parent, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL | extraStyle, WS_EX_CLIENTEDGE, x, y, w, h,
                       id);
}
void NativeEdit::OnCommand(WORD code) {
    if (code == EN_CHANGE) Change();
}

bool NativeLabel::Create(HWND parent, int id, const wchar_t* text, int x, int y, int w, int h, DWORD extraStyle) {
    return CreateChild(parent, L"STATIC", text, SS_LEFT | extraStyle, 0, x, y, w, h, id);
}
void NativeLabel::OnCommand(WORD code) {
    if (code == STN_CLICKED) Click();
}

bool NativeButton::Create(HWND parent, int id, const wchar_t* text, int x, int y, int w, int h, DWORD extraStyle) {
    return CreateChild(parent, L"BUTTON", text, WS_TABSTOP | BS_PUSHBUTTON | extraStyle, 0, x, y, w, h, id);
}
void NativeButton::OnCommand(WORD code) {
    if (code == BN_CLICKED) Click();
}

bool NativeCheckBox::Create(HWND parent, int id, const wchar_t* text, int x, int y, int w, int h, DWORD extraStyle) {
    return CreateChild(parent, L"BUTTON", text, WS_TABSTOP | BS_AUTOCHECKBOX | extraStyle, 0, x, y, w, h, id);
}
bool NativeCheckBox::Checked() const { return ::SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void NativeCheckBox::SetChecked(bool checked) {
    ::SendMessageW(hwnd(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
void NativeCheckBox::OnCommand(WORD code) {
    if (code == BN_CLICKED) Click();
}

bool NativeScrollBar::Create(HWND parent, int id, bool horizontal, int x, int y, int w, int h) {
    if (!CreateChild(parent, L"SCROLLBAR", L"", WS_TABSTOP | (horizontal ? SBS_HORZ : SBS_VERT), 0, x, y, w, h, id))
        return false;
    SetRange(model_.Min(), model_.Max(), model_.SmallChange(), model_.LargeChange());
    return true;
}

void NativeScrollBar::SetRange(int min, int max, int smallChange, int largeChange) {
    model_.SetRange(min, max, smallChange, largeChange);
    if (hwnd()) {
        ::SetScrollRange(hwnd(), SB_CTL, model_.Min(), model_.Max(), FALSE);
        ::SetScrollPos(hwnd(), SB_CTL, model_.Value(), TRUE);
    }
}

void NativeScrollBar::SetValue(int value) {
    model_.SetValue(value);
    if (hwnd()) ::SetScrollPos(hwnd(), SB_CTL, model_.Value(), TRUE);
}

void NativeScrollBar::OnScroll(WPARAM wp) {
    const auto request = ScrollRequestFromCode(LOWORD(wp));
    if (!request) return;
    int track = model_.Value();
    if (IsThumbRequest(*request)) {
        // The message carries the thumb in 16 bits; a wider range reads the 32-bit track position.
        if (model_.Min() >= 0 && model_.Max() <= 0xFFFF) {
            track = HIWORD(wp);
        } else {
            SCROLLINFO si{sizeof(si), SIF_TRACKPOS};
            ::GetScrollInfo(hwnd(), SB_CTL, &si);
            track = si.nTrackPos;
        }
    }
    const auto event = model_.Apply(*request, track);
    if (event == controls::ScrollBarModel::Event::None) return;
    ::SetScrollPos(hwnd(), SB_CTL, model_.Value(), TRUE);
    if (event == controls::ScrollBarModel::Event::Scroll)
        Scroll();
    else
        Change();
}

NativeControl* NativeControlRouter::Find(HWND hwnd) const {
    if (!hwnd) return nullptr;
    auto it = std::find_if(controls_.begin(), controls_.end(), [&](NativeControl* c) { return c->hwnd() == hwnd; });
    return it == controls_.end() ? nullptr : *it;
}

bool NativeControlRouter::Route(UINT msg, WPARAM wp, LPARAM lp) {
    NativeControl* c = Find(reinterpret_cast<HWND>(lp));
    if (!c) return false;
    switch (msg) {
    case WM_COMMAND: c->OnCommand(HIWORD(wp)); return true;
    case WM_HSCROLL:
    case WM_VSCROLL: c->OnScroll(wp); return true;
    default: return false;
    }
}

}  // namespace px::win
