#pragma once
// The recolouring members of the caption painter on platform colours and
// device contexts: colours are OLE colours, translated before use (a failed
// translation gives -1); the DC passes copy the context into a 24-bit DIB
// section buffer, recolour its pixels in place through the portable rules of
// skin/core/Colourise.h, and copy it back at 0,0.
#include <windows.h>
#include <olectl.h>

#include <cstdint>

namespace veltrim {

// OleTranslateColor without a palette; -1 when the colour does not translate.
int32_t TranslatedColour(OLE_COLOR colour);

// `colour` is changed unless its translation equals that of `transparent`.
void ColouriseColour(OLE_COLOR& colour, float hue, float saturation, OLE_COLOR transparent);
void AdjustRGBColour(OLE_COLOR& colour, float percentRed, float percentGreen, float percentBlue, OLE_COLOR transparent);

// The first `width` x `height` pixels of `hdc`; pixels of the transparent
// colour (pure white when there is none) keep their value. Nothing happens
// for an empty size or when the buffer cannot be made.
void ColouriseDC(HDC hdc, int32_t width, int32_t height, float hue, float saturation, OLE_COLOR transparent);
void AdjustRGBDC(HDC hdc, int32_t width, int32_t height, float percentRed, float percentGreen, float percentBlue,
                 OLE_COLOR transparent);

}  // namespace veltrim
