#include "controls/ButtonFace.h"

#include <olectl.h>

#include <algorithm>

#include "base/win/DibInfo.h"
#include "controls/core/ButtonLayout.h"
#include "controls/core/ColorMath.h"
#include "controls/core/MaskRuns.h"

namespace px::win::face {

using px::Rect;

COLORREF ToColorRef(uint32_t ole) {
    if (controls::IsSystemColor(ole)) return ::GetSysColor(controls::SystemColorIndex(ole));
    return static_cast<COLORREF>(ole & 0xFFFFFFu);
}

namespace {
SHORT PictureType(const OlePicture& pic) {
    SHORT type = PICTYPE_NONE;
    if (pic) pic.get()->get_Type(&type);
    return type;
}
}  // namespace

bool IsIconPicture(const OlePicture& pic) { return PictureType(pic) == PICTYPE_ICON; }
bool IsBitmapPicture(const OlePicture& pic) { return PictureType(pic) == PICTYPE_BITMAP; }

Dib32 RenderPicture(const OlePicture& pic, int w, int h, COLORREF fill) {
    Dib32 d;
    if (w <= 0 || h <= 0) return d;
    BITMAPINFO bi = TopDownDibInfo(w, h);
    void* bits = nullptr;
    d.bitmap.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!d.bitmap) return d;
    d.bits = static_cast<uint32_t*>(bits);
    d.w = w;
    d.h = h;
    AutoDeleteDC mem(::CreateCompatibleDC(nullptr));
    {
        ScopedSelectObject sel(mem.get(), d.bitmap.get());
        RECT all{0, 0, w, h};
        ScopedBrush b(::CreateSolidBrush(fill));
        ::FillRect(mem.get(), &all, b.get());
        pic.Render(mem.get(), all);
    }
    ::GdiFlush();
    return d;
}

std::vector<Rect> CustomShapeRuns(const OlePicture& pic) {
    if (!pic) return {};
    SIZE s = pic.PixelSize();
    Dib32 d = RenderPicture(pic, s.cx, s.cy, RGB(255, 255, 255));
    if (!d.bits) return {};
    View2D<const uint32_t> view(d.bits, static_cast<size_t>(d.w), static_cast<size_t>(d.h), static_cast<size_t>(d.w));
    return controls::OpaqueRuns(view, controls::KeyColourOf(view));
}

namespace {

ScopedRgn RegionFromRuns(const std::vector<Rect>& runs) {
    std::vector<char> buf(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buf.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(runs.size());
    data->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    RECT bound{0, 0, 0, 0};
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    for (size_t i = 0; i < runs.size(); ++i) {
        rects[i] = RECT{runs[i].left, runs[i].top, runs[i].right, runs[i].bottom};
        bound.right = std::max<LONG>(bound.right, runs[i].right);
        bound.bottom = std::max<LONG>(bound.bottom, runs[i].bottom);
    }
    data->rdh.rcBound = bound;
    return ScopedRgn(::ExtCreateRegion(nullptr, static_cast<DWORD>(buf.size()), data));
}

ScopedRgn EmptyRegion() { return ScopedRgn(::CreateRectRgn(0, 0, 0, 0)); }

}  // namespace

ScopedRgn CopyRegion(HRGN r) {
    ScopedRgn copy = EmptyRegion();
    ::CombineRgn(copy.get(), r, nullptr, RGN_COPY);
    return copy;
}

ScopedRgn ShapeRegion(int shape, int w, int h, const std::vector<Rect>& customRuns) {
    controls::ShapeOutline o = controls::OutlineForShape(shape, w, h);
    const Rect& b = o.bounds;
    switch (o.kind) {
    case controls::ShapeOutline::RoundRect:
        // The platform's round and elliptic regions leave out the right and bottom edge.
        return ScopedRgn(::CreateRoundRectRgn(b.left, b.top, b.right + 1, b.bottom + 1, o.cornerW, o.cornerH));
    case controls::ShapeOutline::Ellipse:
        return ScopedRgn(::CreateEllipticRgn(b.left, b.top, b.right + 1, b.bottom + 1));
    case controls::ShapeOutline::Polygon: {
        std::vector<POINT> pts;
        for (auto& p : o.points) pts.push_back(POINT{p.x, p.y});
        return ScopedRgn(::CreatePolygonRgn(pts.data(), static_cast<int>(pts.size()), WINDING));
    }
    case controls::ShapeOutline::Custom:
        if (!customRuns.empty()) return RegionFromRuns(customRuns);
        [[fallthrough]];
    default:
        return ScopedRgn(::CreateRectRgn(0, 0, w, h));
    }
}

void FillRegion(HDC dc, HRGN r, COLORREF c) {
    ScopedBrush b(::CreateSolidBrush(c));
    ::FillRgn(dc, r, b.get());
}

void FillGradient(HDC dc, HRGN clip, const RECT& r, COLORREF from, COLORREF to, bool vertical) {
    ScopedSaveDC save(dc);
    ::SelectClipRgn(dc, clip);
    TRIVERTEX v[2] = {};
    v[0].x = r.left;
    v[0].y = r.top;
    v[0].Red = static_cast<COLOR16>(GetRValue(from) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(from) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(from) << 8);
    v[1].x = r.right;
    v[1].y = r.bottom;
    v[1].Red = static_cast<COLOR16>(GetRValue(to) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(to) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(to) << 8);
    GRADIENT_RECT gr{0, 1};
    ::GradientFill(dc, v, 2, &gr, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

ScopedRgn BevelRing(HDC dc, HRGN shape, COLORREF topLeft, COLORREF bottomRight) {
    // A pixel is on the top-left edge when its up-left neighbour is outside
    // the shape, on the bottom-right edge when its down-right one is; this
    // follows any outline, custom ones included.
    ScopedRgn downRight = CopyRegion(shape);
    ::OffsetRgn(downRight.get(), 1, 1);
    ScopedRgn upLeft = CopyRegion(shape);
    ::OffsetRgn(upLeft.get(), -1, -1);
    ScopedRgn edge = EmptyRegion();
    ::CombineRgn(edge.get(), shape, upLeft.get(), RGN_DIFF);
    FillRegion(dc, edge.get(), bottomRight);
    ::CombineRgn(edge.get(), shape, downRight.get(), RGN_DIFF);
    FillRegion(dc, edge.get(), topLeft);
    ScopedRgn inner = EmptyRegion();
    ::CombineRgn(inner.get(), shape, downRight.get(), RGN_AND);
    ::CombineRgn(inner.get(), inner.get(), upLeft.get(), RGN_AND);
    return inner;
}

void FrameShape(HDC dc, HRGN shape, COLORREF c) {
    ScopedBrush b(::CreateSolidBrush(c));
    ::FrameRgn(dc, shape, b.get(), 1, 1);
}

px::Size MeasureCaption(HDC dc, const controls::CaptionText& text) {
    if (text.empty()) return {0, 0};
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    int widest = 0;
    for (size_t i = 0; i < text.lines.size(); ++i) {
        std::wstring line = controls::PrefixedLine(text, i);
        RECT r{0, 0, 0, 0};
        ::DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &r, DT_SINGLELINE | DT_CALCRECT);
        widest = std::max(widest, static_cast<int>(r.right - r.left));
    }
    return {widest, static_cast<int>(tm.tmHeight * static_cast<LONG>(text.lines.size()))};
}

namespace {
void DrawLines(HDC dc, const controls::CaptionText& text, RECT block, int captionAlign, COLORREF color) {
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    UINT align = captionAlign == controls::CapLeft ? DT_LEFT : captionAlign == controls::CapRight ? DT_RIGHT : DT_CENTER;
    ::SetTextColor(dc, color);
    for (size_t i = 0; i < text.lines.size(); ++i) {
        std::wstring line = controls::PrefixedLine(text, i);
        RECT r{block.left, block.top + static_cast<LONG>(i) * tm.tmHeight, block.right,
               block.top + static_cast<LONG>(i + 1) * tm.tmHeight};
        ::DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &r, DT_SINGLELINE | DT_NOCLIP | align);
    }
}
RECT Shifted(RECT r, int d) { return RECT{r.left + d, r.top + d, r.right + d, r.bottom + d}; }
}  // namespace

void DrawCaptionText(HDC dc, const controls::CaptionText& text, const RECT& block, int captionAlign, int style,
                     COLORREF fore, COLORREF light, COLORREF dark, bool enabled) {
    if (text.empty()) return;
    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    if (!enabled) {
        DrawLines(dc, text, Shifted(block, 1), captionAlign, light);
        DrawLines(dc, text, block, captionAlign, dark);
    } else {
        if (style == 1) {  // raised: lit from the top left
            DrawLines(dc, text, Shifted(block, -1), captionAlign, light);
            DrawLines(dc, text, Shifted(block, 1), captionAlign, dark);
        } else if (style == 2) {  // engraved: cut into the face
            DrawLines(dc, text, Shifted(block, 1), captionAlign, light);
        }
        DrawLines(dc, text, block, captionAlign, fore);
    }
    ::SetBkMode(dc, oldMode);
}

void DrawPicture(HDC dc, const OlePicture& pic, const RECT& dest, controls::PixelEffect effect) {
    if (!pic) return;
    if (effect == controls::PixelEffect::None) {
        pic.Render(dc, dest);
        return;
    }
    const int w = dest.right - dest.left, h = dest.bottom - dest.top;
    const bool icon = IsIconPicture(pic);
    // Icons are drawn on a key colour that no effect produces from a real pixel
    // often enough to matter, and blitted back without it.
    const COLORREF key = RGB(255, 0, 255);
    Dib32 d = RenderPicture(pic, w, h, key);
    if (!d.bits) return;
    const uint32_t keyPixel = 0xFF00FFu;  // the same colour as a DIB pixel (0x00RRGGBB)
    controls::ApplyPixelEffect(d.view(), effect, icon ? std::optional<uint32_t>(keyPixel) : std::nullopt);
    AutoDeleteDC mem(::CreateCompatibleDC(dc));
    ScopedSelectObject sel(mem.get(), d.bitmap.get());
    if (icon)
        ::TransparentBlt(dc, dest.left, dest.top, w, h, mem.get(), 0, 0, w, h, key);
    else
        ::BitBlt(dc, dest.left, dest.top, w, h, mem.get(), 0, 0, SRCCOPY);
}

}  // namespace px::win::face
