#include "app/core/ZoomTable.h"

#include <algorithm>

#include "base/Rounding.h"

namespace px {

ZoomToolStep ZoomToolStepFor(int scrollValue) {
    const int v = std::clamp(scrollValue, kZoomToolMinStep, kZoomToolMaxStep);
    if (v == 1) return {210, L"75%"};
    return {RoundHalfEven<int>(static_cast<double>(kZoomToolDisplaySize) / v), std::to_wstring(v * 100) + L"%"};
}

}  // namespace px
