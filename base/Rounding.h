#pragma once
// The two numeric rules of the whole system: a floating-point value becomes an
// integer by rounding to the nearest, ties to even; integer division truncates
// toward zero. Every conversion goes through these so the rules live in one place.
#include <cmath>
#include <cstdint>

#include "base/Error.h"

namespace px {

// Round half to even, independent of the floating-point environment's mode.
inline double RoundHalfEvenF(double v) {
    double fl = std::floor(v);
    double diff = v - fl;
    if (diff > 0.5) return fl + 1.0;
    if (diff < 0.5) return fl;
    return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
}

// Rounded and converted; raises Overflow (6) when the value does not fit in T.
template <typename T = int32_t>
inline T RoundHalfEven(double v) {
    double r = RoundHalfEvenF(v);
    if (!(r >= static_cast<double>(std::numeric_limits<T>::min()) &&
          r <= static_cast<double>(std::numeric_limits<T>::max())))
        throw Error(ErrorNumber::Overflow, "", "Overflow");
    return static_cast<T>(r);
}

// Truncating integer division; raises Division by zero (11).
template <typename T>
inline T TruncDiv(T a, T b) {
    if (b == 0) throw Error(ErrorNumber::DivisionByZero, "", "Division by zero");
    return a / b;  // C++ integer division already truncates toward zero
}

// Clamp helper for byte results.
inline uint8_t ClampByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

}  // namespace px
