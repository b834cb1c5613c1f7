#include "controls/core/SliderModel.h"

#include <algorithm>

#include "base/Error.h"

namespace px::controls {

namespace {
[[noreturn]] void Refuse() { throw Error(ErrorNumber::InvalidPropertyValue, "crkSlider", "Invalid property value"); }
}  // namespace

SliderNotices SliderModel::Report() {
    SliderNotices n;
    if (value_ == lastReported_) return n;
    lastReported_ = value_;
    n.changed = true;
    n.arrivedLast = value_ == max_;
    n.arrivedFirst = value_ == min_;
    return n;
}

SliderNotices SliderModel::SetValue(int32_t v) {
    if (v < min_ || v > max_) Refuse();
    value_ = v;
    return Report();
}

SliderNotices SliderModel::SetMin(int32_t v) {
    if (v >= max_) Refuse();
    min_ = v;
    range_ = static_cast<int64_t>(max_) - min_;
    value_ = v;
    return Report();
}

SliderNotices SliderModel::SetMax(int32_t v) {
    if (v <= min_) Refuse();
    max_ = v;
    range_ = static_cast<int64_t>(max_) - min_;
    // A value beyond the new end would put the thumb off the rail.
    value_ = std::min(value_, max_);
    return Report();
}

void SliderModel::Load(int32_t min, int32_t max, int32_t value) {
    if (min >= max) {
        min = 0;
        max = 10;
    }
    min_ = min;
    max_ = max;
    range_ = static_cast<int64_t>(max_) - min_;
    value_ = std::clamp(value, min_, max_);
    lastReported_ = value_;
}

}  // namespace px::controls
