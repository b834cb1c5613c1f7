#pragma once
// Colour conversion of blue-green-red pixels into the Y, Cb and Cr samples
// the transform takes: level-shifted (centred on 0) and kept with three
// fraction bits, so no rounding to whole sample values is thrown away before
// the transform. SSE2, 16 pixels at a time.
#include <cstddef>
#include <cstdint>

namespace px::jpeg {

inline constexpr int kSampleFractionBits = 3;
inline constexpr int kPixelsPerChunk = 16;

// Weights of the JFIF conversion in 1/32768. Each row sums to 32768 (Y) or
// 0 (Cb, Cr), so white gives Y 255 and greys give no colour.
namespace weights {
inline constexpr int16_t kYR = 9798, kYG = 19234, kYB = 3736;
inline constexpr int16_t kCbR = -5529, kCbG = -10855, kCbB = 16384;
inline constexpr int16_t kCrR = 16384, kCrG = -13720, kCrB = -2664;
// Blue is paired with a constant word 1 << (shift - 1) weighted by this, so
// one multiply-add also brings the rounding term and, for Y, the level shift.
inline constexpr int16_t kYConst = -2047, kChromaConst = 1;
}  // namespace weights

// One row of `chunks` x 16 pixels into as many Y, Cb and Cr samples.
void ConvertRow444(const uint8_t* bgr, size_t chunks, int16_t* y, int16_t* cb, int16_t* cr);

// Colour at half width and half height. Decoders rebuild full-resolution
// colour by interpolating between neighbouring samples (weights 3/4 and 1/4
// each way); a plain 2x2 mean then comes out blurred across every colour
// edge. The least-squares inverse of that interpolation is a sharpened mean;
// we take a mild version of it, with taps -1, 9, 9, -1 (/16) on pixels
// 2i - 2, 2i, 2i + 1 and 2i + 3 each way, which keeps most of the gain and
// still does well with decoders that just repeat each sample.
//
// One row: Y samples (unless `y` is null) and Cb and Cr filtered across,
// kChromaRowBits fraction bits, 8 per chunk. The row is `fullChunks` chunks
// at `bgr` followed, if `tail` is not null, by one more chunk at `tail`;
// pixels past either end count as copies of the end pixel.
inline constexpr int kChromaRowBits = 6;
void ConvertRow420(const uint8_t* bgr, size_t fullChunks, const uint8_t* tail, int16_t* y, int16_t* cbRow,
                   int16_t* crRow);

// Filters down: the chroma row j from the filtered rows 2j - 2, 2j, 2j + 1
// and 2j + 3 (`count` samples, a multiple of 8), with kSampleFractionBits.
void CombineChromaRows(const int16_t* above, const int16_t* row0, const int16_t* row1, const int16_t* below,
                       size_t count, int16_t* out);

}  // namespace px::jpeg
