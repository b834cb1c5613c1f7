#pragma once
// The slider's value rules: Min < Max always, Value within them, and which
// notifications a change brings, in the order the control raises them (value
// changed, then ArrivedLast, then ArrivedFirst). Refused settings raise
// error 380 and leave every value as it was.
#include <cstdint>

namespace px::controls {

struct SliderNotices {
    bool changed = false;
    bool arrivedLast = false;
    bool arrivedFirst = false;
    bool any() const noexcept { return changed; }
};

class SliderModel {
public:
    int32_t Min() const noexcept { return min_; }
    int32_t Max() const noexcept { return max_; }
    int32_t Value() const noexcept { return value_; }
    int64_t Range() const noexcept { return range_; }  // Max - Min; 64 bits so no range overflows

    SliderNotices SetValue(int32_t v);
    // Stores Min and moves Value to it.
    SliderNotices SetMin(int32_t v);
    // Stores Max; a Value above the new Max follows it down.
    SliderNotices SetMax(int32_t v);
    // Persisted values taken as they come, without notifications: a pair with
    // Min >= Max falls back to the defaults 0..10, Value is kept inside them.
    void Load(int32_t min, int32_t max, int32_t value);

private:
    SliderNotices Report();

    int32_t min_ = 0;
    int32_t max_ = 10;
    int32_t value_ = 0;
    int64_t range_ = 10;
    int32_t lastReported_ = 0;
};

}  // namespace px::controls
