#pragma once
// Layouts are written in 96-DPI units (what a window measures at 100 %) and
// scaled to the window's DPI when placed. One rule for every window: the exact
// product, rounded half to even.
#include "base/Rounding.h"

namespace px {

inline constexpr int kDefaultDpi = 96;

inline int ScaleForDpi(int units96, int dpi) {
    if (dpi <= 0) dpi = kDefaultDpi;
    return RoundHalfEven<int>(static_cast<double>(units96) * dpi / kDefaultDpi);
}

}  // namespace px
