#include "skin/core/CaptionLayout.h"

#include "skin/core/SkinDocument.h"

namespace veltrim::core {

int SkinGeometry::BorderSize() const {
    return values.BorderHasInactiveVersion ? borderHeight / 2 : borderHeight;
}
int SkinGeometry::LeftWidth() const {
    return values.LeftBorderWidth >= 1 ? values.LeftBorderWidth : BorderSize();
}
int SkinGeometry::RightWidth() const {
    return values.RightBorderWidth >= 1 ? values.RightBorderWidth : BorderSize();
}

Margins SkinGeometry::FrameMargins() const {
    return {LeftWidth(), captionHeight, RightWidth() - 1, BorderSize() - 1};
}

bool SkinGeometry::Usable() const {
    const px::SkinValues& v = values;
    // Beyond the limit the layout's sums would leave the integer range.
    for (int side : {captionWidth, captionHeight, borderWidth, borderHeight})
        if (side > px::kSkinGeometryLimit) return false;
    if (px::SkinGeometryOutOfRange(v)) return false;
    return BorderSize() >= 1 && captionHeight >= 1 && v.ButtonWidth >= 0 && v.ButtonHeight >= 0 &&
           v.ActiveLeftEnd >= 0 && v.ActiveRightEnd >= v.ActiveRightStart && borderWidth >= 1;
}

namespace {

// The control buttons, right to left, each in a cell one pixel wider than its glyph.
void LayoutButtons(const SkinGeometry& g, int w, int rightEndX, int rightEndWidth, const CaptionState& s,
                   CaptionLayout& out) {
    const px::SkinValues& v = g.values;
    int right = v.CustomControlButtonPosition ? w + v.ControlButtonOffsetX
                                              : rightEndX + rightEndWidth - g.borderHeight + 4;
    const int top = v.CustomControlButtonPosition ? v.ControlButtonOffsetY : 5;
    const int glyphX = v.ActiveRightEnd + (!s.active && v.ControlButtonHasInactiveVersion ? v.InactiveOffset : 0);
    const bool present[3] = {s.canClose, s.hasMaximise, s.hasMinimise};
    const int glyphIndex[3] = {0, s.maximised ? 1 : 2, 3};
    for (int b = 0; b < 3; ++b) {
        if (!present[b]) continue;
        const int left = right - (v.ButtonWidth + 1);
        out.buttons[b] = Box{left, top, left + v.ButtonWidth, top + v.ButtonHeight};
        out.glyphs[b] = Copy{left, top, v.ButtonWidth, v.ButtonHeight, glyphX + glyphIndex[b] * v.ButtonWidth,
                             s.pressed[b] ? v.ButtonHeight : 0};
        right = left;
    }
}

void LayoutBorders(const SkinGeometry& g, int w, int h, const CaptionState& s, CaptionLayout& out) {
    const px::SkinValues& v = g.values;
    const int side = g.BorderSize();
    const int ch = g.captionHeight;
    out.tileSide = side;
    out.tileRow = v.BorderHasInactiveVersion && !s.active ? side : 0;
    const int edgeHeight = h > ch ? h - ch : 0;
    out.leftEdge = Copy{0, ch, g.LeftWidth(), edgeHeight, 0, 0};
    if (v.RightBorderWidth >= 1)
        out.rightEdge = Copy{w - v.RightBorderWidth - 1, ch, v.RightBorderWidth + 1, edgeHeight,
                             2 * side - (v.RightBorderWidth + 1), 0};
    else
        out.rightEdge = Copy{w - side, ch, side, edgeHeight, side, 0};
    const int y = h - side;
    out.bottomLeft = Copy{0, y, side, side, 2 * side, out.tileRow};
    out.bottomRight = Copy{w - side, y, side, side, (s.canSize ? 6 : 5) * side, out.tileRow};
    out.bottomTile = Copy{side, y, side, side, 3 * side, out.tileRow};
    out.client = Box{g.LeftWidth(), ch, w - g.RightWidth(), h - side};
    if (out.client.right < out.client.left) out.client.right = out.client.left;
    if (out.client.bottom < out.client.top) out.client.bottom = out.client.top;
}

}  // namespace

CaptionLayout LayoutCaption(const SkinGeometry& g, int w, int h, const CaptionState& s) {
    const px::SkinValues& v = g.values;
    CaptionLayout out;
    const int ch = g.captionHeight;
    const int x0 = s.active ? 0 : v.InactiveOffset;
    out.leftEnd = Copy{0, 0, v.ActiveLeftEnd, ch, x0, 0};

    const int endWidth = v.ActiveRightEnd - v.ActiveRightStart + 1;
    int rightX = w - (v.ActiveRightEnd - v.ActiveRightStart);
    out.drawTitle = v.DrawTitle;
    if (rightX < endWidth) {  // too narrow for a title
        rightX = endWidth;
        out.drawTitle = false;
    }
    out.rightEnd = Copy{rightX, 0, endWidth, ch, x0 + v.ActiveRightStart, 0};

    int tile = v.ActiveRightStart - v.ActiveLeftEnd;
    if (tile < 1) tile = 16;
    out.firstTile = Copy{v.ActiveLeftEnd, 0, tile, ch, x0 + v.ActiveLeftEnd + 1, 0};
    out.tilesEnd = rightX;

    const int titleRight = w - (v.ActiveRightEnd - v.ActiveRightStart);
    if (v.TitleStartOffsetY >= 1)
        out.title = Box{v.ActiveLeftEnd + 2, v.TitleStartOffsetY, titleRight, v.TitleStartOffsetY + s.titleTextHeight};
    else
        out.title = Box{v.ActiveLeftEnd + 2, g.borderHeight + 1, titleRight,
                        g.borderHeight + 1 + (ch - g.borderHeight - 2) / 2};

    int bandTop = ch / 2;
    if (v.TopSizingBorderHeight > 0) {
        bandTop = v.TopSizingBorderHeight + 1;
        if (v.DrawTitle) bandTop += v.MenuStartOffsetY >= 1 ? v.MenuStartOffsetY : s.titleTextHeight;
    }
    out.menuLeft = v.ActiveLeftEnd - v.MenuStartOffsetX;
    out.menuBand = Box{out.menuLeft + 2, bandTop, rightX, ch};

    LayoutButtons(g, w, rightX, endWidth, s, out);
    LayoutBorders(g, w, h, s, out);
    return out;
}

namespace {
bool Inside(const Box& b, int x, int y) { return x >= b.left && x < b.right && y >= b.top && y < b.bottom; }
}  // namespace

std::optional<Button> ButtonAt(const CaptionLayout& layout, int x, int y) {
    for (int b = 0; b < 3; ++b)
        if (layout.buttons[b] && Inside(*layout.buttons[b], x, y)) return static_cast<Button>(b);
    return std::nullopt;
}

int CaptionHitCode(const SkinGeometry& g, const CaptionLayout& layout, const Box& menuBand, int x, int y, int w,
                   int h, bool canSize, int code) {
    const px::SkinValues& v = g.values;
    const int side = g.BorderSize();
    const int lw = g.LeftWidth();
    const int topSizing = v.TopSizingBorderHeight >= 1 ? v.TopSizingBorderHeight : side;
    if (Inside(menuBand, x, y))
        code = hit::Menu;
    else if (y >= topSizing && y <= g.captionHeight)
        code = hit::Caption;
    if (canSize && x >= 0 && y >= 0 && x < w && y < h) {
        const bool top = y <= (v.TopSizingBorderHeight ? v.TopSizingBorderHeight : lw);
        const bool bottom = y >= h - (v.BottomSizingBorderHeight ? v.BottomSizingBorderHeight : lw);
        const bool left = x <= lw;
        const bool right = x >= w - (v.RightBorderWidth ? v.RightBorderWidth : lw);
        if (left)
            code = top ? hit::TopLeft : bottom ? hit::BottomLeft : hit::Left;
        else if (right)
            code = top ? hit::TopRight : bottom ? hit::BottomRight : hit::Right;
        else if (top)
            code = hit::Top;
        else if (bottom)
            code = hit::Bottom;
    }
    if (ButtonAt(layout, x, y)) code = hit::SysMenu;
    return code;
}

}  // namespace veltrim::core
