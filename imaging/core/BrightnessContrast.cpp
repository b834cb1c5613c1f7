#include "imaging/core/BrightnessContrast.h"

#include <immintrin.h>

#include <cstring>
#include <vector>

#include "base/Rounding.h"
#include "imaging/core/CpuFeatures.h"

namespace px {
namespace {

// Eight bytes a step: one wide load and store around a lookup for every
// byte (Entry uint8_t) or every two bytes (uint16_t); the bytes mapped.
template <typename Entry>
size_t MapWords(const uint8_t* in, uint8_t* out, size_t count, const Entry* table) {
    constexpr int kBits = 8 * sizeof(Entry);
    constexpr uint64_t kMask = (uint64_t{1} << kBits) - 1;
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        uint64_t word;
        std::memcpy(&word, in + i, 8);
        uint64_t mapped = 0;
        for (int k = 0; k < 64; k += kBits) mapped |= uint64_t{table[(word >> k) & kMask]} << k;
        std::memcpy(out + i, &mapped, 8);
    }
    return i;
}

void MapBytesScalar(const uint8_t* in, uint8_t* out, size_t count, const std::array<uint8_t, 256>& table) {
    for (size_t i = MapWords(in, out, count, table.data()); i < count; ++i) out[i] = table[in[i]];
}

// Two bytes per lookup (128 KiB, which stays in the level-2 cache): halves
// the lookups of a long run; building it costs about as much as mapping
// 64 KiB the plain way, so short runs keep the byte table.
constexpr size_t kPairTableFrom = size_t{1} << 20;

void MapBytePairs(const uint8_t* in, uint8_t* out, size_t count, const std::array<uint8_t, 256>& table) {
    std::vector<uint16_t> pair(size_t{1} << 16);
    for (size_t hi = 0; hi < 256; ++hi)
        for (size_t lo = 0; lo < 256; ++lo)
            pair[hi * 256 + lo] = static_cast<uint16_t>(table[lo] | table[hi] << 8);
    const size_t i = MapWords(in, out, count, pair.data());
    MapBytesScalar(in + i, out + i, count - i, table);
}

// Sixteen bytes s become s x scale + offset in single precision, rounded
// (ties to even, the processor's default) and saturated to 0..255.
__m128i MapSixteenLinear(__m128i x, __m128 scale, __m128 offset) {
    const __m128i zero = _mm_setzero_si128();
    const auto map4 = [&](__m128i w) {
        return _mm_cvtps_epi32(_mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(w), scale), offset));
    };
    const __m128i lo = _mm_unpacklo_epi8(x, zero), hi = _mm_unpackhi_epi8(x, zero);
    const __m128i a = _mm_packs_epi32(map4(_mm_unpacklo_epi16(lo, zero)), map4(_mm_unpackhi_epi16(lo, zero)));
    const __m128i b = _mm_packs_epi32(map4(_mm_unpacklo_epi16(hi, zero)), map4(_mm_unpackhi_epi16(hi, zero)));
    return _mm_packus_epi16(a, b);
}

// Whole steps of sixteen; the bytes mapped.
size_t MapLinearSse2(const uint8_t* in, uint8_t* out, size_t count, float scale, float offset) {
    const __m128 k = _mm_set1_ps(scale), c = _mm_set1_ps(offset);
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), MapSixteenLinear(x, k, c));
    }
    return i;
}

// Rows h and h + 1 of the table looked up by the low nibbles, the one whose
// row number matches bit 4 of each byte kept (`bit4` holds it in each byte's top bit).
PX_TARGET_AVX2 inline __m256i PickRow(const __m256i* rows, int h, __m256i lo, __m256i bit4) {
    return _mm256_blendv_epi8(_mm256_shuffle_epi8(rows[h], lo), _mm256_shuffle_epi8(rows[h + 1], lo), bit4);
}

// The table as sixteen 16-byte rows, each looked up by the low nibble at
// once; the high nibble then picks the row, one bit at a time (a byte's bit
// 7 - k reaches its top after a 16-bit shift left by k).
struct NibbleTable {
    __m256i rows[16];
    PX_TARGET_AVX2 explicit NibbleTable(const std::array<uint8_t, 256>& table) {
        for (int h = 0; h < 16; ++h)
            rows[h] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data() + 16 * h)));
    }
    PX_TARGET_AVX2 __m256i operator()(__m256i x) const {
        const __m256i lo = _mm256_and_si256(x, _mm256_set1_epi8(0x0F));
        const __m256i bit4 = _mm256_slli_epi16(x, 3), bit5 = _mm256_slli_epi16(x, 2), bit6 = _mm256_slli_epi16(x, 1);
        const __m256i q0 = _mm256_blendv_epi8(PickRow(rows, 0, lo, bit4), PickRow(rows, 2, lo, bit4), bit5);
        const __m256i q1 = _mm256_blendv_epi8(PickRow(rows, 4, lo, bit4), PickRow(rows, 6, lo, bit4), bit5);
        const __m256i q2 = _mm256_blendv_epi8(PickRow(rows, 8, lo, bit4), PickRow(rows, 10, lo, bit4), bit5);
        const __m256i q3 = _mm256_blendv_epi8(PickRow(rows, 12, lo, bit4), PickRow(rows, 14, lo, bit4), bit5);
        const __m256i half0 = _mm256_blendv_epi8(q0, q1, bit6), half1 = _mm256_blendv_epi8(q2, q3, bit6);
        return _mm256_blendv_epi8(half0, half1, x);
    }
};

// 32 bytes a step. (Streaming stores past the caches were measured slower
// for a full-screen picture, so the output goes through the cache.)
PX_TARGET_AVX2 void MapBytesAvx2(const uint8_t* in, uint8_t* out, size_t count, const std::array<uint8_t, 256>& table) {
    const NibbleTable lookup(table);
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), lookup(x));
    }
    MapBytesScalar(in + i, out + i, count - i, table);
}

}  // namespace

void MapBytes(const uint8_t* in, uint8_t* out, size_t count, const std::array<uint8_t, 256>& table) {
    if (ActiveSimdLevel() == SimdLevel::Avx2) MapBytesAvx2(in, out, count, table);
    else if (count >= kPairTableFrom) MapBytePairs(in, out, count, table);
    else MapBytesScalar(in, out, count, table);
}

namespace {

// The table's mapping as s x scale + offset in single precision, where the
// SSE2 steps give exactly the table for all 256 values. Worked out once per
// picture: single precision can round a byte differently from the table's
// double arithmetic, and then the table is used.
struct LinearMap {
    bool exact = false;
    float scale = 1, offset = 0;

    LinearMap(const std::array<uint8_t, 256>& table, double contrast, int32_t brightness) {
        if (ActiveSimdLevel() != SimdLevel::Sse2) return;
        scale = static_cast<float>(contrast);
        offset = static_cast<float>(128.0 - 128.0 * contrast + brightness);
        std::array<uint8_t, 256> ramp{}, mapped{};
        for (size_t v = 0; v < 256; ++v) ramp[v] = static_cast<uint8_t>(v);
        MapLinearSse2(ramp.data(), mapped.data(), 256, scale, offset);
        exact = mapped == table;
    }

    void Map(const uint8_t* in, uint8_t* out, size_t count, const std::array<uint8_t, 256>& table) const {
        if (!exact) {
            MapBytes(in, out, count, table);
            return;
        }
        const size_t done = MapLinearSse2(in, out, count, scale, offset);
        MapBytesScalar(in + done, out + done, count - done, table);
    }
};

}  // namespace

uint8_t cBrightnessContrast::MapByte(uint8_t s, double contrast, int32_t brightness) {
    double v = (static_cast<double>(s) - 128.0) * contrast + 128.0;
    v = v + static_cast<double>(brightness);
    if (v > 255.0) v = 255.0;
    if (v < 0.0) v = 0.0;
    return static_cast<uint8_t>(RoundHalfEven(v));
}

std::array<uint8_t, 256> cBrightnessContrast::MakeTable(double contrast, int32_t brightness) {
    std::array<uint8_t, 256> t{};
    for (int s = 0; s < 256; ++s) t[static_cast<size_t>(s)] = MapByte(static_cast<uint8_t>(s), contrast, brightness);
    return t;
}

void cBrightnessContrast::process(const Dib24Bits& src, const Dib24Bits& dst) const {
    if (src.empty()) return;
    const View2D<uint8_t> s = src.view();
    const View2D<uint8_t> d = dst.view();
    const size_t bps = s.width();
    if (bps < 3) return;
    // x = 0, 3, 6, ... while x <= bps - 3: the bytes covered are 0 .. 3 * (bps / 3) - 1.
    const size_t covered = 3 * (bps / 3);
    const size_t rows = s.height();
    const auto table = MakeTable(contrast_, brightness_);

    if (covered <= d.width() && rows <= d.height()) {
        const LinearMap linear(table, contrast_, brightness_);
        // Every byte is independent, so rows in memory order give the same bytes;
        // rows without a gap between them (and the same in both) are one run.
        if (covered == s.width() && covered == d.width()) {
            linear.Map(s.row(0).data(), d.row(0).data(), covered * rows, table);
            return;
        }
        for (size_t y = 0; y < rows; ++y)
            linear.Map(s.row(y).data(), d.row(y).subspan(0, covered).data(), covered, table);
        return;
    }
    // The destination is too small: go column by column as described, so the
    // error arrives after exactly the bytes that precede it in that order.
    for (size_t x = 0; x + 3 <= bps; x += 3) {
        for (size_t y = 0; y < rows; ++y) {
            for (size_t k = 0; k < 3; ++k) d(y, x + k) = table[s(y, x + k)];
        }
    }
}

double ContrastFromSlider(int32_t value) {
    if (value == 100) return 1.0;
    if (value > 100) return 1.0 + static_cast<double>(value - 100) / 25.0;
    return 1.0 / (5.0 - static_cast<double>(value) / 25.0);
}

int32_t BrightnessFromSlider(int32_t value) { return value - 255; }

}  // namespace px
