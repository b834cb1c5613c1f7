#pragma once
// The encoder's inner loops (colour conversion, chroma reduction, transform
// and quantisation) in three versions with identical results: portable
// scalar code (the reference the others are tested against), SSE2 (every
// x86-64 processor) and AVX2, chosen at run time from the processor.
#include <cstddef>
#include <cstdint>

#include "export/core/JpegDct.h"
#include "imaging/core/CpuFeatures.h"

namespace px::jpeg {

using px::ActiveSimdLevel;
using px::ForceSimdLevel;
using px::ResetSimdLevel;
using px::SimdLevel;
using px::SupportedSimdLevel;

struct Kernels {
    void (*convertRow444)(const uint8_t* bgr, size_t chunks, int16_t* y, int16_t* cb, int16_t* cr);
    void (*convertRow420)(const uint8_t* bgr, size_t fullChunks, const uint8_t* tail, int16_t* y, int16_t* cbRow,
                          int16_t* crRow);
    void (*combineChromaRows)(const int16_t* above, const int16_t* row0, const int16_t* row1, const int16_t* below,
                              size_t count, int16_t* out);
    uint64_t (*forwardDctQuantize)(const int16_t* src, size_t stride, const Quantizer& quantizer, int16_t* out);
};

// The kernels of `level` (at most SupportedSimdLevel(); higher levels fall
// back). The encoder takes those of ActiveSimdLevel().
const Kernels& KernelsFor(SimdLevel level);

namespace scalar {
void ConvertRow444(const uint8_t* bgr, size_t chunks, int16_t* y, int16_t* cb, int16_t* cr);
void ConvertRow420(const uint8_t* bgr, size_t fullChunks, const uint8_t* tail, int16_t* y, int16_t* cbRow,
                   int16_t* crRow);
void CombineChromaRows(const int16_t* above, const int16_t* row0, const int16_t* row1, const int16_t* below,
                       size_t count, int16_t* out);
uint64_t ForwardDctQuantize(const int16_t* src, size_t stride, const Quantizer& quantizer, int16_t* out);
}  // namespace scalar

namespace avx2 {
// Only when SupportedSimdLevel() is Avx2.
void ConvertRow444(const uint8_t* bgr, size_t chunks, int16_t* y, int16_t* cb, int16_t* cr);
void ConvertRow420(const uint8_t* bgr, size_t fullChunks, const uint8_t* tail, int16_t* y, int16_t* cbRow,
                   int16_t* crRow);
void CombineChromaRows(const int16_t* above, const int16_t* row0, const int16_t* row1, const int16_t* below,
                       size_t count, int16_t* out);
uint64_t ForwardDctQuantize(const int16_t* src, size_t stride, const Quantizer& quantizer, int16_t* out);
}  // namespace avx2

}  // namespace px::jpeg
