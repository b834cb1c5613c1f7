// cMenuBar: the top-level items on the band, hot tracking, clicks, Alt+letter
// and the menu letters typed inside an open drop-down.
#include "skin/cMenuBar.h"

#include <windowsx.h>

#include <algorithm>
#include <cwctype>

#include "skin/Module.h"
#include "skin/cToolbarMenu.h"
#include "skin/core/DropDownLayout.h"
#include "skin/core/MenuBarLayout.h"

namespace veltrim {

namespace {

// A late-bound call on the client's popup-menu object; `result` stays empty on failure.
void CallByName(IDispatch* object, const wchar_t* name, VARIANT* args, UINT count, px::win::ScopedVariant& result) {
    if (!object) return;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    DISPID id = 0;
    if (FAILED(object->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id))) return;
    DISPPARAMS params{args, nullptr, count, 0};
    if (FAILED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                              result.ptr(), nullptr, nullptr)))
        ::VariantClear(result.ptr());
}

long LongByName(IDispatch* object, const wchar_t* name, VARIANT* args, UINT count, long otherwise) {
    px::win::ScopedVariant v;
    CallByName(object, name, args, count, v);
    return SUCCEEDED(::VariantChangeType(v.ptr(), v.ptr(), 0, VT_I4)) ? v.get().lVal : otherwise;
}

}  // namespace

cMenuBar::cMenuBar() : openMessage_(::RegisterWindowMessageW(L"veltrim.MenuBar.OpenDropDown")) {
    timer_.ThatTime.connect([this] { TrackHot(); });
}

STDMETHODIMP cMenuBar::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid != IID_IUnknown) {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    *out = static_cast<ISubclassSink*>(this);
    AddRef();
    return S_OK;
}

void cMenuBar::put_hMenu(HMENU menu) {
    menu_ = menu;
    popupObject_.reset();
}

void cMenuBar::put_PopupMenuObject(IDispatch* object) {
    if (object) object->AddRef();
    popupObject_.reset(object);
    menu_ = object ? HandleFrom<HMENU>(LongByName(object, L"hMenu", nullptr, 0, 0)) : nullptr;
}

std::vector<UINT> cMenuBar::SubscribedMessages() const {
    std::vector<UINT> list{WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_MENUCHAR, openMessage_};
    if (!useClient_) list.insert(list.end(), {WM_DRAWITEM, WM_MEASUREITEM});
    return list;
}

void cMenuBar::Attach(HWND hwnd, bool useClient) {
    Detach();
    hwnd_ = hwnd;
    useClient_ = useClient;
    loop_.reset(new cToolbarMenu());
    loop_->Attach(hwnd, this);
    auto& registry = SubclassRegistry::ForThread();
    for (UINT msg : SubscribedMessages()) registry.SubscribeMessage(this, hwnd, msg);
}

void cMenuBar::Detach() {
    timer_.SetIntervalMs(0);
    RestoreEntries();
    if (!hwnd_) return;
    if (auto* registry = SubclassRegistry::ExistingForThread())
        for (UINT msg : SubscribedMessages()) registry->UnsubscribeMessage(this, hwnd_, msg);
    if (loop_) loop_->Detach();
    loop_.reset();
    hwnd_ = nullptr;
    hot_ = pressed_ = 0;
}

void cMenuBar::SetMenuLook(HFONT font, const MenuColours& colours) {
    font_ = font;
    colours_ = colours;
    const px::EdgeColours edges = GetEdgeColors(colours.background);
    lighter_.reset(::CreateSolidBrush(static_cast<COLORREF>(edges.lighter)));
    darker_.reset(::CreateSolidBrush(static_cast<COLORREF>(edges.darker)));
    background_.reset(::CreateSolidBrush(static_cast<COLORREF>(colours.background)));
    if (!marlett_) {
        LOGFONTW lf{};
        lf.lfCharSet = SYMBOL_CHARSET;
        ::lstrcpynW(lf.lfFaceName, L"Marlett", LF_FACESIZE);
        marlett_.reset(::CreateFontIndirectW(&lf));
    }
    px::win::ScopedGetDC screen(nullptr);
    px::win::ScopedSelectObject sel(screen, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT r{0, 0, 0, 0};
    ::DrawTextW(screen, L"Tg", 2, &r, DT_CALCRECT | DT_SINGLELINE);
    textHeight_ = r.bottom - r.top;
}

std::wstring cMenuBar::ItemText(HMENU menu, int position, UINT id) const {
    if (popupObject_) {
        // The object's caption of the entry with this command identifier.
        VARIANT arg;
        arg.vt = VT_I4;
        arg.lVal = static_cast<LONG>(id);
        arg.lVal = LongByName(popupObject_.get(), L"ItemForID", &arg, 1, -1);
        px::win::ScopedVariant caption;
        if (arg.lVal >= 0) CallByName(popupObject_.get(), L"Caption", &arg, 1, caption);
        if (caption.get().vt == VT_BSTR && caption.get().bstrVal) return caption.get().bstrVal;
    }
    wchar_t buf[128] = {};
    MENUITEMINFOW mii = MenuItemInfo(MIIM_STRING);
    mii.dwTypeData = buf;
    mii.cch = 128;
    ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &mii);
    return buf;
}

void cMenuBar::DrawEdgeLines(HDC dc, const core::Box& b, bool sunken) const {
    HBRUSH topLeft = (sunken ? darker_ : lighter_).get(), bottomRight = (sunken ? lighter_ : darker_).get();
    if (!topLeft || !bottomRight) return;
    RECT top{b.left, b.top, b.right, b.top + 1}, left{b.left, b.top, b.left + 1, b.bottom};
    RECT bottom{b.left, b.bottom - 1, b.right, b.bottom}, right{b.right - 1, b.top, b.right, b.bottom};
    ::FillRect(dc, &top, topLeft);
    ::FillRect(dc, &left, topLeft);
    ::FillRect(dc, &bottom, bottomRight);
    ::FillRect(dc, &right, bottomRight);
}

int cMenuBar::Render(HFONT font, HDC dc, int left, int top, int width, int height, int, bool active,
                     const core::Margins& toClient) {
    items_.clear();
    const int count = menu_ ? ::GetMenuItemCount(menu_) : 0;
    if (count <= 0 || width <= 0 || height <= 0) return 0;
    px::win::ScopedSaveDC saved(dc);
    ::IntersectClipRect(dc, left, top + 2, left + width, top + height);
    ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    std::vector<std::wstring> texts;
    std::vector<core::TextSize> sizes;
    items_.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW mii = MenuItemInfo(MIIM_ID | MIIM_SUBMENU);
        ::GetMenuItemInfoW(menu_, static_cast<UINT>(i), TRUE, &mii);
        texts.push_back(ItemText(menu_, i, mii.wID));
        RECT r{0, 0, 0, 0};
        ::DrawTextW(dc, texts.back().c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
        sizes.push_back({r.right - r.left, r.bottom - r.top});
        items_[static_cast<size_t>(i)].subMenu = mii.hSubMenu;
        items_[static_cast<size_t>(i)].id = mii.wID;
        items_[static_cast<size_t>(i)].letter = core::AcceleratorLetter(texts.back());
    }
    const auto boxes = core::LayoutMenuItems(sizes);
    const int y0 = top + 2;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        const core::ItemLook look = core::LookOf(n, hot_, pressed_);
        const core::Box& h = boxes[i].highlight;
        items_[i].rect = core::HighlightInClient(h, left, top, toClient);
        if (left + h.left >= left + width) continue;  // past the band: recorded, not drawn
        const int32_t colour = look != core::ItemLook::Plain ? colours_.over
                               : active                      ? colours_.active
                                                             : colours_.inactive;
        if (look != core::ItemLook::Plain)
            DrawEdgeLines(dc, core::Box{left + h.left, y0 + h.top, left + h.right, y0 + h.bottom},
                          look == core::ItemLook::Sunken);
        const int shift = look == core::ItemLook::Sunken ? 1 : 0;
        RECT r{left + boxes[i].text.left + shift, y0 + boxes[i].text.top + shift, left + boxes[i].text.right + shift,
               y0 + boxes[i].text.bottom + shift};
        ::SetTextColor(dc, static_cast<COLORREF>(colour));
        ::DrawTextW(dc, texts[i].c_str(), -1, &r, DT_SINGLELINE);
    }
    return core::MenuItemsRight(boxes);
}

int cMenuBar::ItemAtScreen(POINT p) const {
    if (!hwnd_ || items_.empty()) return 0;
    ::ScreenToClient(hwnd_, &p);
    std::vector<core::Box> rects;
    rects.reserve(items_.size());
    for (const Item& i : items_) rects.push_back(i.rect);
    return core::ItemAt(rects, p.x, p.y);
}

RECT cMenuBar::ItemScreenRect(int item) const {
    if (item < 1 || item > ItemCount() || !hwnd_) return {};
    const core::Box& b = items_[static_cast<size_t>(item - 1)].rect;
    RECT r{b.left, b.top, b.right, b.bottom};
    ::MapWindowPoints(hwnd_, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HMENU cMenuBar::SubMenuOf(int item) const {
    return item >= 1 && item <= ItemCount() ? items_[static_cast<size_t>(item - 1)].subMenu : nullptr;
}

void cMenuBar::SetPressed(int item) {
    if (item == pressed_) return;
    pressed_ = item;
    RequestRepaint();
}

void cMenuBar::RequestRepaint() {
    if (!hwnd_) return;
    if (useClient_) Repaint();
    else ::SendMessageW(hwnd_, WM_NCPAINT, 0, 0);
}

// The item under the pointer becomes hot; the timer keeps watching while an
// item is hot or pressed, so leaving the window is noticed too.
void cMenuBar::TrackHot() {
    if (!hwnd_ || !::IsWindow(hwnd_)) {  // the window went before the detach
        timer_.SetIntervalMs(0);
        return;
    }
    POINT p{};
    ::GetCursorPos(&p);
    const int under = ItemAtScreen(p);
    if (under != hot_) {
        hot_ = under;
        RequestRepaint();
    }
    if (hot_ || pressed_) {
        const bool tracking = loop_ && loop_->Tracking();
        if (pressed_ && !tracking && !(::GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
            pressed_ = 0;
            RequestRepaint();
        }
        if (timer_.IntervalMs() != 50) timer_.SetIntervalMs(50);
    } else if (timer_.IntervalMs() != 0) {
        timer_.SetIntervalMs(0);
    }
}

void cMenuBar::OpenDropDowns(const std::vector<int>& items) {
    if (!loop_ || loop_->Tracking()) return;
    px::win::ScopedComPtr<cMenuBar> self(this);  // a command may detach the bar meanwhile
    AddRef();
    timer_.SetIntervalMs(0);
    for (int item : items) {
        if (!loop_) break;
        pressed_ = item;
        loop_->TrackDropDown(item);
    }
    // The menu state ends: entries given back, nothing pressed.
    RestoreEntries();
    pressed_ = 0;
    TrackHot();
    RequestRepaint();
}

void cMenuBar::OnLeftButtonDown(LPARAM lp) {
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ::ClientToScreen(hwnd_, &p);
    const int item = ItemAtScreen(p);
    if (item != pressed_) {
        pressed_ = item;
        RequestRepaint();
    }
    if (item) OpenDropDowns({item});
}

bool cMenuBar::OpenItemAt(POINT screen) {
    const int item = ItemAtScreen(screen);
    if (!item) return false;
    OpenDropDowns({item});
    return true;
}

bool cMenuBar::OpenItemAtLater(POINT screen) {
    const int item = ItemAtScreen(screen);
    if (item) ::PostMessageW(hwnd_, openMessage_, 0, item);
    return item != 0;
}

bool cMenuBar::AltKeyAccelerator(long vKey) {
    const auto c = static_cast<wchar_t>(std::towupper(::MapVirtualKeyW(static_cast<UINT>(vKey), MAPVK_VK_TO_CHAR)));
    if (c == 0 || !hwnd_) return false;
    const bool any = std::any_of(items_.begin(), items_.end(), [c](const Item& i) { return i.letter == c; });
    // The drop-downs open once the key's handling is over: a menu loop inside
    // the keyboard hook would hold the whole input queue.
    if (any) ::PostMessageW(hwnd_, openMessage_, c, 0);
    return any;
}

LRESULT cMenuBar::OnMenuChar(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto& registry = SubclassRegistry::ForThread();
    HMENU open = reinterpret_cast<HMENU>(lp);
    if ((HIWORD(wp) & MF_SYSMENU) || !open) return registry.CallPreviousProc(hwnd, msg, wp, lp);
    std::vector<core::EntryLetter> entries;
    const int count = ::GetMenuItemCount(open);
    for (int i = 0; i < count; ++i) {
        const UINT state = ::GetMenuState(open, static_cast<UINT>(i), MF_BYPOSITION);
        entries.push_back({EntryLetter(open, i), !(state & (MF_GRAYED | MF_DISABLED))});
    }
    std::vector<wchar_t> top;
    for (const Item& i : items_) top.push_back(i.letter);
    const bool ours = loop_ && loop_->Tracking();
    const core::MenuCharAnswer a = core::AnswerMenuChar(LOWORD(wp), entries, top, ours ? loop_->OpenItem() : 0);
    switch (a.kind) {
    case core::MenuCharAnswer::Execute: return MAKELRESULT(a.index, MNC_EXECUTE);
    case core::MenuCharAnswer::Select: return MAKELRESULT(a.index, MNC_SELECT);
    case core::MenuCharAnswer::Switch:
        if (!ours) break;
        loop_->SwitchTo(a.index);
        return MAKELRESULT(0, MNC_CLOSE);
    case core::MenuCharAnswer::Default: break;
    }
    return registry.CallPreviousProc(hwnd, msg, wp, lp);
}

long cMenuBar::MsgResponse() {
    const UINT msg = SubclassRegistry::ForThread().ActiveMessage();
    return msg == WM_LBUTTONDOWN || msg == WM_MOUSEMOVE ? kResponseAfterDefault : kResponseReplace;
}

LRESULT cMenuBar::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd != hwnd_) {  // detached meanwhile
        if (msg == WM_LBUTTONDOWN || msg == WM_MOUSEMOVE) return 0;  // the default has run
        return SubclassRegistry::ForThread().CallPreviousProc(hwnd, msg, wp, lp);
    }
    switch (msg) {
    case WM_MOUSEMOVE: TrackHot(); return 0;
    case WM_LBUTTONDOWN: OnLeftButtonDown(lp); return 0;
    case WM_MENUCHAR: return OnMenuChar(hwnd, msg, wp, lp);
    case WM_MEASUREITEM: return OnMeasureItem(hwnd, msg, wp, lp);
    case WM_DRAWITEM: return OnDrawItem(hwnd, msg, wp, lp);
    }
    if (msg == openMessage_) {
        if (wp == 0) {  // one item, by number
            if (lp >= 1 && lp <= ItemCount()) OpenDropDowns({static_cast<int>(lp)});
            return 0;
        }
        std::vector<int> matching;
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i].letter == static_cast<wchar_t>(wp)) matching.push_back(static_cast<int>(i) + 1);
        OpenDropDowns(matching);
        return 0;
    }
    return SubclassRegistry::ForThread().CallPreviousProc(hwnd, msg, wp, lp);
}

}  // namespace veltrim
