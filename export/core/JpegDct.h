#pragma once
// Forward DCT of 8x8 blocks with quantisation, in single precision on SSE2
// (the scaled flow graph of Arai, Agui and Nakajima: 5 multiplications per
// 8 points, its output scales folded into the quantisation divisors).
//
// Results come out in the transform's own order, the transpose of the
// row-major order: index = horizontal frequency * 8 + vertical frequency.
#include <array>
#include <cstddef>
#include <cstdint>
#include <xmmintrin.h>

namespace px::jpeg {

// Baseline limits of the quantised terms: a DC term in -1024..1023 keeps
// every difference of two within +-2047; AC terms stay within +-1023.
inline constexpr int kMaxCoefficient = 1023;
inline constexpr int kMinDc = -1024;

// Transform-order index of the row-major (vertical * 8 + horizontal) index.
constexpr int TransformIndex(int rowMajor) { return (rowMajor % 8) * 8 + rowMajor / 8; }

// How one component's coefficients are quantised, in transform order.
struct Quantizer {
    // Turn the transform's raw output into multiples of the step (samples
    // carry kSampleFractionBits fraction bits).
    std::array<float, 64> multipliers{};
    // A coefficient smaller than this many steps becomes 0; from there on it
    // is rounded to the nearest step. 0.5 is plain rounding.
    std::array<float, 64> keepFrom{};
};

// `quant`: the table as written in the file (row-major); `keepFrom`: the
// smallest kept AC coefficient in steps, row-major (the DC is always rounded).
Quantizer MakeQuantizer(const std::array<uint8_t, 64>& quant, const std::array<float, 64>& keepFrom);

// The DC term of a flat block of `sample`s: 64 times the sample, which is
// what the transform gives too (it adds and scales equal samples exactly).
inline int16_t FlatBlockDc(int16_t sample, const Quantizer& quantizer) {
    const int v = _mm_cvtss_si32(_mm_mul_ss(_mm_set_ss(64.0f * sample), _mm_set_ss(quantizer.multipliers[0])));
    return static_cast<int16_t>(v < kMinDc ? kMinDc : v > kMaxCoefficient ? kMaxCoefficient : v);
}

// Transforms and quantises the block of 8 rows of 8 samples (`stride`
// samples apart); `out` receives the quantised coefficients in transform
// order. Returns the mask of non-zero coefficients (bit i = out[i] != 0).
uint64_t ForwardDctQuantize(const int16_t* src, size_t stride, const Quantizer& quantizer, int16_t* out);

}  // namespace px::jpeg
