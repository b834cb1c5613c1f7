#pragma once
// Drawing pieces of the button face: colours, shape regions, bevels that
// follow any outline, gradients, captions and pictures with pixel effects.
// Every GDI object made here is owned by a scoped holder.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "base/win/OlePicture.h"
#include "base/win/ScopedWin.h"
#include "controls/core/CaptionText.h"
#include "base/Geometry.h"
#include "controls/core/PictureEffects.h"

namespace px::win::face {

// OLE colour (RGB or 0x80000000 | system index) to a plain COLORREF.
COLORREF ToColorRef(uint32_t oleColor);

bool IsIconPicture(const OlePicture& pic);
bool IsBitmapPicture(const OlePicture& pic);

// A picture's pixels in a 32-bit top-down DIB section of w x h, on `fill`.
struct Dib32 {
    ScopedBitmap bitmap;
    uint32_t* bits = nullptr;
    int w = 0, h = 0;
    View2D<uint32_t> view() const { return View2D<uint32_t>(bits, static_cast<size_t>(w), static_cast<size_t>(h), static_cast<size_t>(w)); }
};
Dib32 RenderPicture(const OlePicture& pic, int w, int h, COLORREF fill);

// The outline of a custom shape: the picture's pixels other than its top-left one.
std::vector<px::Rect> CustomShapeRuns(const OlePicture& pic);

// The region of a shape over a w x h face (custom shapes from their runs).
ScopedRgn ShapeRegion(int shape, int w, int h, const std::vector<px::Rect>& customRuns);
ScopedRgn CopyRegion(HRGN r);

void FillRegion(HDC dc, HRGN r, COLORREF c);
// Fills the rectangle with a two-colour gradient, clipped to `clip`.
void FillGradient(HDC dc, HRGN clip, const RECT& r, COLORREF from, COLORREF to, bool vertical);
// Paints the outer ring of `shape` (top-left and bottom-right edges in their
// colours) and returns what is left inside it.
ScopedRgn BevelRing(HDC dc, HRGN shape, COLORREF topLeft, COLORREF bottomRight);
// One-pixel frame just inside the outline.
void FrameShape(HDC dc, HRGN shape, COLORREF c);

// Size of the caption block in the selected font.
px::Size MeasureCaption(HDC dc, const controls::CaptionText& text);
// Draws the caption lines inside `block`, each aligned by captionAlign.
// style: 0 plain, 1 raised, 2 engraved; a disabled caption is engraved grey.
void DrawCaptionText(HDC dc, const controls::CaptionText& text, const RECT& block, int captionAlign, int style,
                     COLORREF fore, COLORREF light, COLORREF dark, bool enabled);

// Draws a picture stretched to dest, with an optional pixel effect (icons keep
// their transparency).
void DrawPicture(HDC dc, const OlePicture& pic, const RECT& dest, controls::PixelEffect effect);

}  // namespace px::win::face
