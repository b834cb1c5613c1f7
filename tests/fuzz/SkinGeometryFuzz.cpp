// A skin's values as a script or a stored text may set them, with picture
// and window sizes: geometry the painter accepts lays out without leaving the
// integer range (the sanitizer stops on any overflow), leaves a client area
// of no negative size, and answers hit tests with the platform's codes. The
// recolouring rules give colours for any hue, saturation and percentage and
// never touch key-coloured pixels or row padding.
#include <vector>

#include "FuzzSupport.h"
#include "skin/core/CaptionLayout.h"
#include "skin/core/Colourise.h"

namespace {

using namespace px;
using namespace veltrim::core;

int32_t GeometryValue(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-40, 200) : fuzz::SizeLike(in, 1 << 22);
}

SkinGeometry RandomGeometry(FuzzedDataProvider& in) {
    SkinGeometry g;
    SkinValues& v = g.values;
    for (int32_t* m : {&v.ButtonWidth, &v.ButtonHeight, &v.ActiveLeftEnd, &v.ActiveRightStart, &v.ActiveRightEnd,
                       &v.InactiveOffset, &v.LeftBorderWidth, &v.RightBorderWidth, &v.TopSizingBorderHeight,
                       &v.BottomSizingBorderHeight, &v.TitleStartOffsetY, &v.ControlButtonOffsetX,
                       &v.ControlButtonOffsetY, &v.MenuStartOffsetY, &v.MenuStartOffsetX})
        *m = GeometryValue(in);
    v.BorderHasInactiveVersion = in.ConsumeBool();
    v.DrawTitle = in.ConsumeBool();
    v.ControlButtonHasInactiveVersion = in.ConsumeBool();
    v.CustomControlButtonPosition = in.ConsumeBool();
    g.captionWidth = GeometryValue(in);
    g.captionHeight = GeometryValue(in);
    g.borderWidth = GeometryValue(in);
    g.borderHeight = GeometryValue(in);
    return g;
}

void CheckLayout(FuzzedDataProvider& in) {
    const SkinGeometry g = RandomGeometry(in);
    if (!g.Usable()) return;
    // Window sizes as the platform reports them.
    const int w = in.ConsumeIntegralInRange<int>(0, 32767), h = in.ConsumeIntegralInRange<int>(0, 32767);
    CaptionState s;
    s.active = in.ConsumeBool();
    s.maximised = in.ConsumeBool();
    s.canClose = in.ConsumeBool();
    s.hasMaximise = in.ConsumeBool();
    s.hasMinimise = in.ConsumeBool();
    s.canSize = in.ConsumeBool();
    s.titleTextHeight = in.ConsumeIntegralInRange<int>(0, 200);
    const Margins m = g.FrameMargins();
    FUZZ_CHECK(m.left >= 1 && m.top >= 1 && m.right >= 0 && m.bottom >= 0);
    const CaptionLayout l = LayoutCaption(g, w, h, s);
    FUZZ_CHECK(l.client.Width() >= 0 && l.client.Height() >= 0);
    FUZZ_CHECK(l.tileSide == g.BorderSize() && l.tileSide >= 1);
    for (int i = 0; i < 8; ++i) {
        const int x = in.ConsumeIntegralInRange<int>(-10, w + 10), y = in.ConsumeIntegralInRange<int>(-10, h + 10);
        const int code = CaptionHitCode(g, l, l.menuBand, x, y, w, h, s.canSize, hit::Client);
        FUZZ_CHECK(code >= hit::Nowhere && code <= hit::Border);
        if (const auto b = ButtonAt(l, x, y)) FUZZ_CHECK(code == hit::SysMenu && l.buttons[*b]->left <= x);
    }
}

void CheckColours(FuzzedDataProvider& in) {
    const int32_t colour = in.ConsumeIntegral<int32_t>(), key = in.ConsumeBool() ? colour : in.ConsumeIntegral<int32_t>();
    const float hue = in.ConsumeFloatingPoint<float>(), sat = in.ConsumeFloatingPoint<float>();
    const auto c = ColouriseColour(colour, key, hue, sat);
    FUZZ_CHECK(c ? colour != key && *c >= 0 && *c <= 0xFFFFFF : colour == key);
    const float pr = in.ConsumeFloatingPoint<float>(), pg = in.ConsumeFloatingPoint<float>(), pb = in.ConsumeFloatingPoint<float>();
    const auto a = AdjustRGBColour(colour, key, pr, pg, pb);
    FUZZ_CHECK(a ? colour != key && *a >= 0 && *a <= 0xFFFFFF : colour == key);

    // The pixel passes: key-coloured pixels and padding stay as they were.
    const int32_t w = in.ConsumeIntegralInRange<int32_t>(1, 24), h = in.ConsumeIntegralInRange<int32_t>(1, 24);
    const int32_t bps = BytesPerScanLine24(w);
    std::vector<uint8_t> bytes(static_cast<size_t>(bps) * static_cast<size_t>(h));
    const Rgb8 k = ColourBytes(key);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        if (in.ConsumeBool() && i + 2 < bytes.size()) {
            bytes[i] = k.b, bytes[i + 1] = k.g, bytes[i + 2] = k.r;
        } else {
            bytes[i] = in.ConsumeIntegral<uint8_t>();
        }
    }
    const std::vector<uint8_t> before = bytes;
    const Dib24Bits bits{bytes.data(), w, h, bps};
    if (in.ConsumeBool()) ColouriseBits(bits, key, hue, sat);
    else AdjustRGBBits(bits, key, pr, pg, pb);
    for (int32_t y = 0; y < h; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(bps);
        for (int32_t x = 0; x < w; ++x) {
            const size_t p = row + 3 * static_cast<size_t>(x);
            if (before[p] == k.b && before[p + 1] == k.g && before[p + 2] == k.r)
                FUZZ_CHECK(bytes[p] == k.b && bytes[p + 1] == k.g && bytes[p + 2] == k.r);
        }
        for (size_t x = 3 * static_cast<size_t>(w); x < static_cast<size_t>(bps); ++x) FUZZ_CHECK(bytes[row + x] == before[row + x]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    CheckLayout(in);
    CheckColours(in);
    return 0;
}
