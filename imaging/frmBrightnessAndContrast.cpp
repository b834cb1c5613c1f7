#include "imaging/frmBrightnessAndContrast.h"
#include "base/Text.h"

#include <algorithm>
#include <optional>

#include "base/Dpi.h"
#include "base/Error.h"
#include "imaging/core/GeneralNumberFormat.h"

namespace px {

namespace {

// The window in 96-DPI units.
constexpr int kClientW = 720, kClientH = 620;
constexpr win::DpiLayout::Units96 kCaption{0, 0, kClientW, 40};
constexpr win::DpiLayout::Units96 kSource{12, 52, 200, 150};
constexpr win::DpiLayout::Units96 kFrame{12, 214, 696, 350};
constexpr int kButtonW = 100, kButtonH = 30;
constexpr win::DpiLayout::Units96 kApply{kClientW - 228, kClientH - 44, kButtonW, kButtonH};
constexpr win::DpiLayout::Units96 kCancel{kClientW - 116, kClientH - 44, kButtonW, kButtonH};
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
const wchar_t* const kMessageTitle = L"Orvo Pixtrel";

HWND MakeChild(const wchar_t* cls, const wchar_t* text, DWORD style, HWND parent) {
    return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent, nullptr,
                             win::Window::Instance(), nullptr);
}

// The user's decimal separator for the contrast factor.
std::string UserDecimalSeparator() {
    wchar_t buf[8] = L".";
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) <= 0) return ".";
    return px::Narrow(buf);
}

std::optional<ScrollRequest> RequestOf(WORD code) { return ScrollRequestFromCode(code); }

}  // namespace

frmBrightnessAndContrast& frmBrightnessAndContrast::Get() {
    static frmBrightnessAndContrast form;
    return form;
}

frmBrightnessAndContrast::frmBrightnessAndContrast() {
    cmdApply_.Click.connect([this] { cmdApply_Click(); });
    cmdCancel_.Click.connect([this] { cmdCancel_Click(); });
}

frmBrightnessAndContrast::~frmBrightnessAndContrast() { Unload(); }

void frmBrightnessAndContrast::Show(HWND owner, CurrentCapture& capture) {
    owner_ = owner;
    capture_ = &capture;
    if (IsLoaded()) {  // a single window: bring it up as it is
        win::Form::Show(SW_SHOWNORMAL);
        return;
    }
    Load();  // Form_Load copies the capture
}

void frmBrightnessAndContrast::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.frmBrightnessAndContrast";
    RegisterClassOnce(cls);
    const DWORD style = kStyle;
    const SIZE outer = OuterSizeForClient(Scale(kClientW), Scale(kClientH), style, 0);
    const int w = outer.cx, h = outer.cy;
    RECT around{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (owner_ && ::IsWindowVisible(owner_)) ::GetWindowRect(owner_, &around);
    const int x = std::max(0, static_cast<int>((around.left + around.right - w) / 2));
    const int y = std::max(0, static_cast<int>((around.top + around.bottom - h) / 2));
    // No caption text of its own.
    CreateWindowObject(cls, L"", style, 0, x, y, w, h, nullptr, nullptr);
    if (!hwnd()) return;
    CreateChildren();
    layout_.Apply(Dpi());
    FitToWorkArea(Dpi());
    PaintCaption();
}

// At a high DPI on a small screen the window would reach below the work
// area, with its buttons out of sight: the scrolling area gives up the height
// (at most half of it), the buttons move up, and the window stays on the screen.
void frmBrightnessAndContrast::FitToWorkArea(UINT dpi) {
    const int d = static_cast<int>(dpi);
    const SIZE outer = OuterSizeForClient(ScaleForDpi(kClientW, d), ScaleForDpi(kClientH, d), kStyle, 0);
    MONITORINFO mi{sizeof(mi)};
    if (!::GetMonitorInfoW(::MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &mi)) return;
    const RECT work = mi.rcWork;
    const RECT frame = win::DpiLayout::Scaled(kFrame, dpi);
    const int shrink = std::clamp(static_cast<int>(outer.cy) - static_cast<int>(work.bottom - work.top), 0,
                                  static_cast<int>(frame.bottom - frame.top) / 2);
    if (shrink > 0) {
        ::SetWindowPos(scrollFrame_.hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top - shrink,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (auto [button, at] : {std::pair{cmdApply_.hwnd(), kApply}, std::pair{cmdCancel_.hwnd(), kCancel}}) {
            const RECT r = win::DpiLayout::Scaled(at, dpi);
            ::SetWindowPos(button, nullptr, r.left, r.top - shrink, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    RECT now;
    ::GetWindowRect(hwnd(), &now);
    const int h = outer.cy - shrink;
    const int top = std::clamp(static_cast<int>(now.top), static_cast<int>(work.top),
                               std::max(static_cast<int>(work.top), static_cast<int>(work.bottom) - h));
    ::SetWindowPos(hwnd(), nullptr, now.left, top, outer.cx, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmBrightnessAndContrast::CreateChildren() {
    win::DpiLayout& l = layout_;
    l.Clear();
    picCaption_.Create(hwnd(), 0, 0, 0, 0, 0);
    l.Add(picCaption_.hwnd(), kCaption, false);
    picSource_.Create(hwnd(), 0, 0, 0, 0, 0, WS_BORDER);
    l.Add(picSource_.hwnd(), kSource, false);
    lblBrightness_ = MakeChild(L"STATIC", L"Brightness", SS_LEFT, hwnd());
    l.Add(lblBrightness_, {228, 56, 160, 16});
    hscBrightness_ = MakeChild(L"SCROLLBAR", nullptr, SBS_HORZ | WS_TABSTOP, hwnd());
    l.Add(hscBrightness_, {228, 76, 360, 18}, false);
    lblBrightnessAmount_ = MakeChild(L"STATIC", L"", SS_LEFT, hwnd());
    l.Add(lblBrightnessAmount_, {600, 77, 108, 16});
    lblContrast_ = MakeChild(L"STATIC", L"Contrast", SS_LEFT, hwnd());
    l.Add(lblContrast_, {228, 112, 160, 16});
    hscContrast_ = MakeChild(L"SCROLLBAR", nullptr, SBS_HORZ | WS_TABSTOP, hwnd());
    l.Add(hscContrast_, {228, 132, 360, 18}, false);
    lblContrastAmount_ = MakeChild(L"STATIC", L"", SS_LEFT, hwnd());
    l.Add(lblContrastAmount_, {600, 133, 108, 16});
    scrollFrame_.Create(hwnd(), 0, 0, 0, 0, 0);
    l.Add(scrollFrame_.hwnd(), kFrame, false);
    picResult_.Create(scrollFrame_.hwnd(), 0, 0, 0, 0, 0);
    scrollFrame_.SetChild(picResult_.hwnd());
    cmdApply_.Create(hwnd(), L"cmdApply", 0, 0, 0, 0);
    cmdApply_.SetCaption(L"Apply");
    l.Add(cmdApply_.hwnd(), kApply, false);
    cmdCancel_.Create(hwnd(), L"cmdCancel", 0, 0, 0, 0);
    cmdCancel_.SetCaption(L"Cancel");
    l.Add(cmdCancel_.hwnd(), kCancel, false);
}

// The caption band: a vertical blue gradient drawn once into its surface.
void frmBrightnessAndContrast::PaintCaption() {
    const SIZE size = picCaption_.SurfaceSize();
    if (!picCaption_.SurfaceDC() || size.cx <= 0 || size.cy <= 0) return;
    TRIVERTEX v[2] = {{0, 0, 0x1000, 0x2800, 0x6000, 0}, {size.cx, size.cy, 0x4000, 0x7000, 0xC000, 0}};
    GRADIENT_RECT g{0, 1};
    ::GradientFill(picCaption_.SurfaceDC(), v, 2, &g, 1, GRADIENT_FILL_RECT_V);
    ::InvalidateRect(picCaption_.hwnd(), nullptr, FALSE);
}

// Another monitor, another DPI: the children move to their new size; the
// pictures keep one screen pixel per picture pixel and are drawn again.
void frmBrightnessAndContrast::Form_DpiChanged(UINT dpi) {
    layout_.Apply(dpi);
    FitToWorkArea(dpi);
    PaintCaption();
    CopyToSurface(picSource_, source_);
    scrollFrame_.ChildResized();
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void frmBrightnessAndContrast::Form_Load() {
    // Every load starts at brightness 0 and contrast 1: the first preview equals the source.
    brightnessBar_.SetValue(255);
    contrastBar_.SetValue(100);
    for (auto [bar, model] : {std::pair{hscBrightness_, &brightnessBar_}, std::pair{hscContrast_, &contrastBar_}}) {
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_POS | SIF_PAGE, model->Min(), model->Max(), 0, model->Value(), 0};
        ::SetScrollInfo(bar, SB_CTL, &si, TRUE);
    }
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::UpdateWindow(hwnd());
    LayOutPicture();
    LoadSourceImage();
}

void frmBrightnessAndContrast::LayOutPicture() {
    const SIZE size = capture_ ? capture_->Size() : SIZE{0, 0};
    picResult_.Resize(size.cx, size.cy);
    scrollFrame_.ChildResized();
}

// A picture box shows `picture` from its top-left corner at one screen pixel
// per picture pixel; what the picture does not cover shows the back colour.
void frmBrightnessAndContrast::CopyToSurface(win::PictureBox& box, const cDIBSection& picture) {
    box.Cls();
    if (box.SurfaceDC() && picture.hDC()) picture.PaintPicture(box.SurfaceDC(), 0, 0, -1, -1, 0, 0, SRCCOPY);
    ::RedrawWindow(box.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void frmBrightnessAndContrast::LoadSourceImage() {
    source_.CreateFromPicture(capture_ ? capture_->Picture() : nullptr);
    CopyToSurface(picSource_, source_);
    if (!result_.Create(source_.Width(), source_.Height())) result_.ClearUp();
    UpdatePreview();
}

void frmBrightnessAndContrast::UpdatePreview() {
    const double contrast = ContrastFromSlider();
    ::SetWindowTextW(lblContrastAmount_, px::Widen(FormatGeneralNumber(contrast, UserDecimalSeparator())).c_str());
    const int32_t brightness = BrightnessFromSlider();
    ::SetWindowTextW(lblBrightnessAmount_, std::to_wstring(brightness).c_str());
    processor_.Contrast(contrast);
    processor_.Brightness(brightness);
    processor_.process(source_.Bits(), result_.Bits());
    CopyToSurface(picResult_, result_);
}

void frmBrightnessAndContrast::OnScrollBar(HWND bar, WPARAM request) {
    using controls::ScrollBarModel;
    ScrollBarModel* model = bar == hscBrightness_ ? &brightnessBar_ : bar == hscContrast_ ? &contrastBar_ : nullptr;
    const auto r = RequestOf(LOWORD(request));
    if (!model || !r) return;
    // The thumb position travels in the message; both ranges fit its 16 bits.
    const ScrollBarModel::Event e = model->Apply(*r, static_cast<int16_t>(HIWORD(request)));
    if (e == ScrollBarModel::Event::None) return;
    ::SetScrollPos(bar, SB_CTL, model->Value(), TRUE);
    const bool scroll = e == ScrollBarModel::Event::Scroll;
    if (bar == hscBrightness_)
        scroll ? hscBrightness_Scroll() : hscBrightness_Change();
    else
        scroll ? hscContrast_Scroll() : hscContrast_Change();
}

void frmBrightnessAndContrast::cmdApply_Click() {
    if (!result_.hDIB() || !capture_) {  // nothing was captured: there is nothing to apply
        cmdCancel_Click();
        return;
    }
    win::ScopedBitmap picture = ResultPicture();
    std::wstring error = L"Not enough memory to copy the picture.";
    if (!picture || !capture_->Replace(std::move(picture), &error)) {
        const std::wstring text = L"The adjusted picture could not be saved to\n" + capture_->ScratchPath() +
                                  L"\n\n" + error + L"\nThe capture has not been changed.";
        ::MessageBoxW(hwnd(), text.c_str(), kMessageTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    Unload();
}

void frmBrightnessAndContrast::cmdCancel_Click() { Unload(); }

// The result as a picture in the display's format. The buffer's section stays
// selected into its own DC, so the copy is drawn from that DC.
win::ScopedBitmap frmBrightnessAndContrast::ResultPicture() const {
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap picture(::CreateCompatibleBitmap(screen, result_.Width(), result_.Height()));
    if (!picture) return {};
    win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    win::ScopedSelectObject sel(dc.get(), picture.get());
    if (!::BitBlt(dc.get(), 0, 0, result_.Width(), result_.Height(), result_.hDC(), 0, 0, SRCCOPY)) return {};
    return picture;
}

void frmBrightnessAndContrast::Form_Unload() {
    source_.ClearUp();
    result_.ClearUp();
}

LRESULT frmBrightnessAndContrast::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_HSCROLL: OnScrollBar(reinterpret_cast<HWND>(lp), wp); return 0;
        case WM_CLOSE: cmdCancel_Click(); return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(layout_.Font());  // the buttons' font at the window's DPI
    }
    return Form::HandleMessage(msg, wp, lp);
}

std::wstring frmBrightnessAndContrast::BrightnessAmountText() const {
    return lblBrightnessAmount_ && IsLoaded() ? win::GetWindowTextString(lblBrightnessAmount_) : std::wstring();
}

std::wstring frmBrightnessAndContrast::ContrastAmountText() const {
    return lblContrastAmount_ && IsLoaded() ? win::GetWindowTextString(lblContrastAmount_) : std::wstring();
}

}  // namespace px
