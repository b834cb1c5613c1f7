// fMain's window, its controls and their drawing (the handlers are in fMain.cpp).
#include "export/fMain.h"

#include <string_view>

#include "base/Dpi.h"

#include "controls/uxButtons_H.h"
#include "export/core/GifExportRules.h"

namespace px {

namespace {

constexpr int kClientW = 720, kClientH = 504;
constexpr RECT kPreview{8, 8, 428, 422};
constexpr int kEtchY = 429;  // the etched line under the preview: shadow at 429, highlight at 430
constexpr int kPaletteX = 440, kPaletteY = 256, kCell = 8;

struct Option {
    const wchar_t* caption;
    int x, y, w;
};
constexpr Option kOptions[] = {{L"Black and White", kPaletteX, 8, 150}, {L"16 greys", kPaletteX, 28, 150},
                               {L"256 greys", kPaletteX, 48, 150},      {L"Halftone:", kPaletteX, 68, 90},
                               {L"Websafe", kPaletteX, 90, 150},        {L"Optimal (Octree):", kPaletteX, 112, 130},
                               {L"Optimal (Perceptual)", 575, 112, 137}};

std::unique_ptr<win::uxButtons_H> MakeButton(HWND parent, const wchar_t* name, const wchar_t* caption, int x, int y,
                                             int w, int h) {
    auto button = std::make_unique<win::uxButtons_H>();
    button->Create(parent, name, x, y, w, h);
    button->SetCaption(caption);
    return button;
}

}  // namespace

template <typename T>
T& fMain::Add(T& control) {
    control.SetFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    router_.Add(control);
    return control;
}

void fMain::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.fMain";
    RegisterClassOnce(cls, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    // Not clipping children: the group box does not paint its inside, the form's background does.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const SIZE outer = OuterSizeForClient(Scale(kClientW), Scale(kClientH), style, 0);
    const POINT at = CentredOnScreen(outer);
    CreateWindowObject(cls, kCaption, style, 0, at.x, at.y, outer.cx, outer.cy, owner_, nullptr);
    if (!hwnd()) return;
    // The controls are made at their 96-DPI places and moved to the window's DPI.
    CreateControls();
    layout_.Clear();
    layout_.AddChildren(hwnd());
    layout_.Apply(Dpi());
}

void fMain::Form_DpiChanged(UINT dpi) {
    layout_.Apply(dpi);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

// The member controls live as long as the window object and are made again at every load: their handlers are
// connected once, here (the buttons, made anew each load, are connected as they are made).
void fMain::ConnectHandlers() {
    ucPreview_.MouseDown.connect([this](int b, int s, int32_t x, int32_t y) { ucPreview_MouseDown(b, s, x, y); });
    ucPreview_.MouseMove.connect([this](int b, int s, int32_t x, int32_t y) { ucPreview_MouseMove(b, s, x, y); });
    for (int i = 0; i < static_cast<int>(optPalette_.size()); ++i)
        optPalette_[i].Click.connect([this, i] { optPalette_Click(i); });
    sbHalftoneLevels_.Change.connect([this] { sbHalftoneLevels_Change(); });
    txtOptimalEntries_.Change.connect([this] { txtOptimalEntries_Change(); });
    sbOptimalEntries_.Change.connect([this] { sbOptimalEntries_Change(); });
    sbOptimalEntriesFast_.Change.connect([this] { sbOptimalEntriesFast_Change(); });
    for (int i = 0; i < 3; ++i) txtRGBWeight_[i].Change.connect([this, i] { txtRGBWeight_Change(i); });
    chkPickColor_.Click.connect([this] { chkPickColor_Click(); });
    chkDiffuseError_.Click.connect([this] { chkDiffuseError_Click(); });
    chkNoise_.Click.connect([this] { chkNoise_Click(); });
    sbNoise_.Change.connect([this] { sbNoise_Change(); });
    chkCountUniqueColors_.Click.connect([this] { chkCountUniqueColors_Click(); });
    sbZoom_.Change.connect([this] { sbZoom_Change(); });
}

void fMain::CreateControls() {
    ucPreview_.Create(hwnd(), kPreview.left, kPreview.top, kPreview.right - kPreview.left,
                      kPreview.bottom - kPreview.top);
    router_.Clear();  // the members are routed again as they are made again
    CreatePaletteControls();
    CreateDitherControls();
    CreateStatusControls();
}

void fMain::CreatePaletteControls() {
    static_assert(std::size(kOptions) == std::tuple_size_v<decltype(optPalette_)>);
    for (int i = 0; i < static_cast<int>(optPalette_.size()); ++i) {
        optPalette_[i].Create(hwnd(), kOptPalette0 + i, kOptions[i].caption, kOptions[i].x, kOptions[i].y, kOptions[i].w,
                              18, BS_RADIOBUTTON | (i == 0 ? WS_GROUP : 0));
        Add(optPalette_[i]);
    }
    sbHalftoneLevels_.Create(hwnd(), kSbHalftoneLevels, true, 535, 69, 110, 17);
    sbHalftoneLevels_.SetRange(2, 6, 1, 1);
    sbHalftoneLevels_.SetValue(5);
    Add(sbHalftoneLevels_);
    txtHalftoneLevels_.Create(hwnd(), kTxtHalftoneLevels, 650, 67, 50, 20, ES_READONLY | ES_RIGHT);
    Add(txtHalftoneLevels_).SetText(L"125");

    lblEntries_.Create(hwnd(), 0, L"Max. entries", 458, 137, 78, 16);
    Add(lblEntries_);
    // ES_NUMBER: the keyboard gives digits and backspace only; pasted text is trimmed on change.
    txtOptimalEntries_.Create(hwnd(), kTxtOptimalEntries, 540, 134, 50, 20, ES_NUMBER | ES_RIGHT);
    Add(txtOptimalEntries_).SetText(L"256");
    sbOptimalEntries_.Create(hwnd(), kSbOptimalEntries, true, 595, 135, 110, 17);
    sbOptimalEntries_.SetRange(8, 256, 1, 10);
    sbOptimalEntries_.SetValue(256);
    Add(sbOptimalEntries_);
    sbOptimalEntriesFast_.Create(hwnd(), kSbOptimalEntriesFast, true, 595, 156, 110, 17);
    sbOptimalEntriesFast_.SetRange(8, 256, 10, 10);
    sbOptimalEntriesFast_.SetValue(256);
    Add(sbOptimalEntriesFast_);

    lblWeights_.Create(hwnd(), 0, L"RGB weights", 458, 183, 78, 16);
    Add(lblWeights_);
    for (int i = 0; i < 3; ++i) {
        txtRGBWeight_[i].Create(hwnd(), kTxtRGBWeight0 + i, 540 + 55 * i, 180, 50, 20, ES_NUMBER | ES_RIGHT);
        Add(txtRGBWeight_[i]).SetText(L"1000");
    }
    cmdUseDefaultWeights_ = MakeButton(hwnd(), L"cmdUseDefaultWeights", L">", 458, 205, 22, 20);
    cmdUseDefaultWeights_->Click.connect([this] { cmdUseDefaultWeights_Click(); });
    lblDefaultWeights_.Create(hwnd(), kLblDefaultWeights, L"Use correction weights", 486, 208, 200, 16);
    Add(lblDefaultWeights_);
    cmdResetWeights_ = MakeButton(hwnd(), L"cmdResetWeights", L">", 458, 228, 22, 20);
    cmdResetWeights_->Click.connect([this] { cmdResetWeights_Click(); });
    lblResetWeights_.Create(hwnd(), kLblResetWeights, L"Reset weights", 486, 231, 200, 16);
    Add(lblResetWeights_);

    iPalette_.Create(hwnd(), kIPalette, L"", kPaletteX, kPaletteY, 16 * kCell + 1, 16 * kCell + 1, SS_OWNERDRAW);
    chkPickColor_.Create(hwnd(), kChkPickColor, L"Pick &color", 580, 256, 130, 18);
    Add(chkPickColor_);
    chkUseTransparent_.Create(hwnd(), kChkUseTransparent, L"Use transparent entry (Pick)", 580, 278, 135, 32,
                              BS_MULTILINE);
    Add(chkUseTransparent_);
}

void fMain::CreateDitherControls() {
    fraDither_.Create(hwnd(), kFraDither, L"Dithering Options", 440, 390, 272, 78, BS_GROUPBOX);
    Add(fraDither_);
    chkDiffuseError_.Create(hwnd(), kChkDiffuseError, L"Diffuse error (FS)", 450, 406, 150, 18);
    Add(chkDiffuseError_);
    chkNoise_.Create(hwnd(), kChkNoise, L"Pre-apply noise", 450, 426, 110, 18);
    Add(chkNoise_);
    sbNoise_.Create(hwnd(), kSbNoise, true, 565, 427, 90, 17);
    sbNoise_.SetRange(0, 25, 1, 5);
    Add(sbNoise_);
    txtNoise_.Create(hwnd(), kTxtNoise, 660, 425, 40, 20, ES_NUMBER | ES_RIGHT);
    Add(txtNoise_).SetText(L"0");
    chkCountUniqueColors_.Create(hwnd(), kChkCountUniqueColors, L"&Unique colors:", 450, 446, 120, 18);
    Add(chkCountUniqueColors_);
    lblUniqueColors_.Create(hwnd(), kLblUniqueColors, L"", 575, 448, 120, 16);
    Add(lblUniqueColors_);

    cmdDither_ = MakeButton(hwnd(), L"cmdDither", L"Dither", 440, 474, 88, 24);
    cmdDither_->Click.connect([this] { cmdDither_Click(); });
    cmdSaveGIF_ = MakeButton(hwnd(), L"cmdSaveGIF", L"Save GIF", 534, 474, 88, 24);
    cmdSaveGIF_->Click.connect([this] { cmdSaveGIF_Click(); });
    cmdExit_ = MakeButton(hwnd(), L"cmdExit", L"X", 680, 474, 32, 24);
    cmdExit_->Click.connect([this] { cmdExit_Click(); });
}

void fMain::CreateStatusControls() {
    lblDimensions_.Create(hwnd(), kLblDimensions, L"", 8, 438, 200, 16);
    lblbpp_.Create(hwnd(), kLblbpp, L"", 8, 456, 200, 16);
    lblBitmapSize_.Create(hwnd(), kLblBitmapSize, L"", 8, 474, 200, 16);
    lblFileSizeT_.Create(hwnd(), kLblFileSizeT, L"File size:", 220, 438, 56, 16);
    lblFileSize_.Create(hwnd(), kLblFileSize, L"", 278, 438, 150, 16);
    for (auto* label : {&lblDimensions_, &lblbpp_, &lblBitmapSize_, &lblFileSizeT_, &lblFileSize_}) Add(*label);
    sbZoom_.Create(hwnd(), kSbZoom, true, 220, 462, 150, 17);
    sbZoom_.SetRange(1, 10, 1, 1);
    sbZoom_.SetValue(1);
    Add(sbZoom_);
    lblZoom_.Create(hwnd(), kLblZoom, L"100%", 376, 463, 52, 16);
    Add(lblZoom_);
}

void fMain::Form_Paint() {
    win::ScopedPaint dc(hwnd());
    auto S = [this](int units96) { return ScaleForDpi(units96, static_cast<int>(layout_.AppliedDpi())); };
    const int left = S(kPreview.left), right = S(kPreview.right), etchY = S(kEtchY);
    win::ScopedPen shadow(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
    win::ScopedPen light(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
    {
        win::ScopedSelectObject pen(dc, shadow.get());
        ::MoveToEx(dc, left, etchY, nullptr);
        ::LineTo(dc, right, etchY);
    }
    win::ScopedSelectObject pen(dc, light.get());
    ::MoveToEx(dc, left, etchY + 1, nullptr);
    ::LineTo(dc, right, etchY + 1);
}

// The grid's cells are 8 units of 96 DPI, drawn at the window's DPI.
void fMain::iPalette_Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    auto S = [this](int units96) { return ScaleForDpi(units96, static_cast<int>(layout_.AppliedDpi())); };
    const int side = S(kCell);
    auto at = [&](int32_t entry) {
        const GridPoint g = MarkerPosition(entry);
        return GridPoint{g.left / kCell * side, g.top / kCell * side};
    };
    for (int entry = 0; entry < 256; ++entry) {
        const GridPoint cell = at(entry);
        const RECT r{cell.left + 1, cell.top + 1, cell.left + side, cell.top + side};
        if (entry < palette_.MaxCount()) {
            win::ScopedBrush colour(
                ::CreateSolidBrush(RGB(palette_.rgbR(entry), palette_.rgbG(entry), palette_.rgbB(entry))));
            ::FillRect(dc, &r, colour.get());
        } else {
            ::SetTextColor(dc, RGB(0, 0, 0));
            ::SetBkColor(dc, RGB(255, 255, 255));
            ::FillRect(dc, &r, checker_.get());
        }
    }
    if (markerVisible_) {  // shpSelect: a frame round the picked entry's cell
        const GridPoint marker = at(markerEntry_);
        const RECT outer{marker.left, marker.top, marker.left + side + 1, marker.top + side + 1};
        ::FrameRect(dc, &outer, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        const RECT inner{outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1};
        ::FrameRect(dc, &inner, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
}

}  // namespace px
