#include "controls/crkSlider.h"

#include <windowsx.h>

#include <algorithm>

#include "base/Error.h"
#include "controls/ButtonFace.h"
#include "controls/ControlSupport.h"
#include "controls/PictureReference.h"
#include "controls/core/ColorMath.h"
#include "controls/core/SliderGeometry.h"
#include "controls/frmValueTip.h"

namespace px::win {

using namespace px::controls;

namespace {

constexpr int kThumbThickness = 11;  // the default thumb: 11 x 21 lying across the rail
constexpr int kThumbBreadth = 21;

UINT EdgeForRailStyle(int style) {
    switch (style) {
    case 0: return EDGE_SUNKEN;       // 10
    case 1: return EDGE_RAISED;       // 5
    case 2: return BDR_SUNKENOUTER;   // 2
    case 3: return BDR_RAISEDINNER;   // 4
    default: return 0;
    }
}

}  // namespace

crkSlider::~crkSlider() { Destroy(); }

bool crkSlider::Create(HWND parent, const std::wstring& name, int x, int y, int w, int h, int id) {
    if (IsCreated()) return false;
    name_ = name;
    {
        ScopedGetDC screen(nullptr);
        twipsX_ = 1440 / std::max(1, ::GetDeviceCaps(screen, LOGPIXELSX));
        twipsY_ = 1440 / std::max(1, ::GetDeviceCaps(screen, LOGPIXELSY));
    }
    RegisterClassOnce(kClassName, 0, nullptr);
    CreateWindowObject(kClassName, name.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, x, y, w, h, parent,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    if (!IsCreated()) return false;
    ApplyProperties();
    return true;
}

bool crkSlider::Create(HWND parent, const std::wstring& name, const RECT& r, const PropertyBag& props, int id) {
    p_ = SliderProperties::Load(props);
    pendingPictureRefs_ = true;
    return Create(parent, name, r.left, r.top, r.right - r.left, r.bottom - r.top, id);
}

crkSlider* crkSlider::FromHandle(HWND hwnd) { return ControlFromHandle<crkSlider>(hwnd, kClassName); }

void crkSlider::ReadProperties(const PropertyBag& bag) {
    p_ = SliderProperties::Load(bag);
    pendingPictureRefs_ = true;
    if (IsCreated()) ApplyProperties();
}

PropertyBag crkSlider::WriteProperties() const {
    SliderProperties p = p_;
    p.min = model_.Min();
    p.max = model_.Max();
    p.value = model_.Value();
    PropertyBag bag;
    p.Save(bag);
    return bag;
}

void crkSlider::ApplyProperties() {
    if (pendingPictureRefs_) {
        pendingPictureRefs_ = false;
        sliderIcon_ = LoadPictureReference(p_.sliderIcon);
        railPicture_ = LoadPictureReference(p_.railPicture);
    }
    model_.Load(p_.min, p_.max, p_.value);
    ::EnableWindow(hwnd(), p_.enabled);
    if (!toolTip_.empty()) toolTipWnd_.Set(hwnd(), ::GetParent(hwnd()), toolTip_);
    UserControl_Resize();
}

// ---- values ----

void crkSlider::Raise(const SliderNotices& n) {
    if (!n.changed) return;
    ValueChanged(model_.Value());
    if (n.arrivedLast) ArrivedLast();
    if (n.arrivedFirst) ArrivedFirst();
}

void crkSlider::SetValue(int32_t v) {
    SliderNotices n = model_.SetValue(v);  // raises 380 outside Min..Max
    if (!n.changed) return;
    if (!dragging_) PlaceThumbForValue();
    Redraw();
    Raise(n);
}

void crkSlider::SetMin(int32_t v) {
    SliderNotices n = model_.SetMin(v);
    if (!dragging_) PlaceThumbForValue();  // the range changed: the same value sits elsewhere
    Redraw();
    Raise(n);
}

void crkSlider::SetMax(int32_t v) {
    SliderNotices n = model_.SetMax(v);
    if (!dragging_) PlaceThumbForValue();
    Redraw();
    Raise(n);
}

void crkSlider::SetOrientation(int v) {
    if (!SliderRange::Orientation(v) || v == p_.orientation) return;
    p_.orientation = v;
    UserControl_Resize();
}

void crkSlider::SetRailStyle(int v) {
    if (!SliderRange::RailStyle(v)) return;
    p_.railStyle = v;
    UserControl_Resize();
}

void crkSlider::SetEnabled(bool v) {
    p_.enabled = v;
    if (!IsCreated()) return;
    if (!v && dragging_) EndDrag(true);
    ::EnableWindow(hwnd(), v);
    Redraw();
}

void crkSlider::SetBackColor(uint32_t c) {
    if (!IsValidOleColor(c)) return;
    p_.backColor = c;
    Redraw();
}

void crkSlider::SetSliderIcon(const OlePicture& pic) {
    sliderIcon_ = pic;
    p_.sliderIcon.clear();
    UserControl_Resize();
}

void crkSlider::SetRailPicture(const OlePicture& pic) {
    railPicture_ = pic;
    p_.railPicture.clear();
    UserControl_Resize();
}

void crkSlider::SetToolTipText(const std::wstring& v) {
    toolTip_ = v;
    if (IsCreated()) toolTipWnd_.Set(hwnd(), ::GetParent(hwnd()), v);
}

// ---- geometry ----

SIZE crkSlider::ThumbSize() const {
    if (sliderIcon_) return sliderIcon_.PixelSize();
    // The default thumb is measured at 96 dpi and grows with the slider's dpi.
    const LONG thickness = Scale(kThumbThickness), breadth = Scale(kThumbBreadth);
    return p_.orientation == SliderHorizontal ? SIZE{thickness, breadth} : SIZE{breadth, thickness};
}

int crkSlider::Length() const {
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    return p_.orientation == SliderHorizontal ? rc.right : rc.bottom;
}

int crkSlider::ThumbLength() const {
    SIZE t = ThumbSize();
    return p_.orientation == SliderHorizontal ? t.cx : t.cy;
}

void crkSlider::PlaceThumbAt(int offset) {
    SIZE t = ThumbSize();
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    if (p_.orientation == SliderHorizontal) {
        int top = std::max<int>(0, (rc.bottom - t.cy) / 2);
        thumb_ = RECT{offset, top, offset + t.cx, top + t.cy};
    } else {
        int left = std::max<int>(0, (rc.right - t.cx) / 2);
        thumb_ = RECT{left, offset, left + t.cx, offset + t.cy};
    }
}

void crkSlider::PlaceThumbForValue() {
    if (!IsCreated()) return;
    PlaceThumbAt(ThumbOffsetForValue(model_.Value(), model_.Min(), model_.Range(), Length(), ThumbLength(),
                                     p_.orientation));
}

void crkSlider::UserControl_Resize() {
    if (fitting_ || !IsCreated()) return;
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    const bool horizontal = p_.orientation == SliderHorizontal;
    SIZE t = ThumbSize();
    // Across the rail the control is as thick as the thumb (or the rail picture); along it, at least a thumb long.
    int cross = horizontal ? t.cy : t.cx;
    if (p_.railStyle == 99 && railPicture_) {
        SIZE rp = railPicture_.PixelSize();
        cross = std::max<int>(cross, horizontal ? rp.cy : rp.cx);
    }
    int along = std::max<int>(horizontal ? rc.right : rc.bottom, horizontal ? t.cx : t.cy);
    int w = horizontal ? along : cross, h = horizontal ? cross : along;
    if (w != rc.right || h != rc.bottom) {
        fitting_ = true;
        ::SetWindowPos(hwnd(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        fitting_ = false;
    }
    // The rail lies on the thumb's centre line, wherever the thumb sits across the control.
    px::Rect r = controls::RailRect(p_.orientation, {w, h}, {t.cx, t.cy});
    int crossOffset = std::max<int>(0, ((horizontal ? h : w) - (horizontal ? t.cy : t.cx)) / 2);
    if (horizontal)
        r = r.offset(0, crossOffset);
    else
        r = r.offset(crossOffset, 0);
    rail_ = RECT{r.left, r.top, r.right, r.bottom};
    if (!dragging_) PlaceThumbForValue();
    Redraw();
}

// ---- pointer ----

void crkSlider::ShowTip() {
    POINT origin{0, 0};
    ::ClientToScreen(hwnd(), &origin);
    frmValueTip::Instance().ShowTip(std::to_wstring(model_.Value()), p_.orientation, origin, thumb_);
}

void crkSlider::UserControl_MouseDown(LPARAM lp) {
    if (!p_.enabled) return;
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    dragging_ = true;
    ::SetCapture(hwnd());
    // On the thumb it keeps the grab point; elsewhere it jumps centred under the pointer at the first move.
    if (::PtInRect(&thumb_, pt))
        grab_ = POINT{pt.x - thumb_.left, pt.y - thumb_.top};
    else
        grab_ = POINT{(thumb_.right - thumb_.left) / 2, (thumb_.bottom - thumb_.top) / 2};
    if (p_.showValueTip) ShowTip();
    SlideStart(ShiftState());
}

void crkSlider::UserControl_MouseMove(LPARAM lp) {
    if (!dragging_) return;
    const bool horizontal = p_.orientation == SliderHorizontal;
    const int C = Length(), T = ThumbLength();
    int pointer = horizontal ? GET_X_LPARAM(lp) : GET_Y_LPARAM(lp);
    int offset = DragThumbOffset(pointer, horizontal ? grab_.x : grab_.y, C, T);
    // A thumb as long as the control leaves no travel: the value is 0, as a failed computation gives.
    int64_t v = ValueForThumbOffset(offset, model_.Min(), model_.Range(), C, T, p_.orientation).value_or(0);
    PlaceThumbAt(ThumbOffsetForValue(v, model_.Min(), model_.Range(), C, T, p_.orientation));
    SliderNotices n;
    try {
        n = model_.SetValue(static_cast<int32_t>(v));
    } catch (const px::Error&) {
        // Only the failed computation's 0 can lie outside the range; it changes nothing.
    }
    if (p_.showValueTip) ShowTip();
    Redraw();
    Raise(n);
}

void crkSlider::UserControl_MouseUp(LPARAM lp) {
    if (!dragging_) return;  // the press began elsewhere
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    const bool inside = ::PtInRect(&rc, pt) != FALSE;
    if (inside) Click();
    if (!IsCreated()) return;
    EndDrag(true);
}

void crkSlider::EndDrag(bool raiseSlideEnd) {
    if (!dragging_) return;
    if (raiseSlideEnd) SlideEnd(ShiftState());
    dragging_ = false;
    if (::GetCapture() == hwnd()) ::ReleaseCapture();
    frmValueTip::Instance().CloseTip();
}

// ---- painting ----

void crkSlider::Refresh() {
    if (IsCreated()) ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void crkSlider::Redraw() {
    if (IsCreated()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void crkSlider::DrawThumb(HDC dc) {
    if (sliderIcon_) {
        face::DrawPicture(dc, sliderIcon_, thumb_, p_.enabled ? PixelEffect::None : PixelEffect::Disabled);
        return;
    }
    RECT t = thumb_;
    ::FillRect(dc, &t, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawEdge(dc, &t, EDGE_RAISED, BF_RECT);
    // A grip line across the middle of the thumb.
    const bool horizontal = p_.orientation == SliderHorizontal;
    const int inset = Scale(4), half = std::max(1, Scale(1));
    const int mx = (t.left + t.right) / 2, my = (t.top + t.bottom) / 2;
    RECT grip = horizontal ? RECT{mx - half, t.top + inset, mx + half, t.bottom - inset}
                           : RECT{t.left + inset, my - half, t.right - inset, my + half};
    ::DrawEdge(dc, &grip, p_.enabled ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

void crkSlider::UserControl_Paint(HDC target) {
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    AutoDeleteDC mem(::CreateCompatibleDC(target));
    ScopedBitmap bmp(::CreateCompatibleBitmap(target, std::max<LONG>(rc.right, 1), std::max<LONG>(rc.bottom, 1)));
    if (!mem || !bmp) return;
    {
        ScopedSelectObject sel(mem.get(), bmp.get());
        HDC dc = mem.get();
        ScopedBrush back(::CreateSolidBrush(face::ToColorRef(p_.backColor)));
        ::FillRect(dc, &rc, back.get());
        if (p_.railStyle == 99) {
            if (railPicture_) {
                SIZE s = railPicture_.PixelSize();
                px::Point o = RailPictureOrigin(p_.orientation, {rc.right, rc.bottom}, {s.cx, s.cy});
                railPicture_.Render(dc, RECT{o.x, o.y, o.x + s.cx, o.y + s.cy});
            }
        } else if (UINT edge = EdgeForRailStyle(p_.railStyle)) {
            RECT rail = rail_;
            ::DrawEdge(dc, &rail, edge, BF_RECT);
        }
        DrawThumb(dc);
        ::BitBlt(target, 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY);
    }
}

// ---- messages ----

LRESULT crkSlider::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        ScopedPaint ps(hwnd());
        UserControl_Paint(ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        UserControl_Paint(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        UserControl_Resize();
        return 0;
    case WM_DPICHANGED_AFTERPARENT:  // another monitor: the thumb has another size
        UserControl_Resize();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        UserControl_MouseDown(lp);
        return 0;
    case WM_MOUSEMOVE:
        UserControl_MouseMove(lp);
        return 0;
    case WM_LBUTTONUP:
        UserControl_MouseUp(lp);
        return 0;
    case WM_CAPTURECHANGED:
        // Taken away mid-drag (a message box, another capture): the slide ends here.
        if (dragging_ && reinterpret_cast<HWND>(lp) != hwnd()) EndDrag(true);
        return 0;
    case WM_ENABLE:
        if ((wp != 0) != p_.enabled) SetEnabled(wp != 0);
        Redraw();
        return 0;
    case WM_DESTROY:
        if (dragging_) EndDrag(false);
        toolTipWnd_.Destroy();
        break;
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace px::win
