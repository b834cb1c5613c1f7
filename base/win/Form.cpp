#include "base/win/Form.h"

namespace px::win {

namespace {
int g_loadedForms = 0;
}

int Form::LoadedCount() noexcept { return g_loadedForms; }

SIZE Form::OuterSizeForClient(int clientW, int clientH, DWORD style, DWORD exStyle) {
    RECT r{0, 0, clientW, clientH};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

POINT Form::CentredOnScreen(SIZE size) {
    return POINT{(::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2, (::GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2};
}

void Form::Load() {
    if (IsLoaded()) return;
    CreateFormWindow();
    if (!IsLoaded()) return;
    counted_ = true;
    ++g_loadedForms;
    Form_Load();
}

void Form::Show(int showCmd) {
    Load();
    if (!IsLoaded()) return;
    ::ShowWindow(hwnd(), showCmd);
    if (showCmd != SW_SHOWNOACTIVATE && showCmd != SW_SHOWNA) ::SetForegroundWindow(hwnd());
}

void Form::Hide() {
    if (IsLoaded()) ::ShowWindow(hwnd(), SW_HIDE);
}

void Form::Unload() {
    if (IsLoaded()) Destroy();
}

void Form::ShowModal(HWND owner) {
    Load();
    if (!IsLoaded()) return;
    if (owner) ::EnableWindow(owner, FALSE);
    Show();
    modal_ = true;
    MSG msg;
    while (modal_ && IsVisible()) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {  // WM_QUIT: leave the modal loop and let the outer loop see it
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    modal_ = false;
    if (owner && ::IsWindow(owner)) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DESTROY:
        Form_Unload();
        break;
    case WM_DPICHANGED: {
        const auto* r = reinterpret_cast<const RECT*>(lp);
        ::SetWindowPos(hwnd(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        Form_DpiChanged(HIWORD(wp));
        return 0;
    }
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}

void Form::OnFinalDestroy() {
    modal_ = false;
    if (counted_) {
        counted_ = false;
        // The loop looks at the count when GetMessage returns; a form destroyed inside a
        // message sent from another thread (a tray callback) would leave it waiting.
        if (--g_loadedForms == 0) ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
        Closed();  // last: a handler may load the form again
    }
}

bool Form::PreTranslate(MSG& msg) {
    HWND active = ::GetActiveWindow();
    if (!active) return false;
    auto* form = dynamic_cast<Form*>(Window::FromHandle(active));
    if (!form) return false;
    if (msg.message == WM_KEYDOWN && (msg.hwnd == active || ::IsChild(active, msg.hwnd)) && form->Form_KeyDown(msg))
        return true;
    return form->UsesDialogNavigation() && ::IsDialogMessageW(active, &msg);
}

int Form::RunMessageLoop() {
    MSG msg;
    while (g_loadedForms > 0) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) return got == 0 ? static_cast<int>(msg.wParam) : 1;
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return 0;
}

}  // namespace px::win
