#pragma once
// cMemDC: a memory device context compatible with the display whose bitmap
// only grows: asking for a larger size recreates the bitmap (keeping the
// other dimension), a smaller one changes nothing. The painters keep their
// work surfaces in it so a repaint allocates nothing.
#include <windows.h>
#include <olectl.h>

#include "base/win/ScopedWin.h"

namespace veltrim {

class cMemDC {
public:
    HDC dc() const noexcept { return mem_.dc(); }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    explicit operator bool() const noexcept { return static_cast<bool>(mem_); }

    // Grows to at least width x height; false when the bitmap cannot be made
    // (the earlier surface stays).
    bool Ensure(int width, int height);
    void SetWidth(int width) { Ensure(width, height_); }
    void SetHeight(int height) { Ensure(width_, height); }

    // Sized to the picture's bitmap and holding a copy of it; false for a
    // missing or non-bitmap picture.
    bool CreateFromPicture(IPictureDisp* picture);

    void reset() {
        mem_.reset();
        width_ = height_ = 0;
    }

private:
    px::win::MemoryBitmapDC mem_;
    int width_ = 0, height_ = 0;
};

}  // namespace veltrim
