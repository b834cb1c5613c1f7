#pragma once
// GIF writing through the platform image library (GDI+): SaveGIF hands the
// ditherer's index buffer (in place) and the palette to the library's GIF
// encoder (base/win/ImageEncoder.h finds it). The library must have been
// started (win::ScopedGdiplus) by the caller.
//
// The encoder writes into memory; SaveGIF writes that to a temporary file in
// the target's folder and replaces the target only when the new file is
// complete, so a failed write never costs the user the file that was there.
// Where the platform's encoder drops the transparent entry, its extension is
// written between the two parts of the file (export/core/GifTransparency.h).
#include <windows.h>

#include <cstdint>
#include <string>

namespace px {

class cDIB32;
class cPalette8bpp;
class cDither8bpp;

// Writes the last dithering of `picture` (the ditherer's index buffer, row
// length PalIDRowLength) with `palette`'s entries in use; `transparentEntry`
// is -1 for none, else 0..255. True only when the file was written; on false
// `reason` (if given) says why, and the target is as it was.
bool SaveGIF(const cDIB32& picture, const cPalette8bpp& palette, cDither8bpp& ditherer, int32_t transparentEntry,
             const std::wstring& fileName, std::wstring* reason = nullptr);

}  // namespace px
