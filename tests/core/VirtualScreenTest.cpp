#include <gtest/gtest.h>

#include "capture/core/VirtualScreen.h"

using namespace px::capture;

namespace {

// Made-up layouts: a primary 1920 x 1080 at the origin with a 1280 x 1024
// monitor to its left, lower by 200 (negative x), or above it (negative y).
const Rect kPrimary{0, 0, 1920, 1080};
const Rect kLeft{-1280, 200, 0, 1224};
const Rect kAbove{320, -900, 1920, 0};

long long Area(const Rect& r) { return static_cast<long long>(r.width()) * r.height(); }

TEST(VirtualScreenTest, BoundsHoldEveryMonitorAndTheReportedArea) {
    struct {
        std::vector<Rect> monitors;
        Rect reported, bounds;
        size_t kept;
    } cases[] = {
        {{kPrimary}, kPrimary, kPrimary, 1},
        {{kPrimary, kLeft}, {-1280, 0, 1920, 1224}, {-1280, 0, 1920, 1224}, 2},
        {{kPrimary, kAbove}, {0, -900, 1920, 1080}, {0, -900, 1920, 1080}, 2},
        {{kPrimary, kLeft}, kPrimary, {-1280, 0, 1920, 1224}, 2},         // a stale report is widened
        {{kPrimary, {5, 5, 5, 90}}, kPrimary, kPrimary, 1},                // an empty monitor is dropped
        {{}, {0, 0, 800, 600}, {0, 0, 800, 600}, 1},                       // nothing listed: the report is the one
    };
    for (const auto& c : cases) {
        const ScreenLayout l = MakeScreenLayout(c.monitors, c.reported);
        EXPECT_EQ(l.bounds, c.bounds);
        EXPECT_EQ(l.monitors.size(), c.kept);
    }
}

TEST(VirtualScreenTest, OverlayAndScreenCoordinatesConvertBothWays) {
    const Rect bounds{-1280, -900, 1920, 1224};
    EXPECT_EQ(ToScreen({0, 0}, bounds), (Point{-1280, -900}));
    EXPECT_EQ(ToScreen({1280, 900}, bounds), (Point{0, 0}));
    EXPECT_EQ(ToOverlay(kLeft, bounds), (Rect{0, 1100, 1280, 2124}));
    EXPECT_EQ(ToOverlay(kPrimary, bounds), (Rect{1280, 900, 3200, 1980}));
}

TEST(VirtualScreenTest, MonitorUnderThePointerOrNearestToIt) {
    const std::vector<Rect> monitors{kPrimary, kLeft};
    struct {
        Point p;
        int monitor;
    } cases[] = {
        {{0, 500}, 0},      // the seam's first pixel belongs to the right-hand monitor
        {{-1, 500}, 1},     // and the one before it to the left
        {{-640, 700}, 1},  {{1919, 1079}, 0},
        {{-100, 100}, 0},   // above the left monitor, where it shows nothing: the primary is nearer
        {{-100, 190}, 1},   // 10 above the left monitor, 100 left of the primary
        {{500, 1150}, 0},   // below the primary
        {{-5000, -5000}, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(MonitorAt(monitors, c.p), c.monitor) << c.p.x << "," << c.p.y;
    EXPECT_EQ(MonitorAt({}, {0, 0}), -1);
}

TEST(VirtualScreenTest, UncoveredPartsAreWhatNoMonitorShows) {
    struct {
        std::vector<Rect> monitors;
        std::vector<Rect> uncovered;
    } cases[] = {
        {{kPrimary}, {}},
        {{kPrimary, kLeft}, {{-1280, 0, 0, 200}, {0, 1080, 1920, 1224}}},
        {{kPrimary, kAbove}, {{0, -900, 320, 0}}},
        {{kPrimary, {1920, 0, 3840, 1080}}, {}},
        {{kPrimary, kLeft, kAbove}, {{-1280, -900, 320, 0}, {-1280, 0, 0, 200}, {0, 1080, 1920, 1224}}},
    };
    for (const auto& c : cases) {
        const ScreenLayout l = MakeScreenLayout(c.monitors, {});
        const auto parts = UncoveredParts(l.bounds, l.monitors);
        EXPECT_EQ(parts, c.uncovered);
        // Monitors (disjoint here) and the uncovered parts tile the bounds exactly.
        long long area = 0;
        for (const Rect& m : l.monitors) area += Area(m);
        for (const Rect& r : parts) {
            area += Area(r);
            for (const Rect& m : l.monitors) EXPECT_TRUE(Intersect(r, m).empty());
        }
        EXPECT_EQ(area, Area(l.bounds));
    }
}

TEST(VirtualScreenTest, ControlsStayOnThePointersMonitor) {
    const std::vector<Rect> monitors{kPrimary, kLeft};
    struct {
        Rect box;
        int monitor;
        Point shift;
    } cases[] = {
        {{100, 100, 300, 300}, 0, {0, 0}},         // inside: where the layout puts it
        {{1800, 100, 2000, 300}, 0, {0, 0}},       // off the outer edge: cut off as on one screen
        {{1800, 1000, 2000, 1200}, 0, {0, 0}},
        {{-100, 500, 100, 700}, 1, {-100, 0}},     // across the seam: back onto the left monitor
        {{-100, 1000, 100, 1300}, 1, {-100, -76}}, // and up from its bottom edge
        {{-100, 500, 100, 700}, 0, {100, 0}},      // the pointer on the primary: onto it
        {{-1380, 150, -1180, 350}, 1, {0, 0}},     // off the left monitor's outer edges only
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShiftOntoMonitor(c.box, monitors[static_cast<size_t>(c.monitor)], monitors), c.shift)
            << c.box.left << "," << c.box.top;
    // Larger than the monitor: the top-left edge wins.
    EXPECT_EQ(ShiftOntoMonitor({-300, 500, 2000, 700}, kPrimary, monitors), (Point{300, 0}));
}

}  // namespace
