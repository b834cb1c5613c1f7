#include <gtest/gtest.h>

#include "controls/core/PictureViewGeometry.h"

namespace px::controls {

TEST(PictureViewGeometry, SmallPicturesAreCentredAndLargeOnesScroll) {
    struct Case {
        int pw, ph, zoom, vw, vh, sx, sy;
        ViewLayout want;
    } cases[] = {
        {100, 50, 100, 300, 200, 0, 0, {100, 50, 100, 75, 0, 0, 0, 0}},
        {100, 50, 200, 300, 200, 0, 0, {200, 100, 50, 50, 0, 0, 0, 0}},
        {100, 50, 10, 300, 200, 0, 0, {10, 5, 145, 97, 0, 0, 0, 0}},
        // larger than the view: origin follows the scroll position, clamped
        {1280, 800, 100, 600, 400, 100, 50, {1280, 800, -100, -50, 100, 50, 680, 400}},
        {1280, 800, 100, 600, 400, 5000, -3, {1280, 800, -680, 0, 680, 0, 680, 400}},
        // one axis fits, the other scrolls
        {200, 1000, 100, 300, 400, 40, 40, {200, 1000, 50, -40, 0, 40, 0, 600}},
        // a 1-pixel picture at 10 % is still one view pixel
        {1, 1, 10, 20, 20, 0, 0, {1, 1, 9, 9, 0, 0, 0, 0}},
        // nothing loaded
        {0, 0, 100, 20, 20, 0, 0, {0, 0, 10, 10, 0, 0, 0, 0}},
    };
    for (auto& c : cases) {
        ViewLayout l = LayoutPicture(c.pw, c.ph, c.zoom, c.vw, c.vh, c.sx, c.sy);
        EXPECT_EQ(l.displayW, c.want.displayW);
        EXPECT_EQ(l.displayH, c.want.displayH);
        EXPECT_EQ(l.originX, c.want.originX);
        EXPECT_EQ(l.originY, c.want.originY);
        EXPECT_EQ(l.scrollX, c.want.scrollX);
        EXPECT_EQ(l.scrollY, c.want.scrollY);
        EXPECT_EQ(l.maxScrollX, c.want.maxScrollX);
        EXPECT_EQ(l.maxScrollY, c.want.maxScrollY);
    }
}

TEST(PictureViewGeometry, AxisMappingCoversTheRequestedViewSpanWithWholeSourcePixels) {
    struct Case {
        int pixels, display, origin, b, e;
        AxisMapping want;
    } cases[] = {
        {100, 100, 0, 0, 100, {{0, 100}, {0, 100}}},
        {100, 200, 0, 0, 200, {{0, 100}, {0, 200}}},
        {100, 200, 0, 3, 7, {{1, 4}, {2, 8}}},      // partial repaint at 200 %: whole pixels around it
        {100, 200, -50, 0, 20, {{25, 35}, {0, 20}}},  // scrolled
        {100, 50, 10, 0, 100, {{0, 100}, {10, 60}}},  // 50 %: picture drawn from 10 to 60
        {100, 100, 0, 150, 200, {{0, 0}, {0, 0}}},    // view span outside the picture
        {3, 10, 0, 0, 10, {{0, 3}, {0, 10}}},         // uneven: pixel starts 0, 3, 6, end 10
        {3, 10, 0, 4, 5, {{1, 2}, {3, 6}}},
    };
    for (auto& c : cases) {
        AxisMapping m = MapAxis(c.pixels, c.display, c.origin, c.b, c.e);
        EXPECT_EQ(m.source.begin, c.want.source.begin) << c.pixels << " " << c.b;
        EXPECT_EQ(m.source.end, c.want.source.end) << c.pixels << " " << c.b;
        EXPECT_EQ(m.dest.begin, c.want.dest.begin) << c.pixels << " " << c.b;
        EXPECT_EQ(m.dest.end, c.want.dest.end) << c.pixels << " " << c.b;
    }
}

TEST(PictureViewGeometry, EveryViewPixelOfThePictureBelongsToExactlyOneSourcePixel) {
    for (int pixels : {1, 3, 7, 64, 101})
        for (int zoom : {10, 30, 90, 100, 110, 250, 500}) {
            int display = ZoomedExtent(pixels, zoom);
            for (int v = 0; v < display; ++v) {
                AxisMapping m = MapAxis(pixels, display, 0, v, v + 1);
                ASSERT_FALSE(m.source.empty()) << pixels << " " << zoom << " " << v;
                EXPECT_LE(m.dest.begin, v);
                EXPECT_GT(m.dest.end, v);
            }
        }
}

TEST(PictureViewGeometry, ZoomKeepsTheCentreInPlace) {
    EXPECT_EQ(ScrollKeepingCentre(0, 400, 1000, 2000), 200);   // centre 200 -> 400
    EXPECT_EQ(ScrollKeepingCentre(300, 400, 1000, 500), 50);   // centre 500 -> 250
    EXPECT_EQ(ScrollKeepingCentre(0, 400, 1000, 100), 0);      // never negative
    EXPECT_EQ(ScrollKeepingCentre(10, 400, 0, 100), 0);
}

}  // namespace px::controls
