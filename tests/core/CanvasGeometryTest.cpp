// The preview canvas's geometry: layout and kept offsets, drawing
// rectangles, panning with clamping, pointer mapping (also in fit mode) and
// the cursor each state shows.
#include <gtest/gtest.h>

#include "base/Error.h"
#include "export/core/CanvasGeometry.h"

namespace px {
namespace {

CanvasGeometry Laid(int32_t w, int32_t h, int32_t zoom, int32_t cw, int32_t ch, bool fit = false) {
    CanvasGeometry g;
    g.SetZoom(zoom);
    g.SetFitMode(fit);
    g.Layout(w, h, cw, ch);
    return g;
}

TEST(CanvasGeometry, ZoomBelowOneIsStoredAsOne) {
    for (int32_t z : {0, -1, -100}) {
        CanvasGeometry g;
        g.SetZoom(z);
        EXPECT_EQ(g.Zoom(), 1) << z;
    }
    CanvasGeometry g;
    g.SetZoom(7);
    EXPECT_EQ(g.Zoom(), 7);
}

TEST(CanvasGeometry, LayoutPlacesTheSurfaceAndCentresTheOffsets) {
    const struct {
        int32_t w, h, zoom, cw, ch;
        CanvasRect surface;
        int32_t rx, ry, ox, oy;
    } cases[] = {
        {100, 80, 3, 200, 200, {0, 0, 200, 200}, 100, 40, 50, 20},  // scrolls both ways
        {50, 40, 1, 200, 200, {75, 80, 50, 40}, 0, 0, 0, 0},         // centred
        {51, 41, 1, 200, 201, {74, 80, 51, 41}, 0, 0, 0, 0},         // odd margins truncate
        {100, 10, 2, 150, 100, {0, 40, 150, 20}, 50, 0, 25, 0},      // one axis scrolls
        {101, 10, 1, 100, 100, {0, 45, 100, 10}, 1, 0, 0, 0},        // 0.5 rounds to even
        {103, 10, 1, 100, 100, {0, 45, 100, 10}, 3, 0, 2, 0},        // 1.5 rounds to even
        {10, 10, 4, 40, 40, {0, 0, 40, 40}, 0, 0, 0, 0},             // exactly fits
    };
    for (const auto& c : cases) {
        CanvasGeometry g = Laid(c.w, c.h, c.zoom, c.cw, c.ch);
        EXPECT_EQ(g.Surface(), c.surface) << c.w << "x" << c.h << " z" << c.zoom;
        EXPECT_EQ(g.RangeX(), c.rx) << c.w;
        EXPECT_EQ(g.RangeY(), c.ry) << c.w;
        EXPECT_EQ(g.OffsetX(), c.ox) << c.w;
        EXPECT_EQ(g.OffsetY(), c.oy) << c.w;
    }
}

TEST(CanvasGeometry, WithoutAPictureTheSurfaceIsParked) {
    CanvasGeometry g = Laid(100, 80, 3, 200, 200);
    EXPECT_EQ(g.Layout(0, 0, 200, 200), (CanvasRect{-1, 0, 0, 0}));
    EXPECT_FALSE(g.HasPicture());
    EXPECT_EQ(g.Blit(), CanvasBlit{});
    EXPECT_EQ(g.Cursor(), CanvasCursor::Default);
}

TEST(CanvasGeometry, OffsetsKeepTheirRelativePlaceAcrossLayouts) {
    CanvasGeometry g = Laid(100, 80, 3, 200, 200);
    g.Press(100, 100, true);
    ASSERT_TRUE(g.Move(70, 95));  // ox 50 -> 80, oy 20 -> 25
    g.Release();
    EXPECT_EQ(g.OffsetX(), 80);
    g.Layout(100, 80, 250, 200);  // range 50: 80 of 100 becomes 40 of 50
    EXPECT_EQ(g.RangeX(), 50);
    EXPECT_EQ(g.OffsetX(), 40);
    EXPECT_EQ(g.OffsetY(), 25);
    // Doubling the width drops the range to 0; shrinking again restores the middle.
    g.Layout(100, 80, 500, 200);
    EXPECT_EQ(g.RangeX(), 0);
    EXPECT_EQ(g.OffsetX(), 0);
    g.Layout(100, 80, 200, 200);
    EXPECT_EQ(g.OffsetX(), 50);
    EXPECT_EQ(g.OffsetY(), 25);
}

TEST(CanvasGeometry, DragsStopAtBothEndsAndReportOnlyRealMoves) {
    CanvasGeometry g = Laid(100, 80, 3, 200, 200);
    const struct {
        int32_t x, y;
        bool moved;
        int32_t ox, oy;
    } steps[] = {
        {100, 100, false, 50, 20},   // no travel
        {90, 100, true, 60, 20},     // left by 10: view moves right
        {400, 400, true, 0, 0},      // far right and down: clamped at 0
        {500, 500, false, 0, 0},     // further out: nothing moves, no Scroll
        {-500, -500, true, 100, 40}, // far the other way: clamped at the ranges
        {-600, -510, false, 100, 40},
        {-590, -510, true, 90, 40},
    };
    g.Press(100, 100, true);
    EXPECT_TRUE(g.Dragging());
    for (const auto& s : steps) {
        EXPECT_EQ(g.Move(s.x, s.y), s.moved) << s.x << "," << s.y;
        EXPECT_EQ(g.OffsetX(), s.ox) << s.x;
        EXPECT_EQ(g.OffsetY(), s.oy) << s.y;
    }
    g.Release();
    EXPECT_FALSE(g.Move(0, 0));
    EXPECT_EQ(g.OffsetX(), 90);
}

TEST(CanvasGeometry, OnlyALeftPressInPanModeDrags) {
    CanvasGeometry right = Laid(100, 80, 3, 200, 200);
    right.Press(100, 100, false);
    EXPECT_FALSE(right.Move(0, 0));
    EXPECT_EQ(right.OffsetX(), 50);
    CanvasGeometry pick = Laid(100, 80, 3, 200, 200);
    pick.SetWorkMode(1);
    pick.Press(100, 100, true);
    EXPECT_FALSE(pick.Move(0, 0));
    EXPECT_EQ(pick.OffsetX(), 50);
}

TEST(CanvasGeometry, PointerMapsToPictureCoordinates) {
    CanvasGeometry g = Laid(10, 10, 4, 20, 40);  // rx 20, ox 10
    ASSERT_EQ(g.OffsetX(), 10);
    const struct {
        int32_t px, py;
        CanvasPoint picture;
    } cases[] = {
        {5, 0, {3, 0}},     // floor(15 / 4)
        {0, 0, {2, 0}},
        {-11, -1, {-1, -1}}, // left of the picture (a press on the margin): floor, not truncation
        {29, 39, {9, 9}},
    };
    for (const auto& c : cases) EXPECT_EQ(g.ToPicture(c.px, c.py), c.picture) << c.px << "," << c.py;
}

TEST(CanvasGeometry, FitModeMapsThroughTheFittedRectangle) {
    const struct {
        int32_t w, h, zoom, cw, ch;
        CanvasRect surface;
        int32_t px, py;
        CanvasPoint picture;
    } cases[] = {
        {400, 200, 1, 100, 100, {0, 25, 100, 50}, 0, 0, {0, 0}},
        {400, 200, 1, 100, 100, {0, 25, 100, 50}, 50, 25, {200, 100}},
        {400, 200, 3, 100, 100, {0, 25, 100, 50}, 99, 49, {396, 196}},
        {50, 40, 3, 100, 100, {25, 30, 50, 40}, 10, 10, {10, 10}},  // not enlarged, zoom ignored
        {300, 300, 5, 200, 100, {50, 0, 100, 100}, 1, 99, {3, 297}},
    };
    for (const auto& c : cases) {
        CanvasGeometry g = Laid(c.w, c.h, c.zoom, c.cw, c.ch, true);
        EXPECT_EQ(g.Surface(), c.surface) << c.w << "x" << c.h;
        EXPECT_EQ(g.ToPicture(c.px, c.py), c.picture) << c.w << "x" << c.h << " at " << c.px;
        EXPECT_FALSE(g.CanScroll());
        EXPECT_EQ(g.Blit(), (CanvasBlit{0, 0, c.surface.width, c.surface.height, 0, 0, c.w, c.h}));
    }
}

TEST(CanvasGeometry, BlitDrawsWholePixelBlocksFromInsideThePicture) {
    CanvasGeometry g = Laid(100, 80, 3, 200, 200);  // ox 50, oy 20
    EXPECT_EQ(g.Blit(), (CanvasBlit{-2, -2, 204, 204, 16, 6, 68, 68}));
    g.Press(0, 0, true);
    g.Move(-100, -100);  // both offsets at their ranges
    EXPECT_EQ(g.Blit(), (CanvasBlit{-1, -1, 201, 201, 33, 13, 67, 67}));
    CanvasGeometry small = Laid(50, 40, 2, 200, 200);
    EXPECT_EQ(small.Blit(), (CanvasBlit{0, 0, 100, 80, 0, 0, 50, 40}));
}

// Whatever the sizes and offsets: the source stays inside the picture, the
// drawing covers the surface, and each surface pixel shows the picture pixel
// the pointer mapping names.
TEST(CanvasGeometry, BlitAgreesWithThePointerMappingEverywhere) {
    for (int32_t w : {1, 7, 100})
        for (int32_t zoom : {1, 2, 3, 7})
            for (int32_t client : {5, 50, 199}) {
                CanvasGeometry g = Laid(w, w, zoom, client, client);
                for (int32_t target = 0; target <= g.RangeX(); target += 1 + g.RangeX() / 9) {
                    g.Press(0, 0, true);
                    g.Move(g.OffsetX() - target, 0);  // pans the view to ox = target
                    g.Release();
                    ASSERT_EQ(g.OffsetX(), target);
                    const CanvasBlit b = g.Blit();
                    const CanvasRect s = g.Surface();
                    ASSERT_GE(b.sourceX, 0);
                    ASSERT_LE(b.sourceX + b.sourceWidth, w) << w << " z" << zoom << " c" << client;
                    ASSERT_LE(b.destX, 0);
                    ASSERT_GE(b.destX + b.destWidth, s.width) << w << " z" << zoom << " c" << client;
                    ASSERT_EQ(b.destWidth, b.sourceWidth * zoom);
                    for (int32_t x = 0; x < s.width; ++x)
                        ASSERT_EQ(b.sourceX + (x - b.destX) / zoom, g.ToPicture(x, 0).x)
                            << w << " z" << zoom << " c" << client << " ox" << g.OffsetX() << " x" << x;
                }
            }
}

TEST(CanvasGeometry, CursorFollowsModeRangeAndPress) {
    CanvasGeometry g = Laid(100, 80, 3, 200, 200);
    EXPECT_EQ(g.Cursor(), CanvasCursor::HandOver);
    g.Press(1, 1, true);
    EXPECT_EQ(g.Cursor(), CanvasCursor::HandCatch);
    g.Release();
    EXPECT_EQ(g.Cursor(), CanvasCursor::HandOver);
    g.SetWorkMode(-1);
    EXPECT_EQ(g.Cursor(), CanvasCursor::PickColor);
    g.SetWorkMode(0);
    g.SetFitMode(true);
    g.Layout(100, 80, 200, 200);
    EXPECT_EQ(g.Cursor(), CanvasCursor::Default);
    EXPECT_EQ(Laid(50, 40, 1, 200, 200).Cursor(), CanvasCursor::Default);
    CanvasGeometry pickFit = Laid(50, 40, 1, 200, 200, true);
    pickFit.SetWorkMode(1);
    EXPECT_EQ(pickFit.Cursor(), CanvasCursor::PickColor);
}

// Found by fuzzing: parking kept the last picture's offsets beyond the zero range.
TEST(CanvasGeometry, ParkingClearsTheOffsets) {
    CanvasGeometry g = Laid(100, 80, 3, 200, 200);
    ASSERT_GT(g.OffsetX(), 0);
    g.Layout(-5, 80, 200, 200);
    EXPECT_EQ(g.OffsetX(), 0);
    EXPECT_EQ(g.OffsetY(), 0);
    // The next picture still takes the relative place the last one had.
    g.Layout(100, 80, 200, 200);
    EXPECT_EQ(g.OffsetX(), 50);
    EXPECT_EQ(g.OffsetY(), 20);
}

// Found by fuzzing: a drag after parking compared the offsets with the last picture's and
// reported a move that did not happen.
TEST(CanvasGeometry, ADragWithoutAPictureReportsNoMove) {
    CanvasGeometry g = Laid(100, 80, 3, 200, 200);
    g.Layout(0, 0, 200, 200);
    g.Press(10, 10, true);
    EXPECT_FALSE(g.Move(40, 40));
    EXPECT_EQ(g.OffsetX(), 0);
    // With a picture again, a real move is reported.
    g.Layout(100, 80, 200, 200);
    g.Press(10, 10, true);
    EXPECT_TRUE(g.Move(0, 10));
    EXPECT_EQ(g.OffsetX(), 60);
}

// Found by fuzzing: a zoomed side past 2^31 - 1 wrapped into a negative scroll range.
TEST(CanvasGeometry, AZoomedPictureBeyondTheIntegerRangeIsRefusedWithOverflow) {
    const struct {
        int32_t w, h, zoom;
    } cases[] = {{65536, 10, 32768}, {10, 1 << 20, 2048}, {INT32_MAX, 1, 2}, {2, 2, INT32_MAX}};
    for (const auto& c : cases) {
        CanvasGeometry g = Laid(100, 80, 3, 200, 200);
        const CanvasBlit before = g.Blit();
        g.SetZoom(c.zoom);
        try {
            g.Layout(c.w, c.h, 300, 300);
            ADD_FAILURE() << c.w << " x " << c.h << " at " << c.zoom;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::Overflow);
        }
        // The previous layout stands.
        EXPECT_EQ(g.RangeX(), 100);
        EXPECT_EQ(g.Blit(), before);
    }
    // The largest zoomed side that fits is laid out; fitted pictures do not multiply.
    EXPECT_EQ(Laid(1, 1, INT32_MAX, 100, 100).RangeX(), INT32_MAX - 100);
    EXPECT_EQ(Laid(INT32_MAX, 1, INT32_MAX, 100, 100, true).RangeX(), 0);
}

// Found by fuzzing: a kept offset at the end of a range near 2^31 - 1 is 2^31 in single precision
// and raised Overflow on the next layout.
TEST(CanvasGeometry, AnOffsetAtTheEndOfTheLargestRangeIsKept) {
    CanvasGeometry g = Laid(1, 1, INT32_MAX, 10, 10);
    const int32_t range = INT32_MAX - 10;
    ASSERT_EQ(g.RangeX(), range);
    g.Press(0, 0, true);
    ASSERT_TRUE(g.Move(INT32_MIN + 1, 0));
    ASSERT_EQ(g.OffsetX(), range);
    EXPECT_NO_THROW(g.Layout(1, 1, 10, 10));
    EXPECT_EQ(g.OffsetX(), range);
}

// Found by fuzzing: a zoom set after the layout reached the drawing and the pointer mapping, which
// multiplied it by sizes of the old layout (past the integer range for large zooms).
TEST(CanvasGeometry, AZoomTakesEffectAtTheNextLayoutOnly) {
    CanvasGeometry g = Laid(100, 80, 3, 200, 200);
    const CanvasBlit before = g.Blit();
    const CanvasPoint at = g.ToPicture(10, 10);
    g.SetZoom(1 << 30);
    EXPECT_EQ(g.Blit(), before);
    EXPECT_EQ(g.ToPicture(10, 10), at);
    g.SetZoom(1);
    g.Layout(100, 80, 200, 200);
    EXPECT_EQ(g.ToPicture(10, 10), (CanvasPoint{10, 10}));
}

}  // namespace
}  // namespace px
