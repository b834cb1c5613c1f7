#include "controls/core/ButtonLayout.h"

#include "base/Dpi.h"

#include <algorithm>

namespace px::controls {

Size PictureDisplaySize(int pictureSize, Size actual, int dpi) {
    static constexpr int kSquares[] = {16, 24, 32, 48};
    if (pictureSize >= 0 && pictureSize < 4) {
        const int side = ScaleForDpi(kSquares[pictureSize], dpi);
        return {side, side};
    }
    return actual;
}

namespace {

// Left of an item of width w aligned inside [left, right).
int AlignX(int left, int right, int w, int captionAlign) {
    switch (captionAlign) {
    case CapLeft: return left;
    case CapRight: return right - w;
    default: return left + (right - left - w) / 2;
    }
}

int CentreY(const Rect& r, int h) { return r.top + (r.height() - h) / 2; }

}  // namespace

FaceLayout LayoutFace(Rect c, Size text, Size pic, int pictureAlign, int captionAlign, int gap) {
    FaceLayout out;
    const bool hasPic = pic.cx > 0 && pic.cy > 0;
    const bool hasText = text.cx > 0 && text.cy > 0;
    if (!hasPic) {
        out.caption = RectAt(AlignX(c.left, c.right, text.cx, captionAlign), CentreY(c, text.cy), text.cx, text.cy);
        return out;
    }
    if (!hasText) {
        out.picture = RectAt(c.left + (c.width() - pic.cx) / 2, CentreY(c, pic.cy), pic.cx, pic.cy);
        return out;
    }
    switch (pictureAlign) {
    case PicLeftEdge:
    case PicRightEdge: {
        int px = pictureAlign == PicLeftEdge ? c.left : c.right - pic.cx;
        out.picture = RectAt(px, CentreY(c, pic.cy), pic.cx, pic.cy);
        // The caption aligns in what the picture leaves free.
        int freeL = pictureAlign == PicLeftEdge ? c.left + pic.cx + gap : c.left;
        int freeR = pictureAlign == PicLeftEdge ? c.right : c.right - pic.cx - gap;
        out.caption = RectAt(AlignX(freeL, freeR, text.cx, captionAlign), CentreY(c, text.cy), text.cx, text.cy);
        break;
    }
    case PicTopCentre:
    case PicBottomCentre: {
        int blockH = pic.cy + gap + text.cy;
        int top = c.top + (c.height() - blockH) / 2;
        int picTop = pictureAlign == PicTopCentre ? top : top + text.cy + gap;
        int textTop = pictureAlign == PicTopCentre ? top + pic.cy + gap : top;
        out.picture = RectAt(c.left + (c.width() - pic.cx) / 2, picTop, pic.cx, pic.cy);
        out.caption = RectAt(c.left + (c.width() - text.cx) / 2, textTop, text.cx, text.cy);
        break;
    }
    default: {  // beside the caption, the pair aligned as one block
        int blockW = pic.cx + gap + text.cx;
        int left = AlignX(c.left, c.right, blockW, captionAlign);
        bool picFirst = pictureAlign != PicRightOfCaption;
        out.picture = RectAt(picFirst ? left : left + text.cx + gap, CentreY(c, pic.cy), pic.cx, pic.cy);
        out.caption = RectAt(picFirst ? left + pic.cx + gap : left, CentreY(c, text.cy), text.cx, text.cy);
        break;
    }
    }
    return out;
}

ShapeOutline OutlineForShape(int shape, int w, int h) {
    ShapeOutline o;
    o.bounds = {0, 0, w, h};
    const int m = std::min(w, h);
    switch (shape) {
    case ShapeRounded:
        o.kind = ShapeOutline::RoundRect;
        o.cornerW = o.cornerH = std::clamp(m / 3, 2, 16);
        break;
    case ShapeCapsule:
        o.kind = ShapeOutline::RoundRect;
        o.cornerW = o.cornerH = m;
        break;
    case ShapeOval:
        o.kind = ShapeOutline::Ellipse;
        break;
    case ShapeCircle:
        o.kind = ShapeOutline::Ellipse;
        o.bounds = RectAt((w - m) / 2, (h - m) / 2, m, m);
        break;
    case ShapeDiamond:
        o.kind = ShapeOutline::Polygon;
        o.points = {{w / 2, 0}, {w, h / 2}, {w / 2, h}, {0, h / 2}};
        break;
    case ShapeOctagon: {
        o.kind = ShapeOutline::Polygon;
        int k = m * 29 / 100;  // about (1 - 1/sqrt 2) of the short side: near-regular corners
        o.points = {{k, 0}, {w - k, 0}, {w, k}, {w, h - k}, {w - k, h}, {k, h}, {0, h - k}, {0, k}};
        break;
    }
    case ShapeCustomPicture:
    case ShapeCustomFace:
        o.kind = ShapeOutline::Custom;
        break;
    default:
        break;
    }
    return o;
}

Rect ContentRect(int shape, int w, int h, int border) {
    Rect r{border, border, w - border, h - border};
    const int m = std::min(w, h);
    switch (shape) {
    case ShapeCapsule:
        r.left = m / 4;
        r.right = w - m / 4;
        break;
    case ShapeOval:
        // The largest rectangle of the same proportions inside an ellipse: 1/sqrt 2 of each axis.
        r = {w * 15 / 100, h * 15 / 100, w - w * 15 / 100, h - h * 15 / 100};
        break;
    case ShapeCircle:
        r = RectAt((w - m) / 2 + m * 15 / 100, (h - m) / 2 + m * 15 / 100, m - 2 * (m * 15 / 100),
                   m - 2 * (m * 15 / 100));
        break;
    case ShapeDiamond:
        r = {(w + 3) / 4, (h + 3) / 4, w - (w + 3) / 4, h - (h + 3) / 4};  // rounded up: stay inside
        break;
    case ShapeOctagon:
        r = {border + m * 10 / 100, border, w - border - m * 10 / 100, h - border};
        break;
    default:
        break;
    }
    return r;
}

}  // namespace px::controls
