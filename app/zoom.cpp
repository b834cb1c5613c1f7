#include "app/zoom.h"

#include <algorithm>

#include "app/Application.h"
#include "app/core/ZoomTable.h"
#include "capture/ActiveWindowGrab.h"
#include "capture/core/CaptureRules.h"
#include "base/Dpi.h"
#include "base/win/DpiLayout.h"
#include "controls/ScrollFrame.h"

namespace px {

namespace {
// The display keeps its size in pixels at every DPI (one display pixel per
// magnified pixel step); margins, bar, read-out and buttons are 96-DPI units.
constexpr int kMargin = 4, kGap = 4;
constexpr int kDisplay = kZoomToolDisplaySize;
constexpr int kBarH = 17, kRowH = 24;
constexpr int kTextW = 56, kResetW = 96, kExitW = 40;
constexpr int kRowW = kMargin + kTextW + kGap + kResetW + kGap + kExitW + kMargin;  // 208 at 96 DPI

struct ZoomLayout {
    SIZE client;
    RECT display, bar, text, reset, exit;
};

ZoomLayout ZoomLayoutFor(UINT dpi) {
    auto S = [dpi](int units96) { return ScaleForDpi(units96, static_cast<int>(dpi)); };
    const int m = S(kMargin), gap = S(kGap);
    const int clientW = std::max(kDisplay + 2 * m, S(kRowW));
    const int displayX = (clientW - kDisplay) / 2;
    const int barY = m + kDisplay + gap, rowY = barY + S(kBarH) + gap, rowH = S(kRowH);
    ZoomLayout l{};
    l.client = {clientW, rowY + rowH + m};
    l.display = {displayX, m, displayX + kDisplay, m + kDisplay};
    l.bar = {m, barY, clientW - m, barY + S(kBarH)};
    l.text = {m, rowY + 1, m + S(kTextW), rowY + rowH - 1};
    l.reset = {l.text.right + gap, rowY, l.text.right + gap + S(kResetW), rowY + rowH};
    l.exit = {clientW - m - S(kExitW), rowY, clientW - m, rowY + rowH};
    return l;
}

void MoveTo(HWND h, const RECT& r) {
    ::SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(h, nullptr, TRUE);
}
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
    const SIZE client = ZoomLayoutFor(Dpi()).client;
    const SIZE outer = OuterSizeForClient(client.cx, client.cy, style, exStyle);
    const int w = outer.cx, h = outer.cy;
    CreateWindowObject(cls, L" Zoom", style, exStyle, ::GetSystemMetrics(SM_CXSCREEN) - w - 24, 48, w, h, nullptr,
                       nullptr);
    if (!hwnd()) return;

    c_ = std::make_unique<Controls>();
    Controls& c = *c_;
    c.zoom.Create(hwnd(), IdZoom, 0, 0, kDisplay, kDisplay);
    c.HScroll1.Create(hwnd(), IdHScroll1, true, 0, 0, 0, 0);
    // One step per arrow and per page.
    c.HScroll1.SetRange(kZoomToolMinStep, kZoomToolMaxStep, 1, 1);
    c.HScroll1.SetValue(kZoomToolMinStep);
    c.Text1.Create(hwnd(), IdText1, 0, 0, 0, 0, ES_CENTER | ES_READONLY);
    c.Text1.SetText(L"100");
    c.router.Add(c.HScroll1);
    c.router.Add(c.Text1);
    c.cmdReset.Create(hwnd(), L"cmdReset", 0, 0, 0, 0, IdCmdReset);
    c.cmdReset.SetCaption(L"Reset Zoom");
    c.cmdExit.Create(hwnd(), L"cmdExit", 0, 0, 0, 0, IdCmdExit);
    c.cmdExit.SetCaption(L"X");
    LayOut(Dpi());

    c.HScroll1.Change.connect([this] { HScroll1_Change(); });
    c.HScroll1.Scroll.connect([this] { HScroll1_Change(); });
    c.cmdReset.Click.connect([this] { cmdReset_Click(); });
    c.cmdExit.Click.connect([this] { cmdExit_Click(); });
}

// The controls at the window's DPI; the client grows to hold the scaled row.
void zoom::LayOut(UINT dpi) {
    if (!c_) return;
    const ZoomLayout l = ZoomLayoutFor(dpi);
    // The read-out's font, and the buttons' through WM_GETFONT; the old one goes once replaced.
    win::ScopedFont font = win::DpiLayout::DialogFont(dpi);
    c_->Text1.SetFont(font.get());
    font_ = std::move(font);
    MoveTo(c_->zoom.hwnd(), l.display);
    MoveTo(c_->HScroll1.hwnd(), l.bar);
    MoveTo(c_->Text1.hwnd(), l.text);
    MoveTo(c_->cmdReset.hwnd(), l.reset);
    MoveTo(c_->cmdExit.hwnd(), l.exit);
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd(), GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE));
    const SIZE outer = OuterSizeForClient(l.client.cx, l.client.cy, style, exStyle);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_ ? font_.get() : ::GetStockObject(DEFAULT_GUI_FONT));
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
