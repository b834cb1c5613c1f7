#pragma once
// A scroll bar's value as the user moves it: the arrows step by SmallChange,
// the trough by LargeChange, the thumb goes where it is dragged, the ends go
// to Min and Max; the value never leaves Min..Max. A drag reports Scroll, every
// other move Change, and only when the value really moved.
#include <cstdint>

#include "controls/core/ScrollCodes.h"

namespace px {

class ScrollBarModel {
public:
    ScrollBarModel(int32_t min, int32_t max, int32_t value, int32_t smallChange, int32_t largeChange);

    enum class Event { None, Change, Scroll };
    // Applies a request (thumbPosition only for the thumb ones) and says which event it raises.
    Event Apply(ScrollRequest request, int32_t thumbPosition = 0);
    void SetValue(int32_t value);  // clamped; raises nothing

    int32_t Value() const noexcept { return value_; }
    int32_t Min() const noexcept { return min_; }
    int32_t Max() const noexcept { return max_; }
    int32_t SmallChange() const noexcept { return small_; }
    int32_t LargeChange() const noexcept { return large_; }

private:
    int32_t Clamp(int64_t v) const;
    int32_t min_, max_, value_, small_, large_;
};

}  // namespace px
