#include "capture/ScreenSurface.h"

#include "base/win/DibInfo.h"

namespace px {

bool ScreenSurface::Create(int width, int height) {
    Reset();
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO bi = px::win::TopDownDibInfo(width, height);
    void* bits = nullptr;
    win::ScopedBitmap bitmap(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;
    win::MemoryBitmapDC surface(nullptr, std::move(bitmap));
    if (!surface) return false;
    surface_ = std::move(surface);
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

void ScreenSurface::Reset() {
    surface_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

View2D<uint32_t> ScreenSurface::pixels() const {
    return {bits_, static_cast<size_t>(width_), static_cast<size_t>(height_), static_cast<size_t>(width_)};
}

View2D<const uint32_t> ScreenSurface::constPixels() const {
    return {bits_, static_cast<size_t>(width_), static_cast<size_t>(height_), static_cast<size_t>(width_)};
}

}  // namespace px
