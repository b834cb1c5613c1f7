#include "skin/SkinColourise.h"

#include "imaging/cDIBSection.h"
#include "skin/core/Colourise.h"

namespace veltrim {
namespace {

// Copies the context's pixels into a buffer, runs `pass` over them and
// copies the result back.
template <typename Pass>
void RecolourDC(HDC hdc, int32_t width, int32_t height, Pass pass) {
    if (!hdc || width <= 0 || height <= 0) return;
    px::cDIBSection buffer;
    if (!buffer.Create(width, height)) return;
    buffer.LoadPictureBlt(hdc, 0, 0, width, height, SRCCOPY);
    pass(buffer.Bits());
    buffer.PaintPicture(hdc, 0, 0, width, height, 0, 0, SRCCOPY);
}

}  // namespace

int32_t TranslatedColour(OLE_COLOR colour) {
    COLORREF rgb = 0;
    return SUCCEEDED(::OleTranslateColor(colour, nullptr, &rgb)) ? static_cast<int32_t>(rgb) : -1;
}

void ColouriseColour(OLE_COLOR& colour, float hue, float saturation, OLE_COLOR transparent) {
    if (const auto c = px::ColouriseColour(TranslatedColour(colour), TranslatedColour(transparent), hue, saturation))
        colour = static_cast<OLE_COLOR>(*c);
}

void AdjustRGBColour(OLE_COLOR& colour, float percentRed, float percentGreen, float percentBlue, OLE_COLOR transparent) {
    if (const auto c = px::AdjustRGBColour(TranslatedColour(colour), TranslatedColour(transparent), percentRed,
                                           percentGreen, percentBlue))
        colour = static_cast<OLE_COLOR>(*c);
}

void ColouriseDC(HDC hdc, int32_t width, int32_t height, float hue, float saturation, OLE_COLOR transparent) {
    const int32_t key = TranslatedColour(transparent);
    RecolourDC(hdc, width, height, [&](const px::Dib24Bits& bits) { px::ColouriseBits(bits, key, hue, saturation); });
}

void AdjustRGBDC(HDC hdc, int32_t width, int32_t height, float percentRed, float percentGreen, float percentBlue,
                 OLE_COLOR transparent) {
    const int32_t key = TranslatedColour(transparent);
    RecolourDC(hdc, width, height, [&](const px::Dib24Bits& bits) {
        px::AdjustRGBBits(bits, key, percentRed, percentGreen, percentBlue);
    });
}

}  // namespace veltrim
