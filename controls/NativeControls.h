#pragma once
// Native child controls (edit box, label, check box, button, scroll bar) that
// raise events through base/Event.h like our own controls. The owning window
// keeps a NativeControlRouter, adds its controls to it and passes WM_COMMAND,
// WM_HSCROLL and WM_VSCROLL to Route; it connects handlers named after control
// and event (txtWeight_Change, chkDither_Click, hscLevel_Change) instead of
// writing a notification switch.
#include <windows.h>

#include <string>
#include <vector>

#include "base/Event.h"
#include "controls/core/ScrollGeometry.h"

namespace px::win {

class NativeControl {
public:
    NativeControl() = default;
    virtual ~NativeControl() = default;
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;

    HWND hwnd() const noexcept { return hwnd_; }
    int id() const noexcept { return id_; }
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    void SetEnabled(bool enabled);
    void SetFont(HFONT font);
    void Move(int x, int y, int w, int h);

protected:
    // The child window belongs to its parent and goes with it.
    bool CreateChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int x, int y,
                     int w, int h, int id);

private:
    friend class NativeControlRouter;
    virtual void OnCommand(WORD /*code*/) {}
    virtual void OnScroll(WPARAM /*wp*/) {}
    HWND hwnd_ = nullptr;
    int id_ = 0;
};

class NativeEdit : public NativeControl {
public:
    Event<> Change;  // the text changed, by the user or by SetText
    bool Create(HWND parent, int id, int x, int y, int w, int h, DWORD extraStyle = 0);

private:
    void OnCommand(WORD code) override;
};

class NativeLabel : public NativeControl {
public:
    Event<> Click;  // raised only for a label created with SS_NOTIFY
    bool Create(HWND parent, int id, const wchar_t* text, int x, int y, int w, int h, DWORD extraStyle = 0);

private:
    void OnCommand(WORD code) override;
};

class NativeButton : public NativeControl {
public:
    Event<> Click;
    bool Create(HWND parent, int id, const wchar_t* text, int x, int y, int w, int h, DWORD extraStyle = 0);

private:
    void OnCommand(WORD code) override;
};

class NativeCheckBox : public NativeControl {
public:
    Event<> Click;  // after the box changed state (raised by a click, not by SetChecked)
    bool Create(HWND parent, int id, const wchar_t* text, int x, int y, int w, int h, DWORD extraStyle = 0);
    bool Checked() const;
    void SetChecked(bool checked);

private:
    void OnCommand(WORD code) override;
};

// A scroll bar control with a value in Min..Max: arrows step by smallChange,
// the trough by largeChange, the thumb where it is dragged. Scroll is raised
// while the thumb is dragged, Change after every other move, each only when
// the value really moved; SetValue raises nothing.
class NativeScrollBar : public NativeControl {
public:
    Event<> Change;
    Event<> Scroll;
    bool Create(HWND parent, int id, bool horizontal, int x, int y, int w, int h);
    void SetRange(int min, int max, int smallChange = 1, int largeChange = 10);
    int Value() const noexcept { return model_.Value(); }
    void SetValue(int value);

private:
    void OnScroll(WPARAM wp) override;
    controls::ScrollBarModel model_{0, 100, 0, 1, 10};
};

class NativeControlRouter {
public:
    void Add(NativeControl& control) { controls_.push_back(&control); }
    void Clear() { controls_.clear(); }
    // From the owner's HandleMessage; true when the message was one of a
    // routed control's notifications (the owner then returns 0).
    bool Route(UINT msg, WPARAM wp, LPARAM lp);

private:
    NativeControl* Find(HWND hwnd) const;
    std::vector<NativeControl*> controls_;
};

}  // namespace px::win
