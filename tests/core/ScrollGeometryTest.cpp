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

TEST(ScrollBarModel, BarsStepStopAtTheirEndsAndSayWhichEvent) {
    using R = ScrollRequest;
    using E = ScrollBarModel::Event;
    const struct {
        int32_t min, max, start, small, large;
        R request;
        int32_t thumb;
        int32_t expected;
        E event;
    } cases[] = {
        // The brightness bar (0..510) and the contrast bar (0..200).
        {0, 510, 255, 32, 64, R::LineDown, 0, 287, E::Change},
        {0, 510, 255, 32, 64, R::LineUp, 0, 223, E::Change},
        {0, 510, 255, 32, 64, R::PageDown, 0, 319, E::Change},
        {0, 510, 500, 32, 64, R::PageDown, 0, 510, E::Change},  // clamped at Max
        {0, 510, 510, 32, 64, R::LineDown, 0, 510, E::None},    // already there: no event
        {0, 510, 10, 32, 64, R::PageUp, 0, 0, E::Change},
        {0, 510, 255, 32, 64, R::ThumbTrack, 300, 300, E::Scroll},
        {0, 510, 255, 32, 64, R::ThumbPosition, 17, 17, E::Change},
        {0, 510, 255, 32, 64, R::ThumbTrack, 900, 510, E::Scroll},
        {0, 510, 255, 32, 64, R::ThumbTrack, 255, 255, E::None},  // a drag that did not move
        {0, 200, 100, 10, 40, R::LineUp, 0, 90, E::Change},
        {0, 200, 100, 10, 40, R::PageDown, 0, 140, E::Change},
        {0, 200, 100, 10, 40, R::Top, 0, 0, E::Change},
        {0, 200, 100, 10, 40, R::Bottom, 0, 200, E::Change},
        {0, 200, 100, 10, 40, R::EndScroll, 0, 100, E::None},
        // A range that does not start at 0 (the zoom tool's bar starts at 1): the ends are Min and Max.
        {1, 16, 5, 1, 4, R::Top, 0, 1, E::Change},
        {1, 16, 5, 1, 4, R::LineUp, 0, 4, E::Change},
        {1, 16, 2, 1, 4, R::PageUp, 0, 1, E::Change},
        {1, 16, 5, 1, 4, R::ThumbTrack, -3, 1, E::Scroll},
        {-50, 50, 0, 5, 20, R::PageDown, 0, 20, E::Change},
        {-50, 50, 0, 5, 20, R::Top, 0, -50, E::Change},
        {-50, 50, 0, 5, 20, R::ThumbPosition, -7, -7, E::Change},
    };
    for (const auto& c : cases) {
        ScrollBarModel bar(c.min, c.max, c.start, c.small, c.large);
        EXPECT_EQ(bar.Apply(c.request, c.thumb), c.event) << static_cast<int>(c.request) << " from " << c.start;
        EXPECT_EQ(bar.Value(), c.expected) << static_cast<int>(c.request) << " from " << c.start;
    }
}

TEST(ScrollBarModel, ValueAndRangeStayConsistent) {
    ScrollBarModel bar(0, 100, 250, 1, 10);
    EXPECT_EQ(bar.Value(), 100) << "a start value past Max is clamped";
    bar.SetRange(0, 40, 2, 8);
    EXPECT_EQ(bar.Value(), 40) << "a narrower range pulls the value in";
    bar.SetRange(10, 5, 1, 1);
    EXPECT_EQ(bar.Max(), 10) << "an inverted range collapses to Min";
    EXPECT_EQ(bar.Value(), 10);
    EXPECT_EQ(bar.Apply(ScrollRequest::LineDown), ScrollBarModel::Event::None);
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
