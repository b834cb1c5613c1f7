#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "capture/core/CaptureRules.h"

namespace px::capture {
namespace {

TEST(CaptureRules, ShapeFollowsTheOptionIndex) {
    struct Case {
        int index;
        const wchar_t* shape;
    } cases[] = {{0, L"Rectangle"}, {1, L"Square"}, {2, L"Ellipse"}, {3, L"Circle"}, {4, L"Rectangle"},
                 {-1, L"Rectangle"}};
    for (auto& c : cases) EXPECT_EQ(ShapeName(ShapeFromIndex(c.index)), c.shape) << c.index;
}

TEST(CaptureRules, ActiveDelayIsReadBackFromTheLabel) {
    struct Case {
        const wchar_t* text;
        unsigned ms;
    } cases[] = {{L"2", 2000}, {L"0", 0}, {L"10", 10000}, {L" 7", 7000}, {L"", 0}, {L"x", 0}, {L"2s", 0},
                 {L"-3", 0},   {L"99999999999", 0}};
    for (auto& c : cases) EXPECT_EQ(ActiveDelayMs(c.text), c.ms) << std::string(c.text, c.text + wcslen(c.text));
}

TEST(CaptureRules, ShapeNamesRoundTripThroughTheButtonsAndTheParser) {
    for (SelectionShape s : {SelectionShape::Rectangle, SelectionShape::Square, SelectionShape::Ellipse,
                             SelectionShape::Circle, SelectionShape::Entire}) {
        EXPECT_EQ(ParseShape(ShapeName(s)), s);
        const int index = IndexOfShape(s);
        if (s == SelectionShape::Entire)
            EXPECT_EQ(index, -1) << "no button for the entire screen";
        else
            EXPECT_EQ(ShapeFromIndex(index), s);
    }
    EXPECT_EQ(IndexOfShape(SelectionShape::Other), -1);
}

// A window on a second monitor (left of or beyond the primary) is kept whole;
// one across two monitors keeps both parts; only what lies off every monitor goes.
TEST(CaptureRules, WindowsAreClippedToTheVirtualScreenNotThePrimary) {
    const Rect twoMonitors{-1280, 0, 1280, 1024};  // secondary on the left of a 1280 x 1024 primary
    struct Case {
        Rect window, want;
    } cases[] = {
        {{-1000, 100, -400, 500}, {-1000, 100, -400, 500}},  // wholly on the secondary
        {{-200, 100, 300, 500}, {-200, 100, 300, 500}},      // across both
        {{1000, 900, 1500, 1200}, {1000, 900, 1280, 1024}},  // off the right and bottom edges
        {{-1400, -50, -1200, 50}, {-1280, 0, -1200, 50}},    // off the far left and the top
        {{1300, 100, 1600, 400}, {}},                        // off every monitor
    };
    for (const Case& c : cases) {
        const Rect r = ClipToScreen(c.window, twoMonitors);
        EXPECT_EQ(r.empty(), c.want.empty()) << c.window.left;
        if (!c.want.empty()) EXPECT_EQ(r, c.want) << c.window.left;
    }
}

// The zoom tool near an edge: the part on the screen lands where it belongs in
// the picture, the rest stays black.
TEST(CaptureRules, VisiblePartOfAZoomSourceLandsAtItsPlace) {
    const Rect screen{0, 0, 1280, 1024};
    struct Case {
        Rect source, from, to;
    } cases[] = {
        {{100, 100, 200, 150}, {100, 100, 200, 150}, {0, 0, 100, 50}},     // inside
        {{1240, 1000, 1340, 1050}, {1240, 1000, 1280, 1024}, {0, 0, 40, 24}},  // bottom-right corner
        {{-30, -10, 70, 40}, {0, 0, 70, 40}, {30, 10, 100, 50}},           // top-left corner
        {{1300, 0, 1400, 50}, {}, {}},                                     // wholly off
    };
    for (const Case& c : cases) {
        const ScreenPart p = VisiblePart(c.source, screen);
        EXPECT_EQ(p.from.empty(), c.from.empty());
        if (c.from.empty()) continue;
        EXPECT_EQ(p.from, c.from);
        EXPECT_EQ(p.to, c.to);
    }
}

}  // namespace
}  // namespace px::capture
