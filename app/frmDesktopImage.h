#pragma once
// The main capture window: hub of every command, owner of the tray icon and
// holder of the current capture (the hidden picture box picSelImage).
#include <windows.h>

#include <string>

#include "base/win/Form.h"
#include "base/win/ScopedWin.h"

namespace px {

class frmDesktopImage : public win::Form {
public:
    static frmDesktopImage& Get();

    // --- the current capture, for the capture paths and the other windows ---
    // The picture of picSelImage (a bitmap in the display's format), or nullptr before the first capture.
    HBITMAP CurrentCapture() const noexcept { return picSelImage_.get(); }
    bool HasCapture() const noexcept { return static_cast<bool>(picSelImage_); }
    // Replaces the current capture and writes ScratchBitmapPath, then reloads
    // the view from that file. On a file that cannot be written the user is told,
    // the previous capture stays and false is returned.
    bool ReplaceCapture(win::ScopedBitmap picture);
    // Shows the window in its normal state (end of captures, "Show Window", Apply in other windows).
    void ShowNormal();

private:
    frmDesktopImage() = default;
    void CreateFormWindow() override;
    void Form_Load() override;
    void Form_Unload() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    void Form_Resize(UINT sizeType);

    win::ScopedBitmap picSelImage_;
};

}  // namespace px
