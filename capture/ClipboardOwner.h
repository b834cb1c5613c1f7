#pragma once
// The window that owns the clipboard for the program's pictures. A put makes
// only the bitmap at once (a copy the clipboard owns), so the clipboard holds
// the picture straight away; CF_DIBV5 and "PNG" are offered and made from the
// kept picture when a program first asks for them (the PNG encoder alone costs
// several times the rest of a capture). The picture is shared with the
// capture, not copied, and dropped once both formats are made or another
// program takes the clipboard over.
//
// Its window lives as long as the program and goes in the shutdown order:
// going, it makes whatever is still offered, so all three formats outlive the
// program.
//
//     ClipboardOwner clipboard;
//     if (!clipboard.Put(capture.Shared())) tell the user (kClipboardFailedText);
//     ...
//     clipboard.Close();   // at shutdown (the destructor does it too)
#include <windows.h>

#include <memory>

#include "capture/SharedPicture.h"

namespace px {

class ClipboardOwner {
public:
    ClipboardOwner();
    ~ClipboardOwner();
    ClipboardOwner(const ClipboardOwner&) = delete;
    ClipboardOwner& operator=(const ClipboardOwner&) = delete;

    // Empties the clipboard and puts `picture` on it: the bitmap now, CF_DIBV5
    // and "PNG" on demand. False when the clipboard could not be opened (another
    // program holds it), the bitmap could not be put, or the owner is closed.
    bool Put(SharedPicture picture);
    // Makes what the clipboard still offers, then destroys the window. Puts fail after.
    void Close();

    // The owner window (message-only), null once closed.
    HWND hwnd() const noexcept;
    // The picture kept for formats offered and not made yet; null when there are none.
    const SharedPicture& Kept() const noexcept;

private:
    class Window;
    std::unique_ptr<Window> window_;
};

}  // namespace px
