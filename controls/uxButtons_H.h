#pragma once
// The program's owner-drawn button: push, check or option button, with eight
// face styles, nine shapes, caption and picture, gradients and hover colours.
// Owners build it in code (Create, then setters, or a PropertyBag keyed by
// the persisted names) and connect handlers to its Event members:
//
//     cmdApply.Create(hwnd(), L"cmdApply", 10, 10, 90, 26);
//     cmdApply.SetCaption(L"&Apply");
//     cmdApply.Click.connect([this] { cmdApply_Click(); });
//
// Settings out of range are ignored, as are the refused combinations (a
// custom shape without a bitmap picture, a caption not centred under a
// picture aligned top or bottom centre, a value on a push button).
//
// Styles (ButtonStyle): 0 flat, 1 thin 3-D, 2 standard 3-D, 3 hot (flat until
// the pointer is over it), 4 office (highlight colour on hover), 5 plastic
// (shaded face), 6 etched, 7 glass (two-tone face).
// Shapes (ButtonShape): 0 rectangle, 1 rounded, 2 capsule, 3 oval, 4 circle,
// 5 diamond, 6 octagon, 7 custom (the picture is the face, cut along its
// outline), 8 custom (the button's own face inside the picture's outline).
// The outline of a custom shape is every pixel that differs from the
// picture's top-left pixel.
// CaptionStyle: 0 plain, 1 raised, 2 engraved.
// GradientMode: 0 none, 1 left to right, 2 right to left, 3 top to bottom,
// 4 bottom to top, from BackColor to GradientColor.
// PictureAlign: 0 left edge, 1 right edge, 2 left of caption, 3 right of
// caption, 4 top centre, 5 bottom centre. PictureSize: 0..3 squares of 16, 24,
// 32, 48 pixels; 4 the picture's own size.
// CustomClick (pressed look of custom shapes): 0 moves 1 pixel, 1 moves 2
// pixels, 2 darker, 3 lighter, 4 inverted, 5 grey, 6 sunken edge, 7 raised
// edge that sinks, 8 no change.
// HoverColorLocks: bit 1 keeps the hover text colour on ForeColor, bit 2 the
// hover face on BackColor (3, both, is the default); setting a hover colour
// unlocks it.
#include <windows.h>

#include <string>
#include <vector>

#include "base/Event.h"
#include "base/win/OlePicture.h"
#include "base/win/ScopedWin.h"
#include "base/win/Window.h"
#include "controls/ControlToolTip.h"
#include "controls/core/ButtonState.h"
#include "controls/core/CaptionText.h"
#include "controls/core/ControlProperties.h"
#include "base/Geometry.h"

namespace px::win {

class uxButtons_H : public Window {
public:
    static constexpr wchar_t kClassName[] = L"uxButtons_H";
    static constexpr UINT_PTR kHoverTimerId = 237;

    uxButtons_H() = default;
    ~uxButtons_H() override;

    // Creates the control as a child of `parent`; `name` is the control's name
    // and its default caption. A bag, if given, is loaded before the first paint.
    bool Create(HWND parent, const std::wstring& name, int x, int y, int w, int h, int id = 0);
    bool Create(HWND parent, const std::wstring& name, const RECT& bounds, const controls::PropertyBag& props,
                int id = 0);
    // The button behind a window handle, or nullptr for any other window.
    static uxButtons_H* FromHandle(HWND hwnd);

    // Persisted properties, keyed by their persisted names ("BackStyle", "Caption", ...).
    void ReadProperties(const controls::PropertyBag& bag);
    controls::PropertyBag WriteProperties() const;

    const std::wstring& Name() const noexcept { return name_; }

    int ButtonStyle() const noexcept { return p_.buttonStyle; }
    void SetButtonStyle(int v);
    int Mode() const noexcept { return state_.mode(); }
    void SetMode(int v);
    bool Value() const noexcept { return state_.value(); }
    void SetValue(bool v);
    const std::wstring& Caption() const noexcept { return p_.caption; }
    void SetCaption(const std::wstring& v);
    wchar_t AccessKey() const noexcept { return caption_.accessKey; }
    int CaptionAlign() const noexcept { return p_.captionAlign; }
    void SetCaptionAlign(int v);
    int CaptionStyle() const noexcept { return p_.captionStyle; }
    void SetCaptionStyle(int v);
    int ButtonShape() const noexcept { return p_.shape; }
    void SetButtonShape(int v);
    int CustomClick() const noexcept { return p_.customClick; }
    void SetCustomClick(int v);
    const OlePicture& Picture() const noexcept { return picture_; }
    void SetPicture(const OlePicture& pic);
    int PictureAlign() const noexcept { return p_.pictureAlign; }
    void SetPictureAlign(int v);
    int PictureSize() const noexcept { return p_.pictureSize; }
    void SetPictureSize(int v);
    bool Enabled() const noexcept { return p_.enabled; }
    void SetEnabled(bool v);
    bool ShowFocusRect() const noexcept { return p_.showFocusRect; }
    void SetShowFocusRect(bool v);
    int MousePointer() const noexcept { return p_.mousePointer; }
    void SetMousePointer(int v);
    const OlePicture& MouseIcon() const noexcept { return mouseIcon_; }
    void SetMouseIcon(const OlePicture& icon);  // icons and cursors only
    const px::FontDescription& Font() const noexcept { return p_.font; }
    void SetFont(const px::FontDescription& f);
    int FontStyle() const noexcept { return p_.font.style; }
    void SetFontStyle(int bits);
    uint32_t ForeColor() const noexcept { return p_.foreColor; }
    void SetForeColor(uint32_t c);
    uint32_t BackColor() const noexcept { return p_.backColor; }
    void SetBackColor(uint32_t c);
    uint32_t GradientColor() const noexcept { return p_.gradientColor; }
    void SetGradientColor(uint32_t c);
    int GradientMode() const noexcept { return p_.gradientMode; }
    void SetGradientMode(int v);
    uint32_t HoverForeColor() const noexcept { return p_.EffectiveHoverFore(); }
    void SetHoverForeColor(uint32_t c);
    uint32_t HoverBackColor() const noexcept { return p_.EffectiveHoverBack(); }
    void SetHoverBackColor(uint32_t c);
    int HoverColorLocks() const noexcept { return p_.hoverColorLocks; }
    void SetHoverColorLocks(int v);
    // Setting it true restores the default colours; it always reads false.
    bool ResetDefaultColors() const noexcept { return false; }
    void SetResetDefaultColors(bool v);
    // Decimal window handle that receives the arrow keys.
    const std::wstring& Tag() const noexcept { return tag_; }
    void SetTag(const std::wstring& v) { tag_ = v; }
    const std::wstring& ToolTipText() const noexcept { return toolTip_; }
    void SetToolTipText(const std::wstring& v);
    // 0 none, 1 manual: dropped files arrive as OLEDragDrop.
    int OLEDropMode() const noexcept { return oleDropMode_; }
    void SetOLEDropMode(int v);

    // Glyph squares, the caption's padding and gap and a font of its own
    // (points) follow the button's dpi (Window::Dpi); a WM_DPICHANGED that
    // moves it to another monitor rebuilds them.
    // The memory device context the face is drawn in (owned by the button).
    HDC hDC();
    void Refresh();
    // While true, property changes do not redraw; false redraws once.
    void DelayDrawing(bool delay);
    bool IsHovering() const noexcept { return state_.has(controls::StateBit::Hover); }
    bool ShowsDown() const noexcept { return state_.ShowsDown(); }

    // Notifications. Mouse ones carry (button 1 left, 2 right, 4 middle; shift
    // 1 shift, 2 ctrl, 4 alt; x; y) in client pixels. A key handler may set the
    // key code to 0 to swallow the key.
    Event<> Click;
    Event<> DoubleClick;
    Event<bool> MouseOnButton;
    Event<int, int, int, int> MouseDown;
    Event<int, int, int, int> MouseMove;
    Event<int, int, int, int> MouseUp;
    Event<int&, int> KeyDown;
    Event<int&> KeyPress;
    Event<int&, int> KeyUp;
    Event<const std::vector<std::wstring>&, int, int, int, int> OLEDragDrop;  // files, button, shift, x, y

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // The hover timer's tick (modUxTimer's message): is the pointer still over the button?
    void HoverTimerTick(UINT_PTR timerId);
    void UserControl_MouseDown(int button, WPARAM wp, LPARAM lp, bool doubleClick);
    void UserControl_MouseUp(int button, WPARAM wp, LPARAM lp);
    void UserControl_MouseMove(WPARAM wp, LPARAM lp);
    bool UserControl_KeyDown(WPARAM wp, LPARAM lp);
    void UserControl_KeyUp(WPARAM wp, LPARAM lp);
    void UserControl_Paint();
    void UserControl_Destroy();

    void EnterHover(bool leftHeld);
    void LeaveHover();
    void PerformClick();
    void TurnOthersOff();
    void SetValueFromGroup(bool v);
    void SyncOptionRegistration();
    bool IsPointInside(POINT clientPt) const;

    void Redraw();
    void UpdateShapeRegion();
    void RefreshCustomOutline();
    void UpdateTitle();
    void ApplyProperties();
    HFONT CurrentFont();
    void RebuildFont();
    void EnsureBackBuffer(int w, int h);
    void DrawFace(HDC dc, int w, int h);

    std::wstring name_;
    bool captionSet_ = false;         // the caption no longer follows the name
    bool pendingPictureRef_ = false;  // picture references of a loaded bag still to resolve
    std::vector<px::Rect> customRuns_;  // outline of a custom shape
    controls::ButtonProperties p_;
    controls::ButtonState state_;
    controls::CaptionText caption_ = controls::ParseCaption(L"");
    OlePicture picture_;
    OlePicture mouseIcon_;
    std::wstring tag_;
    std::wstring toolTip_;
    int oleDropMode_ = 0;
    bool delayDrawing_ = false;
    bool leftDown_ = false;       // a left press began on the button and holds the capture
    bool doubleClicked_ = false;  // the press in progress is the second of a double click
    bool spaceDown_ = false;
    HWND container_ = nullptr;    // where the option group is registered
    bool registered_ = false;
    HFONT borrowedFont_ = nullptr;  // WM_SETFONT from the owner; not ours to delete
    ScopedFont ownFont_;
    UINT fontDpi_ = 96;  // the dpi ownFont_ was made for
    ControlToolTip toolTipWnd_;

    // Back buffer.
    struct BackBuffer {
        MemoryBitmapDC surface;
        int w = 0, h = 0;
        void Reset() {
            surface.reset();
            w = h = 0;
        }
    } back_;
};

}  // namespace px::win
