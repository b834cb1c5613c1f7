#include "skin/cToolbarMenu.h"

#include <utility>

#include "base/win/ScopedWin.h"

namespace veltrim {

namespace {

// Per thread: the hook and the loop it serves.
struct FilterHook {
    px::win::ScopedHook hook;
    cToolbarMenu* loop = nullptr;
    size_t installs = 0;
};
thread_local FilterHook t_filter;

LRESULT CALLBACK MessageFilterProc(int code, WPARAM wp, LPARAM lp) {
    cToolbarMenu* loop = t_filter.loop;
    if (code == MSGF_MENU && loop && lp && loop->Filter(*reinterpret_cast<const MSG*>(lp))) return 1;
    return ::CallNextHookEx(t_filter.hook.get(), code, wp, lp);
}

// The hook for the time one drop-down is open.
class FilterScope {
public:
    explicit FilterScope(cToolbarMenu* loop) {
        t_filter.loop = loop;
        t_filter.hook.reset(::SetWindowsHookExW(WH_MSGFILTER, &MessageFilterProc, nullptr, ::GetCurrentThreadId()));
        if (t_filter.hook) ++t_filter.installs;
    }
    ~FilterScope() {
        t_filter.hook.reset();
        t_filter.loop = nullptr;
    }
    FilterScope(const FilterScope&) = delete;
    FilterScope& operator=(const FilterScope&) = delete;
};

}  // namespace

bool MenuFilterHookInstalled() { return static_cast<bool>(t_filter.hook); }
size_t MenuFilterHookInstalls() { return t_filter.installs; }

STDMETHODIMP cToolbarMenu::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid != IID_IUnknown) {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    *out = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
}

void cToolbarMenu::Attach(HWND owner, MenuBand* bar) {
    Detach();
    owner_ = owner;
    bar_ = bar;
    ::SendMessageW(owner_, WM_ENTERMENULOOP, FALSE, 0);
    SubclassRegistry::ForThread().SubscribeMessage(this, owner_, WM_MENUSELECT);
}

void cToolbarMenu::Detach() {
    if (!owner_) return;
    const HWND owner = std::exchange(owner_, nullptr);
    bar_ = nullptr;
    if (auto* registry = SubclassRegistry::ExistingForThread()) registry->UnsubscribeMessage(this, owner, WM_MENUSELECT);
    if (::IsWindow(owner)) ::SendMessageW(owner, WM_EXITMENULOOP, FALSE, 0);
}

LRESULT cToolbarMenu::WindowProc(HWND, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_MENUSELECT || !tracking_) return 0;
    const UINT flags = HIWORD(wp);
    if (flags == 0xFFFF && lp == 0) return 0;  // the menu closed
    // Left goes to the neighbour only from the top drop-down; Right only from
    // an entry that opens no sub-menu of its own.
    leftAllowed_ = reinterpret_cast<HMENU>(lp) == popup_;
    rightAllowed_ = !(flags & MF_POPUP);
    return 0;
}

void cToolbarMenu::TrackDropDown(int item) {
    if (tracking_ || !bar_ || !owner_) return;
    // The client may detach the bar from a command run meanwhile.
    px::win::ScopedComPtr<cToolbarMenu> self(this);
    AddRef();
    px::win::ScopedComPtr<MenuBand> bar(bar_);
    bar_->AddRef();
    tracking_ = true;
    next_ = item;
    while (next_ > 0 && bar_ && owner_) {
        open_ = std::exchange(next_, -1);
        escape_ = false;
        leftAllowed_ = rightAllowed_ = true;
        // Only a move away from where the pointer is now may switch: a drop-down
        // opened by a key must not jump to the item the pointer happens to rest on.
        ::GetCursorPos(&lastMouse_);
        bar->SetPressed(open_);
        HMENU sub = bar->SubMenuOf(open_);
        if (sub) {
            FilterScope hook(this);
            const RECT r = bar->ItemScreenRect(open_);
            TPMPARAMS params{sizeof params, r};  // the drop-down never covers its item
            popup_ = sub;
            ::TrackPopupMenuEx(sub, TPM_VERTICAL, r.left, r.bottom, owner_, &params);
            popup_ = nullptr;
        }
        open_ = 0;
        if (bar_) bar->SetPressed(0);
    }
    next_ = -1;
    tracking_ = false;
}

void cToolbarMenu::SwitchTo(int item) {
    if (!tracking_ || item < 1) return;
    next_ = item;
    ::EndMenu();
}

bool cToolbarMenu::Filter(const MSG& msg) {
    if (!bar_ || !tracking_) return false;
    core::FilterInput in;
    switch (msg.message) {
    case WM_KEYDOWN:
        if (msg.wParam == VK_LEFT) in.kind = core::FilterInput::KeyLeft;
        else if (msg.wParam == VK_RIGHT) in.kind = core::FilterInput::KeyRight;
        else if (msg.wParam == VK_ESCAPE) in.kind = core::FilterInput::KeyEscape;
        break;
    case WM_MOUSEMOVE:
        // Menus hear moves that are none; only a real move may switch.
        if (msg.pt.x == lastMouse_.x && msg.pt.y == lastMouse_.y) return false;
        lastMouse_ = msg.pt;
        in.kind = core::FilterInput::MouseMove;
        in.itemUnder = bar_->ItemAtScreen(msg.pt);
        break;
    case WM_LBUTTONDOWN:
        in.kind = core::FilterInput::LeftButtonDown;
        in.itemUnder = bar_->ItemAtScreen(msg.pt);
        break;
    }
    const core::FilterAction a =
        core::FilterMenuMessage(in, core::LoopState{open_, bar_->ItemCount(), leftAllowed_, rightAllowed_});
    if (a.escape) escape_ = true;
    if (a.next > 0) next_ = a.next;
    if (a.close) ::EndMenu();
    return a.swallow;
}

}  // namespace veltrim
