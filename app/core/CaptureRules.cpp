#include "app/core/CaptureRules.h"

#include <cwctype>

#include "base/Rounding.h"

namespace px {

std::wstring ShapeFromIndex(int index) {
    switch (index) {
    case 1: return L"Square";
    case 2: return L"Ellipse";
    case 3: return L"Circle";
    default: return L"Rectangle";
    }
}

unsigned ActiveDelayMs(const std::wstring& labelText) {
    unsigned seconds = 0;
    size_t i = 0;
    while (i < labelText.size() && labelText[i] == L' ') ++i;
    if (i == labelText.size()) return 0;
    for (; i < labelText.size(); ++i) {
        if (!std::iswdigit(labelText[i])) return 0;
        seconds = seconds * 10 + static_cast<unsigned>(labelText[i] - L'0');
        if (seconds > 3600) return 0;  // the label only ever holds 0-10
    }
    return seconds * 1000;
}

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
