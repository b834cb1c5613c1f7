#include "export/core/JpegDct.h"

#include <emmintrin.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "export/core/JpegColor.h"

namespace px::jpeg {
namespace {

// One 8-point transform along the array, 4 independent lanes at a time. The
// outputs are the DCT coefficients times 2 * sqrt(2) * cos(k * pi / 16) for
// k > 0 and times 2 * sqrt(2) for k = 0 (8 over the two dimensions): those
// factors go into the quantisation multipliers.
inline void Aan8(__m128* d) {
    const __m128 c0_707 = _mm_set1_ps(0.707106781f);
    const __m128 c0_382 = _mm_set1_ps(0.382683433f);
    const __m128 c0_541 = _mm_set1_ps(0.541196100f);
    const __m128 c1_306 = _mm_set1_ps(1.306562965f);

    const __m128 s07 = _mm_add_ps(d[0], d[7]), d07 = _mm_sub_ps(d[0], d[7]);
    const __m128 s16 = _mm_add_ps(d[1], d[6]), d16 = _mm_sub_ps(d[1], d[6]);
    const __m128 s25 = _mm_add_ps(d[2], d[5]), d25 = _mm_sub_ps(d[2], d[5]);
    const __m128 s34 = _mm_add_ps(d[3], d[4]), d34 = _mm_sub_ps(d[3], d[4]);

    // Even part.
    const __m128 e0 = _mm_add_ps(s07, s34), e3 = _mm_sub_ps(s07, s34);
    const __m128 e1 = _mm_add_ps(s16, s25), e2 = _mm_sub_ps(s16, s25);
    d[0] = _mm_add_ps(e0, e1);
    d[4] = _mm_sub_ps(e0, e1);
    const __m128 z1 = _mm_mul_ps(_mm_add_ps(e2, e3), c0_707);
    d[2] = _mm_add_ps(e3, z1);
    d[6] = _mm_sub_ps(e3, z1);

    // Odd part.
    const __m128 o0 = _mm_add_ps(d34, d25);
    const __m128 o1 = _mm_add_ps(d25, d16);
    const __m128 o2 = _mm_add_ps(d16, d07);
    const __m128 z5 = _mm_mul_ps(_mm_sub_ps(o0, o2), c0_382);
    const __m128 z2 = _mm_add_ps(_mm_mul_ps(o0, c0_541), z5);
    const __m128 z4 = _mm_add_ps(_mm_mul_ps(o2, c1_306), z5);
    const __m128 z3 = _mm_mul_ps(o1, c0_707);
    const __m128 z11 = _mm_add_ps(d07, z3), z13 = _mm_sub_ps(d07, z3);
    d[5] = _mm_add_ps(z13, z2);
    d[3] = _mm_sub_ps(z13, z2);
    d[1] = _mm_add_ps(z11, z4);
    d[7] = _mm_sub_ps(z11, z4);
}

inline void Transpose4(__m128& a, __m128& b, __m128& c, __m128& d) {
    const __m128 t0 = _mm_unpacklo_ps(a, b), t1 = _mm_unpacklo_ps(c, d);
    const __m128 t2 = _mm_unpackhi_ps(a, b), t3 = _mm_unpackhi_ps(c, d);
    a = _mm_movelh_ps(t0, t1);
    b = _mm_movehl_ps(t1, t0);
    c = _mm_movelh_ps(t2, t3);
    d = _mm_movehl_ps(t3, t2);
}

// Rounds to the nearest step (ties to even), values below `keepFrom` in magnitude to 0.
inline __m128i Quantize(__m128 steps, __m128 keepFrom) {
    const __m128 magnitude = _mm_and_ps(steps, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)));
    return _mm_cvtps_epi32(_mm_and_ps(steps, _mm_cmpge_ps(magnitude, keepFrom)));
}


double AanScale(int k) { return k == 0 ? 1.0 : std::numbers::sqrt2 * std::cos(k * std::numbers::pi / 16.0); }

}  // namespace

Quantizer MakeQuantizer(const std::array<uint8_t, 64>& quant, const std::array<float, 64>& keepFrom) {
    Quantizer q;
    const double sampleScale = 1 << kSampleFractionBits;
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            const int i = v * 8 + u;
            const double divisor = quant[i] * 8.0 * sampleScale * AanScale(u) * AanScale(v);
            q.multipliers[TransformIndex(i)] = static_cast<float>(1.0 / divisor);
            q.keepFrom[TransformIndex(i)] = i == 0 ? 0.0f : keepFrom[i];
        }
    }
    return q;
}

uint64_t ForwardDctQuantize(const int16_t* src, size_t stride, const Quantizer& quantizer, int16_t* out) {
    __m128i rows[8];
    for (int r = 0; r < 8; ++r) rows[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + r * stride));

    // Flat blocks (window backgrounds, most of a screenshot's colour) have
    // only a DC term, 64 times the sample: the same result the transform
    // gives, since it adds and scales the equal samples exactly.
    const __m128i first = _mm_set1_epi16(src[0]);
    __m128i same = _mm_cmpeq_epi16(rows[0], first);
    for (int r = 1; r < 8; ++r) same = _mm_and_si128(same, _mm_cmpeq_epi16(rows[r], first));
    if (_mm_movemask_epi8(same) == 0xFFFF) {
        std::memset(out, 0, 64 * sizeof(int16_t));
        out[0] = FlatBlockDc(src[0], quantizer);
        return out[0] != 0 ? 1 : 0;
    }

    // left[r] and right[r]: columns 0-3 and 4-7 of row r.
    __m128 left[8], right[8];
    for (int r = 0; r < 8; ++r) {
        left[r] = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(rows[r], rows[r]), 16));
        right[r] = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpackhi_epi16(rows[r], rows[r]), 16));
    }
    // Down the columns, then transpose and down the columns again.
    Aan8(left);
    Aan8(right);
    __m128 a[8] = {left[0], left[1], left[2], left[3], right[0], right[1], right[2], right[3]};
    __m128 b[8] = {left[4], left[5], left[6], left[7], right[4], right[5], right[6], right[7]};
    Transpose4(a[0], a[1], a[2], a[3]);
    Transpose4(a[4], a[5], a[6], a[7]);
    Transpose4(b[0], b[1], b[2], b[3]);
    Transpose4(b[4], b[5], b[6], b[7]);
    // a[u]: vertical frequencies 0-3 of horizontal frequency u; b[u]: 4-7.
    Aan8(a);
    Aan8(b);

    const __m128i zero = _mm_setzero_si128();
    const __m128i high = _mm_set1_epi16(kMaxCoefficient);
    const __m128i acLow = _mm_set1_epi16(-kMaxCoefficient);
    const __m128i dcLow = _mm_insert_epi16(acLow, kMinDc, 0);
    uint64_t zeroMask = 0;
    for (int u = 0; u < 8; u += 2) {
        __m128i q[2];
        for (int k = 0; k < 2; ++k) {
            const float* m = quantizer.multipliers.data() + (u + k) * 8;
            const float* keep = quantizer.keepFrom.data() + (u + k) * 8;
            const __m128i lo = Quantize(_mm_mul_ps(a[u + k], _mm_loadu_ps(m)), _mm_loadu_ps(keep));
            const __m128i hi = Quantize(_mm_mul_ps(b[u + k], _mm_loadu_ps(m + 4)), _mm_loadu_ps(keep + 4));
            // Baseline limits: the filtered chroma may overshoot the sample range.
            q[k] = _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(lo, hi), u + k == 0 ? dcLow : acLow), high);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (u + k) * 8), q[k]);
        }
        const __m128i z = _mm_packs_epi16(_mm_cmpeq_epi16(q[0], zero), _mm_cmpeq_epi16(q[1], zero));
        zeroMask |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(z))) << (u * 8);
    }
    return ~zeroMask;
}

}  // namespace px::jpeg
