#include "app/core/PrintPlacement.h"

#include "base/Rounding.h"

namespace px {

namespace {
// Pixels at one resolution to units at another; a resolution the device does not report keeps the value.
long Scale(long value, int to, int from) {
    if (from <= 0 || to <= 0) return value;
    return RoundHalfEven<long>(static_cast<double>(value) * to / from);
}
}  // namespace

PrintPlacement CentrePictureOnPage(long pictureW, long pictureH, int screenDpiX, int screenDpiY, int printerDpiX,
                                   int printerDpiY, long scaleLeft, long scaleTop, long scaleW, long scaleH) {
    PrintPlacement p{};
    p.width = Scale(pictureW, printerDpiX, screenDpiX);
    p.height = Scale(pictureH, printerDpiY, screenDpiY);
    // Integer division truncates toward zero, also for pictures wider than the page.
    p.left = (scaleW - p.width) / 2 + scaleLeft;
    p.top = (scaleH - p.height) / 2 + scaleTop;
    return p;
}

}  // namespace px
