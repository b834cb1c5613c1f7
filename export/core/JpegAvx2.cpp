// AVX2 versions of the encoder's inner loops: the SSE2 steps on 256-bit
// registers, two 16-pixel chunks (one in each 128-bit half) or a whole block
// row at a time. Compiled for AVX2 function by function, so the rest of the
// program keeps running on any x86-64 processor; called only after the
// processor has reported AVX2.
#include <immintrin.h>

#include <cstring>

#include "export/core/JpegColor.h"
#include "export/core/JpegKernels.h"

#define PX_AVX2 PX_TARGET_AVX2

namespace px::jpeg::avx2 {
namespace {

using namespace weights;

constexpr int kShift = 15 - kSampleFractionBits;

struct Weights {
    __m256i rg;  // (wR, wG) pairs
    __m256i b1;  // (wB, wConst) pairs
};

PX_AVX2 inline Weights MakeWeights(int16_t wr, int16_t wg, int16_t wb, int16_t wconst) {
    const int32_t rg = static_cast<int32_t>(static_cast<uint16_t>(wr)) | (static_cast<int32_t>(wg) << 16);
    const int32_t b1 = static_cast<int32_t>(static_cast<uint16_t>(wb)) | (static_cast<int32_t>(wconst) << 16);
    return {_mm256_set1_epi32(rg), _mm256_set1_epi32(b1)};
}

template <int Shift>
PX_AVX2 inline __m256i Weigh(__m256i r, __m256i g, __m256i b, const Weights& w) {
    const __m256i k = _mm256_set1_epi16(1 << (Shift - 1));
    const __m256i lo = _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(r, g), w.rg),
                                        _mm256_madd_epi16(_mm256_unpacklo_epi16(b, k), w.b1));
    const __m256i hi = _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(r, g), w.rg),
                                        _mm256_madd_epi16(_mm256_unpackhi_epi16(b, k), w.b1));
    return _mm256_packs_epi32(_mm256_srai_epi32(lo, Shift), _mm256_srai_epi32(hi, Shift));
}

PX_AVX2 inline void Shuffle48(__m256i& a, __m256i& b, __m256i& c) {
    const __m256i x = _mm256_unpackhi_epi8(_mm256_slli_si256(a, 8), b);
    const __m256i y = _mm256_unpacklo_epi8(_mm256_srli_si256(a, 8), c);
    const __m256i z = _mm256_unpackhi_epi8(_mm256_slli_si256(b, 8), c);
    a = x;
    b = y;
    c = z;
}

struct Planes {
    __m256i be, ge, re, bo, go, ro;
};

PX_AVX2 inline __m256i Load2(const uint8_t* first, const uint8_t* second) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(first))),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(second)), 1);
}

// Chunk `first` in the low halves, chunk `second` in the high ones.
PX_AVX2 inline Planes Deinterleave(const uint8_t* first, const uint8_t* second) {
    __m256i a = Load2(first, second), b = Load2(first + 16, second + 16), c = Load2(first + 32, second + 32);
    Shuffle48(a, b, c);
    Shuffle48(a, b, c);
    Shuffle48(a, b, c);
    const __m256i zero = _mm256_setzero_si256();
    return {_mm256_unpacklo_epi8(a, zero), _mm256_unpackhi_epi8(a, zero), _mm256_unpacklo_epi8(b, zero),
            _mm256_unpackhi_epi8(b, zero), _mm256_unpacklo_epi8(c, zero), _mm256_unpackhi_epi8(c, zero)};
}

// Even and odd samples of two chunks back into pixel order, 32 samples.
PX_AVX2 inline void StoreInterleaved(int16_t* out, __m256i even, __m256i odd) {
    const __m256i lo = _mm256_unpacklo_epi16(even, odd), hi = _mm256_unpackhi_epi16(even, odd);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute2x128_si256(lo, hi, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16), _mm256_permute2x128_si256(lo, hi, 0x31));
}

// 9 (x[2i] + x[2i+1]) - (x[2i-2] + x[2i+3]) for two chunks: `prevEven` holds
// in its high half the even pixels of the chunk before the pair, `nextOdd`
// in its low half the odd pixels of the chunk after it.
PX_AVX2 inline __m256i Filter(__m256i even, __m256i odd, __m256i prevEven, __m256i nextOdd) {
    const __m256i before = _mm256_permute2x128_si256(prevEven, even, 0x21);
    const __m256i after = _mm256_permute2x128_si256(odd, nextOdd, 0x21);
    const __m256i outer = _mm256_add_epi16(_mm256_alignr_epi8(even, before, 14), _mm256_alignr_epi8(after, odd, 2));
    const __m256i inner = _mm256_add_epi16(even, odd);
    return _mm256_sub_epi16(_mm256_add_epi16(_mm256_slli_epi16(inner, 3), inner), outer);
}

// Even pixels of the chunk before the first: its lane 7 (high half) stands
// for pixel -2, a copy of pixel 0.
PX_AVX2 inline __m256i BeforeFirst(__m256i even) {
    return _mm256_slli_si256(_mm256_permute2x128_si256(even, even, 0x00), 14);
}
// Odd pixels of the chunk after the last: lane 0 (low half) a copy of the last odd pixel.
PX_AVX2 inline __m256i AfterLast(__m256i odd) {
    return _mm256_srli_si256(_mm256_permute2x128_si256(odd, odd, 0x11), 14);
}

PX_AVX2 inline __m256i Load16(const int16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

// ---------------------------------------------------------------------------
PX_AVX2 inline void Aan8(__m256* d) {
    const __m256 c0_707 = _mm256_set1_ps(0.707106781f);
    const __m256 c0_382 = _mm256_set1_ps(0.382683433f);
    const __m256 c0_541 = _mm256_set1_ps(0.541196100f);
    const __m256 c1_306 = _mm256_set1_ps(1.306562965f);
    const __m256 s07 = _mm256_add_ps(d[0], d[7]), d07 = _mm256_sub_ps(d[0], d[7]);
    const __m256 s16 = _mm256_add_ps(d[1], d[6]), d16 = _mm256_sub_ps(d[1], d[6]);
    const __m256 s25 = _mm256_add_ps(d[2], d[5]), d25 = _mm256_sub_ps(d[2], d[5]);
    const __m256 s34 = _mm256_add_ps(d[3], d[4]), d34 = _mm256_sub_ps(d[3], d[4]);
    const __m256 e0 = _mm256_add_ps(s07, s34), e3 = _mm256_sub_ps(s07, s34);
    const __m256 e1 = _mm256_add_ps(s16, s25), e2 = _mm256_sub_ps(s16, s25);
    d[0] = _mm256_add_ps(e0, e1);
    d[4] = _mm256_sub_ps(e0, e1);
    const __m256 z1 = _mm256_mul_ps(_mm256_add_ps(e2, e3), c0_707);
    d[2] = _mm256_add_ps(e3, z1);
    d[6] = _mm256_sub_ps(e3, z1);
    const __m256 o0 = _mm256_add_ps(d34, d25);
    const __m256 o1 = _mm256_add_ps(d25, d16);
    const __m256 o2 = _mm256_add_ps(d16, d07);
    const __m256 z5 = _mm256_mul_ps(_mm256_sub_ps(o0, o2), c0_382);
    const __m256 z2 = _mm256_add_ps(_mm256_mul_ps(o0, c0_541), z5);
    const __m256 z4 = _mm256_add_ps(_mm256_mul_ps(o2, c1_306), z5);
    const __m256 z3 = _mm256_mul_ps(o1, c0_707);
    const __m256 z11 = _mm256_add_ps(d07, z3), z13 = _mm256_sub_ps(d07, z3);
    d[5] = _mm256_add_ps(z13, z2);
    d[3] = _mm256_sub_ps(z13, z2);
    d[1] = _mm256_add_ps(z11, z4);
    d[7] = _mm256_sub_ps(z11, z4);
}

PX_AVX2 inline void Transpose8(__m256* r) {
    __m256 t[8], u[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = _mm256_unpacklo_ps(r[i], r[i + 1]);
        t[i + 1] = _mm256_unpackhi_ps(r[i], r[i + 1]);
    }
    for (int i = 0; i < 8; i += 4) {
        u[i] = _mm256_shuffle_ps(t[i], t[i + 2], 0x44);
        u[i + 1] = _mm256_shuffle_ps(t[i], t[i + 2], 0xEE);
        u[i + 2] = _mm256_shuffle_ps(t[i + 1], t[i + 3], 0x44);
        u[i + 3] = _mm256_shuffle_ps(t[i + 1], t[i + 3], 0xEE);
    }
    for (int i = 0; i < 4; ++i) {
        r[i] = _mm256_permute2f128_ps(u[i], u[i + 4], 0x20);
        r[i + 4] = _mm256_permute2f128_ps(u[i], u[i + 4], 0x31);
    }
}

PX_AVX2 inline __m256i Quantize(__m256 coefficients, const float* multipliers, const float* keepFrom) {
    const __m256 steps = _mm256_mul_ps(coefficients, _mm256_loadu_ps(multipliers));
    const __m256 magnitude = _mm256_and_ps(steps, _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF)));
    return _mm256_cvtps_epi32(_mm256_and_ps(steps, _mm256_cmp_ps(magnitude, _mm256_loadu_ps(keepFrom), _CMP_GE_OQ)));
}

}  // namespace

PX_AVX2 void ConvertRow444(const uint8_t* bgr, size_t chunks, int16_t* y, int16_t* cb, int16_t* cr) {
    const Weights wy = MakeWeights(kYR, kYG, kYB, kYConst);
    const Weights wcb = MakeWeights(kCbR, kCbG, kCbB, kChromaConst);
    const Weights wcr = MakeWeights(kCrR, kCrG, kCrB, kChromaConst);
    size_t i = 0;
    for (; i + 2 <= chunks; i += 2, bgr += 96, y += 32, cb += 32, cr += 32) {
        const Planes p = Deinterleave(bgr, bgr + 48);
        StoreInterleaved(y, Weigh<kShift>(p.re, p.ge, p.be, wy), Weigh<kShift>(p.ro, p.go, p.bo, wy));
        StoreInterleaved(cb, Weigh<kShift>(p.re, p.ge, p.be, wcb), Weigh<kShift>(p.ro, p.go, p.bo, wcb));
        StoreInterleaved(cr, Weigh<kShift>(p.re, p.ge, p.be, wcr), Weigh<kShift>(p.ro, p.go, p.bo, wcr));
    }
    if (i < chunks) px::jpeg::ConvertRow444(bgr, 1, y, cb, cr);
}

PX_AVX2 void ConvertRow420(const uint8_t* bgr, size_t fullChunks, const uint8_t* tail, int16_t* y, int16_t* cbRow,
                           int16_t* crRow) {
    const Weights wy = MakeWeights(kYR, kYG, kYB, kYConst);
    constexpr int kRowShift = 15 + 4 - kChromaRowBits;
    const Weights wcb = MakeWeights(kCbR, kCbG, kCbB, kChromaConst);
    const Weights wcr = MakeWeights(kCrR, kCrG, kCrB, kChromaConst);
    const size_t chunks = fullChunks + (tail ? 1 : 0);
    // An odd count is made even with a chunk of copies of the last pixel,
    // which is what the filter takes past the end anyway; its outputs are dropped.
    const size_t pairs = (chunks + 1) / 2;
    const uint8_t* last = (chunks - 1 < fullChunks ? bgr + 48 * (chunks - 1) : tail) + 45;
    uint8_t copies[48];
    for (int k = 0; k < 16; ++k) std::memcpy(copies + 3 * k, last, 3);
    auto chunkAt = [&](size_t i) { return i < fullChunks ? bgr + 48 * i : i < chunks ? tail : copies; };

    Planes cur = Deinterleave(chunkAt(0), chunkAt(1));
    __m256i prevB = BeforeFirst(cur.be), prevG = BeforeFirst(cur.ge), prevR = BeforeFirst(cur.re);
    for (size_t p = 0; p < pairs; ++p) {
        const bool lastPair = p + 1 == pairs;
        const Planes next = lastPair ? Planes{cur.be, cur.ge, cur.re, AfterLast(cur.bo), AfterLast(cur.go), AfterLast(cur.ro)}
                                     : Deinterleave(chunkAt(2 * p + 2), chunkAt(2 * p + 3));
        const __m256i fb = Filter(cur.be, cur.bo, prevB, next.bo);
        const __m256i fg = Filter(cur.ge, cur.go, prevG, next.go);
        const __m256i fr = Filter(cur.re, cur.ro, prevR, next.ro);
        const __m256i cb = Weigh<kRowShift>(fr, fg, fb, wcb), cr = Weigh<kRowShift>(fr, fg, fb, wcr);
        const bool whole = 2 * p + 2 <= chunks;
        if (whole) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(cbRow + 16 * p), cb);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(crRow + 16 * p), cr);
        } else {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(cbRow + 16 * p), _mm256_castsi256_si128(cb));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(crRow + 16 * p), _mm256_castsi256_si128(cr));
        }
        if (y) {
            const __m256i ye = Weigh<kShift>(cur.re, cur.ge, cur.be, wy), yo = Weigh<kShift>(cur.ro, cur.go, cur.bo, wy);
            if (whole) {
                StoreInterleaved(y + 32 * p, ye, yo);
            } else {
                alignas(32) int16_t both[32];
                StoreInterleaved(both, ye, yo);
                std::memcpy(y + 32 * p, both, 16 * sizeof(int16_t));
            }
        }
        prevB = cur.be;
        prevG = cur.ge;
        prevR = cur.re;
        cur = next;
    }
}

PX_AVX2 void CombineChromaRows(const int16_t* above, const int16_t* row0, const int16_t* row1, const int16_t* below,
                               size_t count, int16_t* out) {
    constexpr int kCombineShift = kChromaRowBits + 4 - kSampleFractionBits;
    const __m256i taps = _mm256_set1_epi32((static_cast<int32_t>(-1) << 16) | 9);
    const __m256i round = _mm256_set1_epi32(1 << (kCombineShift - 1));
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m256i inner = _mm256_add_epi16(Load16(row0 + i), Load16(row1 + i));
        const __m256i outer = _mm256_add_epi16(Load16(above + i), Load16(below + i));
        const __m256i lo = _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(inner, outer), taps), round);
        const __m256i hi = _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(inner, outer), taps), round);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            _mm256_packs_epi32(_mm256_srai_epi32(lo, kCombineShift), _mm256_srai_epi32(hi, kCombineShift)));
    }
    if (i < count) px::jpeg::CombineChromaRows(above + i, row0 + i, row1 + i, below + i, count - i, out + i);
}

PX_AVX2 uint64_t ForwardDctQuantize(const int16_t* src, size_t stride, const Quantizer& quantizer, int16_t* out) {
    __m128i rows[8];
    for (int r = 0; r < 8; ++r) rows[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + r * stride));
    const __m128i first = _mm_set1_epi16(src[0]);
    __m128i same = _mm_cmpeq_epi16(rows[0], first);
    for (int r = 1; r < 8; ++r) same = _mm_and_si128(same, _mm_cmpeq_epi16(rows[r], first));
    if (_mm_movemask_epi8(same) == 0xFFFF) {
        for (int i = 0; i < 64; i += 16) _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_setzero_si256());
        out[0] = FlatBlockDc(src[0], quantizer);
        return out[0] != 0 ? 1 : 0;
    }

    __m256 d[8];
    for (int r = 0; r < 8; ++r) d[r] = _mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(rows[r]));
    Aan8(d);  // down the columns: d[v] holds vertical frequency v of the 8 columns
    Transpose8(d);
    Aan8(d);  // across: d[u] holds horizontal frequency u, vertical frequencies in its lanes

    const __m256i high = _mm256_set1_epi16(kMaxCoefficient);
    const __m256i acLow = _mm256_set1_epi16(-kMaxCoefficient);
    const __m256i dcLow = _mm256_insert_epi16(acLow, kMinDc, 0);
    const __m256i zero = _mm256_setzero_si256();
    const float* m = quantizer.multipliers.data();
    const float* keep = quantizer.keepFrom.data();
    uint64_t zeroMask = 0;
    for (int half = 0; half < 2; ++half) {
        __m256i q[2];
        for (int k = 0; k < 2; ++k) {
            const int u = half * 4 + k * 2;
            const __m256i a = Quantize(d[u], m + u * 8, keep + u * 8);
            const __m256i b = Quantize(d[u + 1], m + u * 8 + 8, keep + u * 8 + 8);
            const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(a, b), 0xD8);
            q[k] = _mm256_min_epi16(_mm256_max_epi16(packed, u == 0 ? dcLow : acLow), high);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + u * 8), q[k]);
        }
        const __m256i z = _mm256_permute4x64_epi64(
            _mm256_packs_epi16(_mm256_cmpeq_epi16(q[0], zero), _mm256_cmpeq_epi16(q[1], zero)), 0xD8);
        zeroMask |= static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(z))) << (half * 32);
    }
    return ~zeroMask;
}

}  // namespace px::jpeg::avx2
