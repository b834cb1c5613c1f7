// 96-DPI layout units scaled to a window's DPI.
#include <gtest/gtest.h>

#include "base/Dpi.h"

TEST(Dpi, ScalesLayoutUnitsHalfToEven) {
    struct Case {
        int units, dpi, expected;
    } cases[] = {
        {18, 96, 18},  {18, 120, 22},  // 22.5 -> 22 (even)
        {20, 120, 25}, {18, 144, 27}, {20, 144, 30}, {18, 192, 36},
        {1, 144, 2},   // 1.5 -> 2 (even)
        {3, 144, 4},   // 4.5 -> 4 (even)
        {5, 144, 8},   // 7.5 -> 8 (even)
        {-6, 144, -9}, {0, 240, 0},
        {18, 0, 18},   // no DPI known: 100 %
        {18, -1, 18},
    };
    for (const Case& c : cases) EXPECT_EQ(px::ScaleForDpi(c.units, c.dpi), c.expected) << c.units << " at " << c.dpi;
}
