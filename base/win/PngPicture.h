#pragma once
// A picture as PNG through the platform image library's own PNG encoder
// (GDI+, found by its MIME type), for "Save As PNG" and the clipboard's "PNG"
// format. The picture is handed over as 24-bit rows: a capture has no alpha,
// and the spare byte of 32-bit pixels carries nothing.
//
// Each call starts the image library for itself, so callers need not.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace px::win {

// The PNG file's bytes; empty on failure, with `reason` (if given) saying why.
std::vector<uint8_t> EncodePicturePng(HBITMAP picture, std::wstring* reason = nullptr);

// Writes `picture` as a PNG file: to a temporary file in the target's folder,
// which then replaces the target, so a failed write leaves the target as it
// was. False with `reason` on failure.
bool SavePictureAsPngFile(HBITMAP picture, const std::wstring& path, std::wstring* reason = nullptr);

}  // namespace px::win
