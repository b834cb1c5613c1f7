#pragma once
// One trampoline for every window and custom control of the program: the
// static procedure stores `this` at WM_NCCREATE and from then on calls the
// object's HandleMessage, a short switch that calls named handlers. Whatever
// a window does not handle goes to DefWindowProc (or the dialog default).
#include <windows.h>
#include <string>

namespace px::win {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const noexcept { return hwnd_; }
    bool IsCreated() const noexcept { return hwnd_ != nullptr && ::IsWindow(hwnd_); }
    void Destroy();  // DestroyWindow if still alive

    // Registers `className` once per process with our trampoline.
    static void RegisterClassOnce(const wchar_t* className, UINT style = CS_DBLCLKS,
                                  HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                                  HICON icon = nullptr, HCURSOR cursor = nullptr);
    // The module that holds this code (the program, or the DLL it is linked
    // into): window classes and resources are registered and found there.
    static HINSTANCE Instance();
    // The object behind a window of ours, or nullptr for any other window.
    static Window* FromHandle(HWND hwnd);

    // The DPI this window is shown at (the screen's before it exists), and a
    // length in 96-DPI units scaled to it: layouts are written at 100 %.
    UINT Dpi() const;
    int Scale(int units96) const;
    static UINT DpiOf(HWND hwnd);

protected:
    // Creates the window; `this` receives every message from WM_NCCREATE on.
    HWND CreateWindowObject(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                            int x, int y, int w, int h, HWND parent, HMENU menuOrId);

    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) { return ::DefWindowProcW(hwnd_, msg, wp, lp); }
    // Called after WM_NCDESTROY; the handle is already gone.
    virtual void OnFinalDestroy() {}

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

std::wstring GetWindowTextString(HWND hwnd);

}  // namespace px::win
