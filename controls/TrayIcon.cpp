#include "controls/TrayIcon.h"

#include <shellapi.h>

#include <cwchar>

#include "base/Error.h"

namespace px::win {

namespace {
constexpr UINT kIconId = 1;
constexpr int kPictureSize = 16;
}  // namespace

// ---- entries ----

long TrayIcon::MenuEntry::CommandId() const noexcept { return 1000000000L + 10000000L * position_; }

void TrayIcon::MenuEntry::SetPicture(HICON icon) {
    picture_.reset(icon ? ::CopyIcon(icon) : nullptr);
    if (owner_) owner_->UpdateEntry(*this);
}

void TrayIcon::MenuEntry::SetEnabled(bool v) {
    enabled_ = v;
    if (owner_) owner_->UpdateEntry(*this);
}

TrayIcon::MenuEntry& TrayIcon::MenuCollection::Add(int kind, const std::wstring& caption) {
    auto e = std::make_unique<MenuEntry>();
    e->owner_ = owner_;
    e->kind_ = kind == kSeparator ? kSeparator : kCommand;
    e->caption_ = caption;
    e->position_ = Count() + 1;
    MenuEntry& ref = *e;
    entries_.push_back(std::move(e));
    // The menu's own item IDs are the positions; the command ID is derived when it is reported.
    if (ref.kind_ == kSeparator)
        ::AppendMenuW(owner_->menu_.get(), MF_SEPARATOR, 0, nullptr);
    else
        ::AppendMenuW(owner_->menu_.get(), MF_STRING, static_cast<UINT_PTR>(ref.position_), caption.c_str());
    return ref;
}

TrayIcon::MenuEntry& TrayIcon::MenuCollection::Item(int position) {
    if (position < 1 || position > Count())
        throw Error(ErrorNumber::SubscriptOutOfRange, "TrayIcon", "Subscript out of range");
    return *entries_[static_cast<size_t>(position - 1)];
}

void TrayIcon::UpdateEntry(const MenuEntry& e) {
    if (e.kind_ == kSeparator) return;
    MENUITEMINFOW mii{sizeof(mii)};
    mii.fMask = MIIM_BITMAP | MIIM_STATE;
    mii.hbmpItem = e.picture_ ? HBMMENU_CALLBACK : nullptr;
    mii.fState = e.enabled_ ? MFS_ENABLED : MFS_DISABLED;
    ::SetMenuItemInfoW(menu_.get(), static_cast<UINT>(e.position_ - 1), TRUE, &mii);
}

// ---- the icon ----

TrayIcon::TrayIcon() : menu_(::CreatePopupMenu()) {
    menus_.owner_ = this;
    // Checked marks are never used; this leaves the picture column for the entry pictures.
    MENUINFO mi{sizeof(mi)};
    mi.fMask = MIM_STYLE;
    mi.dwStyle = MNS_CHECKORBMP;
    ::SetMenuInfo(menu_.get(), &mi);
}

TrayIcon::~TrayIcon() {
    Remove();
    Destroy();
    // Menu items refer to the entry bitmaps: the menu goes before them.
    menu_.reset();
}

bool TrayIcon::Create() {
    if (IsCreated()) return true;
    RegisterClassOnce(kClassName, 0, nullptr);
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    // A hidden top-level window: the menu needs a window that can be brought to the foreground.
    CreateWindowObject(kClassName, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr, nullptr);
    return IsCreated();
}

bool TrayIcon::Notify(DWORD message) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = hwnd();
    nid.uID = kIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kCallbackMessage;
    nid.hIcon = icon_;
    wcsncpy_s(nid.szTip, tip_.c_str(), _TRUNCATE);
    return ::Shell_NotifyIconW(message, &nid) != FALSE;
}

void TrayIcon::SetToolTipText(const std::wstring& text) {
    tip_ = text;
    if (shown_) Notify(NIM_MODIFY);
}

bool TrayIcon::Show(HICON icon) {
    if (!IsCreated()) return false;
    icon_ = icon;
    if (shown_) return Notify(NIM_MODIFY);
    shown_ = Notify(NIM_ADD);
    return shown_;
}

void TrayIcon::Remove() {
    if (!shown_) return;
    if (IsCreated()) {
        NOTIFYICONDATAW nid{};
        nid.cbSize = sizeof(nid);
        nid.hWnd = hwnd();
        nid.uID = kIconId;
        ::Shell_NotifyIconW(NIM_DELETE, &nid);
    }
    shown_ = false;
}

void TrayIcon::PopupMenu() {
    if (!IsCreated()) return;
    POINT pt;
    ::GetCursorPos(&pt);
    // The menu closes when the user clicks elsewhere only if its window is in the foreground.
    ::SetForegroundWindow(hwnd());
    UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON |
                 (::GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN);
    int chosen = static_cast<int>(::TrackPopupMenuEx(menu_.get(), flags, pt.x, pt.y, hwnd(), nullptr));
    ::PostMessageW(hwnd(), WM_NULL, 0, 0);
    if (chosen >= 1 && chosen <= menus_.Count()) MenuCommand(menus_.Item(chosen).CommandId());
}

LRESULT TrayIcon::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kCallbackMessage) {
        if (wp == kIconId) TrayIcon_Callback(static_cast<UINT>(lp));
        return 0;
    }
    if (msg == taskbarCreated_ && taskbarCreated_ && shown_) {
        // Explorer restarted: the icon has to be added again.
        shown_ = false;
        Show(icon_);
        return 0;
    }
    switch (msg) {
    case WM_MEASUREITEM:
        if (Menu_MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_DRAWITEM:
        if (Menu_DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_DESTROY: Remove(); break;
    }
    return Window::HandleMessage(msg, wp, lp);
}

TrayIcon::MenuEntry* TrayIcon::EntryAt(UINT position) {
    if (position < 1 || position > static_cast<UINT>(menus_.Count())) return nullptr;
    return menus_.entries_[position - 1].get();
}

bool TrayIcon::Menu_MeasureItem(MEASUREITEMSTRUCT& mi) {
    if (mi.CtlType != ODT_MENU || !EntryAt(mi.itemID)) return false;
    mi.itemWidth = kPictureSize;
    mi.itemHeight = kPictureSize;
    return true;
}

bool TrayIcon::Menu_DrawItem(const DRAWITEMSTRUCT& di) {
    MenuEntry* e = di.CtlType == ODT_MENU ? EntryAt(di.itemID) : nullptr;
    if (!e || !e->picture_) return false;
    const RECT& r = di.rcItem;
    const int x = r.left + (r.right - r.left - kPictureSize) / 2, y = r.top + (r.bottom - r.top - kPictureSize) / 2;
    ::DrawIconEx(di.hDC, x, y, e->picture_.get(), kPictureSize, kPictureSize, 0, nullptr, DI_NORMAL);
    return true;
}

void TrayIcon::TrayIcon_Callback(UINT mouseMsg) {
    switch (mouseMsg) {
    case WM_LBUTTONUP: IconActivated(); break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: PopupMenu(); break;
    }
}

}  // namespace px::win
