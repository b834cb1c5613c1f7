#pragma once
// The 32-bit working picture of the GIF export: a top-down DIB section of
// W x 4 bytes a row (blue, green, red, unused) in its own memory DC. The
// palette builder, ditherer and GIF writer work on Pixels(); the platform
// copies pictures in and paints them out through hDIBDC().
#include <windows.h>

#include <cstdint>

#include "base/Event.h"
#include "base/win/ScopedWin.h"
#include "imaging/core/Dib32.h"

namespace px {

class cDIB32 {
public:
    cDIB32() = default;
    ~cDIB32() { Destroy(); }
    cDIB32(const cDIB32&) = delete;
    cDIB32& operator=(const cDIB32&) = delete;

    Event<int32_t> Progress;  // declared for listeners; never raised
    Event<> ProgressEnd;      // once at the end of Orientation

    // Releases the old block, then makes W x H cleared to `background`
    // (red in the low byte). Overflow (6) when W x 4 x H does not fit.
    bool Create(int32_t width, int32_t height, COLORREF background = 0);
    // 32 when `picture` is a bitmap and was copied whole, 0 otherwise.
    uint8_t CreateFromStdPicture(HBITMAP picture);
    void Cls(COLORREF colour);
    void LoadBlt(HDC source, int32_t x = 0, int32_t y = 0);
    // The other picture scaled into this one with stretch mode 3 (colour on colour).
    void LoadDIBBlt(const cDIB32& other);
    // The whole block at (x, y), W x scale by H x scale.
    void Paint(HDC destination, int32_t x, int32_t y, double scale = 1.0) const;
    void Stretch(HDC destination, int32_t x, int32_t y, int32_t width, int32_t height, int32_t sourceX,
                 int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight, int32_t stretchMode) const;
    void Destroy();
    // Flips (in the rotated axes when rotating) and a quarter turn anticlockwise.
    void Orientation(bool rotate, bool flipHorizontal, bool flipVertical);
    void GetBestFitInfo(int32_t destWidth, int32_t destHeight, int32_t& x, int32_t& y, int32_t& width,
                        int32_t& height, bool stretchToFit) const;
    // The picture on the clipboard as a device-dependent bitmap.
    void CopyToClipboard() const;

    HDC hDIBDC() const noexcept { return dib_.dc(); }
    HBITMAP hDIB() const noexcept { return dib_.bitmap(); }
    uint8_t* DIBitsPtr() const noexcept { return bits_; }
    int32_t Width() const noexcept { return width_; }
    int32_t Height() const noexcept { return height_; }
    int32_t BytesPerScanLine() const noexcept { return width_ * 4; }
    int32_t Size() const noexcept { return width_ * 4 * height_; }
    // The pixel block after pending platform drawing has reached it; empty when there is none.
    Pixels32 Pixels() const;

private:
    win::MemoryBitmapDC dib_;
    uint8_t* bits_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

}  // namespace px
