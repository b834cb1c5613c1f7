#include "export/core/ColourDiffusion.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "imaging/core/CpuFeatures.h"

namespace px {
namespace {

// Inlined into both the SSE2 and the AVX2 entry, which compile it for their own instruction set.
#if defined(__GNUC__) || defined(__clang__)
#define PX_STEP_INLINE inline __attribute__((always_inline))
#else
#define PX_STEP_INLINE __forceinline
#endif

// A pixel's lookup index is the sum of its three weighted levels; the index
// then gives the entry and the entry's palette word (all four bytes).
struct MapTables {
    uint16_t blue[256];
    uint16_t green[256];
    uint16_t red[256];
    uint32_t colour[4096];
    const uint8_t* entry;

    explicit MapTables(const DiffusionTables& t) : entry(t.lookup) {
        const uint8_t* palette = t.palette;
        const uint8_t* lookup = t.lookup;
        const uint8_t* level = t.level;
        for (size_t v = 0; v < 256; ++v) {
            blue[v] = static_cast<uint16_t>(level[v] * 256);
            green[v] = static_cast<uint16_t>(level[v] * 16);
            red[v] = level[v];
        }
        for (size_t i = 0; i < 4096; ++i) std::memcpy(&colour[i], &palette[size_t{lookup[i]} * 4], 4);
    }
};

PX_STEP_INLINE uint32_t LoadWord(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
PX_STEP_INLINE void StoreWord(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// Four bytes as 16-bit lanes 0-3, lanes 4-7 zero.
PX_STEP_INLINE __m128i Widen(uint32_t word) {
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(word)), _mm_setzero_si128());
}
// Every 16-bit lane clamped to 0..255.
PX_STEP_INLINE __m128i Clamp(__m128i v) { return _mm_unpacklo_epi8(_mm_packus_epi16(v, v), _mm_setzero_si128()); }
// m / 16 truncated toward zero: negative values get 15 added before the shift.
PX_STEP_INLINE __m128i Sixteenths(__m128i m) {
    return _mm_srai_epi16(_mm_add_epi16(m, _mm_and_si128(_mm_srai_epi16(m, 15), _mm_set1_epi16(15))), 4);
}

// One row on its way through a band. `cur` is pixel x with every share it
// will get (16-bit lanes blue, green, red, 0); `below` holds pixels x - 1
// (lanes 0-3) and x (lanes 4-7) of the row below with the shares that have
// reached them so far, the fourth lane as in memory.
struct RowState {
    __m128i cur;
    __m128i below;
    uint8_t* row;
    uint8_t* next;  // row below, nullptr on the last row
    uint8_t* ids;
};

// Pixel 0 of a row and of the row below, read when the row reaches it: only
// then has the row above passed its shares down.
PX_STEP_INLINE void StartRow(RowState& s) {
    s.cur = Widen(LoadWord(s.row) & 0x00FFFFFFu);
    s.below = s.next ? _mm_slli_si128(Widen(LoadWord(s.next)), 8) : _mm_setzero_si128();
}

// Maps pixel x and passes its error on: 7/16 to the right, 3/16 below-left
// (whose value is then final and stored), 5/16 below, 1/16 below-right; each
// neighbour is clamped after every share, as when they are added one by one.
// An error whose three parts add up to 3 or less is not passed on.
// Used at the edges of a band; the inside steps are vectorised across rows.
PX_STEP_INLINE void Step(RowState& s, size_t x, size_t w, const MapTables& t) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i curBytes = _mm_packus_epi16(s.cur, zero);
    const uint32_t c = static_cast<uint32_t>(_mm_cvtsi128_si32(curBytes));
    const size_t i = size_t{t.blue[c & 0xFF]} + t.green[(c >> 8) & 0xFF] + t.red[c >> 16];
    const uint32_t colour = t.colour[i];
    s.ids[x] = t.entry[i];
    StoreWord(s.row + 4 * x, colour);

    const __m128i palBytes = _mm_cvtsi32_si128(static_cast<int>(colour & 0x00FFFFFFu));
    const __m128i distance = _mm_sad_epu8(curBytes, palBytes);  // |e blue| + |e green| + |e red|
    const __m128i keep = _mm_cmpgt_epi16(_mm_shufflelo_epi16(distance, 0), _mm_set1_epi16(3));
    const __m128i e = _mm_and_si128(_mm_sub_epi16(s.cur, _mm_unpacklo_epi8(palBytes, zero)), keep);
    const __m128i ee = _mm_unpacklo_epi64(e, e);
    const __m128i s75 = Sixteenths(_mm_mullo_epi16(ee, _mm_setr_epi16(7, 7, 7, 7, 5, 5, 5, 5)));
    const __m128i s31 = Sixteenths(_mm_mullo_epi16(ee, _mm_setr_epi16(3, 3, 3, 3, 1, 1, 1, 1)));

    const bool hasRight = x + 1 < w;
    if (hasRight) s.cur = Clamp(_mm_add_epi16(Widen(LoadWord(s.row + 4 * x + 4) & 0x00FFFFFFu), _mm_move_epi64(s75)));
    if (!s.next) return;
    // Lanes 0-3 share 3 for x - 1, lanes 4-7 share 5 for x.
    const __m128i s35 = _mm_castpd_si128(_mm_move_sd(_mm_castsi128_pd(s75), _mm_castsi128_pd(s31)));
    const __m128i added = _mm_add_epi16(s.below, s35);
    const __m128i bytes = _mm_packus_epi16(added, added);
    if (x > 0) StoreWord(s.next + 4 * x - 4, static_cast<uint32_t>(_mm_cvtsi128_si32(bytes)));
    if (hasRight) {
        const __m128i right = _mm_add_epi16(Widen(LoadWord(s.next + 4 * x + 4)), _mm_srli_si128(s31, 8));
        s.below = Clamp(_mm_unpacklo_epi64(_mm_srli_si128(added, 8), right));
    } else {
        StoreWord(s.next + 4 * x, static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 4))));
    }
}

// Steps t of a band where some row is at an edge (or not started, or done):
// row i is at x = t - lag x i.
template <size_t kLag>
PX_STEP_INLINE void EdgeSteps(RowState* s, size_t rows, size_t t, size_t w, const MapTables& tables) {
    for (size_t i = 0; i < rows && t >= kLag * i; ++i) {
        const size_t x = t - kLag * i;
        if (x >= w) continue;
        if (x == 0) StartRow(s[i]);
        Step(s[i], x, w, tables);
    }
}

// Row i of a band runs kLag pixels behind row i - 1, so by the time it
// reads a pixel, the row above has passed every share down to it; the rows
// are independent chains the processor overlaps. `Inside` maps the steps
// where every row of a full band has both neighbours and a row below.
template <size_t kBand, size_t kLag, typename Inside>
PX_STEP_INLINE void DiffuseBands(const Pixels32& picture, const IndexRows& ids, const MapTables& tables,
                                 const Inside& inside) {
    const View2D<uint8_t> v = picture.view();
    const size_t w = static_cast<size_t>(picture.width);
    const size_t h = v.height();
    for (size_t y0 = 0; y0 < h; y0 += kBand) {
        const size_t rows = std::min(kBand, h - y0);
        RowState s[kBand]{};
        for (size_t i = 0; i < rows; ++i) {
            const size_t y = y0 + i;
            s[i].row = v.row(y).data();
            s[i].next = y + 1 < h ? v.row(y + 1).data() : nullptr;
            s[i].ids = ids.first + y * ids.rowLength;
        }
        const size_t steps = w + kLag * (rows - 1);
        const bool full = rows == kBand && s[kBand - 1].next && w > kLag * (kBand - 1) + 2;
        const size_t inFrom = full ? kLag * (kBand - 1) + 1 : steps;
        const size_t inTo = full ? w - 1 : steps;
        size_t t = 0;
        for (; t < inFrom; ++t) EdgeSteps<kLag>(s, rows, t, w, tables);
        if (inFrom < inTo) inside(s, inFrom, inTo);
        for (t = std::max(t, inTo); t < steps; ++t) EdgeSteps<kLag>(s, rows, t, w, tables);
    }
}

// Four rows of a band in one 256-bit register, 64 bits (four 16-bit lanes) each.
struct FourRows {
    __m256i cur;   // pixel x of each row, as RowState::cur
    __m256i prev;  // pixel x - 1 of the row below, shares so far
    __m256i here;  // pixel x of the row below, shares so far
};

// Four words in one register, joined as a tree (two steps after the moves,
// where inserting one after the other would be three).
PX_TARGET_AVX2 PX_STEP_INLINE __m128i Words4(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    const __m128i ab = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(a)), _mm_cvtsi32_si128(static_cast<int>(b)));
    const __m128i cd = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(c)), _mm_cvtsi32_si128(static_cast<int>(d)));
    return _mm_unpacklo_epi64(ab, cd);
}

// Pixel `at` bytes past each of four pointers, widened to 16-bit lanes.
PX_TARGET_AVX2 PX_STEP_INLINE __m256i Gather4(uint8_t* const (&p)[4], size_t at, __m128i mask) {
    const __m128i v = Words4(LoadWord(p[0] + at), LoadWord(p[1] + at), LoadWord(p[2] + at), LoadWord(p[3] + at));
    return _mm256_cvtepu8_epi16(_mm_and_si128(v, mask));
}

PX_TARGET_AVX2 PX_STEP_INLINE __m256i Clamp4(__m256i v) {
    return _mm256_min_epi16(_mm256_max_epi16(v, _mm256_setzero_si256()), _mm256_set1_epi16(255));
}

// (|e| x k) / 16 truncated, with the sign of e (zero where e is zero).
PX_TARGET_AVX2 PX_STEP_INLINE __m256i Share(__m256i magnitude, __m256i e, int16_t k) {
    return _mm256_sign_epi16(_mm256_mulhi_epu16(magnitude, _mm256_set1_epi16(static_cast<int16_t>(k * 4096))), e);
}

// Step for four rows at once: the lookup index from the levels
// (v + 8) / 17 worked out as (v + 8) x 3856 / 65536, the shares as
// |e| x k x 4096 / 65536 with e's sign put back (truncation toward zero).
PX_TARGET_AVX2 PX_STEP_INLINE void StepFour(FourRows& r, uint8_t* const (&pix)[4], uint8_t* const (&below)[4],
                                            uint8_t* const (&id)[4], const MapTables& t) {
    const __m256i level = _mm256_mulhi_epu16(_mm256_add_epi16(r.cur, _mm256_set1_epi16(8)), _mm256_set1_epi16(3856));
    const __m256i parts = _mm256_madd_epi16(level, _mm256_setr_epi16(256, 16, 1, 0, 256, 16, 1, 0, 256, 16, 1, 0, 256, 16, 1, 0));
    const __m256i index = _mm256_add_epi32(parts, _mm256_shuffle_epi32(parts, _MM_SHUFFLE(2, 3, 0, 1)));
    const __m128i lo = _mm256_castsi256_si128(index), hi = _mm256_extracti128_si256(index, 1);
    const size_t n[4] = {static_cast<uint32_t>(_mm_cvtsi128_si32(lo)), static_cast<uint32_t>(_mm_extract_epi32(lo, 2)),
                         static_cast<uint32_t>(_mm_cvtsi128_si32(hi)), static_cast<uint32_t>(_mm_extract_epi32(hi, 2))};
    uint32_t colour[4];
    for (size_t i = 0; i < 4; ++i) {
        colour[i] = t.colour[n[i]];
        *id[i] = t.entry[n[i]];
        StoreWord(pix[i], colour[i]);
    }
    const __m128i palBytes = _mm_and_si128(Words4(colour[0], colour[1], colour[2], colour[3]), _mm_set1_epi32(0x00FFFFFF));
    const __m256i e = _mm256_sub_epi16(r.cur, _mm256_cvtepu8_epi16(palBytes));
    const __m256i magnitude = _mm256_abs_epi16(e);
    const __m256i pairs = _mm256_madd_epi16(magnitude, _mm256_set1_epi16(1));
    const __m256i distance = _mm256_add_epi32(pairs, _mm256_shuffle_epi32(pairs, _MM_SHUFFLE(2, 3, 0, 1)));
    const __m256i kept = _mm256_and_si256(magnitude, _mm256_cmpgt_epi32(distance, _mm256_set1_epi32(3)));

    r.cur = Clamp4(_mm256_add_epi16(Gather4(pix, 4, _mm_set1_epi32(0x00FFFFFF)), Share(kept, e, 7)));
    const __m256i done = Clamp4(_mm256_add_epi16(r.prev, Share(kept, e, 3)));
    const __m256i bytes = _mm256_packus_epi16(done, done);  // rows 0, 1 in dwords 0, 1; rows 2, 3 in dwords 4, 5
    const __m128i b01 = _mm256_castsi256_si128(bytes), b23 = _mm256_extracti128_si256(bytes, 1);
    StoreWord(below[0] - 4, static_cast<uint32_t>(_mm_cvtsi128_si32(b01)));
    StoreWord(below[1] - 4, static_cast<uint32_t>(_mm_extract_epi32(b01, 1)));
    StoreWord(below[2] - 4, static_cast<uint32_t>(_mm_cvtsi128_si32(b23)));
    StoreWord(below[3] - 4, static_cast<uint32_t>(_mm_extract_epi32(b23, 1)));
    r.prev = Clamp4(_mm256_add_epi16(r.here, Share(kept, e, 5)));
    r.here = Clamp4(_mm256_add_epi16(Gather4(below, 4, _mm_set1_epi32(-1)), Share(kept, e, 1)));
}

PX_TARGET_AVX2 PX_STEP_INLINE __m256i JoinLow(const RowState* s, __m128i RowState::*field) {
    return _mm256_set_m128i(_mm_unpacklo_epi64(s[2].*field, s[3].*field), _mm_unpacklo_epi64(s[0].*field, s[1].*field));
}

PX_TARGET_AVX2 PX_STEP_INLINE FourRows ToFour(const RowState* s) {
    FourRows r;
    r.cur = JoinLow(s, &RowState::cur);
    r.prev = JoinLow(s, &RowState::below);
    r.here = _mm256_set_m128i(_mm_unpackhi_epi64(s[2].below, s[3].below), _mm_unpackhi_epi64(s[0].below, s[1].below));
    return r;
}

PX_TARGET_AVX2 PX_STEP_INLINE void FromFour(const FourRows& r, RowState* s) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i c[2] = {_mm256_castsi256_si128(r.cur), _mm256_extracti128_si256(r.cur, 1)};
    const __m128i p[2] = {_mm256_castsi256_si128(r.prev), _mm256_extracti128_si256(r.prev, 1)};
    const __m128i h[2] = {_mm256_castsi256_si128(r.here), _mm256_extracti128_si256(r.here, 1)};
    for (size_t k = 0; k < 2; ++k) {
        s[2 * k].cur = _mm_move_epi64(c[k]);
        s[2 * k + 1].cur = _mm_unpackhi_epi64(c[k], zero);
        s[2 * k].below = _mm_unpacklo_epi64(p[k], h[k]);
        s[2 * k + 1].below = _mm_unpackhi_epi64(p[k], h[k]);
    }
}

// The inside steps of an eight-row band: two registers of four rows.
PX_TARGET_AVX2 void InsideEight(RowState* s, size_t from, size_t to, size_t lag, const MapTables& tables) {
    FourRows top = ToFour(s), bottom = ToFour(s + 4);
    for (size_t t = from; t < to; ++t) {
        uint8_t* pix[2][4];
        uint8_t* below[2][4];
        uint8_t* id[2][4];
        for (size_t i = 0; i < 8; ++i) {
            const size_t x = t - lag * i;
            pix[i / 4][i % 4] = s[i].row + 4 * x;
            below[i / 4][i % 4] = s[i].next + 4 * x;
            id[i / 4][i % 4] = s[i].ids + x;
        }
        StepFour(top, pix[0], below[0], id[0], tables);
        StepFour(bottom, pix[1], below[1], id[1], tables);
    }
    FromFour(top, s);
    FromFour(bottom, s + 4);
}

// Two rows of a band in one 128-bit register, as FourRows with SSE2 only.
struct TwoRows {
    __m128i cur, prev, here;
};

PX_STEP_INLINE __m128i Words2(uint32_t a, uint32_t b) {
    return _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(a)), _mm_cvtsi32_si128(static_cast<int>(b)));
}

PX_STEP_INLINE __m128i Gather2(uint8_t* const (&p)[2], size_t at, __m128i mask) {
    return _mm_unpacklo_epi8(_mm_and_si128(Words2(LoadWord(p[0] + at), LoadWord(p[1] + at)), mask), _mm_setzero_si128());
}

PX_STEP_INLINE __m128i Clamp2(__m128i v) {
    return _mm_min_epi16(_mm_max_epi16(v, _mm_setzero_si128()), _mm_set1_epi16(255));
}

// Share as in the AVX2 step; the sign put back as (x ^ s) - s with s all ones for negative e.
PX_STEP_INLINE __m128i Share2(__m128i magnitude, __m128i sign, int16_t k) {
    const __m128i m = _mm_mulhi_epu16(magnitude, _mm_set1_epi16(static_cast<int16_t>(k * 4096)));
    return _mm_sub_epi16(_mm_xor_si128(m, sign), sign);
}

// StepFour for two rows, with SSE2 only.
PX_STEP_INLINE void StepTwo(TwoRows& r, uint8_t* const (&pix)[2], uint8_t* const (&below)[2], uint8_t* const (&id)[2],
                            const MapTables& t) {
    const __m128i level = _mm_mulhi_epu16(_mm_add_epi16(r.cur, _mm_set1_epi16(8)), _mm_set1_epi16(3856));
    const __m128i parts = _mm_madd_epi16(level, _mm_setr_epi16(256, 16, 1, 0, 256, 16, 1, 0));
    const __m128i index = _mm_add_epi32(parts, _mm_shuffle_epi32(parts, _MM_SHUFFLE(2, 3, 0, 1)));
    const size_t n[2] = {static_cast<uint32_t>(_mm_cvtsi128_si32(index)),
                         static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(index, index)))};
    uint32_t colour[2];
    for (size_t i = 0; i < 2; ++i) {
        colour[i] = t.colour[n[i]];
        *id[i] = t.entry[n[i]];
        StoreWord(pix[i], colour[i]);
    }
    const __m128i zero = _mm_setzero_si128();
    const __m128i palBytes = _mm_and_si128(Words2(colour[0], colour[1]), _mm_set1_epi32(0x00FFFFFF));
    const __m128i e = _mm_sub_epi16(r.cur, _mm_unpacklo_epi8(palBytes, zero));
    const __m128i magnitude = _mm_max_epi16(e, _mm_sub_epi16(zero, e));
    const __m128i pairs = _mm_madd_epi16(magnitude, _mm_set1_epi16(1));
    const __m128i distance = _mm_add_epi32(pairs, _mm_shuffle_epi32(pairs, _MM_SHUFFLE(2, 3, 0, 1)));
    const __m128i kept = _mm_and_si128(magnitude, _mm_cmpgt_epi32(distance, _mm_set1_epi32(3)));
    const __m128i sign = _mm_srai_epi16(e, 15);

    r.cur = Clamp2(_mm_add_epi16(Gather2(pix, 4, _mm_set1_epi32(0x00FFFFFF)), Share2(kept, sign, 7)));
    const __m128i done = Clamp2(_mm_add_epi16(r.prev, Share2(kept, sign, 3)));
    const __m128i bytes = _mm_packus_epi16(done, done);
    StoreWord(below[0] - 4, static_cast<uint32_t>(_mm_cvtsi128_si32(bytes)));
    StoreWord(below[1] - 4, static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 4))));
    r.prev = Clamp2(_mm_add_epi16(r.here, Share2(kept, sign, 5)));
    r.here = Clamp2(_mm_add_epi16(Gather2(below, 4, _mm_set1_epi32(-1)), Share2(kept, sign, 1)));
}

PX_STEP_INLINE TwoRows ToTwo(const RowState* s) {
    return TwoRows{_mm_unpacklo_epi64(s[0].cur, s[1].cur), _mm_unpacklo_epi64(s[0].below, s[1].below),
                   _mm_unpackhi_epi64(s[0].below, s[1].below)};
}

PX_STEP_INLINE void FromTwo(const TwoRows& r, RowState* s) {
    s[0].cur = _mm_move_epi64(r.cur);
    s[1].cur = _mm_unpackhi_epi64(r.cur, _mm_setzero_si128());
    s[0].below = _mm_unpacklo_epi64(r.prev, r.here);
    s[1].below = _mm_unpackhi_epi64(r.prev, r.here);
}

// The inside steps of a band of kRows rows, two to a register.
template <size_t kRows>
void InsidePairs(RowState* s, size_t from, size_t to, size_t lag, const MapTables& tables) {
    TwoRows r[kRows / 2];
    for (size_t k = 0; k < kRows / 2; ++k) r[k] = ToTwo(s + 2 * k);
    for (size_t t = from; t < to; ++t) {
        for (size_t k = 0; k < kRows / 2; ++k) {
            uint8_t* pix[2];
            uint8_t* below[2];
            uint8_t* id[2];
            for (size_t j = 0; j < 2; ++j) {
                const size_t i = 2 * k + j, x = t - lag * i;
                pix[j] = s[i].row + 4 * x;
                below[j] = s[i].next + 4 * x;
                id[j] = s[i].ids + x;
            }
            StepTwo(r[k], pix, below, id, tables);
        }
    }
    for (size_t k = 0; k < kRows / 2; ++k) FromTwo(r[k], s + 2 * k);
}

}  // namespace

void DiffuseToColorPaletteSse2(const Pixels32& picture, const DiffusionTables& palette, const IndexRows& ids) {
    constexpr size_t kBand = 4;
    constexpr size_t kLag = 3;
    const MapTables tables(palette);
    DiffuseBands<kBand, kLag>(picture, ids, tables,
                              [&](RowState* s, size_t from, size_t to) { InsidePairs<kBand>(s, from, to, kLag, tables); });
}

// Eight rows three pixels apart: a row reads the pixel to its right one
// step after the row above stored it.
PX_TARGET_AVX2 void DiffuseToColorPaletteAvx2(const Pixels32& picture, const DiffusionTables& palette,
                                              const IndexRows& ids) {
    constexpr size_t kLag = 3;
    const MapTables tables(palette);
    DiffuseBands<8, kLag>(picture, ids, tables,
                          [&](RowState* s, size_t from, size_t to) { InsideEight(s, from, to, kLag, tables); });
}

}  // namespace px
