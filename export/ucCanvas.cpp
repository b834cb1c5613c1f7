#include "export/ucCanvas.h"

#include <windowsx.h>

#include "base/win/ScopedWin.h"

namespace px {

namespace {

constexpr wchar_t kCanvasClass[] = L"OrvoPixtrel.ucCanvas";
constexpr wchar_t kSurfaceClass[] = L"OrvoPixtrel.ucCanvas.iCanvas";
constexpr int kColorOnColor = 3;  // stretch mode: whole pixels, no smoothing

HCURSOR CursorOf(CanvasCursor cursor) {
    // Cursors from resources are shared by the system: never destroyed.
    switch (cursor) {
    case CanvasCursor::HandOver: return ::LoadCursorW(win::Window::Instance(), L"CURSOR_HANDOVER");
    case CanvasCursor::HandCatch: return ::LoadCursorW(win::Window::Instance(), L"CURSOR_HANDCATCH");
    case CanvasCursor::PickColor: return ::LoadCursorW(win::Window::Instance(), L"CURSOR_PICKCOLOR");
    case CanvasCursor::Default: break;
    }
    return ::LoadCursorW(nullptr, IDC_ARROW);
}

}  // namespace

// iCanvas: hands every message to the canvas that owns it.
class ucCanvas::InnerSurface : public win::Window {
public:
    explicit InnerSurface(ucCanvas& owner) : owner_(owner) {}
    void Create(HWND parent) {
        RegisterClassOnce(kSurfaceClass, CS_DBLCLKS, nullptr);
        CreateWindowObject(kSurfaceClass, L"", WS_CHILD | WS_VISIBLE, 0, -1, 0, 0, 0, parent, nullptr);
    }
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return DefaultProc(msg, wp, lp); }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override { return owner_.SurfaceMessage(msg, wp, lp); }
    ucCanvas& owner_;
};

ucCanvas::ucCanvas() : dib_(std::make_unique<cDIB32>()), surface_(std::make_unique<InnerSurface>(*this)) {
    dib_->Progress.connect([this](int32_t value) { DIBProgress(value); });
    dib_->ProgressEnd.connect([this] { DIBProgressEnd(); });
}

ucCanvas::~ucCanvas() {
    surface_->Destroy();
    Destroy();
}

void ucCanvas::Create(HWND parent, int x, int y, int width, int height, int id) {
    RegisterClassOnce(kCanvasClass, CS_DBLCLKS, nullptr);
    CreateWindowObject(kCanvasClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, x, y, width, height, parent,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    surface_->Create(hwnd());
    Resize();
}

HWND ucCanvas::Surface() const noexcept { return surface_->hwnd(); }

void ucCanvas::WorkMode(int32_t mode) {
    geometry_.SetWorkMode(mode);
    ApplyCursor();
}

void ucCanvas::Resize() {
    if (!IsCreated()) return;
    if (std::optional<Error> refused = LayOut()) throw *refused;
}

std::optional<Error> ucCanvas::LayOut() {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    std::optional<Error> refused;
    try {
        const CanvasRect r = geometry_.Layout(dib_->Width(), dib_->Height(), client.right, client.bottom);
        ::MoveWindow(Surface(), r.x, r.y, r.width, r.height, FALSE);
    } catch (const Error& e) {
        refused = e;  // the zoomed picture is too large: the previous layout stays and is shown again
    }
    {
        win::ScopedGetDC dc(hwnd());
        PaintMargin(dc);
    }
    if (geometry_.HasPicture()) {
        Repaint();
        ::ValidateRect(Surface(), nullptr);
    }
    ::ValidateRect(hwnd(), nullptr);
    ApplyCursor();
    if (!refused && geometry_.HasPicture()) LaidOut();
    return refused;
}

void ucCanvas::Repaint() {
    if (!IsCreated() || !dib_->hDIB()) return;
    win::ScopedGetDC dc(Surface());
    DrawPicture(dc);
}

void ucCanvas::DrawPicture(HDC dc) {
    if (!dib_->hDIB() || !geometry_.HasPicture()) return;
    const CanvasBlit b = geometry_.Blit();
    dib_->Stretch(dc, b.destX, b.destY, b.destWidth, b.destHeight, b.sourceX, b.sourceY, b.sourceWidth,
                  b.sourceHeight, kColorOnColor);
}

void ucCanvas::PaintMargin(HDC dc) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const CanvasRect s = geometry_.Surface();
    win::ScopedRgn margin(::CreateRectRgn(0, 0, client.right, client.bottom));
    win::ScopedRgn inner(::CreateRectRgn(s.x, s.y, s.x + s.width, s.y + s.height));
    ::CombineRgn(margin.get(), margin.get(), inner.get(), RGN_DIFF);
    ::FillRgn(dc, margin.get(), ::GetSysColorBrush(COLOR_APPWORKSPACE));
}

void ucCanvas::ApplyCursor() {
    cursor_ = geometry_.Cursor();
    // Show the change at once when the pointer is over the surface.
    POINT p{};
    if (::GetCursorPos(&p) && ::WindowFromPoint(p) == Surface()) ::SetCursor(CursorOf(cursor_));
}

int ucCanvas::ShiftState() {
    int shift = 0;
    if (::GetKeyState(VK_SHIFT) < 0) shift |= kShiftMask;
    if (::GetKeyState(VK_CONTROL) < 0) shift |= kCtrlMask;
    if (::GetKeyState(VK_MENU) < 0) shift |= kAltMask;
    return shift;
}

void ucCanvas::Surface_Down(int button, int x, int y, WPARAM) {
    geometry_.Press(x, y, button == kLeftButton);
    ::SetCapture(Surface());  // so a drag keeps coming when the pointer leaves
    ::SetFocus(Surface());
    ApplyCursor();
    const CanvasPoint p = geometry_.ToPicture(x, y);
    MouseDown(button, ShiftState(), p.x, p.y);
}

void ucCanvas::Surface_Move(int x, int y, WPARAM keys) {
    if (geometry_.Move(x, y)) {
        Repaint();
        Scroll();
    }
    int button = 0;
    if (keys & MK_LBUTTON) button |= kLeftButton;
    if (keys & MK_RBUTTON) button |= kRightButton;
    if (keys & MK_MBUTTON) button |= kMiddleButton;
    const CanvasPoint p = geometry_.ToPicture(x, y);
    MouseMove(button, ShiftState(), p.x, p.y);
}

void ucCanvas::Surface_Up(int button, int x, int y, WPARAM keys) {
    // Release only when no other button is still held.
    if (!(keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && ::GetCapture() == Surface()) ::ReleaseCapture();
    geometry_.Release();
    ApplyCursor();
    const CanvasPoint p = geometry_.ToPicture(x, y);
    MouseUp(button, ShiftState(), p.x, p.y);
}

void ucCanvas::Margin_Down(int button, int x, int y, WPARAM keys) {
    const CanvasRect s = geometry_.Surface();
    if (!geometry_.HasPicture()) return;
    Surface_Down(button, x - s.x, y - s.y, keys);
}

LRESULT ucCanvas::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        // Nothing may be thrown through the window procedure: a refused layout keeps the previous one.
        if (IsCreated()) LayOut();
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        win::ScopedPaint dc(hwnd());
        PaintMargin(dc);
        return 0;
    }
    case WM_PRINTCLIENT: PaintMargin(reinterpret_cast<HDC>(wp)); return 0;
    case WM_LBUTTONDOWN: Margin_Down(kLeftButton, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), wp); return 0;
    case WM_RBUTTONDOWN: Margin_Down(kRightButton, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), wp); return 0;
    case WM_MBUTTONDOWN: Margin_Down(kMiddleButton, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), wp); return 0;
    }
    return DefaultProc(msg, wp, lp);
}

LRESULT ucCanvas::SurfaceMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        win::ScopedPaint dc(Surface());
        DrawPicture(dc);
        return 0;
    }
    case WM_PRINTCLIENT: DrawPicture(reinterpret_cast<HDC>(wp)); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT) {
            ::SetCursor(CursorOf(cursor_));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN: Surface_Down(kLeftButton, x, y, wp); return 0;
    case WM_RBUTTONDOWN: Surface_Down(kRightButton, x, y, wp); return 0;
    case WM_MBUTTONDOWN: Surface_Down(kMiddleButton, x, y, wp); return 0;
    case WM_LBUTTONDBLCLK: {
        const CanvasPoint last = geometry_.LastPointer();
        Surface_Down(kLeftButton, last.x, last.y, MK_LBUTTON);
        return 0;
    }
    case WM_MOUSEMOVE: Surface_Move(x, y, wp); return 0;
    case WM_LBUTTONUP: Surface_Up(kLeftButton, x, y, wp); return 0;
    case WM_RBUTTONUP: Surface_Up(kRightButton, x, y, wp); return 0;
    case WM_MBUTTONUP: Surface_Up(kMiddleButton, x, y, wp); return 0;
    case WM_CAPTURECHANGED:
        // Another window took the pointer: no drag may outlive the capture.
        if (reinterpret_cast<HWND>(lp) != Surface()) {
            geometry_.Release();
            cursor_ = geometry_.Cursor();
        }
        return 0;
    case WM_KEYDOWN:
        if (!geometry_.Dragging()) KeyDown(static_cast<int>(wp), ShiftState());
        return 0;
    }
    return surface_->Default(msg, wp, lp);
}

}  // namespace px
