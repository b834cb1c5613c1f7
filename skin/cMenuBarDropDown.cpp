// cMenuBar: the drop-down entries, made owner-drawn while their drop-down is
// open so they take the skin's font and colours, and given back afterwards.
#include <algorithm>

#include "skin/cMenuBar.h"
#include "skin/core/DropDownLayout.h"
#include "skin/core/MenuBarLayout.h"

namespace veltrim {

namespace {

// Item data of converted entries: tells them from a client's own owner-drawn ones.
constexpr ULONG_PTR kCookieBase = 0x7E17D000;
constexpr ULONG_PTR kCookieSpan = 0x1000;

int TextWidth(HDC dc, const std::wstring& text, UINT flags) {
    if (text.empty()) return 0;
    RECT r{0, 0, 0, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | flags);
    return r.right - r.left;
}

core::Box BoxOf(const RECT& r) { return core::Box{r.left, r.top, r.right, r.bottom}; }

}  // namespace

void cMenuBar::InitMenuPopup(HMENU popup) {
    if (useClient_ || !::IsMenu(popup)) return;
    px::win::ScopedGetDC screen(nullptr);
    px::win::ScopedSelectObject sel(screen, font_ ? static_cast<HGDIOBJ>(font_) : ::GetStockObject(DEFAULT_GUI_FONT));
    const int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        wchar_t buf[256] = {};
        MENUITEMINFOW mii = MenuItemInfo(MIIM_FTYPE | MIIM_STRING | MIIM_DATA);
        mii.dwTypeData = buf;
        mii.cch = 256;
        if (!::GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &mii) || (mii.fType & MFT_OWNERDRAW)) continue;
        if (mii.fType & (MFT_BITMAP | MFT_MENUBARBREAK | MFT_MENUBREAK)) continue;  // drawn by the system as they are
        Converted c;
        c.menu = popup;
        c.cookie = kCookieBase + (nextCookie_++ % kCookieSpan);
        c.type = mii.fType;
        c.text = buf;
        c.data = mii.dwItemData;
        const core::SplitCaption split = core::SplitAtTab(c.text);
        c.caption = split.text;
        c.shortcut = split.shortcut;
        c.letter = core::AcceleratorLetter(c.caption);
        c.textWidth = TextWidth(screen, c.caption, 0);
        c.shortcutWidth = TextWidth(screen, c.shortcut, DT_NOPREFIX);
        MENUITEMINFOW owner = MenuItemInfo(MIIM_FTYPE | MIIM_DATA);
        owner.fType = mii.fType | MFT_OWNERDRAW;
        owner.dwItemData = c.cookie;
        if (::SetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &owner)) converted_.push_back(std::move(c));
    }
}

// Type, text and item data go back; the state stays as it is now, since the
// client may have changed it while the drop-down was open.
void cMenuBar::RestoreEntries() {
    for (const Converted& c : converted_) {
        if (!::IsMenu(c.menu)) continue;
        const int count = ::GetMenuItemCount(c.menu);
        for (int i = 0; i < count; ++i) {
            MENUITEMINFOW now = MenuItemInfo(MIIM_FTYPE | MIIM_DATA);
            if (!::GetMenuItemInfoW(c.menu, static_cast<UINT>(i), TRUE, &now)) continue;
            if (!(now.fType & MFT_OWNERDRAW) || now.dwItemData != c.cookie) continue;
            MENUITEMINFOW back = MenuItemInfo(MIIM_FTYPE | MIIM_STRING | MIIM_DATA);
            back.fType = c.type;
            back.dwTypeData = const_cast<wchar_t*>(c.text.c_str());
            back.dwItemData = c.data;
            ::SetMenuItemInfoW(c.menu, static_cast<UINT>(i), TRUE, &back);
            break;
        }
    }
    converted_.clear();
}

const cMenuBar::Converted* cMenuBar::ConvertedFor(ULONG_PTR cookie) const {
    if (cookie < kCookieBase || cookie >= kCookieBase + kCookieSpan) return nullptr;
    auto it = std::find_if(converted_.begin(), converted_.end(), [&](const Converted& c) { return c.cookie == cookie; });
    return it == converted_.end() ? nullptr : &*it;
}

wchar_t cMenuBar::EntryLetter(HMENU menu, int position) const {
    wchar_t buf[256] = {};
    MENUITEMINFOW mii = MenuItemInfo(MIIM_FTYPE | MIIM_STRING | MIIM_DATA);
    mii.dwTypeData = buf;
    mii.cch = 256;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &mii)) return 0;
    if (mii.fType & MFT_SEPARATOR) return 0;
    if (mii.fType & MFT_OWNERDRAW) {
        const Converted* c = ConvertedFor(mii.dwItemData);
        return c ? c->letter : 0;
    }
    return core::AcceleratorLetter(core::SplitAtTab(buf).text);
}

LRESULT cMenuBar::OnMeasureItem(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
    const Converted* c = m && m->CtlType == ODT_MENU ? ConvertedFor(m->itemData) : nullptr;
    if (!c) return SubclassRegistry::ForThread().CallPreviousProc(hwnd, msg, wp, lp);
    const core::EntrySize size = core::MeasureEntry((c->type & MFT_SEPARATOR) != 0, c->textWidth, c->shortcutWidth,
                                                    !c->shortcut.empty(), textHeight_);
    m->itemWidth = static_cast<UINT>(size.width);
    m->itemHeight = static_cast<UINT>(size.height);
    return TRUE;
}

LRESULT cMenuBar::OnDrawItem(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    const Converted* c = d && d->CtlType == ODT_MENU ? ConvertedFor(d->itemData) : nullptr;
    if (!c) return SubclassRegistry::ForThread().CallPreviousProc(hwnd, msg, wp, lp);
    DrawEntry(*d, *c);
    return TRUE;
}

void cMenuBar::DrawEntry(const DRAWITEMSTRUCT& d, const Converted& c) {
    HDC dc = d.hDC;
    px::win::ScopedSaveDC saved(dc);
    ::FillRect(dc, &d.rcItem, background_.get());
    const core::Box item = BoxOf(d.rcItem);
    if (c.type & MFT_SEPARATOR) {
        const core::Box line = core::SeparatorLine(item);
        RECT upper{line.left, line.top, line.right, line.top + 1}, lower{line.left, line.top + 1, line.right, line.bottom};
        ::FillRect(dc, &upper, darker_.get());
        ::FillRect(dc, &lower, lighter_.get());
        return;
    }
    // The state is read now: the client may have changed it since the drop-down opened.
    MENUITEMINFOW mii = MenuItemInfo(MIIM_FTYPE | MIIM_STATE);
    ::GetMenuItemInfoW(reinterpret_cast<HMENU>(d.hwndItem), d.itemID, FALSE, &mii);
    const bool hilite = (mii.fState & MFS_HILITE) || (d.itemState & ODS_SELECTED);
    const bool disabled = (mii.fState & MFS_DISABLED) || (d.itemState & (ODS_GRAYED | ODS_DISABLED));
    const bool checked = (mii.fState & MFS_CHECKED) || (d.itemState & ODS_CHECKED);
    int32_t colour = hilite ? colours_.over : colours_.active;
    if (disabled) colour = core::Blend50(colour, colours_.background);
    if (hilite) DrawEdgeLines(dc, item, false);
    const core::EntryLayout l = core::LayoutEntry(item, c.textWidth);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, static_cast<COLORREF>(colour));
    if (checked) {
        DrawEdgeLines(dc, l.checkBox, true);
        ::SelectObject(dc, marlett_.get());
        RECT box{l.checkBox.left, l.checkBox.top, l.checkBox.right, l.checkBox.bottom};
        const wchar_t* glyph = (c.type & MFT_RADIOCHECK) ? L"h" : L"b";
        ::DrawTextW(dc, glyph, 1, &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    }
    ::SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT text{l.text.left, l.text.top, l.text.right, l.text.bottom};
    ::DrawTextW(dc, c.caption.c_str(), static_cast<int>(c.caption.size()), &text, DT_SINGLELINE | DT_VCENTER);
    if (!c.shortcut.empty()) {
        RECT shortcut{l.shortcutX, l.text.top, l.text.right, l.text.bottom};
        ::DrawTextW(dc, c.shortcut.c_str(), static_cast<int>(c.shortcut.size()), &shortcut,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

}  // namespace veltrim
