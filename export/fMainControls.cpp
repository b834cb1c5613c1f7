// fMain's window, its controls and their drawing (the handlers are in fMain.cpp).
#include "export/fMain.h"

#include <string_view>

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
    int y, w;
};
constexpr Option kOptions[] = {{L"Black and White", 8, 150}, {L"16 greys", 28, 150}, {L"256 greys", 48, 150},
                               {L"Halftone:", 68, 90},       {L"Websafe", 90, 150},   {L"Optimal (Octree):", 112, 130}};

std::unique_ptr<win::uxButtons_H> MakeButton(HWND parent, const wchar_t* name, const wchar_t* caption, int x, int y,
                                             int w, int h) {
    auto button = std::make_unique<win::uxButtons_H>();
    button->Create(parent, name, x, y, w, h);
    button->SetCaption(caption);
    return button;
}

}  // namespace

HWND fMain::MakeControl(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
    const DWORD ex = std::wstring_view(cls) == L"EDIT" ? WS_EX_CLIENTEDGE : 0;
    HWND control = ::CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

void fMain::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.fMain";
    RegisterClassOnce(cls, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    // Not clipping children: the group box does not paint its inside, the form's background does.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const SIZE outer = OuterSizeForClient(kClientW, kClientH, style, 0);
    const POINT at = CentredOnScreen(outer);
    CreateWindowObject(cls, kCaption, style, 0, at.x, at.y, outer.cx, outer.cy, owner_, nullptr);
    if (hwnd()) CreateControls();
}

void fMain::CreateControls() {
    ucPreview_.Create(hwnd(), kPreview.left, kPreview.top, kPreview.right - kPreview.left,
                      kPreview.bottom - kPreview.top);
    ucPreview_.MouseDown.connect([this](int b, int s, int32_t x, int32_t y) { ucPreview_MouseDown(b, s, x, y); });
    ucPreview_.MouseMove.connect([this](int b, int s, int32_t x, int32_t y) { ucPreview_MouseMove(b, s, x, y); });

    for (int i = 0; i < 6; ++i)
        MakeControl(L"BUTTON", kOptions[i].caption, BS_RADIOBUTTON | WS_TABSTOP | (i == 0 ? WS_GROUP : 0), kPaletteX,
                    kOptions[i].y, kOptions[i].w, 18, kOptPalette0 + i);
    MakeControl(L"SCROLLBAR", L"", SBS_HORZ, 535, 69, 110, 17, kSbHalftoneLevels);
    MakeControl(L"EDIT", L"125", ES_READONLY | ES_RIGHT, 650, 67, 50, 20, kTxtHalftoneLevels);
    MakeControl(L"STATIC", L"Max. entries", SS_LEFT, 458, 137, 78, 16, 0);
    MakeControl(L"EDIT", L"256", ES_NUMBER | ES_RIGHT | WS_TABSTOP, 540, 134, 50, 20, kTxtOptimalEntries);
    MakeControl(L"SCROLLBAR", L"", SBS_HORZ, 595, 135, 110, 17, kSbOptimalEntries);
    MakeControl(L"SCROLLBAR", L"", SBS_HORZ, 595, 156, 110, 17, kSbOptimalEntriesFast);
    MakeControl(L"STATIC", L"RGB weights", SS_LEFT, 458, 183, 78, 16, 0);
    for (int i = 0; i < 3; ++i)
        MakeControl(L"EDIT", L"1000", ES_NUMBER | ES_RIGHT | WS_TABSTOP, 540 + 55 * i, 180, 50, 20,
                    kTxtRGBWeight0 + i);
    cmdUseDefaultWeights_ = MakeButton(hwnd(), L"cmdUseDefaultWeights", L">", 458, 205, 22, 20);
    cmdUseDefaultWeights_->Click.connect([this] { cmdUseDefaultWeights_Click(); });
    MakeControl(L"STATIC", L"Use correction weights", SS_LEFT, 486, 208, 200, 16, kLblDefaultWeights);
    cmdResetWeights_ = MakeButton(hwnd(), L"cmdResetWeights", L">", 458, 228, 22, 20);
    cmdResetWeights_->Click.connect([this] { cmdResetWeights_Click(); });
    MakeControl(L"STATIC", L"Reset weights", SS_LEFT, 486, 231, 200, 16, kLblResetWeights);

    MakeControl(L"STATIC", L"", SS_OWNERDRAW, kPaletteX, kPaletteY, 16 * kCell + 1, 16 * kCell + 1, kIPalette);
    MakeControl(L"BUTTON", L"Pick &color", BS_AUTOCHECKBOX | WS_TABSTOP, 580, 256, 130, 18, kChkPickColor);
    MakeControl(L"BUTTON", L"Use transparent entry (Pick)", BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP, 580, 278,
                135, 32, kChkUseTransparent);

    MakeControl(L"BUTTON", L"Dithering Options", BS_GROUPBOX, 440, 390, 272, 78, kFraDither);
    MakeControl(L"BUTTON", L"Diffuse error (FS)", BS_AUTOCHECKBOX | WS_TABSTOP, 450, 406, 150, 18, kChkDiffuseError);
    MakeControl(L"BUTTON", L"Pre-apply noise", BS_AUTOCHECKBOX | WS_TABSTOP, 450, 426, 110, 18, kChkNoise);
    MakeControl(L"SCROLLBAR", L"", SBS_HORZ, 565, 427, 90, 17, kSbNoise);
    MakeControl(L"EDIT", L"0", ES_NUMBER | ES_RIGHT | WS_TABSTOP, 660, 425, 40, 20, kTxtNoise);
    MakeControl(L"BUTTON", L"&Unique colors:", BS_AUTOCHECKBOX | WS_TABSTOP, 450, 446, 120, 18,
                kChkCountUniqueColors);
    MakeControl(L"STATIC", L"", SS_LEFT, 575, 448, 120, 16, kLblUniqueColors);

    cmdDither_ = MakeButton(hwnd(), L"cmdDither", L"Dither", 440, 474, 88, 24);
    cmdDither_->Click.connect([this] { cmdDither_Click(); });
    cmdSaveGIF_ = MakeButton(hwnd(), L"cmdSaveGIF", L"Save GIF", 534, 474, 88, 24);
    cmdSaveGIF_->Click.connect([this] { cmdSaveGIF_Click(); });
    cmdExit_ = MakeButton(hwnd(), L"cmdExit", L"X", 680, 474, 32, 24);
    cmdExit_->Click.connect([this] { cmdExit_Click(); });

    MakeControl(L"STATIC", L"", SS_LEFT, 8, 438, 200, 16, kLblDimensions);
    MakeControl(L"STATIC", L"", SS_LEFT, 8, 456, 200, 16, kLblbpp);
    MakeControl(L"STATIC", L"", SS_LEFT, 8, 474, 200, 16, kLblBitmapSize);
    MakeControl(L"STATIC", L"File size:", SS_LEFT, 220, 438, 56, 16, kLblFileSizeT);
    MakeControl(L"STATIC", L"", SS_LEFT, 278, 438, 150, 16, kLblFileSize);
    MakeControl(L"SCROLLBAR", L"", SBS_HORZ, 220, 462, 150, 17, kSbZoom);
    MakeControl(L"STATIC", L"100%", SS_LEFT, 376, 463, 52, 16, kLblZoom);

    const struct {
        int id, lo, hi, value;
    } bars[] = {{kSbHalftoneLevels, 2, 6, 5}, {kSbOptimalEntries, 8, 256, 256}, {kSbOptimalEntriesFast, 8, 256, 256},
                {kSbNoise, 0, 25, 0}, {kSbZoom, 1, 10, 1}};
    for (const auto& b : bars) {
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_POS | SIF_PAGE, b.lo, b.hi, 0, b.value, 0};
        ::SetScrollInfo(Item(b.id), SB_CTL, &si, FALSE);
    }
}

void fMain::Form_Paint() {
    win::ScopedPaint dc(hwnd());
    win::ScopedPen shadow(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
    win::ScopedPen light(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
    {
        win::ScopedSelectObject pen(dc, shadow.get());
        ::MoveToEx(dc, kPreview.left, kEtchY, nullptr);
        ::LineTo(dc, kPreview.right, kEtchY);
    }
    win::ScopedSelectObject pen(dc, light.get());
    ::MoveToEx(dc, kPreview.left, kEtchY + 1, nullptr);
    ::LineTo(dc, kPreview.right, kEtchY + 1);
}

void fMain::iPalette_Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    for (int entry = 0; entry < 256; ++entry) {
        const GridPoint cell = MarkerPosition(entry);
        const RECT r{cell.left + 1, cell.top + 1, cell.left + kCell, cell.top + kCell};
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
        const GridPoint at = MarkerPosition(markerEntry_);
        const RECT outer{at.left, at.top, at.left + kCell + 1, at.top + kCell + 1};
        ::FrameRect(dc, &outer, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        const RECT inner{outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1};
        ::FrameRect(dc, &inner, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
}

}  // namespace px
