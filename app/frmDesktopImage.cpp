#include "app/frmDesktopImage.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/ActiveWindowGrab.h"
#include "app/AppIcons.h"
#include "app/Application.h"
#include "capture/ClipboardBitmap.h"
#include "app/ColorDialog.h"
#include "app/Form1.h"
#include "app/PrintPicture.h"
#include "app/Resources.h"
#include "app/TestDump.h"
#include "app/core/CaptureRules.h"
#include "app/core/TrayMenuTable.h"
#include "app/core/ZoomSteps.h"
#include "app/zoom.h"
#include "base/win/SavePicture.h"
#include "capture/CurrentCapture.h"
#include "export/SaveJPEG.h"
#include "export/fMain.h"
#include "imaging/cDIBSection.h"
#include "imaging/frmBrightnessAndContrast.h"

namespace px {

namespace {

constexpr wchar_t kCaption[] = L" Orvo Pixtrel 4.5";
constexpr wchar_t kTrayTip[] = L"Orvo Pixtrel 4.5";

// Layout, in client pixels at 96 dpi.
constexpr int kClientW = 960, kClientH = 620;
constexpr int kSideW = 248;           // the options column on the left
constexpr int kPad = 14;              // inside the column
constexpr int kColumnW = kSideW - 2 * kPad;
constexpr int kMainX = kSideW + 12;   // the view and its tool row
constexpr int kToolY = 12, kToolH = 32;
constexpr int kViewY = kToolY + kToolH + 10;
constexpr int kStatusH = 44;

constexpr COLORREF kSideColor = RGB(243, 244, 246);
constexpr COLORREF kMainColor = RGB(251, 251, 252);
constexpr COLORREF kLineColor = RGB(222, 225, 230);
constexpr COLORREF kHeaderText = RGB(84, 94, 110);
constexpr COLORREF kHoverColor = RGB(220, 232, 250);
constexpr COLORREF kViewBackColor = 0x9C8E85;  // red 0x85, green 0x8E, blue 0x9C

constexpr UINT kTmrDesktopInterval = 50;

// Face of the program's buttons: flat until the pointer is over them.
constexpr int kButtonStyle = 4;
constexpr int kPictureLeftOfCaption = 2;
constexpr int kPicture16 = 0;
constexpr int kRounded = 1;

std::wstring WindowText(HWND h) { return win::GetWindowTextString(h); }

void SetText(HWND h, const std::wstring& s) { ::SetWindowTextW(h, s.c_str()); }

double MillisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, freq;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&freq);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

}  // namespace

frmDesktopImage& frmDesktopImage::Get() {
    static frmDesktopImage form;
    return form;
}

// ---------------------------------------------------------------------------
// Building the window

void frmDesktopImage::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.frmDesktopImage";
    RegisterClassOnce(cls, CS_DBLCLKS, nullptr, ::LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_APP)));
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT r{0, 0, kClientW, kClientH};
    ::AdjustWindowRectEx(&r, style, TRUE, WS_EX_APPWINDOW);
    CreateWindowObject(cls, kCaption, style, WS_EX_APPWINDOW, 0, 0, r.right - r.left, r.bottom - r.top, nullptr,
                       nullptr);
    if (!hwnd()) return;
    CreateFonts();
    CreateMenuBar();
    CreateControls();
    LayoutControls();
}

void frmDesktopImage::CreateFonts() {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    LOGFONTW lf = ncm.lfMessageFont;
    win::ScopedGetDC screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    lf.lfHeight = -::MulDiv(9, dpi, 72);
    lf.lfQuality = CLEARTYPE_QUALITY;
    uiFont_.reset(::CreateFontIndirectW(&lf));
    lf.lfWeight = FW_BOLD;
    headerFont_.reset(::CreateFontIndirectW(&lf));
    lf.lfHeight = -::MulDiv(10, dpi, 72);
    zoomFont_.reset(::CreateFontIndirectW(&lf));
    sideBrush_.reset(::CreateSolidBrush(kSideColor));
    mainBrush_.reset(::CreateSolidBrush(kMainColor));
    lineBrush_.reset(::CreateSolidBrush(kLineColor));
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
                                {0, nullptr},
                                {IdMnuPrint, L"Print"},
                                {0, nullptr},
                                {IdMnuFileExit, L"Exit"}});
    popup(L"&Edit", {{IdMnuEditCap, L"Capture Selection"},
                     {IdMnuEntire, L"Capture Entire Screen"},
                     {0, nullptr},
                     {IdMnuEditCopy, L"Copy to Clipboard"}});
    popup(L"&Options", {{IdMnuZoom, L"Zoom Tool"}, {0, nullptr}, {IdMnuHide, L"Hide Main Window"}});
    popup(L"&Help", {{IdContents, L"How to Use"},
                     {IdOrdering, L"Ordering Information"},
                     {IdLicense, L"License Agreement"},
                     {0, nullptr},
                     {IdAbout1, L"About "}});
    ::SetMenu(hwnd(), menuBar_);
}

win::uxButtons_H& frmDesktopImage::MakeButton(win::uxButtons_H& b, HWND parent, const wchar_t* name,
                                              const wchar_t* caption, const wchar_t* tip, int iconId, const RECT& r) {
    b.Create(parent, name, r.left, r.top, r.right - r.left, r.bottom - r.top);
    b.DelayDrawing(true);
    ::SendMessageW(b.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.get()), FALSE);
    b.SetButtonStyle(kButtonStyle);
    b.SetCaption(caption);
    b.SetToolTipText(tip);
    b.SetShowFocusRect(false);
    b.SetButtonShape(kRounded);
    const bool onSide = parent != hwnd() || r.left < kSideW;
    b.SetBackColor(onSide ? kSideColor : kMainColor);
    b.SetHoverBackColor(kHoverColor);
    if (iconId) {
        b.SetPicture(IconPicture(iconId));
        b.SetPictureSize(kPicture16);
        b.SetPictureAlign(kPictureLeftOfCaption);
    }
    b.DelayDrawing(false);
    return b;
}

HWND frmDesktopImage::MakeStatic(const wchar_t* text, const RECT& r, int id, DWORD style, HFONT font) {
    HWND h = ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_NOPREFIX | style, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, hwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : uiFont_.get()), FALSE);
    return h;
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

void frmDesktopImage::CreateControls() {
    HWND me = hwnd();
    auto rc = [](int x, int y, int w, int h) { return RECT{x, y, x + w, y + h}; };
    const int x = kPad;

    // Capture commands and the delay of the active-window capture.
    lblCapture_ = MakeStatic(L"Capture", rc(x, 14, kColumnW, 18), 0, SS_LEFT, headerFont_.get());
    MakeButton(cmdCaptureDesktop_, me, L"cmdCaptureDesktop", L"Capture Selection", L"Capture Selection ",
               IDR_ICON_CAPTURE_SELECTION, rc(x, 36, kColumnW, 30));
    MakeButton(cmdEntire_, me, L"cmdEntire", L"Capture Screen", L"Capture the Entire Screen", IDR_ICON_CAPTURE_SCREEN,
               rc(x, 68, kColumnW, 30));
    MakeButton(cmdActive_, me, L"cmdActive", L"Capture Active Window", L"Capture Active Window",
               IDR_ICON_CAPTURE_ACTIVE, rc(x, 100, kColumnW, 30));
    for (auto* b : {&cmdCaptureDesktop_, &cmdEntire_, &cmdActive_}) b->SetCaptionAlign(0);
    lblDelay_ = MakeStatic(L"Delay", rc(x + 4, 141, 40, 18));
    scrActive_ = ::CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_HORZ, x + 46, 141, 112, 17, me,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdScrActive)), Instance(), nullptr);
    ::SetScrollRange(scrActive_, SB_CTL, 0, 10, FALSE);
    ::SetScrollPos(scrActive_, SB_CTL, 2, TRUE);
    lblActive_ = MakeStatic(L"2", rc(x + 162, 141, 22, 18), IdLblActive, SS_RIGHT | SS_NOTIFY);
    Label3_ = MakeStatic(L"Sec", rc(x + 188, 141, 30, 18));
    AddToolTip(lblActive_, L"Timer Interval To Capture Active Window");

    // Selection shape.
    Label2_ = MakeStatic(L"  Selection Shape", rc(x - 8, 176, kColumnW, 18), 0, SS_LEFT, headerFont_.get());
    shapePanel_.Create(me, x, 198, kColumnW, 34, kSideColor);
    static constexpr const wchar_t* kShapeTips[] = {L"Rectangle", L"Square", L"Ellipse", L"Circle"};
    static constexpr int kShapeIcons[] = {IDR_ICON_SHAPE_RECTANGLE, IDR_ICON_SHAPE_SQUARE, IDR_ICON_SHAPE_ELLIPSE,
                                          IDR_ICON_SHAPE_CIRCLE};
    for (int i = 0; i < 4; ++i) {
        auto& b = MakeButton(optShape_[i], shapePanel_.hwnd(), (L"optShape(" + std::to_wstring(i) + L")").c_str(),
                             L"", kShapeTips[i], kShapeIcons[i], rc(i * 56, 0, 52, 34));
        b.SetMode(2);
        b.Click.connect([this, i] { optShape_Click(i); });
    }

    // Lasso line style.
    Label1_ = MakeStatic(L"Lasso Style", rc(x, 244, kColumnW, 18), 0, SS_LEFT, headerFont_.get());
    Frame1_.Create(me, x, 266, kColumnW, 62, kSideColor);
    AddToolTip(Frame1_.hwnd(), L"Select Lasso Selection Style");
    static constexpr const wchar_t* kStyleCaptions[] = {L" ---------", L" - - - - -  ", L" ---------- ",
                                                        L" -- - -- - -- -"};
    static constexpr const wchar_t* kStyleTips[] = {L"Solid Line", L"Dashed Line", L"Dotted Line",
                                                    L"Dash and Dotted Line"};
    for (int i = 0; i < 4; ++i) {
        auto& b = MakeButton(optDrawStyle_[i], Frame1_.hwnd(), (L"optDrawStyle(" + std::to_wstring(i) + L")").c_str(),
                             kStyleCaptions[i], kStyleTips[i], 0, rc((i % 2) * 112, (i / 2) * 32, 108, 28));
        b.SetMode(2);
        b.Click.connect([this, i] { optDrawStyle_Click(i); });
    }

    // Colours of the lasso and of the outside of ellipse and circle captures.
    lblColors_ = MakeStatic(L"Colours", rc(x, 340, kColumnW, 18), 0, SS_LEFT, headerFont_.get());
    picLassoColor_ = MakeStatic(L"", rc(x + 2, 364, 22, 22), IdPicLassoColor, SS_NOTIFY | WS_BORDER);
    AddToolTip(picLassoColor_, L"Selection Lasso Color ");
    MakeButton(cmdLassoColor_, me, L"cmdLassoColor", L"", L"Select Color for Selection Lasso ", IDR_ICON_LASSO_COLOR,
               rc(x + 30, 362, 30, 26));
    lblLasso_ = MakeStatic(L"Selection lasso", rc(x + 68, 367, 150, 18));
    picSelBackColor_ = MakeStatic(L"", rc(x + 2, 396, 22, 22), IdPicSelBackColor, SS_NOTIFY | WS_BORDER);
    AddToolTip(picSelBackColor_, L"Ellipse & Circular Shapes Back Color");
    MakeButton(cmdBackColor_, me, L"cmdBackColor", L"", L"Set Back Color for Ellipse & Circular Shapes",
               IDR_ICON_BACK_COLOR, rc(x + 30, 394, 30, 26));
    lblBack_ = MakeStatic(L"Ellipse & circle back", rc(x + 68, 399, 150, 18));

    // What the overlay shows while selecting.
    lblOverlay_ = MakeStatic(L"While Selecting", rc(x, 436, kColumnW, 18), 0, SS_LEFT, headerFont_.get());
    auto check = [&](int id, const wchar_t* text, int y, const wchar_t* tip) {
        HWND h = ::CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, x + 2, y,
                                   kColumnW - 2, 20, me, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   Instance(), nullptr);
        ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.get()), FALSE);
        AddToolTip(h, tip);
        return h;
    };
    chkGrid_ = check(IdChkGrid, L" Show Screen Ruler Grid", 458, L"Show Screen Ruler Grid");
    sliderGrid_.Create(me, L"sliderGrid", RECT{x + 20, 482, x + kColumnW - 50, 503},
                       controls::PropertyBag{{"Orientation", 0}, {"Min", 50}, {"Max", 200}, {"Value", 100}});
    sliderGrid_.SetBackColor(kSideColor);
    sliderGrid_.SetToolTipText(L"Set Screen Ruler Grid Pixel Spacing");
    lblGridSpacing_ = MakeStatic(L"100 px", rc(x + kColumnW - 46, 483, 46, 18), 0, SS_RIGHT);
    sliderGrid_.ValueChanged.connect([this](int32_t v) { SetText(lblGridSpacing_, std::to_wstring(v) + L" px"); });
    chkDetails_ = check(IdChkDetails, L" Show Image Details", 510, L"Show Image Capture Details");
    chkAutoMagnifier_ = check(IdChkAutoMagnifier, L" Show Auto Magnifier", 532, L"Show Auto Magnifier");
    MakeButton(cmdHide_, me, L"cmdHide", L"Hide Main Window", L"Hide the Main Window", IDR_ICON_HIDE,
               rc(x, 0, kColumnW, 30));
    cmdHide_.SetCaptionAlign(0);
    ::SendMessageW(chkDetails_, BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(chkAutoMagnifier_, BM_SETCHECK, BST_CHECKED, 0);

    // The tool row over the view: each button as wide as its caption needs.
    struct Tool {
        win::uxButtons_H& b;
        const wchar_t *name, *caption, *tip;
        int icon;
    } tools[] = {
        {cmdClip_, L"cmdClip", L"Copy to   Clipboard", L"Copy Captured Image to Clipboard", IDR_ICON_COPY},
        {cmdText1_, L"cmdText1", L"Text Annotation", L"Text Annotation", IDR_ICON_TEXT},
        {cmdBC_, L"cmdBC", L"Image Adjustments", L"Adjust Brightness & Contrast", IDR_ICON_ADJUST},
        {cmdZoom_, L"cmdZoom", L"Zoom Tool", L"Show Zoom Tool", IDR_ICON_ZOOM_TOOL},
        {Command1_, L"Command1", L"Help File", L"Show Help File", IDR_ICON_HELP},
    };
    {
        win::ScopedGetDC dc(me);
        win::ScopedSelectObject font(dc, uiFont_.get());
        int tx = kMainX;
        for (auto& t : tools) {
            SIZE ext{};
            ::GetTextExtentPoint32W(dc, t.caption, static_cast<int>(wcslen(t.caption)), &ext);
            const int w = ext.cx + 16 + 24;  // icon, gap and margins
            MakeButton(t.b, me, t.name, t.caption, t.tip, t.icon, rc(tx, kToolY, w, kToolH));
            tx += w + 4;
        }
    }

    // The view and its status row.
    picMV_.Create(me, kMainX, kViewY, 400, 300, IdPicMV);
    lblCaptureSize_ = MakeStatic(L"", rc(kMainX, 0, 320, 20), IdLblCaptureSize, SS_LEFT | SS_CENTERIMAGE);
    MakeButton(cmdOut_, me, L"cmdOut", L"", L"Zoom Out", IDR_ICON_ZOOM_OUT, rc(0, 0, 30, 28));
    lblZoomLevel_ = MakeStatic(L"100%", rc(0, 0, 56, 28), IdLblZoomLevel, SS_CENTER | SS_CENTERIMAGE, zoomFont_.get());
    MakeButton(cmdIn_, me, L"cmdIn", L"", L"Zoom In", IDR_ICON_ZOOM_IN, rc(0, 0, 30, 28));
    MakeButton(cmdZoomActual_, me, L"cmdZoomActual", L"", L"Reset Zoom", IDR_ICON_ZOOM_ACTUAL, rc(0, 0, 30, 28));

    cmdCaptureDesktop_.Click.connect([this] { cmdCaptureDesktop_Click(); });
    cmdEntire_.Click.connect([this] { cmdEntire_Click(); });
    cmdActive_.Click.connect([this] { cmdActive_Click(); });
    cmdClip_.Click.connect([this] { cmdClip_Click(); });
    cmdHide_.Click.connect([this] { cmdHide_Click(); });
    Command1_.Click.connect([this] { ShowHelpTopic(1); });
    cmdZoom_.Click.connect([this] { cmdZoom_Click(); });
    cmdText1_.Click.connect([this] { cmdText1_Click(); });
    cmdBC_.Click.connect([this] { cmdBC_Click(); });
    cmdLassoColor_.Click.connect([this] { cmdLassoColor_Click(); });
    cmdBackColor_.Click.connect([this] { cmdBackColor_Click(); });
    cmdIn_.Click.connect([this] { cmdIn_Click(); });
    cmdOut_.Click.connect([this] { cmdOut_Click(); });
    cmdZoomActual_.Click.connect([this] { cmdZoomActual_Click(); });

    TrayIcon1_.Create();
    TrayIcon1_.MenuCommand.connect([this](long id) { TrayIcon1_MenuCommand(id); });
    TrayIcon1_.IconActivated.connect([this] { TrayIcon1_IconActivated(); });
}

// The options column is fixed; the view takes whatever the window gives it.
void frmDesktopImage::LayoutControls() {
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    const int viewW = std::max<int>(80, rc.right - kMainX - 12);
    const int viewH = std::max<int>(60, rc.bottom - kViewY - kStatusH);
    ::MoveWindow(picMV_.hwnd(), kMainX, kViewY, viewW, viewH, TRUE);
    const int statusY = kViewY + viewH + (kStatusH - 28) / 2;
    int right = kMainX + viewW;
    auto place = [&](HWND h, int w) {
        right -= w;
        ::MoveWindow(h, right, statusY, w, 28, TRUE);
        right -= 4;
    };
    place(cmdZoomActual_.hwnd(), 30);
    right -= 8;
    place(cmdIn_.hwnd(), 30);
    place(lblZoomLevel_, 56);
    place(cmdOut_.hwnd(), 30);
    ::MoveWindow(lblCaptureSize_, kMainX + 2, statusY, std::max(0, right - kMainX - 10), 28, TRUE);
    // Hiding is about the whole window: at the foot of the options column.
    ::MoveWindow(cmdHide_.hwnd(), kPad, rc.bottom - 12 - 30, kColumnW, 30, TRUE);
}

void frmDesktopImage::BuildTrayMenu() {
    static constexpr int kTrayIcons[] = {IDR_ICON_CAPTURE_SELECTION, IDR_ICON_CAPTURE_SCREEN, IDR_ICON_CAPTURE_ACTIVE,
                                         IDR_ICON_SHOW_WINDOW,       IDR_ICON_COPY,           IDR_ICON_ZOOM_TOOL,
                                         IDR_ICON_HELP,              IDR_ICON_ABOUT,          IDR_ICON_EXIT};
    for (size_t i = 0; i < imlTrayMenu_.size(); ++i) imlTrayMenu_[i] = IconHandle(kTrayIcons[i], 16);
    auto& menus = TrayIcon1_.Menus();
    for (const TrayMenuEntry& e : kTrayMenu) menus.Add(e.kind, std::wstring(e.caption));
    for (int pos = 1; pos <= menus.Count(); ++pos) {
        const int icon = kTrayMenu[static_cast<size_t>(pos - 1)].icon;
        if (icon) menus.Item(pos).SetPicture(imlTrayMenu_[static_cast<size_t>(icon - 1)].get());
    }
    TrayIcon1_.SetToolTipText(kTrayTip);
    trayIcon_.reset(static_cast<HICON>(::LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                    ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                    LR_DEFAULTCOLOR)));
    TrayIcon1_.Show(trayIcon_.get());
}

// ---------------------------------------------------------------------------
// Load and unload

void frmDesktopImage::Form_Load() {
    // 1. Top of the screen, centred horizontally.
    RECT r;
    ::GetWindowRect(hwnd(), &r);
    const int w = r.right - r.left;
    ::SetWindowPos(hwnd(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // 2-3. The skinned caption, frame and menu band attach here once the skin
    // library is part of the program; until then the window keeps the system frame.

    // 4. Hidden until someone shows it.
    cmdHide_Click();

    // 5. Capture options.
    CommonDialog1_.color = RGB(0, 0, 0);
    CommonDialog2_.color = RGB(0, 255, 0);
    backBrush_.reset(::CreateSolidBrush(CommonDialog1_.color));
    lassoBrush_.reset(::CreateSolidBrush(CommonDialog2_.color));
    Shape_ = L"Rectangle";
    DrStyle_ = 0;
    optShape_[0].SetValue(true);
    optDrawStyle_[0].SetValue(true);
    sliderGrid_.SetValue(100);

    // 6. Nothing to save before the first capture; no active-window capture pending.
    for (int id : {IdMnuFileSave, IdMnuFileSaveJPEG, IdMnuFileSaveGIF})
        ::EnableMenuItem(menuBar_, static_cast<UINT>(id), MF_BYCOMMAND | MF_GRAYED);
    TimerC_.stop();

    // 7. The tray icon and its menu.
    BuildTrayMenu();

    // 8. The view shows the start picture until the first capture.
    picMV_.SetBackColor(kViewBackColor);
    picMV_.LoadFile(Application::Get().Paths().StartPicturePath());

    // 9. No zooming before the first capture.
    for (auto* b : {&cmdIn_, &cmdOut_, &cmdZoomActual_}) b->SetEnabled(false);

    // The unload takes everything down in one fixed order.
    ShutdownOrder& shutdown = Application::Get().Shutdown();
    shutdown.Register(ShutdownSlot::Desktop, [] { Desktop::Get().Unload(); });
    shutdown.Register(ShutdownSlot::frmBrightnessAndContrast, [] { frmBrightnessAndContrast::Get().Unload(); });
    shutdown.Register(ShutdownSlot::SaveJPEG, [] { SaveJPEG::Get().Unload(); });
    shutdown.Register(ShutdownSlot::fMain, [] { fMain::Get().Unload(); });
    shutdown.Register(ShutdownSlot::TrayIcon, [this] {
        TrayIcon1_.Remove();
        TrayIcon1_.Destroy();
    });
    shutdown.Register(ShutdownSlot::ViewCleanUp, [this] { picMV_.CleanUp(); });

    WriteTestDump();
}

// Unloading the main window takes the whole program down, in its fixed order.
void frmDesktopImage::Form_Unload() {
    unloading_ = true;
    tmrDesktop_.stop();
    TimerC_.stop();
    Application::Get().Shutdown().Run();
}

// ---------------------------------------------------------------------------
// Messages

LRESULT frmDesktopImage::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED) LayoutControls();
        Form_Resize(static_cast<UINT>(wp));
        break;
    case WM_GETMINMAXINFO: {
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
        RECT r{0, 0, kSideW + 640, 610};
        ::AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_APPWINDOW);
        mmi->ptMinTrackSize = POINT{r.right - r.left, r.bottom - r.top};
        return 0;
    }
    case WM_ERASEBKGND: Form_Paint(reinterpret_cast<HDC>(wp)); return 1;
    case WM_COMMAND:
        if (Form_Command(LOWORD(wp))) return 0;
        break;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lp) == scrActive_) {
            scrActive_Change(LOWORD(wp));
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return Form_CtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_TIMER:
        if (wp == kTmrDesktopId) tmrDesktop_Timer();
        if (wp == kTimerCId) TimerC_Timer();
        return 0;
    case WM_SETCURSOR:
        if (waitPointer_) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    }
    return Form::HandleMessage(msg, wp, lp);
}

bool frmDesktopImage::Form_Command(int id) {
    switch (id) {
    case IdMnuFileSave: mnuFileSave_Click(); return true;
    case IdMnuFileSaveJPEG: mnuFileSaveJPEG_Click(); return true;
    case IdMnuFileSaveGIF: mnuFileSaveGIF_Click(); return true;
    case IdMnuPrint: mnuPrint_Click(); return true;
    case IdMnuFileExit: mnuFileExit_Click(); return true;
    case IdMnuEditCap: cmdCaptureDesktop_Click(); return true;
    case IdMnuEntire: cmdEntire_Click(); return true;
    case IdMnuEditCopy: cmdClip_Click(); return true;
    case IdMnuZoom: cmdZoom_Click(); return true;
    case IdMnuHide: cmdHide_Click(); return true;
    case IdContents: ShowHelpTopic(1); return true;
    case IdOrdering: ShowHelpTopic(6); return true;
    case IdLicense: ShowHelpTopic(7); return true;
    case IdAbout1: About1_Click(); return true;
    }
    return false;
}

// The options column in its own shade, the rest lighter, a line between them.
void frmDesktopImage::Form_Paint(HDC dc) {
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    RECT side{0, 0, kSideW - 1, rc.bottom}, line{kSideW - 1, 0, kSideW, rc.bottom}, main{kSideW, 0, rc.right, rc.bottom};
    ::FillRect(dc, &side, sideBrush_.get());
    ::FillRect(dc, &line, lineBrush_.get());
    ::FillRect(dc, &main, mainBrush_.get());
}

LRESULT frmDesktopImage::Form_CtlColor(HDC dc, HWND control) {
    if (control == picLassoColor_) return reinterpret_cast<LRESULT>(lassoBrush_.get());
    if (control == picSelBackColor_) return reinterpret_cast<LRESULT>(backBrush_.get());
    RECT r;
    ::GetWindowRect(control, &r);
    POINT p{r.left, r.top};
    ::ScreenToClient(hwnd(), &p);
    const bool onSide = p.x < kSideW;
    ::SetBkColor(dc, onSide ? kSideColor : kMainColor);
    const bool header = control == lblCapture_ || control == Label2_ || control == Label1_ || control == lblColors_ ||
                        control == lblOverlay_;
    ::SetTextColor(dc, header ? kHeaderText : ::GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(onSide ? sideBrush_.get() : mainBrush_.get());
}

// Minimised, the window lives on only as the tray icon.
void frmDesktopImage::Form_Resize(UINT sizeType) {
    if (sizeType == SIZE_MINIMIZED)
        Hide();
    else if (!::IsWindowVisible(hwnd()))
        ::ShowWindow(hwnd(), SW_SHOW);
}

// ---------------------------------------------------------------------------
// File menu

void frmDesktopImage::mnuFileSave_Click() {
    if (!HasCapture()) return;
    wchar_t file[MAX_PATH * 2] = L"";
    const std::wstring title = WindowText(hwnd());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hwnd();
    ofn.lpstrFilter = L"Bitmap Files (*.bmp)\0*.bmp\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH * 2;
    ofn.lpstrTitle = title.c_str();
    // The read-only box stays hidden; a file to save to need not exist yet.
    ofn.Flags = OFN_HIDEREADONLY;
    if (!::GetSaveFileNameW(&ofn) || file[0] == L'\0') return;

    if (::GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES &&
        ::MessageBoxW(hwnd(), L"File already exists ! Overwrite ?", title.c_str(), MB_OKCANCEL | MB_ICONQUESTION) !=
            IDOK)
        return;
    if (FAILED(win::SavePictureAsBitmapFile(CurrentCapture(), file))) {
        const std::wstring text = std::wstring(L"The picture could not be saved to '") + file + L"'.";
        ::MessageBoxW(hwnd(), text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
    }
}

void frmDesktopImage::mnuFileSaveJPEG_Click() {
    JpegSource = 1;
    // While the program goes down, the saving window's unload must not bring this window back.
    SaveJPEG::Get().Show({hwnd(), [this] { return CurrentCapture(); },
                          [this] {
                              if (!unloading_) ::ShowWindow(hwnd(), SW_SHOW);
                          }});
}

void frmDesktopImage::mnuFileSaveGIF_Click() {
    if (!HasCapture()) return;
    // Until the capture has its one owner, the export window reads a copy of picSelImage.
    static px::CurrentCapture exportCapture(Application::Get().Paths().ScratchBitmapPath());
    exportCapture.Replace(win::ScopedBitmap(static_cast<HBITMAP>(::CopyImage(CurrentCapture(), IMAGE_BITMAP, 0, 0, 0))));
    fMain::Get().Show(hwnd(), exportCapture);
}

void frmDesktopImage::mnuPrint_Click() {
    if (!HasCapture()) return;
    switch (PrintPictureCentred(CurrentCapture(), L"Orvo Pixtrel capture")) {
    case PrintResult::Printed: break;
    case PrintResult::NoDefaultPrinter:
        ::MessageBoxW(hwnd(),
                      L"There is no default printer.\r\nInstall a printer and make it the default printer to print "
                      L"captures.",
                      kCaption, MB_OK | MB_ICONINFORMATION);
        break;
    case PrintResult::Failed:
        ::MessageBoxW(hwnd(), L"The capture could not be printed.", kCaption, MB_OK | MB_ICONWARNING);
        break;
    }
}

void frmDesktopImage::mnuFileExit_Click() { Unload(); }

void frmDesktopImage::ShowHelpTopic(int) {}

void frmDesktopImage::About1_Click() {}

// ---------------------------------------------------------------------------
// Buttons

void frmDesktopImage::cmdClip_Click() {
    if (HasCapture()) PutBitmapOnClipboard(hwnd(), CurrentCapture());
}

void frmDesktopImage::cmdHide_Click() { Hide(); }

void frmDesktopImage::cmdZoom_Click() { zoom::Get().Show(); }

void frmDesktopImage::cmdText1_Click() { Form1::Get().Show(); }

// "Apply" there has written the adjusted picture to the scratch file: the view and
// the capture are taken from that file, as after every change of the capture.
void frmDesktopImage::cmdBC_Click() {
    frmBrightnessAndContrast::Get().Show(
        hwnd(), CurrentCapture(), Application::Get().Paths().ScratchBitmapPath(),
        [this](const std::wstring& scratchPath, const cDIBSection&) {
            picMV_.LoadFile(scratchPath);
            if (win::ScopedBitmap adjusted = LoadBitmapFile(scratchPath)) {
                picSelImage_ = std::move(adjusted);
                UpdateCaptureSizeLabel();
            }
            ShowNormal();
            WriteTestDump();
        },
        [this] { ShowNormal(); });
}

void frmDesktopImage::PickColor(ColorChooser& dialog, HWND swatch) {
    if (auto chosen = win::ChooseColorDialog(hwnd(), dialog.color, true, dialog.custom)) dialog.color = *chosen;
    // Cancelled or not, the swatch shows the stored colour.
    (swatch == picLassoColor_ ? lassoBrush_ : backBrush_).reset(::CreateSolidBrush(dialog.color));
    ::InvalidateRect(swatch, nullptr, TRUE);
    WriteTestDump();
}

void frmDesktopImage::cmdLassoColor_Click() { PickColor(CommonDialog2_, picLassoColor_); }

void frmDesktopImage::cmdBackColor_Click() { PickColor(CommonDialog1_, picSelBackColor_); }

void frmDesktopImage::cmdIn_Click() {
    if (auto z = ZoomInStep(picMV_.Zoom())) {
        picMV_.SetZoom(*z);
        SetZoomLabel(*z);
    }
    WriteTestDump();
}

void frmDesktopImage::cmdOut_Click() {
    const int z = ZoomOutStep(picMV_.Zoom());
    picMV_.SetZoom(z);
    SetZoomLabel(z);
    WriteTestDump();
}

void frmDesktopImage::cmdZoomActual_Click() {
    picMV_.SetZoom(kZoomActual);
    SetZoomLabel(kZoomActual);
    WriteTestDump();
}

void frmDesktopImage::SetZoomLabel(int level) { SetText(lblZoomLevel_, ZoomLabelText(level)); }

void frmDesktopImage::optShape_Click(int index) {
    Shape_ = ShapeFromIndex(index);
    WriteTestDump();
}

void frmDesktopImage::optDrawStyle_Click(int index) {
    DrStyle_ = static_cast<int16_t>(index);
    WriteTestDump();
}

void frmDesktopImage::scrActive_Change(int request) {
    int pos = ::GetScrollPos(scrActive_, SB_CTL);
    switch (request) {
    case SB_LINELEFT: --pos; break;
    case SB_LINERIGHT: ++pos; break;
    case SB_PAGELEFT: pos -= 2; break;
    case SB_PAGERIGHT: pos += 2; break;
    case SB_LEFT: pos = 0; break;
    case SB_RIGHT: pos = 10; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO si{sizeof(si), SIF_TRACKPOS};
        ::GetScrollInfo(scrActive_, SB_CTL, &si);
        pos = si.nTrackPos;
        break;
    }
    default: return;
    }
    pos = std::clamp(pos, 0, 10);
    ::SetScrollPos(scrActive_, SB_CTL, pos, TRUE);
    SetText(lblActive_, std::to_wstring(pos));
}

// ---------------------------------------------------------------------------
// Tray

void frmDesktopImage::TrayIcon1_MenuCommand(long id) {
    const auto command = TrayCommandFromId(id);
    if (!command) return;
    switch (*command) {
    case TrayCommand::CaptureSelection: cmdCaptureDesktop_Click(); break;
    case TrayCommand::CaptureScreen: cmdEntire_Click(); break;
    case TrayCommand::CaptureActive: cmdActive_Click(); break;
    case TrayCommand::ShowWindow: ShowNormal(); break;
    case TrayCommand::CopyToClipboard: cmdClip_Click(); break;
    case TrayCommand::ZoomTool: cmdZoom_Click(); break;
    case TrayCommand::HowToUse: ShowHelpTopic(1); break;
    case TrayCommand::OrderingInformation: ShowHelpTopic(6); break;
    case TrayCommand::LicenseAgreement: ShowHelpTopic(7); break;
    case TrayCommand::About: About1_Click(); break;
    case TrayCommand::Exit: Unload(); break;
    }
}

void frmDesktopImage::TrayIcon1_IconActivated() { ShowNormal(); }

// ---------------------------------------------------------------------------
// Capture commands

void frmDesktopImage::SetWaitPointer(bool wait) {
    waitPointer_ = wait;
    POINT p;
    ::GetCursorPos(&p);
    if (::WindowFromPoint(p) == hwnd()) ::SetCursor(::LoadCursorW(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

// The window gets out of the way first; the overlay copies the screen 50 ms later.
void frmDesktopImage::cmdCaptureDesktop_Click() {
    ::QueryPerformanceCounter(&commandTime_);
    SetWaitPointer(true);
    Hide();
    tmrDesktop_.start(hwnd(), kTmrDesktopId, kTmrDesktopInterval);
}

void frmDesktopImage::cmdEntire_Click() {
    Shape_ = L"Entire";
    cmdCaptureDesktop_Click();
}

CaptureOptions frmDesktopImage::OverlayOptions() const {
    CaptureOptions o;
    o.shape = Shape_;
    o.drStyle = DrStyle_;
    o.lassoColor = CommonDialog2_.color;
    o.backColor = CommonDialog1_.color;
    o.grid = ::SendMessageW(chkGrid_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    o.gridSpacing = sliderGrid_.Value();
    o.details = ::SendMessageW(chkDetails_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    o.magnifier = ::SendMessageW(chkAutoMagnifier_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return o;
}

void frmDesktopImage::tmrDesktop_Timer() {
    ++startCounter_;
    if (startCounter_ != 1) return;
    Desktop& overlay = Desktop::Get();
    overlay.Begin(
        OverlayOptions(), [this](win::ScopedBitmap picture) { CaptureFinish(std::move(picture)); },
        [this] { CaptureCancelled(); });
    if (overlay.IsVisible()) {
        ::UpdateWindow(overlay.hwnd());
        overlayMs_ = MillisecondsSince(commandTime_);
    }
    tmrDesktop_.stop();
    startCounter_ = 0;
    SetWaitPointer(false);
    WriteTestDump();
}

// Active window: the foreground window's image goes on the clipboard as the
// print-screen key would put it there, and the capture is taken from there.
// Any failure ends the capture silently, the window staying in the tray.
void frmDesktopImage::cmdActive_Click() {
    TimerC_.start(hwnd(), kTimerCId, ActiveDelayMs(WindowText(lblActive_)));
    WriteTestDump();
}

void frmDesktopImage::TimerC_Timer() {
    TimerC_.stop();
    ::ShowWindow(hwnd(), SW_MINIMIZE);
    Hide();
    win::ScopedBitmap grabbed = GrabForegroundWindow(hwnd());
    if (!grabbed || !PutBitmapOnClipboard(hwnd(), grabbed.get())) return;
    win::ScopedBitmap picture = CopyBitmapFromClipboard(hwnd());
    if (!picture || !StoreCapture(picture)) return;
    ReloadView();
    EnableZoomButtons();
    EnableSaveEntries();
    ShowNormal();
    ++captures_;
    WriteTestDump();
}

void frmDesktopImage::CaptureFinish(win::ScopedBitmap picture) {
    const bool entire = Shape_ == L"Entire";
    auto backToRectangle = [&] {
        if (!entire) return;
        optShape_[0].SetValue(true);
        Shape_ = L"Rectangle";
    };
    if (!StoreCapture(picture)) {
        // Without the file the view cannot show the capture: keep the previous one and say so.
        backToRectangle();
        Desktop::Get().Unload();
        ShowNormal();
        const std::wstring text = L"The capture could not be written to '" +
                                  Application::Get().Paths().ScratchBitmapPath() +
                                  L"'.\r\nThe previous capture is kept.";
        ::MessageBoxW(hwnd(), text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
        WriteTestDump();
        return;
    }
    ReloadView();
    PutBitmapOnClipboard(hwnd(), CurrentCapture());
    backToRectangle();
    EnableSaveEntries();
    ShowNormal();
    Desktop::Get().Unload();
    EnableZoomButtons();
    ++captures_;
    WriteTestDump();
}

void frmDesktopImage::CaptureCancelled() {
    if (Shape_ == L"Entire") {
        optShape_[0].SetValue(true);
        Shape_ = L"Rectangle";
    }
    SetWaitPointer(false);
    ShowNormal();
    WriteTestDump();
}

// ---------------------------------------------------------------------------
// The capture

bool frmDesktopImage::StoreCapture(win::ScopedBitmap& picture) {
    if (!picture || FAILED(win::SavePictureAsBitmapFile(picture.get(), Application::Get().Paths().ScratchBitmapPath())))
        return false;
    picSelImage_ = std::move(picture);
    UpdateCaptureSizeLabel();
    return true;
}

// A bitmap file as a picture in the display's format, as the capture is held.
win::ScopedBitmap frmDesktopImage::LoadBitmapFile(const std::wstring& path) {
    win::ScopedBitmap dib(static_cast<HBITMAP>(
        ::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    return dib ? CopyBitmap(dib.get()) : win::ScopedBitmap{};
}

void frmDesktopImage::ReloadView() { picMV_.LoadFile(Application::Get().Paths().ScratchBitmapPath()); }

bool frmDesktopImage::ReplaceCapture(win::ScopedBitmap picture) {
    Load();
    if (!StoreCapture(picture)) {
        const std::wstring text = L"The captured picture could not be written to '" +
                                  Application::Get().Paths().ScratchBitmapPath() + L"'. The previous capture is kept.";
        ::MessageBoxW(hwnd(), text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    ReloadView();
    WriteTestDump();
    return true;
}

void frmDesktopImage::ShowNormal() {
    Load();
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::SetForegroundWindow(hwnd());
}

void frmDesktopImage::EnableSaveEntries() {
    for (int id : {IdMnuFileSave, IdMnuFileSaveJPEG, IdMnuFileSaveGIF})
        ::EnableMenuItem(menuBar_, static_cast<UINT>(id), MF_BYCOMMAND | MF_ENABLED);
}

void frmDesktopImage::EnableZoomButtons() {
    for (auto* b : {&cmdIn_, &cmdOut_, &cmdZoomActual_}) b->SetEnabled(true);
}

void frmDesktopImage::UpdateCaptureSizeLabel() {
    BITMAP bm{};
    if (!picSelImage_ || !::GetObjectW(picSelImage_.get(), sizeof(bm), &bm)) return;
    SetText(lblCaptureSize_, std::to_wstring(bm.bmWidth) + L" \x00D7 " + std::to_wstring(std::abs(bm.bmHeight)) +
                                 L" pixels");
}

// ---------------------------------------------------------------------------
// TEST HOOK (see app/TestDump.h): menus, tray menu and state for the end-to-end tests.

void frmDesktopImage::WriteTestDump() {
    if (!testhook::Enabled()) return;
    static int seq = 0;
    auto b = [](bool v) { return std::string(v ? "true" : "false"); };
    std::string tray = "[";
    auto& menus = TrayIcon1_.Menus();
    for (int pos = 1; pos <= menus.Count(); ++pos) {
        auto& e = menus.Item(pos);
        if (pos > 1) tray += ",";
        tray += "{\"position\":" + std::to_string(pos) + ",\"kind\":" + std::to_string(e.Kind()) +
                ",\"caption\":" + testhook::Text(e.Caption()) + ",\"id\":" + std::to_string(e.CommandId()) +
                ",\"picture\":" + b(e.HasPicture()) + ",\"enabled\":" + b(e.Enabled()) + "}";
    }
    tray += "]";
    BITMAP bm{};
    if (picSelImage_) ::GetObjectW(picSelImage_.get(), sizeof(bm), &bm);
    char ms[32];
    std::snprintf(ms, sizeof(ms), "%.1f", overlayMs_);
    std::string json = "{\"seq\":" + std::to_string(++seq);
    json += ",\"pid\":" + std::to_string(::GetCurrentProcessId());
    json += ",\"hwnd\":" + std::to_string(reinterpret_cast<uintptr_t>(hwnd()));
    json += ",\"visible\":" + b(::IsWindowVisible(hwnd()));
    json += ",\"menu\":" + testhook::Menu(menuBar_);
    json += ",\"tray\":" + tray;
    json += ",\"trayTip\":" + testhook::Text(TrayIcon1_.ToolTipText());
    json += ",\"trayShown\":" + b(TrayIcon1_.Visible());
    json += ",\"shape\":" + testhook::Text(Shape_);
    json += ",\"drStyle\":" + std::to_string(DrStyle_);
    int optIndex = -1;
    for (int i = 0; i < 4; ++i)
        if (optShape_[static_cast<size_t>(i)].Value()) optIndex = i;
    json += ",\"optShape\":" + std::to_string(optIndex);
    json += ",\"lassoColor\":" + std::to_string(CommonDialog2_.color);
    json += ",\"backColor\":" + std::to_string(CommonDialog1_.color);
    json += ",\"gridSpacing\":" + std::to_string(sliderGrid_.Value());
    json += ",\"zoom\":" + std::to_string(picMV_.Zoom());
    json += ",\"zoomLabel\":" + testhook::Text(WindowText(lblZoomLevel_));
    json += ",\"zoomButtonsEnabled\":" + b(cmdIn_.Enabled() && cmdOut_.Enabled() && cmdZoomActual_.Enabled());
    json += ",\"zoomButtonsDisabled\":" + b(!cmdIn_.Enabled() && !cmdOut_.Enabled() && !cmdZoomActual_.Enabled());
    json += ",\"captures\":" + std::to_string(captures_);
    json += ",\"capture\":[" + std::to_string(bm.bmWidth) + "," + std::to_string(std::abs(bm.bmHeight)) + "]";
    const SIZE shown = picMV_.PictureSize();
    json += ",\"view\":[" + std::to_string(shown.cx) + "," + std::to_string(shown.cy) + "]";
    json += ",\"overlayMs\":" + std::string(ms);
    json += ",\"activeTimer\":" + b(TimerC_.running());
    json += "}";
    testhook::Write(json);
}

}  // namespace px
