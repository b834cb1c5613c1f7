#include "export/core/JpegKernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "export/core/JpegColor.h"


namespace px::jpeg {

// ---------------------------------------------------------------------------
// Scalar reference: every step as the vector versions take it (32-bit sums,
// arithmetic shifts, saturation to 16 bits, single-precision products in the
// same order), so all versions give the same bits.
namespace scalar {
namespace {

using namespace weights;

int16_t Saturate16(int32_t v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

template <int Shift>
int16_t Weigh(int32_t r, int32_t g, int32_t b, int16_t wr, int16_t wg, int16_t wb, int16_t wconst) {
    const int32_t sum = (r * wr + g * wg) + (b * wb + (1 << (Shift - 1)) * wconst);
    return Saturate16(sum >> Shift);
}

constexpr int kShift = 15 - kSampleFractionBits;

void ConvertPixel(const uint8_t* p, int16_t* y, int16_t* cb, int16_t* cr) {
    const int b = p[0], g = p[1], r = p[2];
    if (y) *y = Weigh<kShift>(r, g, b, kYR, kYG, kYB, kYConst);
    if (cb) *cb = Weigh<kShift>(r, g, b, kCbR, kCbG, kCbB, kChromaConst);
    if (cr) *cr = Weigh<kShift>(r, g, b, kCrR, kCrG, kCrB, kChromaConst);
}

// Seven lines of the 8-point flow graph, the same products and sums as the vector versions.
void Aan8(float* d, size_t step) {
    const float c0_707 = 0.707106781f, c0_382 = 0.382683433f, c0_541 = 0.541196100f, c1_306 = 1.306562965f;
    float x[8];
    for (int i = 0; i < 8; ++i) x[i] = d[i * step];
    const float s07 = x[0] + x[7], d07 = x[0] - x[7];
    const float s16 = x[1] + x[6], d16 = x[1] - x[6];
    const float s25 = x[2] + x[5], d25 = x[2] - x[5];
    const float s34 = x[3] + x[4], d34 = x[3] - x[4];
    const float e0 = s07 + s34, e3 = s07 - s34;
    const float e1 = s16 + s25, e2 = s16 - s25;
    d[0] = e0 + e1;
    d[4 * step] = e0 - e1;
    const float z1 = (e2 + e3) * c0_707;
    d[2 * step] = e3 + z1;
    d[6 * step] = e3 - z1;
    const float o0 = d34 + d25, o1 = d25 + d16, o2 = d16 + d07;
    const float z5 = (o0 - o2) * c0_382;
    const float z2 = o0 * c0_541 + z5;
    const float z4 = o2 * c1_306 + z5;
    const float z3 = o1 * c0_707;
    const float z11 = d07 + z3, z13 = d07 - z3;
    d[5 * step] = z13 + z2;
    d[3 * step] = z13 - z2;
    d[1 * step] = z11 + z4;
    d[7 * step] = z11 - z4;
}

int16_t Quantize(float coefficient, float multiplier, float keepFrom, int low) {
    float steps = coefficient * multiplier;
    if (!(std::fabs(steps) >= keepFrom)) steps = 0.0f;
    const long rounded = std::lrint(steps);  // ties to even, as the processor's default
    return static_cast<int16_t>(std::clamp<long>(Saturate16(static_cast<int32_t>(rounded)), low, kMaxCoefficient));
}

}  // namespace

void ConvertRow444(const uint8_t* bgr, size_t chunks, int16_t* y, int16_t* cb, int16_t* cr) {
    for (size_t i = 0; i < chunks * kPixelsPerChunk; ++i) ConvertPixel(bgr + 3 * i, y + i, cb + i, cr + i);
}

void ConvertRow420(const uint8_t* bgr, size_t fullChunks, const uint8_t* tail, int16_t* y, int16_t* cbRow,
                   int16_t* crRow) {
    const size_t chunks = fullChunks + (tail ? 1 : 0);
    const ptrdiff_t n = static_cast<ptrdiff_t>(chunks * kPixelsPerChunk);
    auto pixel = [&](ptrdiff_t k) {
        k = std::clamp<ptrdiff_t>(k, 0, n - 1);
        const size_t chunk = static_cast<size_t>(k) / kPixelsPerChunk;
        return (chunk < fullChunks ? bgr + 48 * chunk : tail) + 3 * (k % kPixelsPerChunk);
    };
    constexpr int kRowShift = 15 + 4 - kChromaRowBits;
    for (ptrdiff_t m = 0; m < n / 2; ++m) {
        int32_t f[3];
        for (int c = 0; c < 3; ++c) {
            const int inner = pixel(2 * m)[c] + pixel(2 * m + 1)[c];
            f[c] = 9 * inner - (pixel(2 * m - 2)[c] + pixel(2 * m + 3)[c]);
        }
        cbRow[m] = Weigh<kRowShift>(f[2], f[1], f[0], kCbR, kCbG, kCbB, kChromaConst);
        crRow[m] = Weigh<kRowShift>(f[2], f[1], f[0], kCrR, kCrG, kCrB, kChromaConst);
        if (y) {
            ConvertPixel(pixel(2 * m), y + 2 * m, nullptr, nullptr);
            ConvertPixel(pixel(2 * m + 1), y + 2 * m + 1, nullptr, nullptr);
        }
    }
}

void CombineChromaRows(const int16_t* above, const int16_t* row0, const int16_t* row1, const int16_t* below,
                       size_t count, int16_t* out) {
    constexpr int kShift = kChromaRowBits + 4 - kSampleFractionBits;
    for (size_t i = 0; i < count; ++i) {
        const int16_t inner = static_cast<int16_t>(row0[i] + row1[i]);
        const int16_t outer = static_cast<int16_t>(above[i] + below[i]);
        out[i] = Saturate16((9 * inner - outer + (1 << (kShift - 1))) >> kShift);
    }
}

uint64_t ForwardDctQuantize(const int16_t* src, size_t stride, const Quantizer& quantizer, int16_t* out) {
    bool flat = true;
    for (int r = 0; r < 8 && flat; ++r)
        for (int c = 0; c < 8; ++c) flat = flat && src[r * stride + c] == src[0];
    if (flat) {
        std::memset(out, 0, 64 * sizeof(int16_t));
        const long dc = std::lrint(64.0f * src[0] * quantizer.multipliers[0]);
        out[0] = static_cast<int16_t>(std::clamp<long>(dc, kMinDc, kMaxCoefficient));
        return out[0] != 0 ? 1 : 0;
    }
    float d[64];  // row-major while going down the columns
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) d[r * 8 + c] = src[r * stride + c];
    for (int c = 0; c < 8; ++c) Aan8(d + c, 8);  // vertical
    for (int v = 0; v < 8; ++v) Aan8(d + v * 8, 1);  // horizontal: d[v * 8 + u]
    uint64_t mask = 0;
    for (int u = 0; u < 8; ++u) {
        for (int v = 0; v < 8; ++v) {
            const int t = u * 8 + v;
            out[t] = Quantize(d[v * 8 + u], quantizer.multipliers[t], quantizer.keepFrom[t], t == 0 ? kMinDc : -kMaxCoefficient);
            if (out[t] != 0) mask |= uint64_t{1} << t;
        }
    }
    return mask;
}

}  // namespace scalar

// ---------------------------------------------------------------------------
namespace {

constexpr Kernels kScalar{scalar::ConvertRow444, scalar::ConvertRow420, scalar::CombineChromaRows,
                          scalar::ForwardDctQuantize};
constexpr Kernels kSse2{ConvertRow444, ConvertRow420, CombineChromaRows, ForwardDctQuantize};
constexpr Kernels kAvx2{avx2::ConvertRow444, avx2::ConvertRow420, avx2::CombineChromaRows, avx2::ForwardDctQuantize};

}  // namespace

const Kernels& KernelsFor(SimdLevel level) {
    level = std::min(level, SupportedSimdLevel());
    switch (level) {
        case SimdLevel::Scalar: return kScalar;
        case SimdLevel::Avx2: return kAvx2;
        default: return kSse2;
    }
}

}  // namespace px::jpeg
