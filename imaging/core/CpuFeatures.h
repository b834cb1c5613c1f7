#pragma once
// Which vector instructions the processor runs, for the pixel loops that
// come in SSE2 and AVX2 versions (besides a portable scalar one). Tests and
// benchmarks may force a lower level to exercise or time the others.
#include <cstdint>

namespace px {

enum class SimdLevel : int32_t { Scalar = 0, Sse2 = 1, Avx2 = 2 };

// The best level this processor (and its operating system) runs.
SimdLevel SupportedSimdLevel();
// What the pixel loops use: the supported level unless a lower one is forced
// (not meant to change while pictures are being processed).
SimdLevel ActiveSimdLevel();
void ForceSimdLevel(SimdLevel level);
void ResetSimdLevel();

}  // namespace px

// Marks a function compiled for AVX2 while the rest of the program stays
// SSE2; call it only when SupportedSimdLevel() is Avx2.
#if defined(__GNUC__) || defined(__clang__)
#define PX_TARGET_AVX2 __attribute__((target("avx2")))
#else
#define PX_TARGET_AVX2
#endif
