#pragma once
// What every fuzz target shares: a property check that stops the run with a
// message (the fuzzer then keeps the input as a crash), and readers that turn
// the fuzzer's bytes into the values the code under test takes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

namespace px::fuzz {

// A 32-bit value that is mostly small, sometimes an edge of the range, sometimes anything:
// sizes and offsets near 0 and near the overflow limits find most faults.
inline int32_t SizeLike(FuzzedDataProvider& in, int32_t smallMax) {
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
        case 0: return in.ConsumeIntegral<int32_t>();
        case 1: return INT32_MAX - in.ConsumeIntegralInRange<int32_t>(0, 64);
        case 2: return INT32_MIN + in.ConsumeIntegralInRange<int32_t>(0, 64);
        case 3: return in.ConsumeIntegralInRange<int32_t>(-4, 4);
        default: return in.ConsumeIntegralInRange<int32_t>(0, smallMax);
    }
}

}  // namespace px::fuzz
