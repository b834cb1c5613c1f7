#include "app/zoom.h"

#include <algorithm>

#include "app/Application.h"
#include "app/core/ZoomTable.h"
#include "capture/ActiveWindowGrab.h"
#include "capture/core/CaptureRules.h"
#include "controls/ScrollFrame.h"

namespace px {

namespace {
constexpr int kMargin = 4;
constexpr int kDisplay = kZoomToolDisplaySize;
constexpr int kBarY = kMargin + kDisplay + 4, kBarH = 17;
constexpr int kRowY = kBarY + kBarH + 4, kRowH = 24;
constexpr int kClientW = kDisplay + 2 * kMargin, kClientH = kRowY + kRowH + kMargin;
}  // namespace

zoom& zoom::Get() {
    static zoom form;
    return form;
}

void zoom::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.zoom";
    RegisterClassOnce(cls, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_TOOLWINDOW;
    const SIZE outer = OuterSizeForClient(kClientW, kClientH, style, exStyle);
    const int w = outer.cx, h = outer.cy;
    CreateWindowObject(cls, L" Zoom", style, exStyle, ::GetSystemMetrics(SM_CXSCREEN) - w - 24, 48, w, h, nullptr,
                       nullptr);
    if (!hwnd()) return;

    c_ = std::make_unique<Controls>();
    Controls& c = *c_;
    c.zoom.Create(hwnd(), IdZoom, kMargin, kMargin, kDisplay, kDisplay);
    c.HScroll1.Create(hwnd(), IdHScroll1, true, kMargin, kBarY, kDisplay, kBarH);
    // One step per arrow and per page.
    c.HScroll1.SetRange(kZoomToolMinStep, kZoomToolMaxStep, 1, 1);
    c.HScroll1.SetValue(kZoomToolMinStep);
    c.Text1.Create(hwnd(), IdText1, kMargin, kRowY + 1, 56, kRowH - 2, ES_CENTER | ES_READONLY);
    c.Text1.SetText(L"100");
    c.Text1.SetFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    c.router.Add(c.HScroll1);
    c.router.Add(c.Text1);
    c.cmdReset.Create(hwnd(), L"cmdReset", kMargin + 60, kRowY, 96, kRowH, IdCmdReset);
    c.cmdReset.SetCaption(L"Reset Zoom");
    c.cmdExit.Create(hwnd(), L"cmdExit", kClientW - kMargin - 40, kRowY, 40, kRowH, IdCmdExit);
    c.cmdExit.SetCaption(L"X");

    c.HScroll1.Change.connect([this] { HScroll1_Change(); });
    c.HScroll1.Scroll.connect([this] { HScroll1_Change(); });
    c.cmdReset.Click.connect([this] { cmdReset_Click(); });
    c.cmdExit.Click.connect([this] { cmdExit_Click(); });
}

void zoom::Form_Load() {
    static bool shutdownRegistered = false;
    if (!shutdownRegistered) {
        shutdownRegistered = true;
        Application::Get().Shutdown().Register(ShutdownSlot::zoom, [] { zoom::Get().Unload(); });
    }
    sourceSize_ = kZoomToolResetSource;
    // The refresh runs as long as the window is loaded, visible or not.
    Timer1_.start(hwnd(), kTimer1Id, kTimer1Interval);
}

void zoom::Form_Unload() { Timer1_.stop(); }

LRESULT zoom::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE) Form_Activate();
        break;
    case WM_TIMER:
        if (wp == kTimer1Id) {
            Timer1_Timer();
            return 0;
        }
        break;
    case WM_COMMAND:
    case WM_HSCROLL:
        if (c_ && c_->router.Route(msg, wp, lp)) return 0;
        break;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(::GetStockObject(DEFAULT_GUI_FONT));
    case WM_CLOSE: cmdExit_Click(); return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}

void zoom::Form_Activate() {
    ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, kTopMostFlags);
    SetScrollValue(kZoomToolResetStep);
    ShowOneToOne();
}

void zoom::ShowOneToOne() {
    sourceSize_ = kZoomToolResetSource;
    c_->Text1.SetText(kZoomToolResetReadout);
}

int zoom::ScrollValue() const {
    return c_ && c_->HScroll1.hwnd() ? c_->HScroll1.Value() : kZoomToolMinStep;
}

std::wstring zoom::Readout() const { return c_ ? c_->Text1.Text() : std::wstring(); }

void zoom::SetScrollValue(int v) {
    if (!c_ || !c_->HScroll1.hwnd()) return;
    v = std::clamp(v, kZoomToolMinStep, kZoomToolMaxStep);
    if (v == ScrollValue()) return;
    c_->HScroll1.SetValue(v);
    HScroll1_Change();
}

void zoom::HScroll1_Change() {
    ZoomToolStep step = ZoomToolStepFor(ScrollValue());
    sourceSize_ = step.sourceSize;
    c_->Text1.SetText(step.readout);
}

void zoom::cmdReset_Click() {
    SetScrollValue(kZoomToolResetStep);
    ShowOneToOne();
}

void zoom::cmdExit_Click() { Unload(); }

void zoom::Timer1_Timer() {
    POINT cursor;
    if (!::GetCursorPos(&cursor)) return;
    HDC display = c_->zoom.SurfaceDC();
    if (!display) return;
    const ZoomToolSource src = ZoomToolSourceAt(cursor.x, cursor.y, sourceSize_);
    // Near the screen's edge part of the square lies off every monitor, and the
    // platform may then copy nothing at all: copy the part on the screen to its
    // place in the display and leave the rest black.
    const capture::ScreenPart part =
        capture::VisiblePart({src.x, src.y, src.x + src.size, src.y + src.size}, VirtualScreen());
    const bool whole = part.to.left == 0 && part.to.top == 0 && part.to.width() == src.size &&
                       part.to.height() == src.size;
    if (!whole) ::PatBlt(display, 0, 0, kDisplay, kDisplay, BLACKNESS);
    if (!part.from.empty()) {
        // Borrowed for this tick only and given back at once.
        win::ScopedGetDC desktop(::GetDesktopWindow());
        if (!desktop) return;
        auto toDisplay = [&](int v) { return ::MulDiv(v, kDisplay, src.size); };
        const int dx = toDisplay(part.to.left), dy = toDisplay(part.to.top);
        // Colour on colour: reducing (the 75% step) drops rows instead of
        // AND-ing colours together.
        ::SetStretchBltMode(display, COLORONCOLOR);
        ::StretchBlt(display, dx, dy, toDisplay(part.to.right) - dx, toDisplay(part.to.bottom) - dy, desktop,
                     part.from.left, part.from.top, part.from.width(), part.from.height(), SRCCOPY);
    }
    c_->zoom.RefreshNow();
}

}  // namespace px
