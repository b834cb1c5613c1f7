#include "skin/core/NCFrameGeometry.h"

namespace veltrim::core {

Margins SystemMargins(int cxFrame, int cyFrame, int cyCaption) {
    return {cxFrame, cyCaption + cyFrame, cxFrame, cyFrame};
}

Box ClientBoxFor(const Box& window, const Margins& m) {
    Box c{window.left + m.left, window.top + m.top, window.right - (m.right + 1), window.bottom - (m.bottom + 1)};
    // A window smaller than its frame keeps an empty client area, never an inverted one.
    if (c.right < c.left) c.right = c.left;
    if (c.bottom < c.top) c.bottom = c.top;
    return c;
}

int FrameHitCode(int x, int y, int w, int h, const Margins& m, int cyCaption, bool canSize) {
    int code = hit::Client;
    if (x < 0 || y < 0 || x >= w || y >= h) return code;
    const int edge = m.bottom;  // height of the top sizing edge too
    auto sized = [&](int c) { return canSize ? c : hit::Client; };
    if (x <= m.left) {
        code = sized(y <= edge ? hit::TopLeft : y < h - edge ? hit::Left : hit::BottomLeft);
    } else if (x >= w - m.right) {
        code = sized(y <= edge ? hit::TopRight : y < h - edge ? hit::Right : hit::BottomRight);
    } else if (y <= edge) {
        code = sized(hit::Top);
    } else if (y >= h - edge) {
        code = sized(hit::Bottom);
    } else if (y <= m.top) {
        if (y > cyCaption + edge) code = hit::Client;
        else code = x <= cyCaption ? hit::SysMenu : hit::Caption;
    }
    return code;
}

DefaultFrameLayout LayoutDefaultFrame(int w, int h, int cxFrame, int cyFrame, int cyCaption) {
    DefaultFrameLayout f;
    f.top = {0, 0, w, cyFrame};
    f.bottom = {0, h - cyFrame - 1, w, h};  // one row more: the row below the client area
    f.left = {0, cyFrame, cxFrame, h - cyFrame - 1};
    f.right = {w - cxFrame - 1, cyFrame, w, h - cyFrame - 1};  // one column more, likewise
    int lineY = cyCaption + cxFrame - 1;
    f.line = {0, lineY, w, lineY + 1};
    f.caption = {cxFrame, cyFrame, w - cxFrame - 1, cyFrame + cyCaption - 1};
    int bw = f.caption.Width(), bh = f.caption.Height();
    f.captionTextWidth = bw - 3 * bh - 2;
    if (f.captionTextWidth < 0) f.captionTextWidth = 0;
    Box close{bw - bh, 2, bw - 2, bh - 2};
    int step = close.Width() + 2;
    Box max{close.left - step, 2, close.right - step, bh - 2};
    Box min{max.left - close.Width(), 2, max.left, bh - 2};
    f.buttons = {close, max, min};
    return f;
}

bool IsAltAccelerator(int hookCode, uint32_t lParam, int vKey, bool ctrlDown) {
    constexpr int kAction = 0, kAlt = 18, kEscape = 27, kDelete = 46, kF1 = 112, kF12 = 123;
    if (hookCode != kAction) return false;
    if (!(lParam & (1u << 29)) || (lParam & (1u << 31))) return false;
    if (vKey <= 0 || vKey == kAlt || ctrlDown) return false;
    if ((vKey >= kF1 && vKey <= kF12) || vKey == kEscape || vKey == kDelete) return false;
    return true;
}

Point MovedOrigin(Point windowOrigin, Point cursorStart, Point cursorNow) {
    return {windowOrigin.x + cursorNow.x - cursorStart.x, windowOrigin.y + cursorNow.y - cursorStart.y};
}

}  // namespace veltrim::core
