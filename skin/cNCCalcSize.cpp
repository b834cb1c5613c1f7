#include "skin/cNCCalcSize.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "skin/ComError.h"
#include "skin/KeyboardHook.h"

namespace veltrim {

namespace {

constexpr UINT kRedrawFlags = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ALLCHILDREN | RDW_UPDATENOW;  // 0x183
constexpr UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER;

bool HasMdiClientParent(HWND hwnd) {
    HWND parent = ::GetParent(hwnd);
    if (!parent || !(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) return false;
    wchar_t name[260] = {};
    ::GetClassNameW(parent, name, 260);
    return ::lstrcmpW(name, L"MDIClient") == 0;
}

}  // namespace

cNCCalcSize::cNCCalcSize() : DispatchFor<_cNCCalcSize>(IID__cNCCalcSize) {}

STDMETHODIMP cNCCalcSize::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__cNCCalcSize) {
        *out = static_cast<_cNCCalcSize*>(this);
    } else if (iid == IID_ISupportErrorInfo) {
        *out = static_cast<ISupportErrorInfo*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP cNCCalcSize::InterfaceSupportsErrorInfo(REFIID iid) {
    return iid == IID__cNCCalcSize ? S_OK : S_FALSE;
}

STDMETHODIMP cNCCalcSize::Redraw(long hwnd) {
    ::RedrawWindow(HandleFrom<HWND>(hwnd), nullptr, nullptr, kRedrawFlags);
    return S_OK;
}

void cNCCalcSize::RefreshForm(IDispatch* f) {
    if (!f) return;
    LPOLESTR name = const_cast<LPOLESTR>(L"Refresh");
    DISPID id = 0;
    if (SUCCEEDED(f->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) {
        DISPPARAMS none{};
        f->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    }
}

// A form without Refresh is fine: the frame is recalculated all the same.
STDMETHODIMP cNCCalcSize::Display(IDispatch* f) {
    RefreshForm(f);
    ReadMetrics();
    if (hwnd_) ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, kFrameChanged);
    return S_OK;
}

void cNCCalcSize::DisplayAfterAttach(IDispatch* f) {
    if (!std::exchange(menuTakenAtAttach_, false)) {
        Display(f);
        return;
    }
    RefreshForm(f);
}

void cNCCalcSize::ReadMetrics() {
    metrics_ = {::GetSystemMetrics(SM_CXFRAME), ::GetSystemMetrics(SM_CYFRAME), ::GetSystemMetrics(SM_CYCAPTION),
                ::GetSystemMetrics(SM_CXSCREEN)};
}

STDMETHODIMP cNCCalcSize::get_WindowActive(VARIANT_BOOL* active) {
    if (!active) return E_POINTER;
    *active = windowActive_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP cNCCalcSize::get_AppActive(VARIANT_BOOL* active) {
    if (!active) return E_POINTER;
    *active = appActive_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP cNCCalcSize::TitleBarMouseDown() {
    if (!hwnd_) return S_OK;
    POINT p{};
    ::GetCursorPos(&p);
    ::ReleaseCapture();
    ::SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y)));
    return S_OK;
}

STDMETHODIMP cNCCalcSize::SysCommand(ECNCSysCommandConstants eCmd) {
    if (hwnd_) ::PostMessageW(hwnd_, WM_SYSCOMMAND, static_cast<WPARAM>(eCmd), 0);
    return S_OK;
}

std::vector<UINT> cNCCalcSize::SubscribedMessages() const {
    if (method_ == ECNCUseClientArea)
        return {WM_NCHITTEST, WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_ACTIVATE, WM_DESTROY};
    std::vector<UINT> list{WM_NCCALCSIZE,    WM_NCPAINT,      WM_NCACTIVATE,     WM_NCLBUTTONDOWN,
                           WM_NCLBUTTONUP,   WM_NCLBUTTONDBLCLK, WM_NCHITTEST,   WM_SETCURSOR,
                           WM_INITMENU,      WM_INITMENUPOPUP, WM_STYLECHANGED,  WM_SETTEXT,
                           WM_ACTIVATEAPP,   WM_ENTERMENULOOP, WM_EXITMENULOOP};
    if (sizeSubscribed_) list.push_back(WM_SIZE);
    list.push_back(WM_DESTROY);
    return list;
}

STDMETHODIMP cNCCalcSize::Attach(_INCAreaModifier* iTo) {
    return Guarded(kClassName, IID__cNCCalcSize, [&]() -> HRESULT {
        DetachNow();
        if (!iTo) return RaiseError(kClassName, IID__cNCCalcSize, L"Attach needs an INCAreaModifier.", E_POINTER);
        long handle = 0;
        iTo->get_hwnd(&handle);
        HWND hwnd = HandleFrom<HWND>(handle);
        if (!::IsWindow(hwnd))
            return RaiseError(kClassName, IID__cNCCalcSize, L"The INCAreaModifier names no window.", E_INVALIDARG);
        ECNCDrawMethodConstants method = ECNCModifyNonClientArea;
        iTo->get_Method(&method);

        hwnd_ = hwnd;
        hMenu_ = ::GetMenu(hwnd);
        mdiChild_ = HasMdiClientParent(hwnd);
        method_ = method;
        sizeSubscribed_ = method_ == ECNCModifyNonClientArea && mdiChild_;
        auto& registry = SubclassRegistry::ForThread();
        for (UINT msg : SubscribedMessages()) registry.SubscribeMessage(this, hwnd, msg);
        ReadMetrics();
        EnsureMemoryDC(metrics_.cxScreen, 4 * metrics_.cyCaption);
        mdiClient_ = ::FindWindowExW(hwnd, nullptr, L"MDIClient", nullptr);
        ::SetPropW(hwnd, kImplementationProperty, static_cast<HANDLE>(iTo));
        // The menu bar is drawn by the implementation from hMenu: the system's
        // must not come back on an Alt or F10 before the first pointer move.
        menuTakenAtAttach_ = method_ == ECNCModifyNonClientArea && hMenu_;
        if (menuTakenAtAttach_) ::SetMenu(hwnd, nullptr);
        // The answer may detach (and release) the manager: it is held for the call.
        RegisterAcceleratorTarget({this, [this] { return IsWindowActive(); }, [this](long key) {
                                       AddRef();
                                       const long answer = AltKeyAccelerator(key);
                                       Release();
                                       return answer;
                                   }});
        return S_OK;
    });
}

STDMETHODIMP cNCCalcSize::get_hMenu(long* hMenu) {
    if (!hMenu) return E_POINTER;
    *hMenu = HandleTo(hMenu_);
    return S_OK;
}

STDMETHODIMP cNCCalcSize::Detach() {
    DetachNow();
    return S_OK;
}

void cNCCalcSize::DetachNow() {
    UnregisterAcceleratorTarget(this);
    HWND hwnd = hwnd_;
    if (hwnd) {
        if (auto* registry = SubclassRegistry::ExistingForThread())
            for (UINT msg : SubscribedMessages()) registry->UnsubscribeMessage(this, hwnd, msg);
        if (::IsWindow(hwnd)) {
            ::RemovePropW(hwnd, kImplementationProperty);
            // Give the menu back, so it also goes with the window when it is destroyed.
            if (hMenu_ && ::IsMenu(hMenu_) && !::GetMenu(hwnd)) ::SetMenu(hwnd, hMenu_);
        }
    }
    mdiChild_ = false;
    sizeSubscribed_ = false;
    memory_.reset();
    memWidth_ = memHeight_ = 0;
    hwnd_ = nullptr;
    mdiClient_ = nullptr;
    hMenu_ = nullptr;
}

void cNCCalcSize::EnsureMemoryDC(int width, int height) {
    if (memory_ && width <= memWidth_ && height <= memHeight_) return;
    width = std::max(width, memWidth_);
    height = std::max(height, memHeight_);
    px::win::ScopedGetDC screen(nullptr);
    px::win::MemoryBitmapDC grown(screen, px::win::ScopedBitmap(::CreateCompatibleBitmap(screen, width, height)));
    if (!grown) return;  // keeps the smaller surface
    memory_ = std::move(grown);
    memWidth_ = width;
    memHeight_ = height;
}

STDMETHODIMP cNCCalcSize::GetImplementation(_INCAreaModifier** iTo, VARIANT_BOOL* found) {
    if (!iTo || !found) return E_POINTER;
    auto impl = Implementation();
    *found = impl ? VARIANT_TRUE : VARIANT_FALSE;
    if (!impl) return S_OK;
    if (*iTo) (*iTo)->Release();
    impl->AddRef();
    *iTo = impl.get();
    return S_OK;
}

px::win::ScopedComPtr<_INCAreaModifier> cNCCalcSize::Implementation() const {
    if (!hwnd_) return {};
    auto* raw = static_cast<_INCAreaModifier*>(::GetPropW(hwnd_, kImplementationProperty));
    if (raw) raw->AddRef();
    return px::win::ScopedComPtr<_INCAreaModifier>(raw);
}

long cNCCalcSize::AltKeyAccelerator(long vKey) {
    auto impl = Implementation();
    long answer = 0;
    if (impl) impl->AltKeyAccelerator(vKey, &answer);
    return answer;
}

long cNCCalcSize::MsgResponse() {
    if (method_ == ECNCUseClientArea) return kResponseAfterDefault;
    switch (SubclassRegistry::ForThread().ActiveMessage()) {
    case WM_NCCALCSIZE:
    case WM_NCLBUTTONUP:
    case WM_ACTIVATEAPP:
    case WM_DESTROY:
        return kResponseAfterDefault;
    default:
        return kResponseReplace;
    }
}

LRESULT cNCCalcSize::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DESTROY:
        DetachNow();
        return 0;
    case WM_ACTIVATEAPP:
        appActive_ = wp != 0;
        return 0;
    }
    if (hwnd != hwnd_ || !hwnd_) return 0;  // detached meanwhile; the registry skips us from now on
    if (method_ == ECNCUseClientArea) {
        ClientAreaProc(hwnd, msg, wp, lp);
        return 0;
    }
    return ModifyAreaProc(hwnd, msg, wp, lp);
}

}  // namespace veltrim
