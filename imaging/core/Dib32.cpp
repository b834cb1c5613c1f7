#include "imaging/core/Dib32.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/Rounding.h"
#include "imaging/core/CpuFeatures.h"

// SSE2 is part of every x86-64 processor; AVX2 is used where the processor has it.
#include <immintrin.h>

namespace px {

namespace {

int32_t CheckedInt32(int64_t v) {
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw Error(ErrorNumber::Overflow, "", "Overflow");
    return static_cast<int32_t>(v);
}

void Swap4(uint8_t* a, uint8_t* b) {
    uint8_t t[4];
    std::memcpy(t, a, 4);
    std::memcpy(a, b, 4);
    std::memcpy(b, t, 4);
}

// Pixel x changes places with pixel w - 1 - x, for x from `from` to the middle.
void MirrorRowFrom(uint8_t* row, size_t w, size_t from) {
    for (size_t x = from; x < w / 2; ++x) Swap4(row + 4 * x, row + 4 * (w - 1 - x));
}

// Four pixels from each end a step, reversed in the register and stored at the other end.
void MirrorRowSse2(uint8_t* row, size_t w) {
    size_t x = 0;
    for (; 2 * x + 8 <= w; x += 4) {
        __m128i* a = reinterpret_cast<__m128i*>(row + 4 * x);
        __m128i* b = reinterpret_cast<__m128i*>(row + 4 * (w - x - 4));
        const __m128i left = _mm_loadu_si128(a), right = _mm_loadu_si128(b);
        _mm_storeu_si128(a, _mm_shuffle_epi32(right, _MM_SHUFFLE(0, 1, 2, 3)));
        _mm_storeu_si128(b, _mm_shuffle_epi32(left, _MM_SHUFFLE(0, 1, 2, 3)));
    }
    MirrorRowFrom(row, w, x);
}

PX_TARGET_AVX2 void MirrorRowAvx2(uint8_t* row, size_t w) {
    const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    size_t x = 0;
    for (; 2 * x + 16 <= w; x += 8) {
        __m256i* a = reinterpret_cast<__m256i*>(row + 4 * x);
        __m256i* b = reinterpret_cast<__m256i*>(row + 4 * (w - x - 8));
        const __m256i left = _mm256_loadu_si256(a), right = _mm256_loadu_si256(b);
        _mm256_storeu_si256(a, _mm256_permutevar8x32_epi32(right, reverse));
        _mm256_storeu_si256(b, _mm256_permutevar8x32_epi32(left, reverse));
    }
    MirrorRowFrom(row, w, x);
}

// A quarter turn: source pixel (x, y) lands on target row w - 1 - x, column y.
struct Turn {
    const uint8_t* src;
    uint8_t* dst;
    size_t w, h;  // of the source

    const uint8_t* From(size_t x, size_t y) const { return src + 4 * (y * w + x); }
    uint8_t* To(size_t x, size_t y) const { return dst + 4 * ((w - 1 - x) * h + y); }
    // Pixel by pixel, for rows y0..y1 - 1 and columns x0..x1 - 1 of the source.
    void Pixels(size_t y0, size_t y1, size_t x0, size_t x1) const {
        for (size_t y = y0; y < y1; ++y)
            for (size_t x = x0; x < x1; ++x) std::memcpy(To(x, y), From(x, y), 4);
    }
    // Blocks of n x n pixels by `block`, the strips left over at the right and bottom pixel by pixel.
    template <size_t n, typename Block>
    void Blocks(const Block& block) const {
        const size_t wb = w - w % n, hb = h - h % n;
        for (size_t y = 0; y < hb; y += n)
            for (size_t x = 0; x < wb; x += n) block(y, x);
        Pixels(0, hb, wb, w);
        Pixels(hb, h, 0, w);
    }
};

// 4 x 4 pixels: four source rows in, transposed, the columns reversed into target rows.
void TurnBlocksSse2(const Turn& t) {
    t.Blocks<4>([&t](size_t y, size_t x) {
        __m128i r[4];
        for (size_t i = 0; i < 4; ++i) r[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.From(x, y + i)));
        const __m128i a = _mm_unpacklo_epi32(r[0], r[1]), b = _mm_unpacklo_epi32(r[2], r[3]);
        const __m128i c = _mm_unpackhi_epi32(r[0], r[1]), d = _mm_unpackhi_epi32(r[2], r[3]);
        const __m128i column[4] = {_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b), _mm_unpacklo_epi64(c, d),
                                   _mm_unpackhi_epi64(c, d)};
        for (size_t k = 0; k < 4; ++k) _mm_storeu_si128(reinterpret_cast<__m128i*>(t.To(x + k, y)), column[k]);
    });
}

// 8 x 8 pixels: the 4 x 4 transpose within each 128-bit half, then the halves swapped across.
PX_TARGET_AVX2 void TurnBlocksAvx2(const Turn& t) {
    t.Blocks<8>([&t](size_t y, size_t x) PX_TARGET_AVX2 {
        __m256i r[8];
        for (size_t i = 0; i < 8; ++i) r[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t.From(x, y + i)));
        __m256i u[8];
        for (size_t i = 0; i < 8; i += 4) {
            const __m256i a = _mm256_unpacklo_epi32(r[i], r[i + 1]), b = _mm256_unpacklo_epi32(r[i + 2], r[i + 3]);
            const __m256i c = _mm256_unpackhi_epi32(r[i], r[i + 1]), d = _mm256_unpackhi_epi32(r[i + 2], r[i + 3]);
            u[i] = _mm256_unpacklo_epi64(a, b);
            u[i + 1] = _mm256_unpackhi_epi64(a, b);
            u[i + 2] = _mm256_unpacklo_epi64(c, d);
            u[i + 3] = _mm256_unpackhi_epi64(c, d);
        }
        // u[k] (k < 4) holds column k of rows 0-3 in its low half and column k + 4 in its high half; u[k + 4] rows 4-7.
        for (size_t k = 0; k < 4; ++k) {
            const __m256i low = _mm256_permute2x128_si256(u[k], u[k + 4], 0x20);
            const __m256i high = _mm256_permute2x128_si256(u[k], u[k + 4], 0x31);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(t.To(x + k, y)), low);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(t.To(x + k + 4, y)), high);
        }
    });
}

}  // namespace

int32_t Dib32ImageSize(int32_t width, int32_t height) {
    const int32_t rowBytes = CheckedInt32(int64_t{width} * 4);
    return CheckedInt32(int64_t{rowBytes} * height);
}

FitRect GetBestFitInfo(int32_t width, int32_t height, int32_t destWidth, int32_t destHeight, bool stretchToFit) {
    FitRect r;
    if (destWidth < width || destHeight < height || stretchToFit) {
        const float rx = static_cast<float>(static_cast<double>(destWidth) / width);
        const float ry = static_cast<float>(static_cast<double>(destHeight) / height);
        if (rx >= ry) {
            r.height = destHeight;
            r.width = RoundHalfEven(static_cast<double>(ry) * width);
        } else {
            r.width = destWidth;
            r.height = RoundHalfEven(static_cast<double>(rx) * height);
        }
    } else {
        r.width = width;
        r.height = height;
    }
    r.x = TruncDiv(destWidth - r.width, 2);
    r.y = TruncDiv(destHeight - r.height, 2);
    return r;
}

void MirrorLeftRight(const Pixels32& picture) {
    const View2D<uint8_t> v = picture.view();
    const size_t w = static_cast<size_t>(picture.width);
    const SimdLevel level = ActiveSimdLevel();
    for (size_t y = 0; y < v.height(); ++y) {
        uint8_t* row = v.row(y).data();
        switch (level) {
            case SimdLevel::Avx2: MirrorRowAvx2(row, w); break;
            case SimdLevel::Sse2: MirrorRowSse2(row, w); break;
            default: MirrorRowFrom(row, w, 0); break;
        }
    }
}

void MirrorTopBottom(const Pixels32& picture) {
    const View2D<uint8_t> v = picture.view();
    const size_t h = v.height();
    for (size_t y = 0; y < h / 2; ++y) {
        const std::span<uint8_t> a = v.row(y);
        const std::span<uint8_t> b = v.row(h - 1 - y);
        std::swap_ranges(a.begin(), a.end(), b.begin());
    }
}

void ApplyOrientationMirrors(const Pixels32& picture, bool rotate, bool flipHorizontal, bool flipVertical) {
    if (!rotate) {
        if (flipHorizontal) MirrorLeftRight(picture);
        if (flipVertical) MirrorTopBottom(picture);
    } else {
        if (flipVertical) MirrorLeftRight(picture);
        if (flipHorizontal) MirrorTopBottom(picture);
    }
}

void RotateQuarterAnticlockwise(const Pixels32& source, const Pixels32& target) {
    if (source.empty()) return;
    if (target.width != source.height || target.height != source.width)
        throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");
    const View2D<uint8_t> s = source.view();
    const View2D<uint8_t> t = target.view();
    const size_t w = static_cast<size_t>(source.width);
    const size_t h = s.height();
    const Turn turn{s.row(0).data(), t.row(0).data(), w, h};
    switch (ActiveSimdLevel()) {
        case SimdLevel::Avx2: TurnBlocksAvx2(turn); break;
        case SimdLevel::Sse2: TurnBlocksSse2(turn); break;
        default: turn.Pixels(0, h, 0, w); break;
    }
}

void Noise(const Pixels32& picture, int32_t level, int32_t step, UniformRandom& random) {
    if (picture.empty()) return;
    const int32_t span = CheckedInt32(int64_t{level} * 2);
    if (step < 1) throw Error(ErrorNumber::InvalidPropertyValue, "", "Invalid property value");
    const View2D<uint8_t> v = picture.view();
    const size_t s = static_cast<size_t>(step);
    for (size_t y = 0; y < v.height(); y += s) {
        uint8_t* row = v.row(y).data();
        for (size_t x = 0; x < static_cast<size_t>(picture.width); x += s) {
            const int32_t d = RoundHalfEven(random.Next() * span - level);
            uint8_t* p = row + 4 * x;
            for (int c = 0; c < 3; ++c) p[c] = ClampByte(p[c] + d);
        }
    }
}

}  // namespace px
