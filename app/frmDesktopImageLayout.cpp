// The main window's controls: built from one table in 96-dpi units, laid out
// for the window's DPI, and laid out again when the window moves to a monitor
// of another DPI (WM_DPICHANGED).
#include "app/frmDesktopImage.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/AppIcons.h"
#include "app/Resources.h"
#include "app/frmDesktopImageLook.h"

namespace px {

namespace {

// Face of the program's buttons: flat until the pointer is over them.
constexpr int kButtonStyle = 4;
constexpr int kPictureLeftOfCaption = 2;
constexpr int kPicture16 = 0;
constexpr int kRounded = 1;

constexpr int x0 = look::kPad, cw = look::kColumnW;
constexpr RECT At(int x, int y, int w, int h) { return RECT{x, y, x + w, y + h}; }

}  // namespace

RECT frmDesktopImage::ScaleRect(const RECT& r) const {
    return RECT{Scale(r.left), Scale(r.top), Scale(r.right), Scale(r.bottom)};
}

void frmDesktopImage::CreateMenuBar() {
    menuBar_ = ::CreateMenu();
    auto popup = [&](const wchar_t* caption, std::initializer_list<std::pair<int, const wchar_t*>> entries) {
        HMENU m = ::CreatePopupMenu();
        for (auto& [id, text] : entries) {
            if (id == 0)
                ::AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
            else
                ::AppendMenuW(m, MF_STRING, static_cast<UINT_PTR>(id), text);
        }
        ::AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(m), caption);
        return m;
    };
    mnuFile_ = popup(L"&File", {{IdMnuFileSave, L"Save As Bitmap"},
                                {IdMnuFileSaveJPEG, L"Save As JPEG"},
                                {IdMnuFileSaveGIF, L"Save As GIF"},
                                {IdMnuFileSavePNG, L"Save As PNG"},
                                {0, nullptr},
                                {IdMnuPrint, L"Print"},
                                {0, nullptr},
                                {IdMnuFileExit, L"Exit"}});
    popup(L"&Edit", {{IdMnuEditCap, L"Capture Selection"},
                     {IdMnuEntire, L"Capture Entire Screen"},
                     {0, nullptr},
                     {IdMnuEditCopy, L"Copy to Clipboard"}});
    popup(L"&Options", {{IdMnuZoom, L"Zoom Tool"},
                        {IdMnuCaptureKey, L"Capture Key..."},
                        {0, nullptr},
                        {IdMnuHide, L"Hide Main Window"}});
    popup(L"&Help", {{IdContents, L"How to Use"},
                     {IdOrdering, L"Ordering Information"},
                     {IdLicense, L"License Agreement"},
                     {0, nullptr},
                     {IdAbout1, L"About "}});
    ::SetMenu(hwnd(), menuBar_);
}

void frmDesktopImage::CreateFonts() {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    LOGFONTW lf = ncm.lfMessageFont;
    lf.lfHeight = -::MulDiv(9, static_cast<int>(Dpi()), 72);
    lf.lfWidth = 0;
    lf.lfQuality = CLEARTYPE_QUALITY;
    uiFont_.reset(::CreateFontIndirectW(&lf));
    lf.lfWeight = FW_BOLD;
    headerFont_.reset(::CreateFontIndirectW(&lf));
    lf.lfHeight = -::MulDiv(10, static_cast<int>(Dpi()), 72);
    zoomFont_.reset(::CreateFontIndirectW(&lf));
}

win::uxButtons_H& frmDesktopImage::MakeButton(win::uxButtons_H& b, HWND parent, const wchar_t* name,
                                              const wchar_t* caption, const wchar_t* tip, int iconId, bool onSide) {
    b.Create(parent, name, 0, 0, 1, 1);
    b.DelayDrawing(true);
    ::SendMessageW(b.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.get()), FALSE);
    b.SetButtonStyle(kButtonStyle);
    b.SetCaption(caption);
    b.SetToolTipText(tip);
    b.SetShowFocusRect(false);
    b.SetButtonShape(kRounded);
    b.SetBackColor(onSide ? look::kSideColor : look::kMainColor);
    b.SetHoverBackColor(look::kHoverColor);
    if (iconId) {
        b.SetPicture(IconPicture(iconId));
        b.SetPictureSize(kPicture16);
        b.SetPictureAlign(kPictureLeftOfCaption);
    }
    b.DelayDrawing(false);
    return b;
}

void frmDesktopImage::MakeStatic(win::NativeLabel& label, const wchar_t* text, int id, DWORD style, HFONT font) {
    label.Create(hwnd(), id, text, 0, 0, 1, 1, SS_NOPREFIX | style);
    label.SetFont(font);
}

void frmDesktopImage::AddToolTip(HWND control, const wchar_t* text) {
    if (!toolTips_) {
        toolTips_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                                          nullptr, Instance(), nullptr));
    }
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<wchar_t*>(text);
    ::SendMessageW(toolTips_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

// The options column, top to bottom.
using F = frmDesktopImage;
const frmDesktopImage::Row frmDesktopImage::kRows[] = {
    {RowKind::Header, &F::lblCapture_, nullptr, nullptr, nullptr, L"Capture", nullptr, 0, 0, SS_LEFT, At(x0, 14, cw, 18)},
    {RowKind::Button, nullptr, nullptr, &F::cmdCaptureDesktop_, L"cmdCaptureDesktop", L"Capture Selection",
     L"Capture Selection ", IDR_ICON_CAPTURE_SELECTION, 0, 0, At(x0, 36, cw, 30)},
    {RowKind::Button, nullptr, nullptr, &F::cmdEntire_, L"cmdEntire", L"Capture Screen", L"Capture the Entire Screen",
     IDR_ICON_CAPTURE_SCREEN, 0, 0, At(x0, 68, cw, 30)},
    {RowKind::Button, nullptr, nullptr, &F::cmdActive_, L"cmdActive", L"Capture Active Window", L"Capture Active Window",
     IDR_ICON_CAPTURE_ACTIVE, 0, 0, At(x0, 100, cw, 30)},
    {RowKind::Label, &F::lblDelay_, nullptr, nullptr, nullptr, L"Delay", nullptr, 0, 0, SS_LEFT, At(x0 + 4, 141, 40, 18)},
    {RowKind::Label, &F::lblActive_, nullptr, nullptr, nullptr, L"2", L"Timer Interval To Capture Active Window", 0,
     IdLblActive, SS_RIGHT | SS_NOTIFY, At(x0 + 162, 141, 22, 18)},
    {RowKind::Label, &F::Label3_, nullptr, nullptr, nullptr, L"Sec", nullptr, 0, 0, SS_LEFT, At(x0 + 188, 141, 30, 18)},
    {RowKind::Header, &F::Label2_, nullptr, nullptr, nullptr, L"  Selection Shape", nullptr, 0, 0, SS_LEFT,
     At(x0 - 8, 176, cw, 18)},
    {RowKind::Header, &F::Label1_, nullptr, nullptr, nullptr, L"Lasso Style", nullptr, 0, 0, SS_LEFT, At(x0, 244, cw, 18)},
    {RowKind::Header, &F::lblColors_, nullptr, nullptr, nullptr, L"Colours", nullptr, 0, 0, SS_LEFT, At(x0, 340, cw, 18)},
    {RowKind::Swatch, &F::picLassoColor_, nullptr, nullptr, nullptr, L"", L"Selection Lasso Color ", 0, IdPicLassoColor,
     SS_NOTIFY | WS_BORDER, At(x0 + 2, 364, 22, 22)},
    {RowKind::Button, nullptr, nullptr, &F::cmdLassoColor_, L"cmdLassoColor", L"", L"Select Color for Selection Lasso ",
     IDR_ICON_LASSO_COLOR, 0, 0, At(x0 + 30, 362, 30, 26)},
    {RowKind::Label, &F::lblLasso_, nullptr, nullptr, nullptr, L"Selection lasso", nullptr, 0, 0, SS_LEFT,
     At(x0 + 68, 367, 150, 18)},
    {RowKind::Swatch, &F::picSelBackColor_, nullptr, nullptr, nullptr, L"", L"Ellipse & Circular Shapes Back Color", 0,
     IdPicSelBackColor, SS_NOTIFY | WS_BORDER, At(x0 + 2, 396, 22, 22)},
    {RowKind::Button, nullptr, nullptr, &F::cmdBackColor_, L"cmdBackColor", L"",
     L"Set Back Color for Ellipse & Circular Shapes", IDR_ICON_BACK_COLOR, 0, 0, At(x0 + 30, 394, 30, 26)},
    {RowKind::Label, &F::lblBack_, nullptr, nullptr, nullptr, L"Ellipse & circle back", nullptr, 0, 0, SS_LEFT,
     At(x0 + 68, 399, 150, 18)},
    {RowKind::Header, &F::lblOverlay_, nullptr, nullptr, nullptr, L"While Selecting", nullptr, 0, 0, SS_LEFT,
     At(x0, 436, cw, 18)},
    {RowKind::Check, nullptr, &F::chkGrid_, nullptr, nullptr, L" Show Screen Ruler Grid", L"Show Screen Ruler Grid", 0,
     IdChkGrid, 0, At(x0 + 2, 458, cw - 2, 20)},
    {RowKind::Label, &F::lblGridSpacing_, nullptr, nullptr, nullptr, L"100 px", nullptr, 0, 0, SS_RIGHT,
     At(x0 + cw - 46, 483, 46, 18)},
    {RowKind::Check, nullptr, &F::chkDetails_, nullptr, nullptr, L" Show Image Details", L"Show Image Capture Details", 0,
     IdChkDetails, 0, At(x0 + 2, 510, cw - 2, 20)},
    {RowKind::Check, nullptr, &F::chkAutoMagnifier_, nullptr, nullptr, L" Show Auto Magnifier", L"Show Auto Magnifier", 0,
     IdChkAutoMagnifier, 0, At(x0 + 2, 532, cw - 2, 20)},
};

void frmDesktopImage::CreateControls() {
    for (const Row& r : kRows) {
        HWND h = nullptr;
        switch (r.kind) {
        case RowKind::Header: MakeStatic(this->*r.label, r.text, r.id, r.style, headerFont_.get()); break;
        case RowKind::Label:
        case RowKind::Swatch: MakeStatic(this->*r.label, r.text, r.id, r.style, uiFont_.get()); break;
        case RowKind::Check:
            (this->*r.check).Create(hwnd(), r.id, r.text, 0, 0, 1, 1);
            (this->*r.check).SetFont(uiFont_.get());
            router_.Add(this->*r.check);
            break;
        case RowKind::Button: MakeButton(this->*r.button, hwnd(), r.name, r.text, r.tip, r.icon, true); break;
        }
        h = r.button ? (this->*r.button).hwnd() : r.check ? (this->*r.check).hwnd() : (this->*r.label).hwnd();
        if (r.tip && r.kind != RowKind::Button) AddToolTip(h, r.tip);
        placed_.push_back({h, r.at, r.kind == RowKind::Header ? 1 : 0});
    }
    // The delay of the active-window capture: 0 to 10 seconds, 2 a page.
    scrActive_.Create(hwnd(), IdScrActive, true, 0, 0, 1, 1);
    scrActive_.SetRange(0, 10, 1, 2);
    scrActive_.SetValue(2);
    router_.Add(scrActive_);
    placed_.push_back({scrActive_.hwnd(), At(x0 + 46, 141, 112, 17), -1});
    for (auto* b : {&cmdCaptureDesktop_, &cmdEntire_, &cmdActive_}) b->SetCaptionAlign(0);
    chkDetails_.SetChecked(true);
    chkAutoMagnifier_.SetChecked(true);

    sliderGrid_.Create(hwnd(), L"sliderGrid", ScaleRect(At(x0 + 20, 482, cw - 70, 21)),
                       controls::PropertyBag{{"Orientation", 0}, {"Min", 50}, {"Max", 200}, {"Value", 100}});
    sliderGrid_.SetBackColor(look::kSideColor);
    sliderGrid_.SetToolTipText(L"Set Screen Ruler Grid Pixel Spacing");
    placed_.push_back({sliderGrid_.hwnd(), At(x0 + 20, 482, cw - 70, 21), -1});
    CreateOptionButtons();

    // Placed by LayoutControls: the foot of the column, the tool row, the view and its status row.
    MakeButton(cmdHide_, hwnd(), L"cmdHide", L"Hide Main Window", L"Hide the Main Window", IDR_ICON_HIDE, true);
    cmdHide_.SetCaptionAlign(0);
    MakeButton(cmdClip_, hwnd(), L"cmdClip", L"Copy to   Clipboard", L"Copy Captured Image to Clipboard",
               IDR_ICON_COPY, false);
    MakeButton(cmdText1_, hwnd(), L"cmdText1", L"Text Annotation", L"Text Annotation", IDR_ICON_TEXT, false);
    MakeButton(cmdBC_, hwnd(), L"cmdBC", L"Image Adjustments", L"Adjust Brightness & Contrast", IDR_ICON_ADJUST,
               false);
    MakeButton(cmdZoom_, hwnd(), L"cmdZoom", L"Zoom Tool", L"Show Zoom Tool", IDR_ICON_ZOOM_TOOL, false);
    MakeButton(Command1_, hwnd(), L"Command1", L"Help File", L"Show Help File", IDR_ICON_HELP, false);
    picMV_.Create(hwnd(), 0, 0, 400, 300, IdPicMV);
    MakeStatic(lblCaptureSize_, L"", IdLblCaptureSize, SS_LEFT | SS_CENTERIMAGE, uiFont_.get());
    MakeButton(cmdOut_, hwnd(), L"cmdOut", L"", L"Zoom Out", IDR_ICON_ZOOM_OUT, false);
    MakeStatic(lblZoomLevel_, L"100%", IdLblZoomLevel, SS_CENTER | SS_CENTERIMAGE, zoomFont_.get());
    MakeButton(cmdIn_, hwnd(), L"cmdIn", L"", L"Zoom In", IDR_ICON_ZOOM_IN, false);
    MakeButton(cmdZoomActual_, hwnd(), L"cmdZoomActual", L"", L"Reset Zoom", IDR_ICON_ZOOM_ACTUAL, false);
}

// The selection shapes and the lasso line styles: option buttons in their panels.
void frmDesktopImage::CreateOptionButtons() {
    static constexpr const wchar_t* kShapeTips[] = {L"Rectangle", L"Square", L"Ellipse", L"Circle"};
    static constexpr int kShapeIcons[] = {IDR_ICON_SHAPE_RECTANGLE, IDR_ICON_SHAPE_SQUARE, IDR_ICON_SHAPE_ELLIPSE,
                                          IDR_ICON_SHAPE_CIRCLE};
    static constexpr const wchar_t* kStyleCaptions[] = {L" ---------", L" - - - - -  ", L" ---------- ",
                                                        L" -- - -- - -- -"};
    static constexpr const wchar_t* kStyleTips[] = {L"Solid Line", L"Dashed Line", L"Dotted Line",
                                                    L"Dash and Dotted Line"};
    const RECT shapeAt = At(x0, 198, cw, 34), styleAt = At(x0, 266, cw, 62);
    const RECT s = ScaleRect(shapeAt), f = ScaleRect(styleAt);
    shapePanel_.Create(hwnd(), s.left, s.top, s.right - s.left, s.bottom - s.top, look::kSideColor);
    Frame1_.Create(hwnd(), f.left, f.top, f.right - f.left, f.bottom - f.top, look::kSideColor);
    AddToolTip(Frame1_.hwnd(), L"Select Lasso Selection Style");
    placed_.push_back({shapePanel_.hwnd(), shapeAt, -1});
    placed_.push_back({Frame1_.hwnd(), styleAt, -1});
    for (int i = 0; i < 4; ++i) {
        auto& b = MakeButton(optShape_[i], shapePanel_.hwnd(), (L"optShape(" + std::to_wstring(i) + L")").c_str(), L"",
                             kShapeTips[i], kShapeIcons[i], true);
        b.SetMode(2);
        placed_.push_back({b.hwnd(), At(i * 56, 0, 52, 34), 0});
        auto& d = MakeButton(optDrawStyle_[i], Frame1_.hwnd(),
                             (L"optDrawStyle(" + std::to_wstring(i) + L")").c_str(), kStyleCaptions[i],
                             kStyleTips[i], 0, true);
        d.SetMode(2);
        placed_.push_back({d.hwnd(), At((i % 2) * 112, (i / 2) * 32, 108, 28), 0});
    }
}

// The options column is fixed; the view takes whatever the window gives it.
void frmDesktopImage::LayoutControls() {
    for (const Placed& p : placed_) {
        const RECT r = ScaleRect(p.at);
        ::MoveWindow(p.hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    const int mainX = Scale(look::kMainX), viewY = Scale(look::kViewY);
    // The tool row over the view: each button as wide as its caption needs.
    {
        win::ScopedGetDC dc(hwnd());
        win::ScopedSelectObject font(dc, uiFont_.get());
        int tx = mainX;
        for (auto* b : {&cmdClip_, &cmdText1_, &cmdBC_, &cmdZoom_, &Command1_}) {
            const std::wstring caption = b->Caption();
            SIZE ext{};
            ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &ext);
            const int w = ext.cx + Scale(16 + 24);  // icon, gap and margins
            ::MoveWindow(b->hwnd(), tx, Scale(look::kToolY), w, Scale(look::kToolH), TRUE);
            tx += w + Scale(4);
        }
    }
    const int viewW = std::max<int>(Scale(80), rc.right - mainX - Scale(12));
    const int viewH = std::max<int>(Scale(60), rc.bottom - viewY - Scale(look::kStatusH));
    ::MoveWindow(picMV_.hwnd(), mainX, viewY, viewW, viewH, TRUE);
    const int statusY = viewY + viewH + Scale(look::kStatusH - 28) / 2;
    int right = mainX + viewW;
    auto place = [&](HWND h, int w) {
        right -= Scale(w);
        ::MoveWindow(h, right, statusY, Scale(w), Scale(28), TRUE);
        right -= Scale(4);
    };
    place(cmdZoomActual_.hwnd(), 30);
    right -= Scale(8);
    place(cmdIn_.hwnd(), 30);
    place(lblZoomLevel_.hwnd(), 56);
    place(cmdOut_.hwnd(), 30);
    ::MoveWindow(lblCaptureSize_.hwnd(), mainX + Scale(2), statusY, std::max(0, right - mainX - Scale(10)), Scale(28), TRUE);
    // Hiding is about the whole window: at the foot of the options column.
    ::MoveWindow(cmdHide_.hwnd(), Scale(look::kPad), rc.bottom - Scale(12 + 30), Scale(look::kColumnW), Scale(30),
                 TRUE);
}

// Another monitor, another DPI (the window is already where the system
// suggests): new fonts and every control at its new size.
void frmDesktopImage::Form_DpiChanged(UINT) {
    win::ScopedFont oldUi = std::move(uiFont_), oldHeader = std::move(headerFont_), oldZoom = std::move(zoomFont_);
    CreateFonts();
    for (const Placed& p : placed_) {
        if (p.font < 0) continue;
        HFONT f = p.font == 1 ? headerFont_.get() : uiFont_.get();
        ::SendMessageW(p.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
    }
    for (HWND h : {cmdHide_.hwnd(), cmdClip_.hwnd(), cmdText1_.hwnd(), cmdBC_.hwnd(), cmdZoom_.hwnd(),
                   Command1_.hwnd(), lblCaptureSize_.hwnd()})
        ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.get()), FALSE);
    lblZoomLevel_.SetFont(zoomFont_.get());
    LayoutControls();
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

}  // namespace px
