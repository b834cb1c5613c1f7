#include <gtest/gtest.h>

#include <climits>

#include "base/Error.h"
#include "controls/core/SliderModel.h"

using namespace px;
using namespace px::controls;

namespace {

enum Op { SetValue, SetMin, SetMax };

struct Step {
    Op op;
    int32_t arg;
    bool refused;
    int32_t min, max, value;  // state afterwards
    bool changed, last, first;
};

SliderNotices Apply(SliderModel& m, Op op, int32_t arg) {
    switch (op) {
    case SetValue: return m.SetValue(arg);
    case SetMin: return m.SetMin(arg);
    default: return m.SetMax(arg);
    }
}

TEST(SliderModelTest, DefaultsAreZeroToTenAtZero) {
    SliderModel m;
    EXPECT_EQ(m.Min(), 0);
    EXPECT_EQ(m.Max(), 10);
    EXPECT_EQ(m.Value(), 0);
    EXPECT_EQ(m.Range(), 10);
}

TEST(SliderModelTest, SettingsInSequence) {
    const Step steps[] = {
        {SetValue, 11, true, 0, 10, 0, false, false, false},
        {SetValue, -1, true, 0, 10, 0, false, false, false},
        {SetValue, 0, false, 0, 10, 0, false, false, false},  // same as reported: quiet
        {SetValue, 10, false, 0, 10, 10, true, true, false},
        {SetValue, 10, false, 0, 10, 10, false, false, false},
        {SetValue, 4, false, 0, 10, 4, true, false, false},
        {SetMin, 3, false, 3, 10, 3, true, false, true},
        {SetMin, 3, false, 3, 10, 3, false, false, false},
        {SetMin, 10, true, 3, 10, 3, false, false, false},
        {SetMin, 11, true, 3, 10, 3, false, false, false},
        {SetMax, 3, true, 3, 10, 3, false, false, false},
        {SetMax, 2, true, 3, 10, 3, false, false, false},
        {SetValue, 8, false, 3, 10, 8, true, false, false},
        {SetMax, 20, false, 3, 20, 8, false, false, false},
        {SetMax, 5, false, 3, 5, 5, true, true, false},  // the value follows the end down
        {SetMin, 4, false, 4, 5, 4, true, false, true},
        {SetMin, INT_MIN, false, INT_MIN, 5, INT_MIN, true, false, true},
        {SetMax, INT_MAX, false, INT_MIN, INT_MAX, INT_MIN, false, false, false},
        {SetValue, INT_MAX, false, INT_MIN, INT_MAX, INT_MAX, true, true, false},
    };
    SliderModel m;
    int i = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(i++);
        SliderNotices n;
        if (s.refused) {
            try {
                Apply(m, s.op, s.arg);
                ADD_FAILURE() << "expected error 380";
            } catch (const px::Error& e) {
                EXPECT_EQ(e.number(), px::ErrorNumber::InvalidPropertyValue);
                EXPECT_EQ(e.className(), "crkSlider");
            }
        } else {
            n = Apply(m, s.op, s.arg);
        }
        EXPECT_EQ(m.Min(), s.min);
        EXPECT_EQ(m.Max(), s.max);
        EXPECT_EQ(m.Value(), s.value);
        EXPECT_EQ(m.Range(), static_cast<int64_t>(s.max) - s.min);
        EXPECT_EQ(n.changed, s.changed);
        EXPECT_EQ(n.arrivedLast, s.last);
        EXPECT_EQ(n.arrivedFirst, s.first);
    }
}

TEST(SliderModelTest, LoadTakesValuesQuietlyAndRepairsThem) {
    struct {
        int32_t min, max, value;
        int32_t emin, emax, evalue;
    } cases[] = {
        {50, 200, 100, 50, 200, 100},
        {5, 5, 5, 0, 10, 5},
        {9, 2, 1, 0, 10, 1},
        {50, 200, 7, 50, 200, 50},
        {50, 200, 700, 50, 200, 200},
    };
    for (auto& c : cases) {
        SliderModel m;
        m.Load(c.min, c.max, c.value);
        EXPECT_EQ(m.Min(), c.emin);
        EXPECT_EQ(m.Max(), c.emax);
        EXPECT_EQ(m.Value(), c.evalue);
        // The loaded value counts as reported: setting it again is quiet.
        EXPECT_FALSE(m.SetValue(c.evalue).changed);
    }
}

}  // namespace
