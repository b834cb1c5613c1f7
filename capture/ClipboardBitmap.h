#pragma once
// The clipboard's bitmap format (CF_BITMAP, format 2), as the capture
// commands and "Copy to Clipboard" use it.
#include <windows.h>

#include "base/win/ScopedWin.h"

namespace px {

// Clears the clipboard and puts a copy of `picture` on it (the clipboard owns
// the copy). False when the clipboard could not be opened or the copy failed.
bool PutBitmapOnClipboard(HWND owner, HBITMAP picture);
// What the user is told when that fails; the capture itself stays as it was.
inline constexpr wchar_t kClipboardFailedText[] =
    L"The capture could not be put on the clipboard: another program may be holding it open.\r\n"
    L"The capture itself is kept; copy it again in a moment.";
// A copy of the clipboard's bitmap, or an empty owner when there is none.
win::ScopedBitmap CopyBitmapFromClipboard(HWND owner);
// A copy of a bitmap in the display's format.
win::ScopedBitmap CopyBitmap(HBITMAP picture);

}  // namespace px
