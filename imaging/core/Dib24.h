#pragma once
// The 24-bit buffer's memory layout and bitmap file, without the platform:
// rows bottom-up, blue-green-red, each row padded to a multiple of 4 bytes.
// cDIBSection keeps the header and the pixel memory; everything here works on
// plain values and views so it is tested natively.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "base/View2D.h"
#include "imaging/core/Random.h"

namespace px {

// 3 x width rounded up to a multiple of 4; Overflow (6) when 3 x width + 3
// leaves the 32-bit signed range.
int32_t BytesPerScanLine24(int32_t width);

// Same field order and widths as the platform's BITMAPINFOHEADER (40 bytes).
struct DibHeader24 {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;  // positive: memory row 0 is the bottom row
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 24;
    uint32_t biCompression = 0;  // BI_RGB
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
static_assert(sizeof(DibHeader24) == 40);

// The header as CreateDIB fills it; Overflow (6) when the image size does not fit.
DibHeader24 MakeDibHeader24(int32_t width, int32_t height);

// Pixel memory of a 24-bit buffer: `height` rows of `bytesPerScanLine` bytes.
// bits == nullptr is an empty buffer, whatever the sizes say.
struct Dib24Bits {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerScanLine = 0;

    bool empty() const noexcept { return bits == nullptr; }
    // The checked byte view: x in 0..bytesPerScanLine-1, y in 0..height-1 (memory rows).
    View2D<uint8_t> view() const {
        if (!bits || height <= 0 || bytesPerScanLine <= 0) return {};
        return View2D<uint8_t>(bits, static_cast<size_t>(bytesPerScanLine), static_cast<size_t>(height),
                               static_cast<size_t>(bytesPerScanLine));
    }
};

// Bitmap file layout: 14-byte file header, the 40-byte header, one zero
// colour-table entry, then the pixel rows. Pixels start at 58.
inline constexpr int32_t kBitmapFilePixelOffset = 58;

std::array<uint8_t, 14> BitmapFileHeaderBytes(const DibHeader24& header);  // Overflow (6) past 2^31-1 bytes
std::array<uint8_t, 44> BitmapInfoBytes(const DibHeader24& header);         // header + zero entry

// Writes the file in three pieces through `write` (true = all bytes written).
// After a failed piece the rest is skipped. Returns true only when all three succeeded.
using ByteSink = std::function<bool(const uint8_t* data, size_t size)>;
bool WriteBitmapFile(const DibHeader24& header, const uint8_t* bits, const ByteSink& write);

// Bilinear resampling in single precision from `source` into `target`
// (target keeps its padding bytes). The source must be at least 2 x 2:
// smaller sources read outside the view and raise SubscriptOutOfRange (9).
void ResampleBilinear(const Dib24Bits& source, const Dib24Bits& target);

// Noise over the colour bytes: grey pixels, or blue 0 with random green and
// red. Reseeds the process generator with `seed` first.
void RandomiseBits(const Dib24Bits& buffer, bool gray, uint32_t seed);

}  // namespace px
