#pragma once
// Writes a bitmap to a file as a standard Windows bitmap file: file header,
// BITMAPINFOHEADER, colour table where the picture has one, rows bottom-up.
// Pictures of 8 bits or fewer keep their depth and colour table; deeper ones
// are written with 24 bits, as their spare byte carries nothing.
//
// The platform's picture object would do this through IPicture::SaveAsFile,
// but under Wine that call is a stub that reports success and writes nothing,
// so the file is composed here from GetDIBits.
#include <windows.h>

#include <string>

namespace px::win {

// S_OK, or the failure (HRESULT_FROM_WIN32 of the file error where there is one).
HRESULT SavePictureAsBitmapFile(HBITMAP bitmap, const std::wstring& path);

}  // namespace px::win
