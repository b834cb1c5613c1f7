// The 24-bit buffer's sizes and bitmap file, and the filters that work on its
// memory: any width and height either give a header whose byte counts are
// right or raise Overflow (6); a written file reads back to the same header
// and pixels; resampling, noise and brightness/contrast stay inside the
// buffers, leave the row padding alone and give values their rules allow.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "imaging/core/BrightnessContrast.h"
#include "imaging/core/Dib24.h"

namespace {

using namespace px;

uint32_t U32(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24; }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool Fits32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// The sizes against the same arithmetic done wide.
void CheckHeader(int32_t w, int32_t h) {
    const int64_t padded = int64_t{3} * w + 3;
    const int64_t bps = padded & ~int64_t{3};
    const bool fits = Fits32(padded) && Fits32(bps * h);
    DibHeader24 header;
    try {
        header = MakeDibHeader24(w, h);
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == ErrorNumber::Overflow && !fits);
        return;
    }
    FUZZ_CHECK(fits);
    FUZZ_CHECK(header.biWidth == w && header.biHeight == h);
    FUZZ_CHECK(header.biSizeImage == static_cast<uint32_t>(static_cast<int32_t>(bps * h)));
    try {
        const auto fileHeader = BitmapFileHeaderBytes(header);
        FUZZ_CHECK(int64_t{header.biSizeImage} + 58 <= INT32_MAX);
        FUZZ_CHECK(U32(&fileHeader[2]) == header.biSizeImage + 58);
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == ErrorNumber::Overflow && int64_t{header.biSizeImage} + 58 > INT32_MAX);
    }
}

struct Buffer {
    std::vector<uint8_t> bytes;
    Dib24Bits bits;
};

Buffer MakeBuffer(FuzzedDataProvider& in, int32_t w, int32_t h) {
    Buffer b;
    const int32_t bps = BytesPerScanLine24(w);
    b.bytes.resize(static_cast<size_t>(bps) * static_cast<size_t>(h));
    const std::vector<uint8_t> pixels = in.ConsumeBytes<uint8_t>(b.bytes.size());
    std::copy(pixels.begin(), pixels.end(), b.bytes.begin());
    b.bits = Dib24Bits{b.bytes.data(), w, h, bps};
    return b;
}

// Written in three pieces; a sink that fails stops the rest. What arrives reads back.
void CheckFile(FuzzedDataProvider& in, const Buffer& b) {
    const DibHeader24 header = MakeDibHeader24(b.bits.width, b.bits.height);
    const int failAt = in.ConsumeIntegralInRange<int>(0, 3);  // 3: never fails
    int pieces = 0;
    std::vector<uint8_t> file;
    const bool ok = WriteBitmapFile(header, b.bits.bits, [&](const uint8_t* data, size_t size) {
        if (pieces++ == failAt) return false;
        file.insert(file.end(), data, data + size);
        return true;
    });
    FUZZ_CHECK(ok == (failAt == 3));
    FUZZ_CHECK(pieces == std::min(failAt + 1, 3));
    if (!ok) return;
    FUZZ_CHECK(file.size() == 58 + b.bytes.size());
    FUZZ_CHECK(file[0] == 'B' && file[1] == 'M' && U32(&file[2]) == file.size() && U32(&file[10]) == 58);
    FUZZ_CHECK(U32(&file[14]) == 40 && static_cast<int32_t>(U32(&file[18])) == b.bits.width &&
               static_cast<int32_t>(U32(&file[22])) == b.bits.height && U16(&file[26]) == 1 && U16(&file[28]) == 24 &&
               U32(&file[30]) == 0 && U32(&file[34]) == b.bytes.size());
    FUZZ_CHECK(std::equal(b.bytes.begin(), b.bytes.end(), file.begin() + 58));
}

// Bilinear output lies between the smallest and largest source byte of its channel.
void CheckResample(FuzzedDataProvider& in, const Buffer& src) {
    const int32_t tw = in.ConsumeIntegralInRange<int32_t>(1, 48), th = in.ConsumeIntegralInRange<int32_t>(1, 48);
    Buffer dst = MakeBuffer(in, tw, th);
    const std::vector<uint8_t> before = dst.bytes;
    Dib24Bits source = src.bits;
    if (in.ConsumeBool()) source.width = fuzz::SizeLike(in, 64);  // a caller's wrong size
    // A smaller height only: the memory must hold the rows the buffer claims.
    if (in.ConsumeBool()) source.height = std::min(source.height, fuzz::SizeLike(in, 64));
    const bool consistent = source.width == src.bits.width && source.height == src.bits.height;
    try {
        ResampleBilinear(source, dst.bits);
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == ErrorNumber::SubscriptOutOfRange);
        FUZZ_CHECK(!consistent || source.width < 2 || source.height < 2);
        return;
    }
    if (!consistent) return;
    FUZZ_CHECK(source.width >= 2 && source.height >= 2);
    const int32_t sbps = src.bits.bytesPerScanLine, dbps = dst.bits.bytesPerScanLine;
    for (int c = 0; c < 3; ++c) {
        uint8_t lo = 255, hi = 0;
        for (int32_t y = 0; y < source.height; ++y)
            for (int32_t x = 0; x < source.width; ++x) {
                const uint8_t v = src.bytes[static_cast<size_t>(y * sbps + 3 * x + c)];
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        for (int32_t y = 0; y < th; ++y)
            for (int32_t x = 0; x < tw; ++x) {
                const uint8_t v = dst.bytes[static_cast<size_t>(y * dbps + 3 * x + c)];
                FUZZ_CHECK(v >= lo && v <= hi);
            }
    }
    for (int32_t y = 0; y < th; ++y)
        for (int32_t x = 3 * tw; x < dbps; ++x) FUZZ_CHECK(dst.bytes[y * dbps + x] == before[y * dbps + x]);
}

void CheckNoise(FuzzedDataProvider& in, Buffer b) {
    const bool gray = in.ConsumeBool();
    const uint32_t seed = in.ConsumeIntegral<uint32_t>();
    b.bits.bits = b.bytes.data();  // the copy's own memory
    const std::vector<uint8_t> before = b.bytes;
    RandomiseBits(b.bits, gray, seed);
    const int32_t bps = b.bits.bytesPerScanLine;
    for (int32_t y = 0; y < b.bits.height; ++y) {
        const uint8_t* row = &b.bytes[static_cast<size_t>(y * bps)];
        for (int32_t x = 0; x < b.bits.width; ++x) {
            const uint8_t* p = row + 3 * x;
            FUZZ_CHECK(gray ? (p[0] == p[1] && p[1] == p[2]) : p[0] == 0);
        }
        for (int32_t x = 3 * b.bits.width; x < bps; ++x) FUZZ_CHECK(row[x] == before[static_cast<size_t>(y * bps + x)]);
    }
    std::vector<uint8_t> again(before);
    RandomiseBits(Dib24Bits{again.data(), b.bits.width, b.bits.height, bps}, gray, seed);
    FUZZ_CHECK(again == b.bytes);
    // A buffer without memory draws nothing, whatever its sizes say.
    RandomiseBits(Dib24Bits{nullptr, fuzz::SizeLike(in, 64), fuzz::SizeLike(in, 64), fuzz::SizeLike(in, 64)}, gray, seed);
}

void CheckBrightnessContrast(FuzzedDataProvider& in, const Buffer& src) {
    cBrightnessContrast bc;
    bc.Brightness(in.ConsumeIntegralInRange<int32_t>(-600, 600));
    bc.Contrast(in.ConsumeBool() ? ContrastFromSlider(in.ConsumeIntegralInRange<int32_t>(0, 200))
                                 : in.ConsumeFloatingPoint<double>());
    // Sometimes a destination too small for the source.
    const int32_t dw = in.ConsumeBool() ? src.bits.width : in.ConsumeIntegralInRange<int32_t>(1, 48);
    const int32_t dh = in.ConsumeBool() ? src.bits.height : in.ConsumeIntegralInRange<int32_t>(1, 48);
    Buffer dst = MakeBuffer(in, dw, dh);
    const std::vector<uint8_t> before = dst.bytes;
    std::array<uint8_t, 256> table{};
    try {
        table = cBrightnessContrast::MakeTable(bc.Contrast(), bc.Brightness());
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == ErrorNumber::Overflow && !std::isfinite(bc.Contrast()));
        return;
    }
    const size_t covered = 3 * (static_cast<size_t>(src.bits.bytesPerScanLine) / 3);
    const bool fits = covered <= static_cast<size_t>(dst.bits.bytesPerScanLine) && src.bits.height <= dh;
    try {
        bc.process(src.bits, dst.bits);
        FUZZ_CHECK(fits);
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == ErrorNumber::SubscriptOutOfRange && !fits);
        return;
    }
    const size_t sbps = static_cast<size_t>(src.bits.bytesPerScanLine), dbps = static_cast<size_t>(dst.bits.bytesPerScanLine);
    for (size_t y = 0; y < static_cast<size_t>(dh); ++y)
        for (size_t x = 0; x < dbps; ++x) {
            const uint8_t want = (y < static_cast<size_t>(src.bits.height) && x < covered) ? table[src.bytes[y * sbps + x]]
                                                                                           : before[y * dbps + x];
            FUZZ_CHECK(dst.bytes[y * dbps + x] == want);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    CheckHeader(fuzz::SizeLike(in, 1 << 16), fuzz::SizeLike(in, 1 << 16));
    const int32_t w = in.ConsumeIntegralInRange<int32_t>(1, 40), h = in.ConsumeIntegralInRange<int32_t>(1, 40);
    const Buffer b = MakeBuffer(in, w, h);
    CheckFile(in, b);
    CheckResample(in, b);
    CheckNoise(in, b);
    CheckBrightnessContrast(in, b);
    return 0;
}
