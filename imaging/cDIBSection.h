#pragma once
// The 24-bit image buffer: a bottom-up DIB section (blue-green-red rows padded
// to 4 bytes) selected into a memory DC of its own. Platform drawing copies
// pictures in and out through hDC(); image code reads and writes the pixels
// through Bits() with no platform call per pixel. Both the program and the
// skin library build this file; it depends only on base/ and imaging/core.
#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/win/ScopedWin.h"
#include "imaging/core/Dib24.h"

namespace px {

class cDIBSection {
public:
    cDIBSection() : cDIBSection("cDIBSection") {}
    virtual ~cDIBSection();
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;

    // DrawDib painting (Video for Windows) instead of BitBlt in PaintPicture.
    bool UseDrawDib() const noexcept { return drawDib_ != nullptr; }
    void UseDrawDib(bool state);

    // Fills the header and creates the DIB section for `lhDC`; the section is
    // not selected anywhere. Sizes must be positive. Overflow (6) when the
    // image size does not fit.
    bool CreateDIB(HDC lhDC, int32_t lWidth, int32_t lHeight, HBITMAP& hDIB);
    // Releases what the buffer held, then makes a W x H buffer. The DrawDib
    // setting survives; after a failure the buffer is empty.
    bool Create(int32_t lWidth, int32_t lHeight);
    // Copies a bitmap (the handle of a picture) whole into a buffer of its
    // size. Anything that is not a bitmap leaves the buffer empty.
    void CreateFromPicture(HBITMAP picThis);

    // Read from the header, so they keep the last size after ClearUp.
    int32_t BytesPerScanLine() const;
    int32_t Width() const noexcept { return info_.header.biWidth; }
    int32_t Height() const noexcept { return info_.header.biHeight; }

    // Negative sizes stand for the buffer's own width and height.
    void LoadPictureBlt(HDC lhDC, int32_t lSrcLeft = 0, int32_t lSrcTop = 0, int32_t lSrcWidth = -1,
                        int32_t lSrcHeight = -1, DWORD eRop = SRCCOPY);
    void PaintPicture(HDC lhDC, int32_t lDestLeft = 0, int32_t lDestTop = 0, int32_t lDestWidth = -1,
                      int32_t lDestHeight = -1, int32_t lSrcLeft = 0, int32_t lSrcTop = 0, DWORD eRop = SRCCOPY) const;

    // Writes the buffer as a bitmap file (58-byte header, pixels unchanged).
    // Raises CantPerformOperation (17) with the platform's message when the
    // file cannot be created; returns false when a write fails (the partly
    // written file stays).
    bool SavePicture(const std::wstring& sFilename) const;

    HDC hDC() const noexcept { return dib_.dc(); }
    HBITMAP hDIB() const noexcept { return dib_.bitmap(); }
    uint8_t* DIBSectionBitsPtr() const noexcept { return bits_; }
    // The pixel memory with its layout, after pending platform drawing has
    // reached it. Empty (bits == nullptr) when the buffer is.
    Dib24Bits Bits() const;
    const BITMAPINFO* BitmapInfo() const noexcept { return reinterpret_cast<const BITMAPINFO*>(&info_); }

    // Noise: grey pixels, or blue 0 with random green and red; seeded from
    // the seconds since midnight.
    void RandomiseBits(bool bGray = false);
    void ClearUp();
    // A new buffer of the given size (height first), bilinear unless the size
    // is the same; nullptr when it cannot be created. This buffer is unchanged.
    // A source under 2 x 2 pixels raises SubscriptOutOfRange (9).
    std::unique_ptr<cDIBSection> Resample(int32_t lNewHeight, int32_t lNewWidth) const;

    // Class name in the source of raised errors ("cDIBSection", "cDIBSectionBC").
    const std::string& ErrorClassName() const noexcept { return className_; }

protected:
    explicit cDIBSection(std::string className) : className_(std::move(className)) {}

private:
    bool WriteBitmapFile(const std::wstring& name) const;
    static std::string ApiErrorText(DWORD code);

    std::string className_;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colour;  // never written, stays zero
    } info_{};
    win::MemoryBitmapDC dib_;  // the DIB stays selected into its memory DC
    HDRAWDIB drawDib_ = nullptr;
    uint8_t* bits_ = nullptr;
};

// The brightness and contrast window's buffers: the same class, whose errors
// name "cDIBSectionBC" as their source.
class cDIBSectionBC final : public cDIBSection {
public:
    cDIBSectionBC() : cDIBSection("cDIBSectionBC") {}
};

}  // namespace px
