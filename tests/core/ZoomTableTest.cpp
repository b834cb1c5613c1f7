#include <gtest/gtest.h>

#include "app/core/ZoomTable.h"

namespace px {

TEST(ZoomTable, EveryScrollValueGivesItsSourceSizeAndReadout) {
    struct Case {
        int v, size;
        const wchar_t* readout;
    } cases[] = {
        {1, 210, L"75%"},  {2, 100, L"200%"}, {3, 67, L"300%"}, {4, 50, L"400%"},  {5, 40, L"500%"},
        {6, 33, L"600%"},  {7, 29, L"700%"},  {8, 25, L"800%"}, {9, 22, L"900%"},  {10, 20, L"1000%"},
    };
    for (auto& c : cases) EXPECT_EQ(ZoomToolStepFor(c.v), (ZoomToolStep{c.size, c.readout})) << "v=" << c.v;
}

TEST(ZoomTable, ValuesOutsideTheScrollRangeAreClampedNotDividedBy) {
    EXPECT_EQ(ZoomToolStepFor(0), ZoomToolStepFor(1));
    EXPECT_EQ(ZoomToolStepFor(-5), ZoomToolStepFor(1));
    EXPECT_EQ(ZoomToolStepFor(11), ZoomToolStepFor(10));
}

TEST(ZoomTable, ResetShowsTheScreenOneToOneWhileTheBarStandsAtTwo) {
    EXPECT_EQ(kZoomToolResetStep, 2);
    EXPECT_EQ(kZoomToolResetSource, kZoomToolDisplaySize);
    EXPECT_STREQ(kZoomToolResetReadout, L"100%");
    // The bar's own value 2 would mean 2x; reset deliberately differs from it.
    EXPECT_NE(ZoomToolStepFor(kZoomToolResetStep).sourceSize, kZoomToolResetSource);
}

TEST(ZoomTable, TheSourceLiesRightOfAndBelowTheCursor) {
    EXPECT_EQ(ZoomToolSourceAt(100, 50, 67), (ZoomToolSource{100, 50, 67}));
    EXPECT_EQ(ZoomToolSourceAt(1279, 799, 210), (ZoomToolSource{1279, 799, 210}));  // may reach past the screen
}

}  // namespace px
