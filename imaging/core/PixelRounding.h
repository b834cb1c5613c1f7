#pragma once
// Ties-to-even rounding for the per-pixel hot loops. The rule is the one of
// base/Rounding.h (tests compare the two); this version avoids the library
// floor call so a bilinear pass over a full-screen picture stays cheap.
// Only for finite values in 0 .. 2^23, which is all that pixel code produces.
#include <cstdint>

namespace px {

inline int32_t RoundHalfEvenNonNegative(float v) {
    const int32_t i = static_cast<int32_t>(v);  // truncation == floor for v >= 0
    const float d = v - static_cast<float>(i);   // exact below 2^23
    return i + static_cast<int32_t>(d > 0.5f) + static_cast<int32_t>(d == 0.5f && (i & 1) != 0);
}

}  // namespace px
