#pragma once
// The clipboard's picture formats, as the capture commands and "Copy to
// Clipboard" use them: the bitmap (CF_BITMAP, format 2), and beside it the same
// pixels as a version-5 device-independent bitmap (CF_DIBV5, 32 bits, opaque)
// and as a PNG file (the registered format "PNG"), so each program that pastes
// takes the best format it reads. ClipboardOwner puts them there; these are
// the makers and the reader.
#include <windows.h>

#include "base/win/ScopedWin.h"

namespace px {

// The clipboard opened for this thread, retried for a moment while another
// program holds it; closed again when the session ends.
class ClipboardSession {
public:
    explicit ClipboardSession(HWND owner);
    ~ClipboardSession();
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool open() const noexcept { return open_; }

private:
    bool open_;
};

// What the user is told when a picture could not be put on the clipboard; the
// capture itself stays as it was.
inline constexpr wchar_t kClipboardFailedText[] =
    L"The capture could not be put on the clipboard: another program may be holding it open.\r\n"
    L"The capture itself is kept; copy it again in a moment.";
// The registered clipboard format "PNG".
UINT PngClipboardFormat();
// `picture` as CF_DIBV5 data: a BITMAPV5HEADER (32 bits, bit fields with an
// alpha mask, sRGB), rows bottom-up, every pixel opaque. Empty on failure.
win::ScopedGlobal MakeDibV5(HBITMAP picture);
// `picture` as "PNG" data: the bytes of a PNG file. Empty on failure.
win::ScopedGlobal MakePngData(HBITMAP picture);
// A copy of the clipboard's bitmap, or an empty owner when there is none.
win::ScopedBitmap CopyBitmapFromClipboard(HWND owner);
// A copy of a bitmap in the display's format.
win::ScopedBitmap CopyBitmap(HBITMAP picture);

}  // namespace px
