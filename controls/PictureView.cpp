#include "controls/PictureView.h"

#include "base/win/DibInfo.h"
#include "controls/core/ScrollGeometry.h"

#include <windowsx.h>

#include <algorithm>

#include "base/win/OlePicture.h"

namespace px::win {

using controls::AxisMapping;
using controls::MapAxis;

namespace {
constexpr int kLineStep = 40;  // pixels per scroll-bar arrow click and wheel notch

// Copies a decoded picture into a 32-bit buffer selected into `dc`. Bitmaps are copied
// pixel for pixel; other pictures (GIF, icons) are rendered at their pixel size over
// `back`, which is what shows through their transparent parts.
bool CopyPicture(const OlePicture& pic, COLORREF back, MemoryBitmapDC& out, int& w, int& h) {
    IPicture* ip = pic.get();
    short type = PICTYPE_UNINITIALIZED;
    ip->get_Type(&type);
    SIZE size = pic.PixelSize();
    if (type == PICTYPE_BITMAP) {
        OLE_HANDLE handle = 0;
        BITMAP bm{};
        if (SUCCEEDED(ip->get_Handle(&handle)) && handle &&
            ::GetObjectW(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof(bm), &bm)) {
            size.cx = bm.bmWidth;
            size.cy = std::abs(bm.bmHeight);
        }
    }
    if (size.cx <= 0 || size.cy <= 0) return false;

    BITMAPINFO bi = TopDownDibInfo(size.cx, size.cy);
    void* bits = nullptr;
    ScopedBitmap dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryBitmapDC copy(nullptr, std::move(dib));
    if (!copy) return false;
    RECT all{0, 0, size.cx, size.cy};
    ScopedBrush brush(::CreateSolidBrush(back));
    ::FillRect(copy.dc(), &all, brush.get());
    pic.Render(copy.dc(), all);
    ::GdiFlush();
    out = std::move(copy);
    w = size.cx;
    h = size.cy;
    return true;
}
}  // namespace

PictureView::~PictureView() {
    Destroy();
    ReleasePicture();
}

bool PictureView::Create(HWND parent, int x, int y, int w, int h, int id) {
    if (IsCreated()) return false;
    RegisterClassOnce(kClassName, CS_DBLCLKS, nullptr);
    CreateWindowObject(kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, WS_EX_CLIENTEDGE, x,
                       y, w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    if (!IsCreated()) return false;
    backBrush_.reset(::CreateSolidBrush(backColor_));
    Relayout(0, 0);
    return true;
}

bool PictureView::LoadFile(const std::wstring& path) {
    OlePicture pic = OlePicture::FromFile(path);
    if (!pic) return false;
    MemoryBitmapDC loaded;
    int w = 0, h = 0;
    if (!CopyPicture(pic, backColor_, loaded, w, h)) return false;
    picture_ = std::move(loaded);
    picW_ = w;
    picH_ = h;
    if (IsCreated()) {
        Relayout(layout_.scrollX, layout_.scrollY);
        ::InvalidateRect(hwnd(), nullptr, FALSE);
    }
    return true;
}

void PictureView::ReleasePicture() {
    picture_.reset();
    picW_ = picH_ = 0;
}

void PictureView::CleanUp() {
    ReleasePicture();
    if (IsCreated()) {
        Relayout(0, 0);
        ::InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

void PictureView::SetZoom(int percent) {
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    if (percent == zoom_) return;
    RECT rc{};
    if (IsCreated()) ::GetClientRect(hwnd(), &rc);
    int newW = controls::ZoomedExtent(picW_, percent), newH = controls::ZoomedExtent(picH_, percent);
    int sx = controls::ScrollKeepingCentre(layout_.scrollX, rc.right, layout_.displayW, newW);
    int sy = controls::ScrollKeepingCentre(layout_.scrollY, rc.bottom, layout_.displayH, newH);
    zoom_ = percent;
    if (IsCreated()) {
        Relayout(sx, sy);
        ::InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

void PictureView::SetBackColor(COLORREF c) {
    backColor_ = c;
    backBrush_.reset(::CreateSolidBrush(c));
    if (IsCreated()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void PictureView::SetScrollPosition(int x, int y) {
    Relayout(x, y);
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

// Showing or hiding a scroll bar changes the client size, which can change
// whether the other one is needed: settle in a few rounds.
void PictureView::Relayout(int scrollX, int scrollY) {
    if (!IsCreated()) return;
    for (int round = 0; round < 3; ++round) {
        RECT rc;
        ::GetClientRect(hwnd(), &rc);
        layout_ = controls::LayoutPicture(picW_, picH_, zoom_, rc.right, rc.bottom, scrollX, scrollY);
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        si.nMax = layout_.maxScrollX ? layout_.displayW - 1 : 0;
        si.nPage = layout_.maxScrollX ? static_cast<UINT>(rc.right) : 0;
        si.nPos = layout_.scrollX;
        ::SetScrollInfo(hwnd(), SB_HORZ, &si, TRUE);
        si.nMax = layout_.maxScrollY ? layout_.displayH - 1 : 0;
        si.nPage = layout_.maxScrollY ? static_cast<UINT>(rc.bottom) : 0;
        si.nPos = layout_.scrollY;
        ::SetScrollInfo(hwnd(), SB_VERT, &si, TRUE);
        RECT after;
        ::GetClientRect(hwnd(), &after);
        if (after.right == rc.right && after.bottom == rc.bottom) break;
    }
}

LRESULT PictureView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        ScopedPaint dc(hwnd());
        UserControl_Paint(dc, dc.ps().rcPaint);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT rc;
        ::GetClientRect(hwnd(), &rc);
        UserControl_Paint(reinterpret_cast<HDC>(wp), rc);
        return 0;
    }
    case WM_ERASEBKGND: return 1;  // the paint covers every pixel
    case WM_SIZE: UserControl_Size(); return 0;
    case WM_HSCROLL: UserControl_Scroll(SB_HORZ, LOWORD(wp)); return 0;
    case WM_VSCROLL: UserControl_Scroll(SB_VERT, LOWORD(wp)); return 0;
    case WM_MOUSEWHEEL:
        UserControl_MouseWheel(GET_KEYSTATE_WPARAM(wp) & MK_SHIFT ? SB_HORZ : SB_VERT,
                               GET_WHEEL_DELTA_WPARAM(wp));
        return 0;
    case WM_MOUSEHWHEEL: UserControl_MouseWheel(SB_HORZ, -GET_WHEEL_DELTA_WPARAM(wp)); return 0;
    case WM_LBUTTONDOWN: UserControl_MouseDown(lp); return 0;
    case WM_MOUSEMOVE: UserControl_MouseMove(lp); return 0;
    case WM_LBUTTONUP: UserControl_MouseUp(); return 0;
    case WM_CAPTURECHANGED: panning_ = false; return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && UserControl_SetCursor()) return TRUE;
        break;
    case WM_NCDESTROY: ReleasePicture(); break;
    }
    return Window::HandleMessage(msg, wp, lp);
}

void PictureView::UserControl_Paint(HDC dc, const RECT& area) {
    ScopedSaveDC save(dc);
    if (picture_) {
        AxisMapping mx = MapAxis(picW_, layout_.displayW, layout_.originX, area.left, area.right);
        AxisMapping my = MapAxis(picH_, layout_.displayH, layout_.originY, area.top, area.bottom);
        if (!mx.source.empty() && !my.source.empty()) {
            // Nearest-neighbour scaling keeps the captured pixels sharp at every step.
            ::SetStretchBltMode(dc, COLORONCOLOR);
            ::StretchBlt(dc, mx.dest.begin, my.dest.begin, mx.dest.end - mx.dest.begin, my.dest.end - my.dest.begin,
                         picture_.dc(), mx.source.begin, my.source.begin, mx.source.end - mx.source.begin,
                         my.source.end - my.source.begin, SRCCOPY);
        }
        // The background only around the picture, so nothing flickers.
        RECT pic{std::max<LONG>(layout_.originX, area.left), std::max<LONG>(layout_.originY, area.top),
                 std::min<LONG>(layout_.originX + layout_.displayW, area.right),
                 std::min<LONG>(layout_.originY + layout_.displayH, area.bottom)};
        if (pic.right > pic.left && pic.bottom > pic.top) ::ExcludeClipRect(dc, pic.left, pic.top, pic.right, pic.bottom);
    }
    ::FillRect(dc, &area, backBrush_.get());
}

void PictureView::UserControl_Size() {
    Relayout(layout_.scrollX, layout_.scrollY);
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void PictureView::UserControl_Scroll(int bar, int request) {
    SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(hwnd(), bar, &si);
    int pos = si.nPos;
    int page = static_cast<int>(si.nPage);
    const auto r = ScrollRequestFromCode(static_cast<unsigned>(request));
    if (!r || *r == ScrollRequest::EndScroll) return;
    // Clamped again by SetScrollPosition to what the picture allows.
    pos = controls::ScrollPosition(*r, pos, si.nTrackPos, kLineStep, page, si.nMax);
    if (bar == SB_HORZ)
        SetScrollPosition(pos, layout_.scrollY);
    else
        SetScrollPosition(layout_.scrollX, pos);
}

void PictureView::UserControl_MouseWheel(int bar, int delta) {
    int steps = -delta * kLineStep / WHEEL_DELTA;
    if (bar == SB_HORZ)
        SetScrollPosition(layout_.scrollX + steps, layout_.scrollY);
    else
        SetScrollPosition(layout_.scrollX, layout_.scrollY + steps);
}

void PictureView::UserControl_MouseDown(LPARAM lp) {
    ::SetFocus(hwnd());
    if (!CanPan()) return;
    panning_ = true;
    panStart_ = POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    panScroll_ = POINT{layout_.scrollX, layout_.scrollY};
    ::SetCapture(hwnd());
}

// The picture follows the pointer: dragging right shows more of its left side.
void PictureView::UserControl_MouseMove(LPARAM lp) {
    if (!panning_) return;
    int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    int sx = panScroll_.x - (x - panStart_.x), sy = panScroll_.y - (y - panStart_.y);
    if (sx == layout_.scrollX && sy == layout_.scrollY) return;
    SetScrollPosition(sx, sy);
    ::UpdateWindow(hwnd());
}

void PictureView::UserControl_MouseUp() {
    if (panning_) ::ReleaseCapture();
    panning_ = false;
}

bool PictureView::UserControl_SetCursor() {
    if (!CanPan()) return false;
    ::SetCursor(::LoadCursorW(nullptr, panning_ ? IDC_SIZEALL : IDC_HAND));
    return true;
}

}  // namespace px::win
