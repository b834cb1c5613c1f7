#include <gtest/gtest.h>

#include "controls/core/ScrollGeometry.h"

namespace px::controls {

TEST(ScrollGeometry, BarsAppearWhereTheContentDoesNotFit) {
    const Size bars{17, 17};
    struct Case {
        Size outer, content;
        bool h, v;
        Size viewport;
        Point max;
    } cases[] = {
        {{400, 300}, {400, 300}, false, false, {400, 300}, {0, 0}},    // exact fit
        {{400, 300}, {100, 50}, false, false, {400, 300}, {0, 0}},
        {{400, 300}, {401, 200}, true, false, {400, 283}, {1, 0}},     // wide only
        {{400, 300}, {300, 900}, false, true, {383, 300}, {0, 600}},   // tall only
        {{400, 300}, {390, 900}, true, true, {383, 283}, {7, 617}},    // the vertical bar forces the horizontal one
        {{400, 300}, {1000, 290}, true, true, {383, 283}, {617, 7}},   // and the other way round
        {{400, 300}, {383, 283}, false, false, {400, 300}, {0, 0}},    // fits without bars
        {{400, 300}, {1000, 1000}, true, true, {383, 283}, {617, 717}},
        {{10, 10}, {100, 100}, true, true, {0, 0}, {100, 100}},        // smaller than the bars
        {{0, 0}, {0, 0}, false, false, {0, 0}, {0, 0}},
    };
    for (auto& c : cases) {
        ScrollLayout l = ComputeScrollLayout(c.outer, c.content, bars, {0, 0});
        EXPECT_EQ(l.horizontalBar, c.h) << c.content.cx << "x" << c.content.cy;
        EXPECT_EQ(l.verticalBar, c.v) << c.content.cx << "x" << c.content.cy;
        EXPECT_EQ(l.viewport, c.viewport) << c.content.cx << "x" << c.content.cy;
        EXPECT_EQ(l.maxPosition, c.max) << c.content.cx << "x" << c.content.cy;
    }
}

TEST(ScrollGeometry, RequestedPositionIsClampedToTheScrollableRange) {
    const Size outer{200, 100}, content{500, 400}, bars{16, 16};
    struct Case {
        Point requested, expected;
    } cases[] = {{{0, 0}, {0, 0}}, {{50, 60}, {50, 60}}, {{-5, -1}, {0, 0}}, {{1000, 1000}, {316, 316}}};
    for (auto& c : cases)
        EXPECT_EQ(ComputeScrollLayout(outer, content, bars, c.requested).position, c.expected);
}

TEST(ScrollGeometry, ScrollActionsMoveWithinTheRange) {
    using A = ScrollAction;
    struct Case {
        A action;
        int current, track, expected;
    } cases[] = {
        {A::LineBack, 50, 0, 34},     {A::LineForward, 50, 0, 66}, {A::LineBack, 5, 0, 0},
        {A::LineForward, 295, 0, 300}, {A::PageBack, 150, 0, 50}, {A::PageForward, 150, 0, 250},
        {A::PageForward, 250, 0, 300}, {A::ToStart, 123, 0, 0},   {A::ToEnd, 12, 0, 300},
        {A::ToPosition, 0, 77, 77},   {A::ToPosition, 0, 999, 300},
    };
    for (auto& c : cases)
        EXPECT_EQ(ScrollActionPosition(c.action, c.current, c.track, 16, 100, 300), c.expected)
            << static_cast<int>(c.action) << " from " << c.current;
    EXPECT_EQ(ScrollActionPosition(A::PageForward, 10, 0, 16, 0, 300), 11) << "an empty page still moves";
    EXPECT_EQ(ScrollActionPosition(A::LineForward, 0, 0, 16, 100, 0), 0) << "nothing to scroll";
}

}  // namespace px::controls
