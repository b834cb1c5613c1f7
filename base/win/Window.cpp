#include "base/win/Window.h"

#include <set>

#include "base/Dpi.h"

// The linker's symbol for the start of the image this code is linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace px::win {

Window::~Window() { Destroy(); }

void Window::Destroy() {
    if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

UINT Window::Dpi() const { return DpiOf(hwnd_); }

int Window::Scale(int units96) const { return ScaleForDpi(units96, static_cast<int>(Dpi())); }

UINT Window::DpiOf(HWND hwnd) {
    if (hwnd && ::IsWindow(hwnd)) {
        if (UINT dpi = ::GetDpiForWindow(hwnd)) return dpi;
    }
    HDC screen = ::GetDC(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : static_cast<UINT>(kDefaultDpi);
}

HINSTANCE Window::Instance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

namespace {
// Marks our windows; GWLP_USERDATA alone could belong to anyone's window class.
constexpr wchar_t kSelfProp[] = L"px.Window";
}  // namespace

Window* Window::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Window*>(::GetPropW(hwnd, kSelfProp)) : nullptr;
}

void Window::RegisterClassOnce(const wchar_t* className, UINT style, HBRUSH background, HICON icon, HCURSOR cursor) {
    static std::set<std::wstring> registered;
    if (registered.count(className)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &Window::StaticProc;
    wc.hInstance = Instance();
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    if (::RegisterClassExW(&wc) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS) registered.insert(className);
}

HWND Window::CreateWindowObject(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x,
                                int y, int w, int h, HWND parent, HMENU menuOrId) {
    return ::CreateWindowExW(exStyle, className, title, style, x, y, w, h, parent, menuOrId, Instance(), this);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return DefaultProc(msg, wp, lp); }

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        self = static_cast<Window*>(cs->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        ::SetPropW(hwnd, kSelfProp, self);
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT r = self->HandleMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        ::RemovePropW(hwnd, kSelfProp);
        self->hwnd_ = nullptr;
        self->OnFinalDestroy();
    }
    return r;
}

std::wstring GetWindowTextString(HWND hwnd) {
    int n = ::GetWindowTextLengthW(hwnd);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(hwnd, s.data(), n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}

}  // namespace px::win
