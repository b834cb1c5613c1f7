#pragma once
// The current capture: the picture every window reads when it acts, and the
// scratch bitmap file that mirrors it. One object owns both; every path that
// changes the capture (the capture commands, Apply in the annotation and the
// adjustment windows) goes through Replace, and every window that shows or
// exports the capture listens to Changed instead of calling back into the main
// window.
#include <windows.h>

#include <string>

#include "base/Event.h"
#include "base/win/ScopedWin.h"
#include "capture/SharedPicture.h"

namespace px {

class CurrentCapture {
public:
    explicit CurrentCapture(std::wstring scratchPath);

    // The picture (a bitmap in the display's format), or nullptr before the first capture.
    HBITMAP Picture() const noexcept { return picture_ ? picture_->get() : nullptr; }
    // The same picture, shared: it stays valid for its holder after the capture changes.
    const SharedPicture& Shared() const noexcept { return picture_; }
    bool HasPicture() const noexcept { return static_cast<bool>(picture_); }
    // Width and height in pixels; 0 x 0 before the first capture.
    SIZE Size() const;
    const std::wstring& ScratchPath() const noexcept { return scratchPath_; }

    // Writes the scratch file from `picture`, then makes it the capture and
    // raises Changed once. When the file cannot be written nothing changes,
    // `error` (if given) receives the reason and false is returned; telling the
    // user is the caller's part, with its own window as the message's owner.
    bool Replace(win::ScopedBitmap picture, std::wstring* error = nullptr);
    // The same with a picture another owner (the clipboard) already shares.
    bool Replace(SharedPicture picture, std::wstring* error = nullptr);
    // Reads the scratch file back as the capture (after a window wrote it
    // itself) and raises Changed once; false, and nothing changed, when the
    // file cannot be read.
    bool ReloadFromScratch();

    Event<> Changed;

private:
    std::wstring scratchPath_;
    SharedPicture picture_;  // never changed in place: holders keep what they were given
};

}  // namespace px
