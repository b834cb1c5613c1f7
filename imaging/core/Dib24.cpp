#include "imaging/core/Dib24.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "base/Rounding.h"
#include "imaging/core/PixelRounding.h"

namespace px {

namespace {

[[noreturn]] void RaiseOverflow() { throw Error(ErrorNumber::Overflow, "", "Overflow"); }
[[noreturn]] void RaiseSubscript() { throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range"); }

int32_t CheckedInt32(int64_t v) {
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) RaiseOverflow();
    return static_cast<int32_t>(v);
}

void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

int32_t BytesPerScanLine24(int32_t width) {
    const int32_t padded = CheckedInt32(int64_t{3} * width + 3);
    return padded & ~3;
}

DibHeader24 MakeDibHeader24(int32_t width, int32_t height) {
    DibHeader24 h;
    h.biWidth = width;
    h.biHeight = height;
    h.biSizeImage = static_cast<uint32_t>(CheckedInt32(int64_t{BytesPerScanLine24(width)} * height));
    return h;
}

std::array<uint8_t, 14> BitmapFileHeaderBytes(const DibHeader24& header) {
    const int32_t fileSize = CheckedInt32(int64_t{header.biSizeImage} + kBitmapFilePixelOffset);
    std::array<uint8_t, 14> b{};
    b[0] = 'B';
    b[1] = 'M';
    PutU32(&b[2], static_cast<uint32_t>(fileSize));
    PutU32(&b[10], kBitmapFilePixelOffset);
    return b;
}

std::array<uint8_t, 44> BitmapInfoBytes(const DibHeader24& h) {
    std::array<uint8_t, 44> b{};
    PutU32(&b[0], h.biSize);
    PutU32(&b[4], static_cast<uint32_t>(h.biWidth));
    PutU32(&b[8], static_cast<uint32_t>(h.biHeight));
    PutU16(&b[12], h.biPlanes);
    PutU16(&b[14], h.biBitCount);
    PutU32(&b[16], h.biCompression);
    PutU32(&b[20], h.biSizeImage);
    PutU32(&b[24], static_cast<uint32_t>(h.biXPelsPerMeter));
    PutU32(&b[28], static_cast<uint32_t>(h.biYPelsPerMeter));
    PutU32(&b[32], h.biClrUsed);
    PutU32(&b[36], h.biClrImportant);
    // bytes 40..43: the colour-table entry, never written, zero
    return b;
}

bool WriteBitmapFile(const DibHeader24& header, const uint8_t* bits, const ByteSink& write) {
    const auto fileHeader = BitmapFileHeaderBytes(header);
    const auto info = BitmapInfoBytes(header);
    if (!write(fileHeader.data(), fileHeader.size())) return false;
    if (!write(info.data(), info.size())) return false;
    return write(bits, header.biSizeImage);
}

void ResampleBilinear(const Dib24Bits& source, const Dib24Bits& target) {
    const View2D<uint8_t> src = source.view();
    const View2D<uint8_t> dst = target.view();
    const int32_t tw = target.width;
    const int32_t th = target.height;
    if (tw <= 0 || th <= 0) return;
    // Every target pixel reads a 2 x 2 block: a smaller source (or none) has none to give. Checked
    // first, as below 1 the scales turn negative and so would the source positions.
    if (source.width < 2 || source.height < 2 || src.height() < 2) RaiseSubscript();
    const float xScale = static_cast<float>(source.width - 1) / static_cast<float>(tw);
    const float yScale = static_cast<float>(source.height - 1) / static_cast<float>(th);

    // The column terms do not depend on the row: work them out once.
    struct Column {
        size_t p;
        float dX;
        float oneMinusDX;
    };
    std::vector<Column> columns(static_cast<size_t>(tw));
    for (int32_t x = 0; x < tw; ++x) {
        const float fX = static_cast<float>(x) * xScale;
        const float iX = std::floor(fX);
        const float dX = fX - iX;
        const size_t p = 3 * static_cast<size_t>(iX);
        if (p + 5 >= src.width()) RaiseSubscript();  // column iX + 1 lies outside the source
        columns[static_cast<size_t>(x)] = Column{p, dX, 1.0f - dX};
    }

    // The vertical step of a source byte depends only on the target row, so
    // it is done once per row for the bytes the row's columns read (a plain
    // loop the compiler vectorises), then the horizontal step per pixel.
    const size_t needed = columns.back().p + 6;
    std::vector<float> vertical(needed);
    for (int32_t y = 0; y < th; ++y) {
        const float fY = static_cast<float>(y) * yScale;
        const float iYf = std::floor(fY);
        const float dY = fY - iYf;
        const float oneMinusDY = 1.0f - dY;
        const size_t iY = static_cast<size_t>(iYf);
        const uint8_t* row1 = src.row(iY).data();
        const uint8_t* row3 = src.row(iY + 1).data();
        for (size_t j = 0; j < needed; ++j)
            vertical[j] = static_cast<float>(
                RoundHalfEvenNonNegative(oneMinusDY * static_cast<float>(row1[j]) + dY * static_cast<float>(row3[j])));
        const std::span<uint8_t> out = dst.row(static_cast<size_t>(y));
        if (3 * static_cast<size_t>(tw) > out.size()) RaiseSubscript();
        uint8_t* o = out.data();
        for (const Column& c : columns) {
            const float* a = &vertical[c.p];
            for (int ch = 0; ch < 3; ++ch)
                o[ch] = ClampByte(RoundHalfEvenNonNegative(c.oneMinusDX * a[ch] + c.dX * a[ch + 3]));
            o += 3;
        }
    }
}

void RandomiseBits(const Dib24Bits& buffer, bool gray, uint32_t seed) {
    UniformRandom& rnd = ProcessRandom();
    rnd.Seed(seed);
    const View2D<uint8_t> v = buffer.view();
    const int64_t xEnd = int64_t{3} * (int64_t{buffer.width} - 1);
    const size_t h = v.height();
    if (h == 0) return;  // no memory: nothing to draw, however wide the buffer says it is
    auto draw = [&rnd] { return static_cast<uint8_t>(RoundHalfEven(rnd.Next() * 255.0)); };
    if (gray) {
        for (size_t y = 0; y < h; ++y) {
            for (int64_t x = 0; x <= xEnd; x += 3) {
                const uint8_t g = draw();
                const size_t xi = static_cast<size_t>(x);
                v(y, xi) = g;
                v(y, xi + 1) = g;
                v(y, xi + 2) = g;
            }
        }
    } else {
        for (int64_t x = 0; x <= xEnd; x += 3) {
            const size_t xi = static_cast<size_t>(x);
            for (size_t y = 0; y < h; ++y) {
                v(y, xi) = 0;
                v(y, xi + 1) = draw();
                v(y, xi + 2) = draw();
            }
        }
    }
}

}  // namespace px
