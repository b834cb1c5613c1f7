#include "app/frmDesktopImage.h"

#include <algorithm>
#include <utility>

#include "app/Application.h"
#include "app/ColorDialog.h"
#include "app/Form1.h"
#include "app/frmAbout.h"
#include "app/Resources.h"
#include "app/StoredCaptureKey.h"
#include "app/core/ZoomSteps.h"
#include "app/frmDesktopImageLook.h"
#include "app/zoom.h"
#include "capture/ClipboardBitmap.h"
#include "capture/core/CaptureRules.h"
#include "controls/frmValueTip.h"
#include "export/SaveJPEG.h"
#include "export/fMain.h"
#include "imaging/frmBrightnessAndContrast.h"

namespace px {

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
    loading_ = true;
    CreateWindowObject(cls, look::kCaption, style, WS_EX_APPWINDOW, 0, 0, 100, 100, nullptr, nullptr);
    if (!hwnd()) return;
    const SIZE size = OuterSize(look::kClientW, look::kClientH);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateFonts();
    sideBrush_.reset(::CreateSolidBrush(look::kSideColor));
    mainBrush_.reset(::CreateSolidBrush(look::kMainColor));
    lineBrush_.reset(::CreateSolidBrush(look::kLineColor));
    CreateMenuBar();
    placed_.clear();
    CreateControls();
    ConnectControls();
    LayoutControls();
}

void frmDesktopImage::ConnectControls() {
    for (int i = 0; i < 4; ++i) {
        optShape_[i].Click.connect([this, i] { optShape_Click(i); });
        optDrawStyle_[i].Click.connect([this, i] { optDrawStyle_Click(i); });
    }
    scrActive_.Change.connect([this] { scrActive_Change(); });
    scrActive_.Scroll.connect([this] { scrActive_Change(); });
    sliderGrid_.ValueChanged.connect([this](int32_t v) { lblGridSpacing_.SetText(std::to_wstring(v) + L" px"); });
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

// ---------------------------------------------------------------------------
// Load and unload

void frmDesktopImage::Form_Load() {
    // 1. Top of the screen, centred horizontally.
    RECT r;
    ::GetWindowRect(hwnd(), &r);
    const int w = r.right - r.left;
    ::SetWindowPos(hwnd(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // 2-3. The skinned caption, frame and menu band.
    AttachSkin();

    // 4. Hidden until someone shows it.
    cmdHide_Click();

    // 5. Capture options.
    CommonDialog1_.color = RGB(0, 0, 0);
    CommonDialog2_.color = RGB(0, 255, 0);
    backBrush_.reset(::CreateSolidBrush(CommonDialog1_.color));
    lassoBrush_.reset(::CreateSolidBrush(CommonDialog2_.color));
    Commands().SetShape(capture::SelectionShape::Rectangle);
    DrStyle_ = 0;
    optShape_[0].SetValue(true);
    optDrawStyle_[0].SetValue(true);
    sliderGrid_.SetValue(100);

    // 6. Nothing to save before the first capture; no active-window capture pending.
    for (int id : {IdMnuFileSave, IdMnuFileSaveJPEG, IdMnuFileSaveGIF, IdMnuFileSavePNG})
        ::EnableMenuItem(menuBar_, static_cast<UINT>(id), MF_BYCOMMAND | MF_GRAYED);
    Commands().Stop();

    // 7. The tray icon and its menu.
    BuildTrayMenu();

    // 8. The view shows the start picture until the first capture.
    picMV_.SetBackColor(look::kViewBackColor);
    picMV_.LoadFile(Application::Get().Paths().StartPicturePath());

    // 9. No zooming before the first capture.
    for (auto* b : {&cmdIn_, &cmdOut_, &cmdZoomActual_}) b->SetEnabled(false);

    RegisterShutdown();
    WireSatelliteWindows();
    SubscribeTestDump();

    // Last: when the key is taken, the user is asked about another one. A key kept
    // from an earlier run comes first; Print Screen when it is missing, broken or taken.
    if (const auto kept = LoadStoredCaptureKey())
        hotkey_.RegisterPreferred(hwnd(), *kept);
    else
        hotkey_.Register(hwnd());
    loading_ = false;
    WriteTestDump();
}

// The unload takes everything down in one fixed order.
void frmDesktopImage::RegisterShutdown() {
    ShutdownOrder& shutdown = Application::Get().Shutdown();
    shutdown.Register(ShutdownSlot::Desktop, [] { Desktop::Get().Unload(); });
    shutdown.Register(ShutdownSlot::frmAbout, [] { frmAbout::Get().Unload(); });
    shutdown.Register(ShutdownSlot::frmBrightnessAndContrast, [] { frmBrightnessAndContrast::Get().Unload(); });
    shutdown.Register(ShutdownSlot::SaveJPEG, [] { SaveJPEG::Get().Unload(); });
    shutdown.Register(ShutdownSlot::frmValueTip, [] { win::frmValueTip::Instance().Unload(); });
    shutdown.Register(ShutdownSlot::fMain, [] { fMain::Get().Unload(); });
    shutdown.Register(ShutdownSlot::Clipboard, [this] {
        if (commands_) commands_->ReleaseClipboard();
    });
    shutdown.Register(ShutdownSlot::TrayIcon, [this] {
        TrayIcon1_.Remove();
        TrayIcon1_.Destroy();
    });
    shutdown.Register(ShutdownSlot::ViewCleanUp, [this] { picMV_.CleanUp(); });
    shutdown.Register(ShutdownSlot::CaptionDetach, [this] { skin_.Detach(); });
}

// The skin takes over caption, frame and menu band; the window keeps its
// client size, takes the skin's frame around it and is centred again at the
// top. Without the library the system frame stays (the test dump says why).
void frmDesktopImage::AttachSkin() {
    // The client area changes twice (the skin's frame, then the size that keeps
    // the designed client area): the controls are placed once, after both, and
    // only if the client area ends at another size than it had.
    RECT before{};
    ::GetClientRect(hwnd(), &before);
    layoutDeferred_ = true;
    layoutPending_ = false;
    if (skin_.Attach(hwnd(), uiFont_.get())) {
        const SIZE size = OuterSize(look::kClientW, look::kClientH);
        ::SetWindowPos(hwnd(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2, 0, size.cx, size.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    layoutDeferred_ = false;
    RECT after{};
    ::GetClientRect(hwnd(), &after);
    const bool resized = after.right != before.right || after.bottom != before.bottom;
    if (std::exchange(layoutPending_, false) && resized && !::IsIconic(hwnd())) LayoutControls();
}

SIZE frmDesktopImage::OuterSize(int clientW96, int clientH96) const {
    RECT r{0, 0, Scale(clientW96), Scale(clientH96)};
    if (skin_.Attached()) {
        const FrameMargins m = skin_.Margins();
        r.right += m.left + m.right;
        r.bottom += m.top + m.bottom;
    } else {
        ::AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_APPWINDOW);
    }
    // At a high DPI on a small screen the window would reach beyond it: no larger than the work area.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return SIZE{std::min<LONG>(r.right - r.left, work.right - work.left),
                std::min<LONG>(r.bottom - r.top, work.bottom - work.top)};
}

// Unloading the main window takes the whole program down, in its fixed order.
void frmDesktopImage::Form_Unload() {
    unloading_ = true;
    hotkey_.Unregister();
    if (commands_) commands_->Stop();
    Application::Get().Shutdown().Run();
}

// ---------------------------------------------------------------------------
// Messages

LRESULT frmDesktopImage::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED && layoutDeferred_) layoutPending_ = true;
        else if (wp != SIZE_MINIMIZED) LayoutControls();
        Form_Resize(static_cast<UINT>(wp));
        break;
    case WM_GETMINMAXINFO: {
        const SIZE min = OuterSize(look::kMinClientW, look::kMinClientH);
        reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = POINT{min.cx, min.cy};
        return 0;
    }
    case WM_ERASEBKGND: Form_Paint(reinterpret_cast<HDC>(wp)); return 1;
    case WM_HOTKEY:
        if (wp == CaptureHotkey::kId) {
            CaptureHotkey_Pressed();
            return 0;
        }
        break;
    case WM_COMMAND:
        if (router_.Route(msg, wp, lp) || Form_Command(LOWORD(wp))) return 0;
        break;
    case WM_HSCROLL:
        if (router_.Route(msg, wp, lp)) return 0;
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return Form_CtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_SETCURSOR:
        if (commands_ && commands_->Busy()) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    }
    return Form::HandleMessage(msg, wp, lp);
}

// The options column in its own shade, the rest lighter, a line between them.
void frmDesktopImage::Form_Paint(HDC dc) {
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    const int sideW = Scale(look::kSideW);
    RECT side{0, 0, sideW - 1, rc.bottom}, line{sideW - 1, 0, sideW, rc.bottom}, main{sideW, 0, rc.right, rc.bottom};
    ::FillRect(dc, &side, sideBrush_.get());
    ::FillRect(dc, &line, lineBrush_.get());
    ::FillRect(dc, &main, mainBrush_.get());
}

LRESULT frmDesktopImage::Form_CtlColor(HDC dc, HWND control) {
    if (control == picLassoColor_.hwnd()) return reinterpret_cast<LRESULT>(lassoBrush_.get());
    if (control == picSelBackColor_.hwnd()) return reinterpret_cast<LRESULT>(backBrush_.get());
    RECT r;
    ::GetWindowRect(control, &r);
    POINT p{r.left, r.top};
    ::ScreenToClient(hwnd(), &p);
    const bool onSide = p.x < Scale(look::kSideW);
    ::SetBkColor(dc, onSide ? look::kSideColor : look::kMainColor);
    const bool header = control == lblCapture_.hwnd() || control == Label2_.hwnd() || control == Label1_.hwnd() ||
                        control == lblColors_.hwnd() || control == lblOverlay_.hwnd();
    ::SetTextColor(dc, header ? look::kHeaderText : ::GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(onSide ? sideBrush_.get() : mainBrush_.get());
}

// Minimised, the window lives on only as the tray icon. While it loads it
// stays hidden: its controls and skin go on unseen, and nothing flashes.
void frmDesktopImage::Form_Resize(UINT sizeType) {
    if (sizeType == SIZE_MINIMIZED)
        Hide();
    else if (!loading_ && !::IsWindowVisible(hwnd()))
        ::ShowWindow(hwnd(), SW_SHOW);
}

// ---------------------------------------------------------------------------
// Buttons

void frmDesktopImage::cmdClip_Click() {
    if (HasCapture() && !Commands().CopyToClipboard()) Clipboard_Failed();
}

void frmDesktopImage::cmdHide_Click() { Hide(); }

void frmDesktopImage::cmdZoom_Click() { zoom::Get().Show(); }

void frmDesktopImage::cmdText1_Click() { Form1::Get().Show(Capture()); }

void frmDesktopImage::cmdBC_Click() { frmBrightnessAndContrast::Get().Show(hwnd(), Capture()); }

void frmDesktopImage::PickColor(ColorChooser& dialog, HWND swatch) {
    if (auto chosen = win::ChooseColorDialog(hwnd(), dialog.color, true, dialog.custom)) dialog.color = *chosen;
    // Cancelled or not, the swatch shows the stored colour.
    (swatch == picLassoColor_.hwnd() ? lassoBrush_ : backBrush_).reset(::CreateSolidBrush(dialog.color));
    ::InvalidateRect(swatch, nullptr, TRUE);
}

void frmDesktopImage::cmdLassoColor_Click() { PickColor(CommonDialog2_, picLassoColor_.hwnd()); }

void frmDesktopImage::cmdBackColor_Click() { PickColor(CommonDialog1_, picSelBackColor_.hwnd()); }

void frmDesktopImage::cmdIn_Click() {
    if (auto z = ZoomInStep(picMV_.Zoom())) {
        picMV_.SetZoom(*z);
        SetZoomLabel(*z);
    }
}

void frmDesktopImage::cmdOut_Click() {
    const int z = ZoomOutStep(picMV_.Zoom());
    picMV_.SetZoom(z);
    SetZoomLabel(z);
}

void frmDesktopImage::cmdZoomActual_Click() {
    picMV_.SetZoom(kZoomActual);
    SetZoomLabel(kZoomActual);
}

void frmDesktopImage::SetZoomLabel(int level) { lblZoomLevel_.SetText(ZoomLabelText(level)); }

void frmDesktopImage::optShape_Click(int index) { Commands().SetShape(capture::ShapeFromIndex(index)); }

void frmDesktopImage::optDrawStyle_Click(int index) { DrStyle_ = static_cast<int16_t>(index); }

void frmDesktopImage::scrActive_Change() { lblActive_.SetText(std::to_wstring(scrActive_.Value())); }

// ---------------------------------------------------------------------------
// Capture commands

CaptureOptions frmDesktopImage::OverlayOptions() const {
    CaptureOptions o;
    o.shape = commands_ ? commands_->Shape() : capture::SelectionShape::Rectangle;
    o.drStyle = DrStyle_;
    o.lassoColor = CommonDialog2_.color;
    o.backColor = CommonDialog1_.color;
    o.grid = chkGrid_.Checked();
    o.gridSpacing = sliderGrid_.Value();
    o.details = chkDetails_.Checked();
    o.magnifier = chkAutoMagnifier_.Checked();
    return o;
}

void frmDesktopImage::cmdCaptureDesktop_Click() { Commands().CaptureSelection(OverlayOptions()); }

void frmDesktopImage::cmdEntire_Click() { Commands().CaptureEntireScreen(OverlayOptions()); }

void frmDesktopImage::cmdActive_Click() { Commands().CaptureActiveWindow(capture::ActiveDelayMs(lblActive_.Text())); }

// A capture ended, taken or not: the shape buttons show the shape, the window comes back.
void frmDesktopImage::Commands_Ended() {
    const int index = capture::IndexOfShape(commands_->Shape());
    if (index >= 0) optShape_[static_cast<size_t>(index)].SetValue(true);
    ShowNormal();
}

void frmDesktopImage::Clipboard_Failed() {
    ::MessageBoxW(hwnd(), kClipboardFailedText, look::kCaption, MB_OK | MB_ICONWARNING);
}

void frmDesktopImage::Commands_Failed(const std::wstring& text) {
    Commands_Ended();
    ::MessageBoxW(hwnd(), text.c_str(), look::kCaption, MB_OK | MB_ICONWARNING);
}

// ---------------------------------------------------------------------------
// The capture

CurrentCapture& frmDesktopImage::Capture() {
    if (!capture_) {
        capture_ = std::make_unique<px::CurrentCapture>(Application::Get().Paths().ScratchBitmapPath());
        capture_->Changed.connect([this] { Capture_Changed(); });
    }
    return *capture_;
}

CaptureCommands& frmDesktopImage::Commands() {
    if (!commands_) {
        commands_ = std::make_unique<CaptureCommands>(Capture());
        commands_->Finished.connect([this] { Commands_Ended(); });
        commands_->Cancelled.connect([this] { Commands_Ended(); });
        commands_->Failed.connect([this](const std::wstring& text) { Commands_Failed(text); });
        commands_->ClipboardFailed.connect([this] { Clipboard_Failed(); });
    }
    commands_->SetOwner(hwnd());
    return *commands_;
}

// Whoever changed the capture, the view shows the scratch file and the commands that need a capture come on.
void frmDesktopImage::Capture_Changed() {
    Load();
    picMV_.LoadFile(capture_->ScratchPath());
    UpdateCaptureSizeLabel();
    EnableSaveEntries();
    EnableZoomButtons();
}

// The windows opened from here say when they are gone: this window comes back,
// unless it is itself going away.
void frmDesktopImage::WireSatelliteWindows() {
    static bool wired = false;
    if (wired) return;
    wired = true;
    auto showAgain = [this] {
        if (!unloading_) ShowNormal();
    };
    Form1::Get().Closed.connect(showAgain);
    frmAbout::Get().Closed.connect(showAgain);
    frmBrightnessAndContrast::Get().Closed.connect(showAgain);
    // The saving window leaves this window in whatever state it was, only visible.
    SaveJPEG::Get().Closed.connect([this] {
        if (!unloading_ && IsLoaded()) ::ShowWindow(hwnd(), SW_SHOW);
    });
}

void frmDesktopImage::ShowNormal() {
    Load();
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::SetForegroundWindow(hwnd());
}

void frmDesktopImage::EnableSaveEntries() {
    for (int id : {IdMnuFileSave, IdMnuFileSaveJPEG, IdMnuFileSaveGIF, IdMnuFileSavePNG})
        ::EnableMenuItem(menuBar_, static_cast<UINT>(id), MF_BYCOMMAND | MF_ENABLED);
}

void frmDesktopImage::EnableZoomButtons() {
    for (auto* b : {&cmdIn_, &cmdOut_, &cmdZoomActual_}) b->SetEnabled(true);
}

void frmDesktopImage::UpdateCaptureSizeLabel() {
    const SIZE s = Capture().Size();
    if (s.cx <= 0) return;
    lblCaptureSize_.SetText(std::to_wstring(s.cx) + L" \x00D7 " + std::to_wstring(s.cy) + L" pixels");
}

}  // namespace px
