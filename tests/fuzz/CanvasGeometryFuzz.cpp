// The preview canvas's geometry over random picture and control sizes, zooms,
// modes and pointer paths: offsets stay within their ranges, the drawn part
// of the picture lies inside the picture and covers the surface, a fitted
// picture fits its control, pointers on the surface map into the picture,
// and dragging moves the view by exactly the clamped travel.
#include <algorithm>

#include "FuzzSupport.h"
#include "export/core/CanvasGeometry.h"
#include "imaging/core/Dib32.h"

namespace {

using namespace px;

void CheckLayout(const CanvasGeometry& g, int32_t pw, int32_t ph, int32_t cw, int32_t ch) {
    const CanvasRect s = g.Surface();
    FUZZ_CHECK(g.RangeX() >= 0 && g.RangeY() >= 0);
    FUZZ_CHECK(g.OffsetX() >= 0 && g.OffsetX() <= g.RangeX() && g.OffsetY() >= 0 && g.OffsetY() <= g.RangeY());
    if (pw <= 0 || ph <= 0) {
        FUZZ_CHECK(!g.HasPicture() && s == (CanvasRect{-1, 0, 0, 0}));
        return;
    }
    cw = std::max(cw, 0);
    ch = std::max(ch, 0);
    FUZZ_CHECK(s.width >= 0 && s.height >= 0 && s.x >= 0 && s.y >= 0);
    FUZZ_CHECK(int64_t{s.x} + s.width <= cw && int64_t{s.y} + s.height <= ch);
    if (g.FitMode()) {
        FUZZ_CHECK(g.RangeX() == 0 && g.RangeY() == 0);
        FUZZ_CHECK(s.width <= pw && s.height <= ph);  // never enlarged
    } else {
        FUZZ_CHECK(int64_t{s.width} + g.RangeX() == int64_t{pw} * g.Zoom() || s.width == cw);
    }

    const CanvasBlit b = g.Blit();
    FUZZ_CHECK(b.sourceX >= 0 && b.sourceWidth >= 0 && int64_t{b.sourceX} + b.sourceWidth <= pw);
    FUZZ_CHECK(b.sourceY >= 0 && b.sourceHeight >= 0 && int64_t{b.sourceY} + b.sourceHeight <= ph);
    // The drawn rectangle covers the whole surface.
    FUZZ_CHECK(b.destX <= 0 && b.destY <= 0);
    FUZZ_CHECK(int64_t{b.destX} + b.destWidth >= s.width && int64_t{b.destY} + b.destHeight >= s.height);
}

void CheckPointer(const CanvasGeometry& g, int32_t pw, int32_t ph, int32_t x, int32_t y) {
    const CanvasRect s = g.Surface();
    const CanvasPoint p = g.ToPicture(x, y);
    if (!g.HasPicture() || x < 0 || y < 0 || x >= s.width || y >= s.height) return;
    FUZZ_CHECK(p.x >= 0 && p.x < pw && p.y >= 0 && p.y < ph);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    CanvasGeometry g;
    int32_t pw = 0, ph = 0, cw = 0, ch = 0;
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange<int>(0, 7)) {
            case 0: {
                const int32_t zoom = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(1, 32) : fuzz::SizeLike(in, 64);
                g.SetZoom(zoom);
                FUZZ_CHECK(g.Zoom() == std::max(zoom, 1));
                break;
            }
            case 1: g.SetFitMode(in.ConsumeBool()); break;
            case 2: g.SetWorkMode(in.ConsumeIntegralInRange<int32_t>(-1, 2)); break;
            case 3: {
                const bool big = in.ConsumeBool();
                const int32_t oldW = pw, oldH = ph;
                pw = big ? fuzz::SizeLike(in, 20000) : in.ConsumeIntegralInRange<int32_t>(0, 300);
                ph = big ? fuzz::SizeLike(in, 20000) : in.ConsumeIntegralInRange<int32_t>(0, 300);
                // Client sizes of real windows: fitting is single precision, exact to the pixel below 2^23.
                cw = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-5, 3000) : std::min(fuzz::SizeLike(in, 3000), 1 << 20);
                ch = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-5, 3000) : std::min(fuzz::SizeLike(in, 3000), 1 << 20);
                try {
                    g.Layout(pw, ph, cw, ch);
                } catch (const Error& e) {
                    // A zoomed picture beyond the 32-bit range is refused; the previous layout stays.
                    FUZZ_CHECK(e.number() == ErrorNumber::Overflow);
                    FUZZ_CHECK(int64_t{pw} * g.Zoom() > INT32_MAX || int64_t{ph} * g.Zoom() > INT32_MAX);
                    FUZZ_CHECK(!g.HasPicture() || g.Blit() == g.Blit());
                    pw = oldW;
                    ph = oldH;
                    break;
                }
                CheckLayout(g, pw, ph, cw, ch);
                break;
            }
            case 4: {
                const int32_t x = in.ConsumeIntegral<int16_t>(), y = in.ConsumeIntegral<int16_t>();
                g.Press(x, y, in.ConsumeBool());
                CheckPointer(g, pw, ph, x, y);
                break;
            }
            case 5: {
                const int32_t x = in.ConsumeIntegral<int16_t>(), y = in.ConsumeIntegral<int16_t>();
                const CanvasPoint last = g.LastPointer();
                const int32_t ox = g.OffsetX(), oy = g.OffsetY();
                const bool dragging = g.Dragging() && !g.PickMode();
                const bool moved = g.Move(x, y);
                FUZZ_CHECK(g.OffsetX() >= 0 && g.OffsetX() <= g.RangeX() && g.OffsetY() >= 0 && g.OffsetY() <= g.RangeY());
                if (!dragging) {
                    FUZZ_CHECK(!moved && g.OffsetX() == ox && g.OffsetY() == oy);
                } else {
                    FUZZ_CHECK(g.OffsetX() == std::clamp<int64_t>(int64_t{last.x} - x + ox, 0, g.RangeX()));
                    FUZZ_CHECK(g.OffsetY() == std::clamp<int64_t>(int64_t{last.y} - y + oy, 0, g.RangeY()));
                    FUZZ_CHECK(moved == (g.OffsetX() != ox || g.OffsetY() != oy));
                }
                CheckPointer(g, pw, ph, x, y);
                break;
            }
            case 6: g.Release(); FUZZ_CHECK(!g.Dragging()); break;
            default: {
                const CanvasCursor c = g.Cursor();
                FUZZ_CHECK(g.PickMode() ? c == CanvasCursor::PickColor
                                        : !g.CanScroll() ? c == CanvasCursor::Default
                                                         : c == CanvasCursor::HandOver || c == CanvasCursor::HandCatch);
                // The fit rectangle on its own, up to a million pixels a side (its ratios are single
                // precision, as the stored rule has them: exact to the pixel below 2^23).
                constexpr int32_t kMax = 1 << 20;
                const int32_t w = in.ConsumeIntegralInRange<int32_t>(1, kMax), h = in.ConsumeIntegralInRange<int32_t>(1, kMax);
                const int32_t dw = in.ConsumeIntegralInRange<int32_t>(0, kMax), dh = in.ConsumeIntegralInRange<int32_t>(0, kMax);
                const bool stretch = in.ConsumeBool();
                const FitRect r = GetBestFitInfo(w, h, dw, dh, stretch);
                FUZZ_CHECK(r.width >= 0 && r.height >= 0 && r.width <= dw && r.height <= dh);
                FUZZ_CHECK(r.x >= 0 && r.y >= 0 && int64_t{r.x} + r.width <= dw && int64_t{r.y} + r.height <= dh);
                if (!stretch && w <= dw && h <= dh) FUZZ_CHECK(r.width == w && r.height == h);
                break;
            }
        }
    }
    return 0;
}
