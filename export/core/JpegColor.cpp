#include "export/core/JpegColor.h"

#include <emmintrin.h>

namespace px::jpeg {
namespace {

using namespace weights;

// The products are shifted right by 12 (15 weight bits less 3 fraction bits);
// blue is paired with a constant 2048 word so one multiply-add also brings
// the rounding term and, for Y, the level shift: 2048 * -2047 = -128 * 32768 + 2048.
constexpr int kShift = 15 - kSampleFractionBits;
constexpr int16_t kConstWord = 1 << (kShift - 1);
static_assert(kConstWord * -2047 == -128 * 32768 + kConstWord);

struct Weights {
    __m128i rg;  // (wR, wG) pairs
    __m128i b1;  // (wB, wConst) pairs
};

inline Weights MakeWeights(int16_t wr, int16_t wg, int16_t wb, int16_t wconst) {
    return {_mm_setr_epi16(wr, wg, wr, wg, wr, wg, wr, wg), _mm_setr_epi16(wb, wconst, wb, wconst, wb, wconst, wb, wconst)};
}

// 8 samples from 8 red, green and blue words: the weighted sum, rounded and
// shifted right by `Shift` (the constant word is 1 << (Shift - 1)).
template <int Shift = kShift>
inline __m128i Weigh(__m128i r, __m128i g, __m128i b, const Weights& w) {
    const __m128i k = _mm_set1_epi16(1 << (Shift - 1));
    __m128i lo = _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(r, g), w.rg), _mm_madd_epi16(_mm_unpacklo_epi16(b, k), w.b1));
    __m128i hi = _mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(r, g), w.rg), _mm_madd_epi16(_mm_unpackhi_epi16(b, k), w.b1));
    return _mm_packs_epi32(_mm_srai_epi32(lo, Shift), _mm_srai_epi32(hi, Shift));
}

// One step of the perfect shuffle of 48 bytes: byte i of the sequence moves to
// 2i (first half) or 2(i - 24) + 1 (second half).
inline void Shuffle48(__m128i& a, __m128i& b, __m128i& c) {
    __m128i x = _mm_unpackhi_epi8(_mm_slli_si128(a, 8), b);
    __m128i y = _mm_unpacklo_epi8(_mm_srli_si128(a, 8), c);
    __m128i z = _mm_unpackhi_epi8(_mm_slli_si128(b, 8), c);
    a = x;
    b = y;
    c = z;
}

// 16 interleaved pixels split into blue, green and red words of the even
// pixels (0, 2, .. 14) and of the odd ones. Three shuffle steps leave the bytes
// as B-even G-even | R-even B-odd | G-odd R-odd.
struct Planes {
    __m128i be, ge, re, bo, go, ro;
};

inline Planes Deinterleave(const uint8_t* p) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
    Shuffle48(a, b, c);
    Shuffle48(a, b, c);
    Shuffle48(a, b, c);
    const __m128i zero = _mm_setzero_si128();
    return {_mm_unpacklo_epi8(a, zero), _mm_unpackhi_epi8(a, zero), _mm_unpacklo_epi8(b, zero),
            _mm_unpackhi_epi8(b, zero), _mm_unpacklo_epi8(c, zero), _mm_unpackhi_epi8(c, zero)};
}

// Even and odd samples back into pixel order.
inline void StoreInterleaved(int16_t* out, __m128i even, __m128i odd) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(even, odd));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi16(even, odd));
}

}  // namespace

void ConvertRow444(const uint8_t* bgr, size_t chunks, int16_t* y, int16_t* cb, int16_t* cr) {
    const Weights wy = MakeWeights(kYR, kYG, kYB, -2047);
    const Weights wcb = MakeWeights(kCbR, kCbG, kCbB, 1);
    const Weights wcr = MakeWeights(kCrR, kCrG, kCrB, 1);
    for (size_t i = 0; i < chunks; ++i, bgr += 48, y += 16, cb += 16, cr += 16) {
        const Planes p = Deinterleave(bgr);
        StoreInterleaved(y, Weigh(p.re, p.ge, p.be, wy), Weigh(p.ro, p.go, p.bo, wy));
        StoreInterleaved(cb, Weigh(p.re, p.ge, p.be, wcb), Weigh(p.ro, p.go, p.bo, wcb));
        StoreInterleaved(cr, Weigh(p.re, p.ge, p.be, wcr), Weigh(p.ro, p.go, p.bo, wcr));
    }
}

void ConvertRow420(const uint8_t* bgr, size_t fullChunks, const uint8_t* tail, int16_t* y, int16_t* cbRow,
                   int16_t* crRow) {
    const Weights wy = MakeWeights(kYR, kYG, kYB, -2047);
    // Filtered red, green and blue carry 4 fraction bits (taps sum to 16);
    // the 15-bit weights and a shift of 13 leave kChromaRowBits.
    constexpr int kRowShift = 15 + 4 - kChromaRowBits;
    const Weights wcb = MakeWeights(kCbR, kCbG, kCbB, 1);
    const Weights wcr = MakeWeights(kCrR, kCrG, kCrB, 1);
    const size_t chunks = fullChunks + (tail ? 1 : 0);
    auto chunkAt = [&](size_t i) { return i < fullChunks ? bgr + 48 * i : tail; };

    Planes cur = Deinterleave(chunkAt(0));
    // Even pixels of the chunk before: its last lane stands for pixel -2,
    // a copy of pixel 0 at the left end.
    __m128i prevB = _mm_slli_si128(cur.be, 14), prevG = _mm_slli_si128(cur.ge, 14), prevR = _mm_slli_si128(cur.re, 14);
    for (size_t i = 0; i < chunks; ++i) {
        const bool last = i + 1 == chunks;
        const Planes next = last ? cur : Deinterleave(chunkAt(i + 1));
        // Odd pixel 2i + 3 for the last lane: lane 0 of the next chunk, or
        // past the right end a copy of the last pixel; kept in lane 7.
        auto nextOdd = [last](__m128i curOdd, __m128i nextChunkOdd) {
            return last ? _mm_slli_si128(_mm_srli_si128(curOdd, 14), 14) : _mm_slli_si128(nextChunkOdd, 14);
        };
        // 9 (x[2i] + x[2i+1]) - (x[2i-2] + x[2i+3]).
        auto filter = [](__m128i even, __m128i odd, __m128i prevEven, __m128i nextOddLane7) {
            const __m128i outer = _mm_add_epi16(_mm_or_si128(_mm_slli_si128(even, 2), _mm_srli_si128(prevEven, 14)),
                                                _mm_or_si128(_mm_srli_si128(odd, 2), nextOddLane7));
            const __m128i inner = _mm_add_epi16(even, odd);
            return _mm_sub_epi16(_mm_add_epi16(_mm_slli_epi16(inner, 3), inner), outer);
        };
        const __m128i fb = filter(cur.be, cur.bo, prevB, nextOdd(cur.bo, next.bo));
        const __m128i fg = filter(cur.ge, cur.go, prevG, nextOdd(cur.go, next.go));
        const __m128i fr = filter(cur.re, cur.ro, prevR, nextOdd(cur.ro, next.ro));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(cbRow + 8 * i), Weigh<kRowShift>(fr, fg, fb, wcb));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(crRow + 8 * i), Weigh<kRowShift>(fr, fg, fb, wcr));
        if (y) StoreInterleaved(y + 16 * i, Weigh(cur.re, cur.ge, cur.be, wy), Weigh(cur.ro, cur.go, cur.bo, wy));
        prevB = cur.be;
        prevG = cur.ge;
        prevR = cur.re;
        cur = next;
    }
}

void CombineChromaRows(const int16_t* above, const int16_t* row0, const int16_t* row1, const int16_t* below,
                       size_t count, int16_t* out) {
    // Taps sum to 16 again: 4 more fraction bits to drop, with rounding.
    constexpr int kShift = kChromaRowBits + 4 - kSampleFractionBits;
    const __m128i taps = _mm_setr_epi16(9, -1, 9, -1, 9, -1, 9, -1);
    const __m128i round = _mm_set1_epi32(1 << (kShift - 1));
    for (size_t i = 0; i < count; i += 8) {
        auto load = [i](const int16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)); };
        const __m128i inner = _mm_add_epi16(load(row0), load(row1));
        const __m128i outer = _mm_add_epi16(load(above), load(below));
        const __m128i lo = _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(inner, outer), taps), round);
        const __m128i hi = _mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(inner, outer), taps), round);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_packs_epi32(_mm_srai_epi32(lo, kShift), _mm_srai_epi32(hi, kShift)));
    }
}

}  // namespace px::jpeg
