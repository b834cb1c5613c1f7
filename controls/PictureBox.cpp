#include "controls/PictureBox.h"

#include <windowsx.h>

#include <algorithm>

#include "controls/core/PictureText.h"
#include "base/FontDescription.h"

namespace px::win {

namespace {
constexpr wchar_t kClassName[] = L"OrvoPixtrel.PictureBox";

int ShiftState(WPARAM wp) { return ((wp & MK_SHIFT) ? 1 : 0) | ((wp & MK_CONTROL) ? 2 : 0); }
int ButtonsHeld(WPARAM wp) {
    return ((wp & MK_LBUTTON) ? 1 : 0) | ((wp & MK_RBUTTON) ? 2 : 0) | ((wp & MK_MBUTTON) ? 4 : 0);
}

// Fills with a solid colour through a brush of our own.
void FillColor(HDC dc, const RECT& r, COLORREF c) {
    ScopedBrush brush(::CreateSolidBrush(c));
    ::FillRect(dc, &r, brush.get());
}
}  // namespace

PictureBox::~PictureBox() {
    Destroy();
    FreeSurface();
}

bool PictureBox::Create(HWND parent, int id, int x, int y, int w, int h, DWORD extraStyle) {
    if (IsCreated()) return false;
    RegisterClassOnce(kClassName, CS_DBLCLKS, nullptr);
    CreateWindowObject(kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | extraStyle, 0, x, y, w, h, parent,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    if (!IsCreated()) return false;
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    ResizeSurface(rc.right, rc.bottom);
    return true;
}

void PictureBox::Resize(int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (IsCreated()) {
        RECT rc{0, 0, w, h};
        ::AdjustWindowRectEx(&rc, static_cast<DWORD>(::GetWindowLongPtrW(hwnd(), GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE)));
        ::SetWindowPos(hwnd(), nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ResizeSurface(w, h);  // WM_SIZE has done it already when the size changed
}

void PictureBox::ResizeSurface(int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (w == surfaceW_ && h == surfaceH_ && (surface_ || w == 0 || h == 0)) return;

    MemoryBitmapDC next;
    if (w > 0 && h > 0) {
        ScopedGetDC screen(nullptr);
        next = MemoryBitmapDC(screen, ScopedBitmap(::CreateCompatibleBitmap(screen, w, h)));
        if (!next) return;  // out of GDI memory: keep the old surface
        RECT all{0, 0, w, h};
        FillColor(next.dc(), all, backColor_);
        if (surface_)
            ::BitBlt(next.dc(), 0, 0, std::min(w, surfaceW_), std::min(h, surfaceH_), surface_.dc(), 0, 0, SRCCOPY);
    }
    FreeSurface();
    surface_ = std::move(next);
    surfaceW_ = surface_ ? w : 0;
    surfaceH_ = surface_ ? h : 0;
    if (IsCreated()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void PictureBox::FreeSurface() {
    font_.reset();
    surface_.reset();
    surfaceW_ = surfaceH_ = 0;
}

void PictureBox::SetPicture(HBITMAP picture) {
    if (!surface_ || !picture) return;
    BITMAP bm{};
    if (!::GetObjectW(picture, sizeof(bm), &bm)) return;
    AutoDeleteDC src(::CreateCompatibleDC(surface_.dc()));
    ScopedSelectObject sel(src.get(), picture);
    ::BitBlt(surface_.dc(), 0, 0, bm.bmWidth, bm.bmHeight, src.get(), 0, 0, SRCCOPY);
    RECT r{0, 0, bm.bmWidth, bm.bmHeight};
    Invalidate(r);
}

ScopedBitmap PictureBox::CopyImage() const {
    if (!surface_) return {};
    ScopedBitmap copy(::CreateCompatibleBitmap(surface_.dc(), surfaceW_, surfaceH_));
    if (!copy) return {};
    AutoDeleteDC dst(::CreateCompatibleDC(surface_.dc()));
    {
        ScopedSelectObject sel(dst.get(), copy.get());
        ::BitBlt(dst.get(), 0, 0, surfaceW_, surfaceH_, surface_.dc(), 0, 0, SRCCOPY);
    }
    return copy;
}

COLORREF PictureBox::PixelAt(int x, int y) const {
    return surface_ ? ::GetPixel(surface_.dc(), x, y) : CLR_INVALID;
}

void PictureBox::SetBackColor(COLORREF c) {
    backColor_ = c;
    Cls();
}

void PictureBox::SetForeColor(COLORREF c) { foreColor_ = c; }

void PictureBox::SetDrawWidth(int w) {
    if (w >= 1) drawWidth_ = w;
}

void PictureBox::SetFontName(const std::wstring& name) {
    fontName_ = name;
    font_.reset();
}

void PictureBox::SetFontSize(double points) {
    if (points < kMinFontPoints || points > kMaxFontPoints) return;
    fontSize_ = points;
    font_.reset();
}

void PictureBox::SetFontStyle(int bits) {
    fontStyle_ = bits;
    font_.reset();
}

void PictureBox::Cls() {
    current_ = {0, 0};
    if (!surface_) return;
    RECT all{0, 0, surfaceW_, surfaceH_};
    FillColor(surface_.dc(), all, backColor_);
    Invalidate(all);
}

void PictureBox::LineTo(int x, int y) {
    POINT from = current_;
    current_ = {x, y};
    if (!surface_) return;
    ScopedPen pen(::CreatePen(PS_SOLID, drawWidth_, foreColor_));
    {
        ScopedSelectObject sel(surface_.dc(), pen.get());
        ::MoveToEx(surface_.dc(), from.x, from.y, nullptr);
        ::LineTo(surface_.dc(), x, y);
    }
    // The platform leaves out a line's last pixel; a freehand stroke keeps it.
    if (drawWidth_ == 1) ::SetPixelV(surface_.dc(), x, y, foreColor_);
    int pad = drawWidth_ + 1;
    RECT r{std::min<LONG>(from.x, x) - pad, std::min<LONG>(from.y, y) - pad, std::max<LONG>(from.x, x) + pad + 1,
           std::max<LONG>(from.y, y) + pad + 1};
    Invalidate(r);
}

void PictureBox::Circle(int cx, int cy, int radius) {
    if (!surface_) return;
    ScopedPen pen(::CreatePen(PS_SOLID, drawWidth_, foreColor_));
    ScopedSelectObject selPen(surface_.dc(), pen.get());
    ScopedSelectObject selBrush(surface_.dc(), ::GetStockObject(NULL_BRUSH));
    ::Ellipse(surface_.dc(), cx - radius, cy - radius, cx + radius + 1, cy + radius + 1);
    RECT r{cx - radius - drawWidth_, cy - radius - drawWidth_, cx + radius + drawWidth_ + 1,
           cy + radius + drawWidth_ + 1};
    Invalidate(r);
}

HFONT PictureBox::CurrentFont() {
    if (font_ || !surface_) return font_.get();
    using namespace px::FontStyleBit;
    LOGFONTW lf{};
    lf.lfHeight = FontCharacterHeight(fontSize_, ::GetDeviceCaps(surface_.dc(), LOGPIXELSY));
    lf.lfWeight = (fontStyle_ & Bold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (fontStyle_ & Italic) ? TRUE : FALSE;
    lf.lfUnderline = (fontStyle_ & Underline) ? TRUE : FALSE;
    lf.lfStrikeOut = (fontStyle_ & Strikeout) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    ::lstrcpynW(lf.lfFaceName, fontName_.c_str(), LF_FACESIZE);
    font_.reset(::CreateFontIndirectW(&lf));
    return font_.get();
}

void PictureBox::PrintText(const std::wstring& text) {
    if (!surface_) return;
    HDC dc = surface_.dc();
    ScopedSaveDC saved(dc);
    ScopedSelectObject selFont(dc, CurrentFont());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, foreColor_);
    ::SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    const int lineHeight = tm.tmHeight + tm.tmExternalLeading;
    const int x = current_.x;
    int y = current_.y;
    for (const std::wstring& line : SplitTextLines(text)) {
        if (!line.empty()) ::TextOutW(dc, x, y, line.c_str(), static_cast<int>(line.size()));
        y += lineHeight;
    }
    current_ = {x, y};
    RECT all{0, 0, surfaceW_, surfaceH_};
    Invalidate(all);
}

void PictureBox::SetCursorShape(LPCWSTR standardCursor) {
    cursor_ = standardCursor;
    if (!IsCreated()) return;
    POINT p;
    if (::GetCursorPos(&p) && ::WindowFromPoint(p) == hwnd())
        ::SetCursor(::LoadCursorW(nullptr, cursor_ ? cursor_ : IDC_ARROW));
}

void PictureBox::Invalidate(const RECT& r) {
    if (IsCreated()) ::InvalidateRect(hwnd(), &r, FALSE);
}

// Straight onto the window: a paint message round trip costs several times
// the copy itself, which matters for the zoom tool's 10 ms refresh.
void PictureBox::RefreshNow() {
    if (!IsCreated() || !::IsWindowVisible(hwnd())) return;
    ScopedGetDC dc(hwnd());
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    Paint(dc, rc);
}

void PictureBox::Paint(HDC dc, const RECT& area) {
    RECT surfaceRect{0, 0, surfaceW_, surfaceH_};
    RECT inside;
    if (surface_ && ::IntersectRect(&inside, &area, &surfaceRect))
        ::BitBlt(dc, inside.left, inside.top, inside.right - inside.left, inside.bottom - inside.top,
                 surface_.dc(), inside.left, inside.top, SRCCOPY);
    // Whatever lies beyond the surface (a window larger than its picture) shows the back colour.
    if (area.right > surfaceW_) {
        RECT r{std::max<LONG>(area.left, surfaceW_), area.top, area.right, area.bottom};
        FillColor(dc, r, backColor_);
    }
    if (area.bottom > surfaceH_) {
        RECT r{area.left, std::max<LONG>(area.top, surfaceH_), std::min<LONG>(area.right, surfaceW_), area.bottom};
        if (r.right > r.left) FillColor(dc, r, backColor_);
    }
}

void PictureBox::OnMouseDown(int button, WPARAM wp, LPARAM lp) {
    if (button == 1) pressedLeft_ = true;
    ::SetCapture(hwnd());
    MouseDown(button, ShiftState(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
}

void PictureBox::OnMouseUp(int button, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    const bool click = button == 1 && pressedLeft_;
    if (button == 1) pressedLeft_ = false;
    if (!(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && ::GetCapture() == hwnd()) ::ReleaseCapture();
    MouseUp(button, ShiftState(wp), x, y);
    if (!IsCreated()) return;  // a handler may have unloaded the owner
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    POINT p{x, y};
    if (click && ::PtInRect(&rc, p)) Click();
}

LRESULT PictureBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        ScopedPaint dc(hwnd());
        Paint(dc, dc.ps().rcPaint);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT rc;
        ::GetClientRect(hwnd(), &rc);
        Paint(reinterpret_cast<HDC>(wp), rc);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: ResizeSurface(LOWORD(lp), HIWORD(lp)); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT) {
            ::SetCursor(::LoadCursorW(nullptr, cursor_ ? cursor_ : IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnMouseDown(1, wp, lp); return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: OnMouseDown(2, wp, lp); return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: OnMouseDown(4, wp, lp); return 0;
    case WM_LBUTTONUP: OnMouseUp(1, wp, lp); return 0;
    case WM_RBUTTONUP: OnMouseUp(2, wp, lp); return 0;
    case WM_MBUTTONUP: OnMouseUp(4, wp, lp); return 0;
    case WM_MOUSEMOVE: MouseMove(ButtonsHeld(wp), ShiftState(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_CAPTURECHANGED: pressedLeft_ = false; return 0;
    }
    return DefaultProc(msg, wp, lp);
}

void PictureBox::OnFinalDestroy() { FreeSurface(); }

}  // namespace px::win
