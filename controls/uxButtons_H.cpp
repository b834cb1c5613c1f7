#include "controls/uxButtons_H.h"
#include "base/Text.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "base/Rounding.h"
#include "controls/ButtonFace.h"
#include "controls/ControlSupport.h"
#include "controls/PictureReference.h"
#include "controls/core/ButtonLayout.h"
#include "controls/core/ColorMath.h"
#include "controls/core/OptionGroup.h"
#include "controls/modUxTimer.h"

namespace px::win {

using namespace px::controls;

namespace {

// The option group lives in the container's window properties.
class ContainerProps : public PropertyStore {
public:
    explicit ContainerProps(HWND container) : h_(container) {}
    intptr_t Get(const std::string& name) const override {
        return reinterpret_cast<intptr_t>(::GetPropW(h_, Widen(name).c_str()));
    }
    void Put(const std::string& name, intptr_t value) override {
        ::SetPropW(h_, Widen(name).c_str(), reinterpret_cast<HANDLE>(value));
    }
    void Remove(const std::string& name) override { ::RemovePropW(h_, Widen(name).c_str()); }

private:
    HWND h_;
};

bool IsArrowKey(WPARAM vk) { return vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN; }

LPCWSTR StandardCursor(int pointer) {
    static const LPCWSTR kCursors[] = {IDC_ARROW,    IDC_ARROW,    IDC_CROSS,  IDC_IBEAM,  IDC_ARROW,
                                       IDC_SIZEALL,  IDC_SIZENESW, IDC_SIZENS, IDC_SIZENWSE, IDC_SIZEWE,
                                       IDC_UPARROW,  IDC_WAIT,     IDC_NO,     IDC_APPSTARTING, IDC_HELP,
                                       IDC_SIZEALL};
    return pointer >= 0 && pointer < 16 ? kCursors[pointer] : IDC_ARROW;
}

PixelEffect PressedEffect(int customClick) {
    switch (customClick) {
    case 2: return PixelEffect::Darken;
    case 3: return PixelEffect::Lighten;
    case 4: return PixelEffect::Invert;
    case 5: return PixelEffect::Grey;
    default: return PixelEffect::None;
    }
}

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

// ---- creation and lookup ----

uxButtons_H::~uxButtons_H() { Destroy(); }

bool uxButtons_H::Create(HWND parent, const std::wstring& name, int x, int y, int w, int h, int id) {
    if (IsCreated()) return false;
    name_ = name;
    if (!captionSet_) p_.caption = name;
    RegisterClassOnce(kClassName, CS_DBLCLKS, nullptr);
    CreateWindowObject(kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, x, y, w, h, parent,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    if (!IsCreated()) return false;
    container_ = parent;
    ApplyProperties();
    return true;
}

bool uxButtons_H::Create(HWND parent, const std::wstring& name, const RECT& r, const PropertyBag& props, int id) {
    name_ = name;
    p_ = ButtonProperties::Load(props, name);
    captionSet_ = true;
    pendingPictureRef_ = true;
    return Create(parent, name, r.left, r.top, r.right - r.left, r.bottom - r.top, id);
}

uxButtons_H* uxButtons_H::FromHandle(HWND hwnd) { return ControlFromHandle<uxButtons_H>(hwnd, kClassName); }

void uxButtons_H::ReadProperties(const PropertyBag& bag) {
    p_ = ButtonProperties::Load(bag, name_);
    captionSet_ = true;
    pendingPictureRef_ = true;
    if (IsCreated()) ApplyProperties();
}

PropertyBag uxButtons_H::WriteProperties() const {
    ButtonProperties p = p_;
    p.mode = state_.mode();
    p.value = state_.value();
    PropertyBag bag;
    p.Save(bag);
    return bag;
}

void uxButtons_H::ApplyProperties() {
    bool wasDelayed = delayDrawing_;
    delayDrawing_ = true;
    if (pendingPictureRef_) {
        pendingPictureRef_ = false;
        picture_ = LoadPictureReference(p_.picture);
        mouseIcon_ = LoadPictureReference(p_.mouseIcon);
        if (mouseIcon_ && !face::IsIconPicture(mouseIcon_)) mouseIcon_ = OlePicture();
    }
    // Custom shapes need a bitmap picture.
    if (IsCustomShape(p_.shape) && !face::IsBitmapPicture(picture_)) p_.shape = ShapeRectangle;
    state_.SetMode(p_.mode);
    SyncOptionRegistration();
    if (state_.SetValue(p_.value) && p_.value && state_.mode() == ModeOption) TurnOthersOff();
    caption_ = ParseCaption(p_.caption);
    ::EnableWindow(hwnd(), p_.enabled);
    RebuildFont();
    UpdateTitle();
    RefreshCustomOutline();
    UpdateShapeRegion();
    if (!toolTip_.empty()) SetToolTipText(toolTip_);
    SetOLEDropMode(oleDropMode_);
    delayDrawing_ = wasDelayed;
    Redraw();
}

// ---- property setters ----

void uxButtons_H::SetButtonStyle(int v) {
    if (!ButtonRange::Style(v) || v == p_.buttonStyle) return;
    p_.buttonStyle = v;
    Redraw();
}

void uxButtons_H::SetMode(int v) {
    if (!ButtonRange::Mode(v)) return;
    p_.mode = v;
    ModeChangeOutcome o = state_.SetMode(v);
    SyncOptionRegistration();
    if (o.valueCleared) p_.value = false;
    Redraw();
}

void uxButtons_H::SyncOptionRegistration() {
    // Option buttons are registered with their container while the window
    // exists, whenever the mode was set (before or after creation).
    if (!container_ || !IsCreated()) return;
    const bool wanted = state_.mode() == ModeOption;
    if (wanted == registered_) return;
    ContainerProps props(container_);
    if (wanted)
        RegisterOption(props, reinterpret_cast<intptr_t>(hwnd()));
    else
        UnregisterOption(props, reinterpret_cast<intptr_t>(hwnd()));
    registered_ = wanted;
}

void uxButtons_H::SetValue(bool v) {
    if (!state_.SetValue(v)) return;  // push buttons have no value
    p_.value = v;
    if (v && state_.mode() == ModeOption) TurnOthersOff();
    Redraw();
}

void uxButtons_H::SetValueFromGroup(bool v) {
    if (state_.value() == v) return;
    state_.SetValue(v);
    p_.value = v;
    Redraw();
}

void uxButtons_H::TurnOthersOff() {
    if (!container_ || !IsCreated()) return;
    for (intptr_t id : RegisteredOptions(ContainerProps(container_))) {
        HWND other = reinterpret_cast<HWND>(id);
        if (other == hwnd()) continue;
        if (uxButtons_H* b = FromHandle(other)) b->SetValueFromGroup(false);
    }
}

void uxButtons_H::SetCaption(const std::wstring& v) {
    captionSet_ = true;
    p_.caption = v;
    caption_ = ParseCaption(v);
    UpdateTitle();
    Redraw();
}

void uxButtons_H::UpdateTitle() {
    // The title carries the access key for the platform's dialog navigation.
    if (IsCreated()) ::SetWindowTextW(hwnd(), MnemonicTitle(caption_).c_str());
}

void uxButtons_H::SetCaptionAlign(int v) {
    if (!ButtonRange::CaptionAlign(v)) return;
    if (PictureForcesCentredCaption(p_.pictureAlign) && v != CapCentre) return;
    p_.captionAlign = v;
    Redraw();
}

void uxButtons_H::SetCaptionStyle(int v) {
    if (!ButtonRange::CaptionStyle(v)) return;
    p_.captionStyle = v;
    Redraw();
}

void uxButtons_H::SetButtonShape(int v) {
    if (!ButtonRange::Shape(v) || v == p_.shape) return;
    if (IsCustomShape(v) && !face::IsBitmapPicture(picture_)) return;
    p_.shape = v;
    if (IsCustomShape(v)) p_.pictureSize = kPictureSizeActual;
    RefreshCustomOutline();
    UpdateShapeRegion();
    Redraw();
}

void uxButtons_H::SetCustomClick(int v) {
    if (!ButtonRange::CustomClick(v)) return;
    p_.customClick = v;  // stored for any shape; only custom shapes use it
    Redraw();
}

void uxButtons_H::SetPicture(const OlePicture& pic) {
    picture_ = pic;
    p_.picture.clear();  // no longer the picture a reference named
    // Icons cannot give an outline: the button becomes rectangular again.
    if (IsCustomShape(p_.shape) && !face::IsBitmapPicture(picture_)) p_.shape = ShapeRectangle;
    RefreshCustomOutline();
    UpdateShapeRegion();
    Redraw();
}

void uxButtons_H::SetPictureAlign(int v) {
    if (!ButtonRange::PictureAlign(v)) return;
    p_.pictureAlign = v;
    if (PictureForcesCentredCaption(v)) p_.captionAlign = CapCentre;
    Redraw();
}

void uxButtons_H::SetPictureSize(int v) {
    if (!ButtonRange::PictureSize(v) || IsCustomShape(p_.shape)) return;
    p_.pictureSize = v;
    Redraw();
}

void uxButtons_H::SetEnabled(bool v) {
    p_.enabled = v;
    if (!IsCreated()) return;
    if (!v) {
        if (state_.has(StateBit::Hover)) LeaveHover();
        if (leftDown_) {
            leftDown_ = false;
            ::ReleaseCapture();
        }
        state_.set(StateBit::Pressed, false);
    }
    ::EnableWindow(hwnd(), v);
    Redraw();
}

void uxButtons_H::SetShowFocusRect(bool v) {
    p_.showFocusRect = v;
    Redraw();
}

void uxButtons_H::SetMousePointer(int v) {
    if (ButtonRange::MousePointer(v)) p_.mousePointer = v;
}

void uxButtons_H::SetMouseIcon(const OlePicture& icon) {
    if (icon && !face::IsIconPicture(icon)) return;  // icons and cursors only
    mouseIcon_ = icon;
    p_.mouseIcon.clear();
}

void uxButtons_H::SetFont(const FontDescription& f) {
    p_.font = f;
    RebuildFont();
    Redraw();
}

void uxButtons_H::SetFontStyle(int bits) {
    p_.font.style = bits & 15;
    RebuildFont();
    Redraw();
}

void uxButtons_H::SetForeColor(uint32_t c) {
    if (!IsValidOleColor(c)) return;
    p_.foreColor = c;
    Redraw();
}

void uxButtons_H::SetBackColor(uint32_t c) {
    if (!IsValidOleColor(c)) return;
    p_.backColor = c;
    Redraw();
}

void uxButtons_H::SetGradientColor(uint32_t c) {
    if (!IsValidOleColor(c)) return;
    p_.gradientColor = c;
    Redraw();
}

void uxButtons_H::SetGradientMode(int v) {
    if (!ButtonRange::GradientMode(v)) return;
    p_.gradientMode = v;
    Redraw();
}

void uxButtons_H::SetHoverForeColor(uint32_t c) {
    if (!IsValidOleColor(c)) return;
    p_.hoverForeColor = c;
    p_.hoverColorLocks &= ~HoverLock::Fore;
    Redraw();
}

void uxButtons_H::SetHoverBackColor(uint32_t c) {
    if (!IsValidOleColor(c)) return;
    p_.hoverBackColor = c;
    p_.hoverColorLocks &= ~HoverLock::Back;
    Redraw();
}

void uxButtons_H::SetHoverColorLocks(int v) {
    if (!ButtonRange::HoverLocks(v)) return;
    p_.hoverColorLocks = v;
    Redraw();
}

void uxButtons_H::SetResetDefaultColors(bool v) {
    if (!v) return;
    p_.ResetDefaultColors();
    Redraw();
}

void uxButtons_H::SetToolTipText(const std::wstring& v) {
    toolTip_ = v;
    if (IsCreated()) toolTipWnd_.Set(hwnd(), container_, v);
}

void uxButtons_H::SetOLEDropMode(int v) {
    if (v != 0 && v != 1) return;
    oleDropMode_ = v;
    if (IsCreated()) ::DragAcceptFiles(hwnd(), v == 1);
}

// ---- methods ----

HDC uxButtons_H::hDC() {
    if (!IsCreated()) return nullptr;
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    EnsureBackBuffer(rc.right, rc.bottom);
    return back_.surface.dc();
}

void uxButtons_H::Refresh() {
    if (IsCreated()) ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void uxButtons_H::DelayDrawing(bool delay) {
    delayDrawing_ = delay;
    if (!delay) Refresh();
}

void uxButtons_H::Redraw() {
    // Invalidate only: several changes in one handler cost one paint.
    if (!delayDrawing_ && IsCreated()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

// ---- hover ----

void uxButtons_H::EnterHover(bool leftHeld) {
    state_.set(StateBit::Hover, true);
    // Coming back over the button with the left button still held from a press on it.
    if (leftHeld && leftDown_) state_.set(StateBit::Pressed, true);
    modUxTimer::StartHoverTimer(hwnd(), kHoverTimerId);
    Redraw();
    MouseOnButton(true);
}

void uxButtons_H::LeaveHover() {
    modUxTimer::StopHoverTimer(hwnd());
    state_.set(StateBit::Hover, false);
    state_.set(StateBit::Pressed, false);
    Redraw();
    MouseOnButton(false);
}

void uxButtons_H::HoverTimerTick(UINT_PTR) {
    if (!state_.has(StateBit::Hover)) {
        modUxTimer::StopHoverTimer(hwnd());
        return;
    }
    POINT pt;
    ::GetCursorPos(&pt);
    if (::WindowFromPoint(pt) != hwnd()) LeaveHover();
}

// ---- mouse ----

bool uxButtons_H::IsPointInside(POINT pt) const {
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    if (!::PtInRect(&rc, pt)) return false;
    ScopedRgn rgn(::CreateRectRgn(0, 0, 0, 0));
    if (::GetWindowRgn(hwnd(), rgn.get()) == ERROR) return true;  // no region: the whole rectangle
    return ::PtInRegion(rgn.get(), pt.x, pt.y) != FALSE;
}

void uxButtons_H::UserControl_MouseMove(WPARAM wp, LPARAM lp) {
    if (!state_.has(StateBit::Hover)) {
        POINT pt;
        ::GetCursorPos(&pt);
        if (::WindowFromPoint(pt) == hwnd()) EnterHover((wp & MK_LBUTTON) != 0);
        if (!IsCreated()) return;
    }
    int buttons = ((wp & MK_LBUTTON) ? 1 : 0) | ((wp & MK_RBUTTON) ? 2 : 0) | ((wp & MK_MBUTTON) ? 4 : 0);
    MouseMove(buttons, ShiftState(), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
}

void uxButtons_H::UserControl_MouseDown(int button, WPARAM, LPARAM lp, bool doubleClick) {
    if (button == 1 && p_.enabled) {
        if (::GetFocus() != hwnd()) ::SetFocus(hwnd());
        leftDown_ = true;
        doubleClicked_ = doubleClick;
        state_.set(StateBit::Pressed, true);
        ::SetCapture(hwnd());
        Redraw();
    }
    MouseDown(button, ShiftState(), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
}

void uxButtons_H::UserControl_MouseUp(int button, WPARAM, LPARAM lp) {
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    bool click = false, doubleClick = false;
    if (button == 1 && leftDown_) {
        leftDown_ = false;  // before ReleaseCapture, whose WM_CAPTURECHANGED must not cancel anything
        click = IsPointInside(pt);
        doubleClick = doubleClicked_;
        doubleClicked_ = false;
        state_.set(StateBit::Pressed, false);
        ::ReleaseCapture();
        Redraw();
    }
    MouseUp(button, ShiftState(), pt.x, pt.y);
    if (!click || !IsCreated()) return;
    PerformClick();
    if (doubleClick && IsCreated()) DoubleClick();
}

void uxButtons_H::PerformClick() {
    if (!p_.enabled) return;
    ClickOutcome o = state_.LeftClick();
    if (o.valueChanged) p_.value = state_.value();
    if (o.turnOthersOff) TurnOthersOff();
    if (o.valueChanged) Redraw();
    if (o.raiseClick) Click();
}

// ---- keyboard ----

bool uxButtons_H::UserControl_KeyDown(WPARAM wp, LPARAM lp) {
    if (IsArrowKey(wp)) {
        // Arrows belong to the window named by Tag (decimal handle text).
        wchar_t* end = nullptr;
        unsigned long long h = std::wcstoull(tag_.c_str(), &end, 10);
        HWND target = reinterpret_cast<HWND>(static_cast<UINT_PTR>(h));
        if (!tag_.empty() && *end == 0 && ::IsWindow(target)) ::PostMessageW(target, WM_KEYDOWN, wp, lp);
        return true;
    }
    int code = static_cast<int>(wp);
    KeyDown(code, ShiftState());
    if (!IsCreated()) return true;
    if (code == VK_SPACE && p_.enabled && !(lp & 0x40000000) && !leftDown_) {
        spaceDown_ = true;
        state_.set(StateBit::Pressed, true);
        Redraw();
    }
    return code == 0;
}

void uxButtons_H::UserControl_KeyUp(WPARAM wp, LPARAM) {
    if (IsArrowKey(wp)) return;
    int code = static_cast<int>(wp);
    KeyUp(code, ShiftState());
    if (!IsCreated()) return;
    if (wp == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        state_.set(StateBit::Pressed, false);
        Redraw();
        // Releasing the space bar over a pressed button is a click, as the pointer's release is.
        if (code == VK_SPACE) PerformClick();
    }
}

// ---- painting ----

void uxButtons_H::EnsureBackBuffer(int w, int h) {
    w = std::max(w, 1);
    h = std::max(h, 1);
    if (back_.surface && back_.w == w && back_.h == h) return;
    back_.Reset();
    ScopedGetDC screen(hwnd());
    back_.surface = MemoryBitmapDC(screen, ScopedBitmap(::CreateCompatibleBitmap(screen, w, h)));
    if (!back_.surface) return;
    back_.w = w;
    back_.h = h;
}

HFONT uxButtons_H::CurrentFont() {
    if (ownFont_) return ownFont_.get();
    if (borrowedFont_) return borrowedFont_;
    if (container_) {
        if (auto f = reinterpret_cast<HFONT>(::SendMessageW(container_, WM_GETFONT, 0, 0))) return f;
    }
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void uxButtons_H::RebuildFont() {
    ownFont_.reset();
    fontDpi_ = Dpi();
    const FontDescription& f = p_.font;
    if (f.usesContainerFont() && f.style == 0) return;
    LOGFONTW lf{};
    if (f.usesContainerFont()) {
        ::GetObjectW(CurrentFont(), sizeof(lf), &lf);  // the container's face and size, our style
    } else {
        // Points at the button's own dpi: a button on a 150 % monitor gets a font half as tall again.
        lf.lfHeight = -RoundHalfEven<LONG>(f.size * static_cast<double>(fontDpi_) / 72.0);
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        wcsncpy_s(lf.lfFaceName, f.name.c_str(), LF_FACESIZE - 1);
    }
    lf.lfWeight = (f.style & FontStyleBit::Bold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (f.style & FontStyleBit::Italic) ? TRUE : FALSE;
    lf.lfUnderline = (f.style & FontStyleBit::Underline) ? TRUE : FALSE;
    lf.lfStrikeOut = (f.style & FontStyleBit::Strikeout) ? TRUE : FALSE;
    ownFont_.reset(::CreateFontIndirectW(&lf));
}

void uxButtons_H::RefreshCustomOutline() {
    customRuns_.clear();
    if (!IsCustomShape(p_.shape) || !IsCreated()) return;
    customRuns_ = face::CustomShapeRuns(picture_);
    // A custom button is as large as its picture.
    SIZE s = picture_.PixelSize();
    ::SetWindowPos(hwnd(), nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void uxButtons_H::UpdateShapeRegion() {
    if (!IsCreated()) return;
    HRGN region = nullptr;
    ScopedRgn rgn;
    if (p_.shape != ShapeRectangle) {
        RECT rc;
        ::GetClientRect(hwnd(), &rc);
        rgn = face::ShapeRegion(p_.shape, rc.right, rc.bottom, customRuns_);
        region = rgn.get();
    }
    // No redraw by the platform here (it repaints the whole parent area, slowly under
    // some drivers); the container repaints just what the outline uncovered, we repaint ourselves.
    if (!::SetWindowRgn(hwnd(), region, FALSE)) return;
    rgn.release();  // the window owns the region from here on
    if (container_ && ::IsWindowVisible(hwnd())) {
        RECT r;
        ::GetWindowRect(hwnd(), &r);
        ::MapWindowPoints(nullptr, container_, reinterpret_cast<POINT*>(&r), 2);
        ::RedrawWindow(container_, &r, nullptr, RDW_INVALIDATE | RDW_ERASE);
    }
}

void uxButtons_H::DrawFace(HDC dc, int w, int h) {
    const bool hover = state_.has(StateBit::Hover);
    const bool down = state_.ShowsDown();
    const bool enabled = p_.enabled;
    const COLORREF back = face::ToColorRef(hover ? p_.EffectiveHoverBack() : p_.backColor);
    const COLORREF fore = face::ToColorRef(hover ? p_.EffectiveHoverFore() : p_.foreColor);
    const COLORREF gradient = face::ToColorRef(p_.gradientColor);
    // Edge colours come from the face colour, so coloured buttons keep a matching 3-D look.
    const COLORREF hl = Lighten(back, 200), light = Lighten(back, 90);
    const COLORREF shadow = Darken(back, 100), dark = Darken(back, 190);
    const COLORREF accent = ::GetSysColor(COLOR_HIGHLIGHT);
    const RECT all{0, 0, w, h};

    ScopedSaveDC save(dc);
    ScopedRgn shape = face::ShapeRegion(p_.shape, w, h, customRuns_);
    face::FillRegion(dc, ScopedRgn(::CreateRectRgn(0, 0, w, h)).get(), back);

    int border = 0, shift = 0;
    const int style = p_.buttonStyle;
    if (p_.shape == ShapeCustomPicture) {
        // The picture is the face; CustomClick says how it looks pressed.
        PixelEffect effect = !enabled ? PixelEffect::Disabled : down ? PressedEffect(p_.customClick) : PixelEffect::None;
        if (down && p_.customClick <= 1) shift = p_.customClick + 1;
        SIZE s = picture_.PixelSize();
        face::DrawPicture(dc, picture_, RECT{shift, shift, shift + s.cx, shift + s.cy}, effect);
        if ((p_.customClick == 6 && down) || p_.customClick == 7)
            face::BevelRing(dc, shape.get(), down ? shadow : hl, down ? hl : shadow);
    } else {
        // Face: a gradient when asked for, else the style's own fill.
        if (p_.gradientMode != 0) {
            bool reversed = p_.gradientMode == 2 || p_.gradientMode == 4;
            COLORREF from = reversed ? gradient : back, to = reversed ? back : gradient;
            if (down) {
                from = Darken(from, 24);
                to = Darken(to, 24);
            }
            face::FillGradient(dc, shape.get(), all, from, to, p_.gradientMode >= 3);
        } else if (style == 5) {
            COLORREF top = Lighten(back, 150), bottom = Darken(back, 15);
            face::FillGradient(dc, shape.get(), all, down ? bottom : top, down ? top : bottom, true);
        } else if (style == 7) {
            ScopedRgn upper(::CreateRectRgn(0, 0, w, h / 2));
            ::CombineRgn(upper.get(), upper.get(), shape.get(), RGN_AND);
            face::FillRegion(dc, shape.get(), down ? Darken(back, 30) : back);
            face::FillRegion(dc, upper.get(), down ? back : Lighten(back, 100));
        } else if (style == 4 && (hover || down)) {
            face::FillRegion(dc, shape.get(), Blend(back, accent, down ? 110 : 60));
        } else if (style == 0 && down) {
            face::FillRegion(dc, shape.get(), Darken(back, 25));
        } else {
            face::FillRegion(dc, shape.get(), back);
        }
        // Edges, following the outline of whatever shape the button has.
        switch (style) {
        case 0:
            face::BevelRing(dc, shape.get(), hover ? accent : shadow, hover ? accent : shadow);
            border = 1;
            break;
        case 1:
            face::BevelRing(dc, shape.get(), down ? shadow : hl, down ? hl : shadow);
            border = 1;
            shift = down ? 1 : 0;
            break;
        case 3:
            if (hover || down) face::BevelRing(dc, shape.get(), down ? shadow : hl, down ? hl : shadow);
            border = 1;
            shift = down ? 1 : 0;
            break;
        case 4:
            if (hover || down) face::BevelRing(dc, shape.get(), accent, accent);
            border = 1;
            break;
        case 5:
            face::BevelRing(dc, shape.get(), Darken(back, 130), Darken(back, 130));
            border = 1;
            shift = down ? 1 : 0;
            break;
        case 6: {
            ScopedRgn inner = face::BevelRing(dc, shape.get(), down ? hl : shadow, down ? shadow : hl);
            face::BevelRing(dc, inner.get(), down ? shadow : hl, down ? hl : shadow);
            border = 2;
            shift = down ? 1 : 0;
            break;
        }
        case 7: {
            ScopedRgn inner = face::BevelRing(dc, shape.get(), Darken(back, 110), Darken(back, 110));
            face::BevelRing(dc, inner.get(), down ? shadow : hl, down ? light : shadow);
            border = 2;
            shift = down ? 1 : 0;
            break;
        }
        default: {  // 2: standard 3-D
            ScopedRgn inner = face::BevelRing(dc, shape.get(), down ? dark : hl, down ? hl : dark);
            face::BevelRing(dc, inner.get(), down ? shadow : light, down ? light : shadow);
            border = 2;
            shift = down ? 1 : 0;
            break;
        }
        }
    }

    // Picture and caption inside the shape.
    if (fontDpi_ != Dpi()) RebuildFont();  // moved to a monitor of another dpi
    ScopedSelectObject font(dc, CurrentFont());
    const int dpi = static_cast<int>(Dpi());
    Rect content = ContentRect(p_.shape, w, h, border + Scale(2)).offset(shift, shift);
    Size textSize = face::MeasureCaption(dc, caption_);
    Size picSize{0, 0};
    const bool pictureIsContent = picture_ && !IsCustomShape(p_.shape);
    if (pictureIsContent) {
        SIZE s = picture_.PixelSize();
        picSize = PictureDisplaySize(p_.pictureSize, {s.cx, s.cy}, dpi);
    }
    FaceLayout layout = LayoutFace(content, textSize, picSize, p_.pictureAlign, p_.captionAlign, Scale(kFaceGap));
    if (p_.shape == ShapeCustomPicture) layout = LayoutFace(Rect{shift, shift, w + shift, h + shift}, textSize, {0, 0}, 0, CapCentre);
    {
        ScopedSaveDC clip(dc);
        ::SelectClipRgn(dc, shape.get());
        if (pictureIsContent)
            face::DrawPicture(dc, picture_, ToRECT(layout.picture), enabled ? PixelEffect::None : PixelEffect::Disabled);
        face::DrawCaptionText(dc, caption_, ToRECT(layout.caption), p_.captionAlign, p_.captionStyle, fore, hl,
                              shadow, enabled);
    }
    if (state_.has(StateBit::Focus) && p_.showFocusRect && enabled) {
        RECT fr;
        if (p_.shape == ShapeRectangle || p_.shape == ShapeRounded) {
            fr = RECT{border + 2, border + 2, w - border - 2, h - border - 2};
        } else {
            RECT a = ToRECT(layout.caption), b = ToRECT(layout.picture);
            if (::IsRectEmpty(&a)) a = b;
            if (!::IsRectEmpty(&b)) ::UnionRect(&a, &a, &b);
            ::InflateRect(&a, 2, 1);
            fr = a;
        }
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &fr);
    }
}

void uxButtons_H::UserControl_Paint() {
    ScopedPaint ps(hwnd());
    if (delayDrawing_) return;
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    EnsureBackBuffer(rc.right, rc.bottom);
    if (!back_.surface) return;
    DrawFace(back_.surface.dc(), rc.right, rc.bottom);
    ::BitBlt(ps, 0, 0, rc.right, rc.bottom, back_.surface.dc(), 0, 0, SRCCOPY);
}

void uxButtons_H::UserControl_Destroy() {
    modUxTimer::StopHoverTimer(hwnd());
    if (registered_ && container_) {
        ContainerProps props(container_);
        UnregisterOption(props, reinterpret_cast<intptr_t>(hwnd()));
        registered_ = false;
    }
    toolTipWnd_.Destroy();
    back_.Reset();
    leftDown_ = spaceDown_ = false;
    state_.set(StateBit::Hover | StateBit::Pressed | StateBit::Focus, false);
}

// ---- messages ----

LRESULT uxButtons_H::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == modUxTimer::HoverTickMessage()) {
        HoverTimerTick(static_cast<UINT_PTR>(wp));
        return 1;
    }
    switch (msg) {
    case WM_PAINT:
        UserControl_Paint();
        return 0;
    case WM_PRINTCLIENT: {
        RECT rc;
        ::GetClientRect(hwnd(), &rc);
        EnsureBackBuffer(rc.right, rc.bottom);
        if (back_.surface) {
            DrawFace(back_.surface.dc(), rc.right, rc.bottom);
            ::BitBlt(reinterpret_cast<HDC>(wp), 0, 0, rc.right, rc.bottom, back_.surface.dc(), 0, 0, SRCCOPY);
        }
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        UpdateShapeRegion();
        Redraw();
        return 0;
    case WM_MOUSEMOVE:
        UserControl_MouseMove(wp, lp);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        UserControl_MouseDown(1, wp, lp, msg == WM_LBUTTONDBLCLK);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        UserControl_MouseDown(2, wp, lp, false);
        return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        UserControl_MouseDown(4, wp, lp, false);
        return 0;
    case WM_LBUTTONUP:
        UserControl_MouseUp(1, wp, lp);
        return 0;
    case WM_RBUTTONUP:
        UserControl_MouseUp(2, wp, lp);
        return 0;
    case WM_MBUTTONUP:
        UserControl_MouseUp(4, wp, lp);
        return 0;
    case WM_CAPTURECHANGED:
        // Someone else took the pointer mid-press: the press is off, no click.
        if (leftDown_ && reinterpret_cast<HWND>(lp) != hwnd()) {
            leftDown_ = false;
            state_.set(StateBit::Pressed, false);
            Redraw();
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_BUTTON;
    case WM_KEYDOWN:
        UserControl_KeyDown(wp, lp);
        return 0;
    case WM_KEYUP:
        UserControl_KeyUp(wp, lp);
        return 0;
    case WM_CHAR: {
        int ascii = static_cast<int>(wp);
        KeyPress(ascii);
        return 0;
    }
    case BM_CLICK:  // the dialog manager's answer to the access key
        PerformClick();
        return 0;
    case WM_SETFOCUS:
        if (state_.set(StateBit::Focus, true)) Redraw();
        return 0;
    case WM_KILLFOCUS:
        if (spaceDown_) {
            spaceDown_ = false;
            state_.set(StateBit::Pressed, false);
        }
        state_.set(StateBit::Focus, false);
        Redraw();
        return 0;
    case WM_ENABLE:
        // EnableWindow from the owner is the same as setting Enabled.
        if ((wp != 0) != p_.enabled) SetEnabled(wp != 0);
        Redraw();
        return 0;
    case WM_SETFONT:
        borrowedFont_ = reinterpret_cast<HFONT>(wp);
        RebuildFont();
        if (LOWORD(lp)) Redraw();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(CurrentFont());
    case WM_DPICHANGED_AFTERPARENT:  // the window moved to a monitor of another dpi
        RebuildFont();
        Redraw();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && p_.mousePointer != 0) {
            if (p_.mousePointer == 99 && mouseIcon_) {
                OLE_HANDLE h = 0;
                mouseIcon_.get()->get_Handle(&h);
                ::SetCursor(reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(h)));
            } else {
                ::SetCursor(::LoadCursorW(nullptr, StandardCursor(p_.mousePointer)));
            }
            return TRUE;
        }
        break;
    case WM_DROPFILES: {
        std::vector<std::wstring> files;
        POINT pt{};
        {
            ScopedDrop drop(reinterpret_cast<HDROP>(wp));
            UINT n = ::DragQueryFileW(drop.get(), 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < n; ++i) {
                std::wstring f(::DragQueryFileW(drop.get(), i, nullptr, 0) + 1, L'\0');
                f.resize(::DragQueryFileW(drop.get(), i, f.data(), static_cast<UINT>(f.size())));
                files.push_back(std::move(f));
            }
            ::DragQueryPoint(drop.get(), &pt);
        }
        OLEDragDrop(files, 1, ShiftState(), pt.x, pt.y);
        return 0;
    }
    case WM_DESTROY:
        UserControl_Destroy();
        break;
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace px::win
