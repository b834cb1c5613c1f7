#include "export/core/Dither8bpp.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "base/Rounding.h"
#include "export/core/ColourDiffusion.h"

// SSE2 is part of every x86-64 processor, the only kind this program runs on;
// AVX2 is used where the processor has it.
#include <immintrin.h>

#include "imaging/core/CpuFeatures.h"

namespace px {

namespace {

[[noreturn]] void RaiseOverflow() { throw Error(ErrorNumber::Overflow, "", "Overflow"); }

int32_t CheckedInt32(int64_t v) {
    if (v < 0 || v > std::numeric_limits<int32_t>::max()) RaiseOverflow();
    return static_cast<int32_t>(v);
}

}  // namespace

const std::array<uint8_t, 256>& DitherLevelMap() {
    static const std::array<uint8_t, 256> map = [] {
        std::array<uint8_t, 256> m{};
        for (int v = 0; v < 256; ++v) m[static_cast<size_t>(v)] = static_cast<uint8_t>(RoundHalfEven(v / 17.0));
        return m;
    }();
    return map;
}

ColorLookupTable BuildColorLookupTable(const std::function<int64_t(uint8_t, uint8_t, uint8_t)>& nearest) {
    ColorLookupTable t{};
    for (int r = 0; r < 16; ++r)
        for (int g = 0; g < 16; ++g)
            for (int b = 0; b < 16; ++b) {
                const int64_t n = nearest(static_cast<uint8_t>(r * 17), static_cast<uint8_t>(g * 17),
                                          static_cast<uint8_t>(b * 17));
                if (n < 0 || n > 255) RaiseOverflow();
                t[static_cast<size_t>(b * 256 + g * 16 + r)] = static_cast<uint8_t>(n);
            }
    return t;
}

uint8_t* IndexBuffer8bpp::InitializePalID(int32_t width, int32_t height) {
    if (width < 0 || height < 0) RaiseOverflow();
    const int32_t bits = CheckedInt32(int64_t{width} * 8 + 31);
    const int32_t rowLength = TruncDiv(bits, 32) * 4;
    const int32_t size = CheckedInt32(int64_t{rowLength} * height);
    ids_.assign(static_cast<size_t>(size), 0);
    rowLength_ = rowLength;
    width_ = width;
    height_ = height;
    return PalIDPtr();
}

uint8_t IndexBuffer8bpp::PalID(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");
    return ids_[static_cast<size_t>(y) * static_cast<size_t>(rowLength_) + static_cast<size_t>(x)];
}

std::span<uint8_t> IndexBuffer8bpp::Row(int32_t y) {
    if (y < 0 || y >= height_) throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");
    return std::span<uint8_t>(ids_.data() + static_cast<size_t>(y) * static_cast<size_t>(rowLength_),
                              static_cast<size_t>(width_));
}

namespace {

// The four channels of a pixel as 16-bit lanes, so one share reaches blue,
// green and red at once and packing back saturates to 0..255 (the clamp).
inline __m128i ShareOf(__m128i errTimesK) {
    // (e x k) / 16 truncated toward zero: negative values get 15 added before the shift.
    const __m128i bias = _mm_and_si128(_mm_srai_epi16(errTimesK, 15), _mm_set1_epi16(15));
    return _mm_srai_epi16(_mm_add_epi16(errTimesK, bias), 4);
}

inline void AddShare(uint8_t* q, __m128i share) {
    uint32_t word;
    std::memcpy(&word, q, 4);
    __m128i v = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(word)), _mm_setzero_si128());
    v = _mm_packus_epi16(_mm_add_epi16(v, share), v);
    word = static_cast<uint32_t>(_mm_cvtsi128_si32(v));
    std::memcpy(q, &word, 4);  // the fourth lane's share is 0, so that byte is kept
}

// Maps pixel x of a row and, with diffusion, adds its error shares to the
// neighbours in memory at once, each clamped, in the order right, below,
// below-right, below-left.
template <typename MapPixel>
inline void DitherPixel(uint8_t* row, uint8_t* below, uint8_t* idRow, size_t x, size_t w, bool diffuse,
                        const MapPixel& map) {
    uint8_t* p = row + 4 * x;
    const int32_t in[3] = {p[0], p[1], p[2]};
    int32_t err[3];
    idRow[x] = map(in, p, err);
    if (!diffuse) return;
    if (std::abs(err[0]) + std::abs(err[1]) + std::abs(err[2]) <= 3) return;
    const bool hasRight = x + 1 < w;
    const __m128i e = _mm_setr_epi16(static_cast<int16_t>(err[0]), static_cast<int16_t>(err[1]),
                                      static_cast<int16_t>(err[2]), 0, 0, 0, 0, 0);
    if (hasRight) AddShare(p + 4, ShareOf(_mm_mullo_epi16(e, _mm_set1_epi16(7))));
    if (below && x > 0 && x + 2 < w) {
        // Away from the edges the three pixels below and the one after them
        // are one 16-byte load: shares 3, 5, 1 and 0 added at once, each
        // clamped on its own as before; the fourth pixel goes back unchanged.
        uint8_t* q = below + 4 * (x - 1);
        const __m128i zero = _mm_setzero_si128();
        const __m128i leftAndBelow = ShareOf(_mm_mullo_epi16(_mm_unpacklo_epi64(e, e), _mm_setr_epi16(3, 3, 3, 0, 5, 5, 5, 0)));
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        const __m128i lo = _mm_add_epi16(_mm_unpacklo_epi8(v, zero), leftAndBelow);
        const __m128i hi = _mm_add_epi16(_mm_unpackhi_epi8(v, zero), ShareOf(e));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(q), _mm_packus_epi16(lo, hi));
        return;
    }
    if (below) {
        uint8_t* q = below + 4 * x;
        AddShare(q, ShareOf(_mm_mullo_epi16(e, _mm_set1_epi16(5))));
        if (hasRight) AddShare(q + 4, ShareOf(e));
        if (x > 0) AddShare(q - 4, ShareOf(_mm_mullo_epi16(e, _mm_set1_epi16(3))));
    }
}

// The frame both mappings share: a fresh index buffer, pixels row by row from
// the top and left to right, `map` choosing the entry for the pixel's current
// blue, green, red, storing its colour and giving the errors back.
//
// Each pixel waits for the error of the one before it, so a single row is
// one long dependency chain. Rows are therefore taken in bands, row i of a
// band kLag pixels behind row i - 1: pixel (x, y + 1) is mapped only after
// (x + 1, y) has passed its share down, and (x, y) never reads anything that
// row y + 1 writes. Every byte receives its shares in the same order as in a
// plain row-by-row pass, so the results are identical; the processor just
// gets several independent chains to work on.
template <typename MapPixel>
void DitherFrame(const Pixels32& picture, bool diffuse, IndexBuffer8bpp& ids, const MapPixel& map) {
    constexpr size_t kBand = 4;
    constexpr size_t kLag = 2;
    ids.InitializePalID(picture.width, picture.height);
    const View2D<uint8_t> v = picture.view();
    const size_t w = static_cast<size_t>(picture.width);
    const size_t h = v.height();
    for (size_t y0 = 0; y0 < h; y0 += kBand) {
        const size_t rows = std::min(kBand, h - y0);
        uint8_t* row[kBand] = {};
        uint8_t* below[kBand] = {};
        uint8_t* idRow[kBand] = {};
        for (size_t i = 0; i < rows; ++i) {
            const size_t y = y0 + i;
            row[i] = v.row(y).data();
            below[i] = y + 1 < h ? v.row(y + 1).data() : nullptr;
            idRow[i] = ids.Row(static_cast<int32_t>(y)).data();
        }
        const size_t steps = w + kLag * (rows - 1);
        for (size_t t = 0; t < steps; ++t) {
            for (size_t i = 0; i < rows; ++i) {
                if (t < kLag * i) break;  // later rows have not started yet
                const size_t x = t - kLag * i;
                if (x < w) DitherPixel(row[i], below[i], idRow[i], x, w, diffuse, map);
            }
        }
    }
}

}  // namespace

void DitherToGreyPalette(const Pixels32& picture, const PaletteTable& palette, int32_t greyKind, bool diffuse,
                         IndexBuffer8bpp& ids) {
    if (picture.empty()) return;
    const PaletteTable pal = palette;  // working copy, as the caller may change its table meanwhile
    DitherFrame(picture, diffuse, ids, [&pal, greyKind](const int32_t (&in)[3], uint8_t* p, int32_t (&err)[3]) {
        const int32_t grey = RoundHalfEven(0.587 * in[1] + 0.114 * in[0] + 0.299 * in[2]);
        int32_t n = 0;
        switch (greyKind) {
            case 0: n = RoundHalfEven(grey / 255.0); break;
            case 1: n = RoundHalfEven(grey / 17.0); break;
            case 2: n = grey; break;
            default: n = 0; break;  // unknown kind: entry 0
        }
        const uint8_t* e = &pal[static_cast<size_t>(n) * 4];
        for (int c = 0; c < 3; ++c) {
            err[c] = grey - e[c];
            p[c] = e[c];  // the fourth byte is kept
        }
        return static_cast<uint8_t>(n);
    });
}

void DitherToColorPalette(const Pixels32& picture, const PaletteTable& palette, const ColorLookupTable& lookup,
                          bool diffuse, IndexBuffer8bpp& ids) {
    if (picture.empty()) return;
    const SimdLevel simd = ActiveSimdLevel();
    if (diffuse && simd != SimdLevel::Scalar) {
        uint8_t* first = ids.InitializePalID(picture.width, picture.height);
        const DiffusionTables tables{palette.data(), lookup.data(), DitherLevelMap().data()};
        const IndexRows rows{first, static_cast<size_t>(ids.RowLength())};
        if (simd == SimdLevel::Avx2) DiffuseToColorPaletteAvx2(picture, tables, rows);
        else DiffuseToColorPaletteSse2(picture, tables, rows);
        return;
    }
    const PaletteTable pal = palette;
    const auto& level = DitherLevelMap();
    DitherFrame(picture, diffuse, ids, [&pal, &level, &lookup](const int32_t (&in)[3], uint8_t* p, int32_t (&err)[3]) {
        const uint8_t n = lookup[size_t{level[static_cast<size_t>(in[0])]} * 256 +
                                 size_t{level[static_cast<size_t>(in[1])]} * 16 + level[static_cast<size_t>(in[2])]];
        const uint8_t* e = &pal[size_t{n} * 4];
        for (int c = 0; c < 3; ++c) err[c] = in[c] - e[c];
        std::memcpy(p, e, 4);  // the reserved 0 too
        return n;
    });
}

void DitherToNearestEntries(const Pixels32& picture, const PaletteTable& palette, NearestColorMap& map, bool diffuse,
                            IndexBuffer8bpp& ids) {
    if (picture.empty()) return;
    const PaletteTable pal = palette;
    DitherFrame(picture, diffuse, ids, [&pal, &map](const int32_t (&in)[3], uint8_t* p, int32_t (&err)[3]) {
        const uint8_t n = map(static_cast<uint8_t>(in[2]), static_cast<uint8_t>(in[1]), static_cast<uint8_t>(in[0]));
        const uint8_t* e = &pal[size_t{n} * 4];
        for (int c = 0; c < 3; ++c) err[c] = in[c] - e[c];
        std::memcpy(p, e, 4);
        return n;
    });
}

namespace {

// One bit per possible colour (2 MiB): exact for any picture, one pass.
class ColourSet {
public:
    ColourSet() : seen_(size_t{1} << 18, 0) {}
    void Add(uint32_t c) {
        uint64_t& word = seen_[c >> 6];
        const uint64_t bit = uint64_t{1} << (c & 63);
        count_ += (word & bit) == 0;
        word |= bit;
    }
    int32_t count() const { return count_; }

private:
    std::vector<uint64_t> seen_;
    int32_t count_ = 0;
};

inline uint32_t ColourAt(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v & 0x00FFFFFFu;
}

void CountFromScalar(const uint8_t* p, size_t from, size_t n, ColourSet& set) {
    for (size_t i = from; i < n; ++i)
        if (ColourAt(p + 4 * i) != ColourAt(p + 4 * (i - 1))) set.Add(ColourAt(p + 4 * i));
}

// Only pixels that differ from their left neighbour are added: runs of one
// colour are common in screenshots and are looked up once. As in the AVX2
// count below, the changed colours are first written out without a branch
// per pixel (each one stored, the position moved on only for a changed one),
// so the set's lookups come in a loop of their own.
void CountSse2(const uint8_t* p, size_t n, ColourSet& set, std::vector<uint32_t>& changed) {
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    changed.resize(n + 4);
    uint32_t* out = changed.data();
    size_t k = 0;
    size_t i = 1;
    for (; i + 4 <= n; i += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * i - 4));
        const __m128i same = _mm_cmpeq_epi32(_mm_and_si128(_mm_xor_si128(a, b), colour), _mm_setzero_si128());
        const uint32_t mask = ~static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(same))) & 0xF;
        for (size_t j = 0; j < 4; ++j) {
            out[k] = ColourAt(p + 4 * (i + j));
            k += (mask >> j) & 1;
        }
    }
    for (size_t j = 0; j < k; ++j) set.Add(out[j]);
    CountFromScalar(p, i, n, set);
}

// The same two loops without vector instructions.
void CountPlain(const uint8_t* p, size_t n, ColourSet& set, std::vector<uint32_t>& changed) {
    changed.resize(n);
    uint32_t* out = changed.data();
    size_t k = 0;
    uint32_t previous = ColourAt(p);
    for (size_t i = 1; i < n; ++i) {
        const uint32_t c = ColourAt(p + 4 * i);
        out[k] = c;
        k += c != previous;
        previous = c;
    }
    for (size_t j = 0; j < k; ++j) set.Add(out[j]);
}

// For each of the 256 masks of changed pixels in a step of eight, the lane
// numbers of the changed ones first (a permutation that packs them
// together) and how many there are.
struct PackOrder {
    std::array<std::array<uint32_t, 8>, 256> lanes{};
    std::array<uint8_t, 256> count{};
    PackOrder() {
        for (uint32_t mask = 0; mask < 256; ++mask) {
            uint8_t k = 0;
            for (uint32_t lane = 0; lane < 8; ++lane)
                if (mask & (1u << lane)) lanes[mask][k++] = lane;
            count[mask] = k;
        }
    }
};

// Eight pixels a step: the colours that differ from their left neighbour are
// packed into `changed` without a branch per pixel (a step writes eight
// lanes, of which the changed ones are kept), then added to the set in a
// plain loop whose lookups do not wait for each other.
PX_TARGET_AVX2 void CountAvx2(const uint8_t* p, size_t n, ColourSet& set, std::vector<uint32_t>& changed) {
    static const PackOrder order;
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    changed.resize(n + 8);
    uint32_t* out = changed.data();
    size_t k = 0;
    size_t i = 1;
    for (; i + 8 <= n; i += 8) {
        const __m256i a = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 4 * i)), colour);
        const __m256i b = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 4 * i - 4)), colour);
        const uint32_t same = static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(a, b))));
        const uint32_t mask = ~same & 0xFF;
        const __m256i lanes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(order.lanes[mask].data()));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), _mm256_permutevar8x32_epi32(a, lanes));
        k += order.count[mask];
    }
    for (size_t j = 0; j < k; ++j) set.Add(out[j]);
    CountFromScalar(p, i, n, set);
}

}  // namespace

int32_t CountColors(const Pixels32& picture) {
    if (picture.empty()) return 0;
    const View2D<uint8_t> v = picture.view();
    const size_t w = static_cast<size_t>(picture.width);
    const SimdLevel level = ActiveSimdLevel();
    ColourSet set;
    std::vector<uint32_t> changed;
    uint32_t previous = 0xFFFFFFFFu;  // never a 24-bit colour
    for (size_t y = 0; y < v.height(); ++y) {
        const uint8_t* p = v.row(y).data();
        if (ColourAt(p) != previous) set.Add(ColourAt(p));
        switch (level) {
            case SimdLevel::Avx2: CountAvx2(p, w, set, changed); break;
            case SimdLevel::Sse2: CountSse2(p, w, set, changed); break;
            default: CountPlain(p, w, set, changed); break;
        }
        previous = ColourAt(p + 4 * (w - 1));
    }
    return set.count();
}

int32_t CountColorsReference(const Pixels32& picture) {
    if (picture.empty()) return 0;
    std::vector<uint64_t> seen(size_t{1} << 18, 0);
    const View2D<uint8_t> v = picture.view();
    const size_t w = static_cast<size_t>(picture.width);
    int32_t count = 0;
    for (size_t y = 0; y < v.height(); ++y) {
        const uint8_t* p = v.row(y).data();
        for (size_t x = 0; x < w; ++x, p += 4) {
            const uint32_t c = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
            uint64_t& word = seen[c >> 6];
            const uint64_t bit = uint64_t{1} << (c & 63);
            if (!(word & bit)) {
                word |= bit;
                ++count;
            }
        }
    }
    return count;
}

}  // namespace px
