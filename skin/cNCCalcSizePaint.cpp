// The plain frame the manager paints when no implementation is attached: the
// system's border and caption colours, the caption text and icon, and the
// three caption buttons.
#include "skin/cNCCalcSize.h"

namespace veltrim {

namespace {
RECT ToRect(const core::Box& b, int dx = 0, int dy = 0) {
    return {b.left + dx, b.top + dy, b.right + dx, b.bottom + dy};
}
}  // namespace

STDMETHODIMP cNCCalcSize::DefaultNCPaint(long hdc, long lLeft, long lTop, long lRight, long lBottom) {
    HDC target = HandleFrom<HDC>(hdc);
    if (!target) return S_OK;
    const int w = lRight - lLeft, h = lBottom - lTop;
    if (!hwnd_) ReadMetrics();  // painted for no window: nothing has read them yet
    auto layout = core::LayoutDefaultFrame(w, h, metrics_.cxFrame, metrics_.cyFrame, metrics_.cyCaption);
    const bool active = windowActive_;
    HBRUSH border = ::GetSysColorBrush(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
    HBRUSH caption = ::GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    for (const core::Box* strip : {&layout.left, &layout.top, &layout.right, &layout.bottom, &layout.line}) {
        RECT r = ToRect(*strip, lLeft, lTop);
        ::FillRect(target, &r, border);
    }

    // The caption band is built off screen, then copied in one piece.
    const int bw = layout.caption.Width(), bh = layout.caption.Height();
    if (bw > 0 && bh > 0) {
        EnsureMemoryDC(bw, bh);
        HDC mem = memory_.dc();
        if (mem) {
            RECT text{0, 0, layout.captionTextWidth, bh};
            ::DrawCaption(hwnd_, mem, &text, DC_ICON | DC_TEXT | (active ? DC_ACTIVE : 0));
            RECT rest{layout.captionTextWidth, 0, bw, bh};
            ::FillRect(mem, &rest, caption);
            const UINT glyphs[3] = {DFCS_CAPTIONCLOSE,
                                    static_cast<UINT>(hwnd_ && ::IsZoomed(hwnd_) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX),
                                    DFCS_CAPTIONMIN};
            for (int i = 0; i < 3; ++i) {
                RECT b = ToRect(layout.buttons[static_cast<size_t>(i)]);
                ::DrawFrameControl(mem, &b, DFC_CAPTION, glyphs[i]);
            }
            ::BitBlt(target, lLeft + layout.caption.left, lTop + layout.caption.top, bw, bh, mem, 0, 0, SRCCOPY);
        }
    }
    RECT all{lLeft, lTop, lRight, lBottom};
    ::DrawEdge(target, &all, EDGE_RAISED, BF_RECT);
    return S_OK;
}

}  // namespace veltrim
