#include "imaging/frmBrightnessAndContrast.h"
#include "base/Text.h"
#include "controls/core/ScrollGeometry.h"

#include <algorithm>
#include <optional>

#include "base/Error.h"
#include "imaging/core/GeneralNumberFormat.h"

namespace px {

namespace {

constexpr int kClientW = 720, kClientH = 620;
constexpr int kFrameX = 12, kFrameY = 214, kFrameW = 696, kFrameH = 350;
constexpr int kLineStep = 16;  // pixels per arrow click in the scrolling area
const wchar_t* const kMessageTitle = L"Orvo Pixtrel";

HFONT GuiFont() { return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

HWND MakeChild(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, HWND parent) {
    HWND c = ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr,
                               win::Window::Instance(), nullptr);
    ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    return c;
}

// The user's decimal separator for the contrast factor.
std::string UserDecimalSeparator() {
    wchar_t buf[8] = L".";
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) <= 0) return ".";
    return px::Narrow(buf);
}

std::optional<ScrollRequest> RequestOf(WORD code) { return ScrollRequestFromCode(code); }

}  // namespace

// A picture box: a plain child window whose paint event is a callback.
class frmBrightnessAndContrast::PictureBox : public win::Window {
public:
    using Paint = std::function<void(HDC hdc, const RECT& client)>;
    PictureBox(HWND parent, int x, int y, int w, int h, DWORD style, Paint paint) : paint_(std::move(paint)) {
        RegisterClassOnce(L"OrvoPixtrel.PictureBox", 0, nullptr);
        CreateWindowObject(L"OrvoPixtrel.PictureBox", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | style, 0, x, y,
                           w, h, parent, nullptr);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_ERASEBKGND: return 1;  // the paint covers everything
            case WM_PAINT: {
                win::ScopedPaint dc(hwnd());
                RECT client{};
                ::GetClientRect(hwnd(), &client);
                ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
                if (paint_) paint_(dc, client);
                return 0;
            }
        }
        return DefaultProc(msg, wp, lp);
    }

private:
    Paint paint_;
};

// The scrolling area: shows one child at full size and scrolls it.
class frmBrightnessAndContrast::ScrollFrame : public win::Window {
public:
    ScrollFrame(HWND parent, int x, int y, int w, int h) {
        RegisterClassOnce(L"OrvoPixtrel.ScrollFrame", 0, ::GetSysColorBrush(COLOR_APPWORKSPACE));
        CreateWindowObject(L"OrvoPixtrel.ScrollFrame", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_HSCROLL |
                           WS_VSCROLL, WS_EX_CLIENTEDGE, x, y, w, h, parent, nullptr);
    }
    void SetContent(HWND child, int width, int height) {
        child_ = child;
        width_ = width;
        height_ = height;
        pos_[0] = pos_[1] = 0;
        UpdateBars();
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_SIZE: UpdateBars(); return 0;
            case WM_HSCROLL: OnScroll(SB_HORZ, LOWORD(wp)); return 0;
            case WM_VSCROLL: OnScroll(SB_VERT, LOWORD(wp)); return 0;
        }
        return DefaultProc(msg, wp, lp);
    }

private:
    void UpdateBars() {
        RECT c{};
        ::GetClientRect(hwnd(), &c);
        const int extent[2] = {width_, height_};
        const int page[2] = {c.right, c.bottom};
        for (int bar : {SB_HORZ, SB_VERT}) {
            const int i = bar == SB_HORZ ? 0 : 1;
            pos_[i] = std::clamp(pos_[i], 0, std::max(0, extent[i] - page[i]));
            SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, extent[i] - 1),
                          static_cast<UINT>(page[i]), pos_[i], 0};
            ::SetScrollInfo(hwnd(), bar, &si, TRUE);
        }
        if (child_) ::SetWindowPos(child_, nullptr, -pos_[0], -pos_[1], 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    void OnScroll(int bar, WORD code) {
        SCROLLINFO si{sizeof(si), SIF_ALL};
        ::GetScrollInfo(hwnd(), bar, &si);
        const auto request = ScrollRequestFromCode(code);
        if (!request || *request == ScrollRequest::EndScroll) return;
        const int p = si.nMin + controls::ScrollPosition(*request, si.nPos - si.nMin, si.nTrackPos - si.nMin, kLineStep,
                                                         static_cast<int>(si.nPage), si.nMax - si.nMin);
        pos_[bar == SB_HORZ ? 0 : 1] = p;
        UpdateBars();
    }

    HWND child_ = nullptr;
    int width_ = 0, height_ = 0;
    int pos_[2] = {0, 0};
};

frmBrightnessAndContrast& frmBrightnessAndContrast::Get() {
    static frmBrightnessAndContrast form;
    return form;
}

frmBrightnessAndContrast::frmBrightnessAndContrast() {
    cmdApply_.Click.connect([this] { cmdApply_Click(); });
    cmdCancel_.Click.connect([this] { cmdCancel_Click(); });
}

frmBrightnessAndContrast::~frmBrightnessAndContrast() { Unload(); }

HWND frmBrightnessAndContrast::picResult() const noexcept { return picResult_ ? picResult_->hwnd() : nullptr; }
HWND frmBrightnessAndContrast::ScrollingArea() const noexcept { return scrollFrame_ ? scrollFrame_->hwnd() : nullptr; }

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
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const SIZE outer = OuterSizeForClient(kClientW, kClientH, style, 0);
    const int w = outer.cx, h = outer.cy;
    RECT around{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (owner_ && ::IsWindowVisible(owner_)) ::GetWindowRect(owner_, &around);
    const int x = std::max(0, static_cast<int>((around.left + around.right - w) / 2));
    const int y = std::max(0, static_cast<int>((around.top + around.bottom - h) / 2));
    // No caption text of its own.
    CreateWindowObject(cls, L"", style, 0, x, y, w, h, nullptr, nullptr);
    if (!hwnd()) return;

    picCaption_ = std::make_unique<PictureBox>(hwnd(), 0, 0, kClientW, 40, 0, [](HDC dc, const RECT& c) {
        TRIVERTEX v[2] = {{c.left, c.top, 0x1000, 0x2800, 0x6000, 0}, {c.right, c.bottom, 0x4000, 0x7000, 0xC000, 0}};
        GRADIENT_RECT g{0, 1};
        ::GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
    });
    picSource_ = std::make_unique<PictureBox>(hwnd(), 12, 52, 200, 150, WS_BORDER, [this](HDC dc, const RECT&) {
        source_.PaintPicture(dc, 0, 0, -1, -1, 0, 0, SRCCOPY);  // unscaled, from the top-left corner
    });
    lblBrightness_ = MakeChild(L"STATIC", L"Brightness", SS_LEFT, 228, 56, 160, 16, hwnd());
    hscBrightness_ = MakeChild(L"SCROLLBAR", nullptr, SBS_HORZ | WS_TABSTOP, 228, 76, 360, 18, hwnd());
    lblBrightnessAmount_ = MakeChild(L"STATIC", L"", SS_LEFT, 600, 77, 108, 16, hwnd());
    lblContrast_ = MakeChild(L"STATIC", L"Contrast", SS_LEFT, 228, 112, 160, 16, hwnd());
    hscContrast_ = MakeChild(L"SCROLLBAR", nullptr, SBS_HORZ | WS_TABSTOP, 228, 132, 360, 18, hwnd());
    lblContrastAmount_ = MakeChild(L"STATIC", L"", SS_LEFT, 600, 133, 108, 16, hwnd());
    scrollFrame_ = std::make_unique<ScrollFrame>(hwnd(), kFrameX, kFrameY, kFrameW, kFrameH);
    pictureC_ = std::make_unique<PictureBox>(scrollFrame_->hwnd(), 0, 0, 0, 0, 0, nullptr);
    picResult_ = std::make_unique<PictureBox>(pictureC_->hwnd(), 0, 0, 0, 0, 0, [this](HDC dc, const RECT&) {
        result_.PaintPicture(dc, 0, 0, -1, -1, 0, 0, SRCCOPY);
    });
    cmdApply_.Create(hwnd(), L"cmdApply", kClientW - 228, kClientH - 44, 100, 30);
    cmdApply_.SetCaption(L"Apply");
    cmdCancel_.Create(hwnd(), L"cmdCancel", kClientW - 116, kClientH - 44, 100, 30);
    cmdCancel_.SetCaption(L"Cancel");
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
    const BITMAP bm{0, size.cx, size.cy, 0, 0, 0, nullptr};
    ::SetWindowPos(pictureC_->hwnd(), nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOZORDER | SWP_NOMOVE);
    ::SetWindowPos(picResult_->hwnd(), nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOZORDER | SWP_NOMOVE);
    scrollFrame_->SetContent(pictureC_->hwnd(), bm.bmWidth, bm.bmHeight);
}

void frmBrightnessAndContrast::LoadSourceImage() {
    source_.CreateFromPicture(capture_ ? capture_->Picture() : nullptr);
    ::RedrawWindow(picSource_->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
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
    ::RedrawWindow(picResult_->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
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
