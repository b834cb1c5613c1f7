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
    using A = ScrollRequest;
    struct Case {
        A action;
        int current, track, expected;
    } cases[] = {
        {A::LineUp, 50, 0, 34},     {A::LineDown, 50, 0, 66}, {A::LineUp, 5, 0, 0},
        {A::LineDown, 295, 0, 300}, {A::PageUp, 150, 0, 50}, {A::PageDown, 150, 0, 250},
        {A::PageDown, 250, 0, 300}, {A::Top, 123, 0, 0},   {A::Bottom, 12, 0, 300},
        {A::ThumbTrack, 0, 77, 77},   {A::ThumbPosition, 0, 999, 300}, {A::EndScroll, 42, 7, 42},
    };
    for (auto& c : cases)
        EXPECT_EQ(ScrollPosition(c.action, c.current, c.track, 16, 100, 300), c.expected)
            << static_cast<int>(c.action) << " from " << c.current;
    EXPECT_EQ(ScrollPosition(A::PageDown, 10, 0, 16, 0, 300), 11) << "an empty page still moves";
    EXPECT_EQ(ScrollPosition(A::LineDown, 0, 0, 16, 100, 0), 0) << "nothing to scroll";
}

}  // namespace px::controls

TEST(ScrollCodes, EveryPlatformCodeHasOneRequest) {
    // The platform's numbers: SB_LINEUP 0 ... SB_ENDSCROLL 8 (horizontal names share them).
    using R = px::ScrollRequest;
    const R expected[] = {R::LineUp, R::LineDown, R::PageUp, R::PageDown, R::ThumbPosition,
                          R::ThumbTrack, R::Top, R::Bottom, R::EndScroll};
    for (unsigned code = 0; code < 9; ++code) {
        auto r = px::ScrollRequestFromCode(code);
        ASSERT_TRUE(r.has_value()) << code;
        EXPECT_EQ(*r, expected[code]) << code;
        EXPECT_EQ(px::IsThumbRequest(*r), code == 4 || code == 5) << code;
    }
    for (unsigned code : {9u, 15u, 0xFFFFu}) EXPECT_FALSE(px::ScrollRequestFromCode(code).has_value()) << code;
}
