#pragma once
// A top-level window of the program. Each is a single instance, created on
// first use (Load) and kept until it is unloaded; the program ends when the
// last loaded form is unloaded, which the message loop checks after every
// message (so unloading one form and loading the next in one handler is fine).
#include "base/Event.h"
#include "base/win/Window.h"

namespace px::win {

class Form : public Window {
public:
    bool IsLoaded() const noexcept { return IsCreated(); }
    // Creates the window if needed, then runs Form_Load once per load.
    void Load();
    void Show(int showCmd = SW_SHOW);
    void Hide();
    bool IsVisible() const { return IsLoaded() && ::IsWindowVisible(hwnd()); }
    // Destroys the window; Form_Unload runs first.
    void Unload();
    // Shows the form modally over `owner` and returns when it is hidden or unloaded.
    void ShowModal(HWND owner);

    // Raised once each time the form is unloaded, after its window is gone
    // (Form_Unload has run): owners learn here that a window they opened closed.
    Event<> Closed;

    static int LoadedCount() noexcept;
    // Outer size of a window with the given styles whose client area is clientW x clientH.
    static SIZE OuterSizeForClient(int clientW, int clientH, DWORD style, DWORD exStyle);
    // Top-left corner that centres a window of `size` on the primary screen.
    static POINT CentredOnScreen(SIZE size);
    // The program's message loop; returns when no form is loaded or WM_QUIT arrives.
    static int RunMessageLoop();
    // What the loops do before dispatching a message: the active form's own keys and dialog
    // navigation. True when the message was handled (other loops, such as the tests', call it too).
    static bool PreTranslate(MSG& msg);

protected:
    // Creates the HWND (through CreateWindowObject) with the form's class, style and size.
    virtual void CreateFormWindow() = 0;
    virtual void Form_Load() {}
    virtual void Form_Unload() {}
    // WM_DPICHANGED: the window has already been moved to the platform's
    // suggested rectangle; lay the controls out again at Scale() of the new DPI.
    virtual void Form_DpiChanged(UINT /*dpi*/) {}
    // Forms with tab stops and default buttons get dialog keyboard navigation.
    virtual bool UsesDialogNavigation() const { return false; }
    // A key pressed while this form is active, before any child sees it
    // (window-wide shortcuts); true when the form took it.
    virtual bool Form_KeyDown(const MSG& /*msg*/) { return false; }

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFinalDestroy() override;

private:
    bool counted_ = false;
    bool modal_ = false;
};

}  // namespace px::win
