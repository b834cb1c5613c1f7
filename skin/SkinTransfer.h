#pragma once
// Reading and writing a whole skin through the skin configuration interface,
// so the caption painter works with any implementation of it.
#include <windows.h>
#include <olectl.h>

#include "base/win/ScopedWin.h"
#include "skin/core/SkinValues.h"
#include "skin/veltrim_h.h"

namespace veltrim {

struct SkinObjects {
    px::win::ScopedComPtr<IPictureDisp> caption, borders;
    px::win::ScopedComPtr<IFontDisp> captionFont, menuFont;
};

// Every plain value of `skin` (fonts are left as they are in `values`).
HRESULT ReadSkin(_cSkinConfiguration* skin, px::SkinValues& values, SkinObjects& objects);
// Every value and object into `skin`.
HRESULT WriteSkin(_cSkinConfiguration* skin, const px::SkinValues& values, const SkinObjects& objects);

// Width and height of a bitmap picture; false for anything else.
bool PictureSize(IPictureDisp* picture, int& width, int& height);

}  // namespace veltrim
