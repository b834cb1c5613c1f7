#include "imaging/core/CpuFeatures.h"

#include <algorithm>
#include <atomic>

#if defined(_MSC_VER) && !defined(__clang__)
#include <immintrin.h>
#include <intrin.h>
#endif

namespace px {
namespace {

SimdLevel DetectSimdLevel() {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? SimdLevel::Avx2 : SimdLevel::Sse2;
#elif defined(_MSC_VER)
    int regs[4];
    __cpuid(regs, 1);
    const bool osSavesYmm = (regs[2] & (1 << 27)) && (_xgetbv(0) & 6) == 6;
    __cpuidex(regs, 7, 0);
    return osSavesYmm && (regs[1] & (1 << 5)) ? SimdLevel::Avx2 : SimdLevel::Sse2;
#else
    return SimdLevel::Sse2;
#endif
}

std::atomic<int> forcedLevel{-1};

}  // namespace

SimdLevel SupportedSimdLevel() {
    static const SimdLevel level = DetectSimdLevel();
    return level;
}

SimdLevel ActiveSimdLevel() {
    const int forced = forcedLevel.load(std::memory_order_relaxed);
    return forced < 0 ? SupportedSimdLevel() : std::min(static_cast<SimdLevel>(forced), SupportedSimdLevel());
}

void ForceSimdLevel(SimdLevel level) { forcedLevel.store(static_cast<int>(level), std::memory_order_relaxed); }
void ResetSimdLevel() { forcedLevel.store(-1, std::memory_order_relaxed); }

}  // namespace px
