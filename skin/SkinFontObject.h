#pragma once
// Font objects of a skin (the platform's standard font object) and their
// plain descriptions in skin/core/SkinValues.h.
#include <windows.h>
#include <olectl.h>

#include "base/win/ScopedWin.h"
#include "skin/core/SkinValues.h"

namespace veltrim {

// A new font object named "MS Sans Serif", its other attributes as the font
// object starts them. Raises the library error when none can be made.
px::win::ScopedComPtr<IFontDisp> NewSkinFont();
// A new font object with every attribute of `font`.
px::win::ScopedComPtr<IFontDisp> NewSkinFont(const px::SkinFont& font);
// What the font object holds; a missing font reads as a new skin font.
px::SkinFont ReadSkinFont(IFontDisp* font);
// The description of a new skin font (read once per process).
const px::SkinFont& NewSkinFontValues();

}  // namespace veltrim
