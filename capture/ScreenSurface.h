#pragma once
// A 32-bit top-down DIB section selected into its own memory DC: the overlay
// draws on it with GDI and restores it row by row through its pixels.
#include <windows.h>

#include <cstdint>

#include "base/View2D.h"
#include "base/win/ScopedWin.h"

namespace px {

class ScreenSurface {
public:
    ScreenSurface() = default;
    ScreenSurface(const ScreenSurface&) = delete;
    ScreenSurface& operator=(const ScreenSurface&) = delete;
    ~ScreenSurface() { Reset(); }

    // Allocates width x height pixels (contents undefined); false when GDI refuses.
    bool Create(int width, int height);
    void Reset();

    bool IsCreated() const noexcept { return static_cast<bool>(surface_); }
    HDC dc() const noexcept { return surface_.dc(); }
    HBITMAP bitmap() const noexcept { return surface_.bitmap(); }
    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    // The pixels; flush GDI (GdiFlush) before touching them after drawing.
    View2D<uint32_t> pixels() const;
    View2D<const uint32_t> constPixels() const;

private:
    win::MemoryBitmapDC surface_;
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace px
