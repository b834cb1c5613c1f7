#include "imaging/cDIB32.h"

#include <cstring>
#include <vector>

#include "base/Rounding.h"
#include "base/win/DibInfo.h"

namespace px {

bool cDIB32::Create(int32_t width, int32_t height, COLORREF background) {
    Destroy();
    const int32_t size = Dib32ImageSize(width, height);
    BITMAPINFO bi = px::win::TopDownDibInfo(width, height);
    bi.bmiHeader.biSizeImage = static_cast<DWORD>(size);
    if (width <= 0 || height <= 0) return false;
    void* bits = nullptr;
    win::ScopedBitmap dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib) return false;
    win::MemoryBitmapDC selected(nullptr, std::move(dib));
    if (!selected) return false;
    dib_ = std::move(selected);
    bits_ = static_cast<uint8_t*>(bits);
    width_ = width;
    height_ = height;
    Cls(background);
    return true;
}

uint8_t cDIB32::CreateFromStdPicture(HBITMAP picture) {
    if (!picture || ::GetObjectType(picture) != OBJ_BITMAP) return 0;
    BITMAP bm{};
    if (!::GetObjectW(picture, sizeof(bm), &bm)) return 0;
    if (!Create(bm.bmWidth, bm.bmHeight, 0)) return 0;
    win::AutoDeleteDC temp(::CreateCompatibleDC(nullptr));
    if (!temp) return 0;
    win::ScopedSelectObject select(temp.get(), picture);
    ::BitBlt(dib_.dc(), 0, 0, width_, height_, temp.get(), 0, 0, SRCCOPY);
    return 32;
}

void cDIB32::Cls(COLORREF colour) {
    if (!dib_) return;
    win::ScopedBrush brush(::CreateSolidBrush(colour));
    const RECT all{0, 0, width_, height_};
    ::FillRect(dib_.dc(), &all, brush.get());
}

void cDIB32::LoadBlt(HDC source, int32_t x, int32_t y) {
    if (!dib_) return;
    ::BitBlt(dib_.dc(), 0, 0, width_, height_, source, x, y, SRCCOPY);
}

void cDIB32::LoadDIBBlt(const cDIB32& other) {
    if (!dib_ || !other.dib_) return;
    other.Stretch(dib_.dc(), 0, 0, width_, height_, 0, 0, other.width_, other.height_, COLORONCOLOR);
}

void cDIB32::Paint(HDC destination, int32_t x, int32_t y, double scale) const {
    if (!dib_) return;
    ::StretchBlt(destination, x, y, RoundHalfEven(width_ * scale), RoundHalfEven(height_ * scale), dib_.dc(), 0, 0,
                 width_, height_, SRCCOPY);
}

void cDIB32::Stretch(HDC destination, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sourceX,
                     int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight, int32_t stretchMode) const {
    if (!dib_) return;
    const int previous = ::GetStretchBltMode(destination);
    ::SetStretchBltMode(destination, stretchMode);
    ::StretchBlt(destination, x, y, width, height, dib_.dc(), sourceX, sourceY, sourceWidth, sourceHeight, SRCCOPY);
    ::SetStretchBltMode(destination, previous);
}

void cDIB32::Destroy() {
    dib_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

Pixels32 cDIB32::Pixels() const {
    if (!dib_) return {};
    ::GdiFlush();
    return Pixels32{bits_, width_, height_};
}

void cDIB32::Orientation(bool rotate, bool flipHorizontal, bool flipVertical) {
    if (!dib_) return;
    // The mirrors and the turn are done on the pixel memory: exact, and the
    // same as blitting the block onto itself with negative extents.
    ApplyOrientationMirrors(Pixels(), rotate, flipHorizontal, flipVertical);
    if (rotate) {
        const int32_t w = width_, h = height_;
        std::vector<uint8_t> copy(bits_, bits_ + static_cast<size_t>(Size()));  // the one temporary copy
        if (Create(h, w, 0)) RotateQuarterAnticlockwise(Pixels32{copy.data(), w, h}, Pixels());
    }
    ProgressEnd();
}

void cDIB32::GetBestFitInfo(int32_t destWidth, int32_t destHeight, int32_t& x, int32_t& y, int32_t& width,
                            int32_t& height, bool stretchToFit) const {
    if (!dib_) return;
    const FitRect r = px::GetBestFitInfo(width_, height_, destWidth, destHeight, stretchToFit);
    x = r.x;
    y = r.y;
    width = r.width;
    height = r.height;
}

void cDIB32::CopyToClipboard() const {
    if (!dib_) return;
    if (!::OpenClipboard(nullptr)) return;
    {
        win::ScopedGetDC screen(::GetDesktopWindow());
        win::AutoDeleteDC mem(screen.get() ? ::CreateCompatibleDC(screen) : nullptr);
        win::ScopedBitmap bitmap(screen.get() ? ::CreateCompatibleBitmap(screen, width_, height_) : nullptr);
        if (mem && bitmap) {
            {
                win::ScopedSelectObject select(mem.get(), bitmap.get());
                Paint(mem.get(), 0, 0, 1.0);
            }
            ::EmptyClipboard();
            if (::SetClipboardData(CF_BITMAP, bitmap.get())) bitmap.release();  // the clipboard owns it now
        }
    }
    ::CloseClipboard();
}

}  // namespace px
