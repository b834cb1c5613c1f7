#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "capture/core/OverlayDamage.h"

using namespace px::capture;

namespace {

bool Covered(const std::vector<Rect>& cover, int x, int y) {
    for (const Rect& r : cover)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

// The pixels a one-pixel pen puts on the outline of the box with both corners included.
std::vector<Point> RectangleOutlinePixels(Point a, Point b) {
    std::vector<Point> pts;
    const int l = std::min(a.x, b.x), r = std::max(a.x, b.x), t = std::min(a.y, b.y), bt = std::max(a.y, b.y);
    for (int x = l; x <= r; ++x) pts.push_back({x, t}), pts.push_back({x, bt});
    for (int y = t; y <= bt; ++y) pts.push_back({l, y}), pts.push_back({r, y});
    return pts;
}

// An independent raster of the ellipse inscribed in a half-open box: the curve
// through the outermost pixel centres, sampled finely and rounded, with every
// neighbour of each sample (a rasteriser may land one pixel either way).
std::vector<Point> EllipseOutlinePixels(const Rect& box) {
    std::vector<Point> pts;
    const double cx = (box.left + box.right - 1) / 2.0, cy = (box.top + box.bottom - 1) / 2.0;
    const double a = (box.width() - 1) / 2.0, b = (box.height() - 1) / 2.0;
    const int steps = 8 * (box.width() + box.height()) + 64;
    for (int i = 0; i < steps; ++i) {
        const double t = 2 * std::numbers::pi * i / steps;
        const int x = static_cast<int>(std::lround(cx + a * std::cos(t)));
        const int y = static_cast<int>(std::lround(cy + b * std::sin(t)));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) pts.push_back({x + dx, y + dy});
    }
    return pts;
}

TEST(OverlayDamageTest, RectangleCoverHoldsTheOutlineAndLittleElse) {
    struct {
        Point a, b;
    } cases[] = {
        {{100, 100}, {300, 200}}, {{300, 200}, {100, 100}}, {{5, 5}, {6, 6}},     {{5, 5}, {5, 5}},
        {{0, 0}, {3839, 2159}},   {{50, 10}, {50, 900}},    {{10, 50}, {900, 50}}, {{-20, -30}, {40, 60}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.a.x) + "," + std::to_string(c.a.y) + " " + std::to_string(c.b.x) + "," +
                     std::to_string(c.b.y));
        auto cover = RectangleOutlineCover(c.a, c.b, 1);
        for (Point p : RectangleOutlinePixels(c.a, c.b)) ASSERT_TRUE(Covered(cover, p.x, p.y)) << p.x << "," << p.y;
        const int64_t perimeter = 2 * (std::abs(c.b.x - c.a.x) + std::abs(c.b.y - c.a.y)) + 4;
        EXPECT_LE(TotalArea(cover), perimeter * 6 + 100);
    }
}

TEST(OverlayDamageTest, EllipseCoverHoldsTheOutlineAndLittleElse) {
    const Rect boxes[] = {
        {0, 0, 3840, 2160}, {100, 100, 400, 300}, {300, 300, 100, 100},  // reversed corners, as dragged up-left
        {0, 0, 3000, 5},    {10, 10, 15, 2000},   {7, 7, 10, 10},
        {7, 7, 8, 8},       {7, 7, 7, 7},         {-500, -300, 500, 300},
        {0, 0, 1280, 800},  {50, 60, 51, 400},    {0, 0, 33, 34},
    };
    for (const Rect& given : boxes) {
        SCOPED_TRACE(std::to_string(given.left) + "," + std::to_string(given.top) + "," + std::to_string(given.right) +
                     "," + std::to_string(given.bottom));
        const Rect box{std::min(given.left, given.right), std::min(given.top, given.bottom),
                       std::max(given.left, given.right), std::max(given.top, given.bottom)};
        auto cover = EllipseOutlineCover(given, 1);
        if (box.width() > 0 && box.height() > 0) {
            for (Point p : EllipseOutlinePixels(box)) ASSERT_TRUE(Covered(cover, p.x, p.y)) << p.x << "," << p.y;
        }
        // The box's corner pixels are drawn only for boxes too small to have a curve.
        if (box.width() > 40 && box.height() > 40) {
            EXPECT_FALSE(Covered(cover, box.left, box.top));
        }
        const int64_t boxArea = static_cast<int64_t>(box.width() + 8) * (box.height() + 8);
        if (box.width() >= 400 && box.height() >= 400) {
            EXPECT_LT(TotalArea(cover), boxArea / 5);
        }
        EXPECT_LE(TotalArea(cover), boxArea);
    }
}

TEST(OverlayDamageTest, GridCoverIsTheLines) {
    auto cover = GridCover(1280, 800, 100);
    ASSERT_EQ(cover.size(), 7u + 12u);
    EXPECT_EQ(cover.front(), (Rect{0, 100, 1280, 101}));
    EXPECT_EQ(cover[6], (Rect{0, 700, 1280, 701}));
    EXPECT_EQ(cover[7], (Rect{100, 0, 101, 800}));
    EXPECT_EQ(cover.back(), (Rect{1200, 0, 1201, 800}));
    EXPECT_TRUE(GridCover(1280, 800, 0).empty());
    EXPECT_EQ(TotalArea(GridCover(3840, 2160, 50)), 43 * 3840 + 76 * 2160);
}

TEST(OverlayDamageTest, ClipRects) {
    const Rect bounds{0, 0, 100, 50};
    const std::vector<Rect> rects = {
        {-10, -10, 20, 20}, {90, 40, 120, 60}, {200, 0, 300, 10}, {10, 10, 10, 20}, {5, 5, 6, 6}, {0, 0, 100, 50},
    };
    const std::vector<Rect> expected = {{0, 0, 20, 20}, {90, 40, 100, 50}, {5, 5, 6, 6}, {0, 0, 100, 50}};
    EXPECT_EQ(ClipRects(rects, bounds), expected);
}

// The pixel set of a list of rectangles inside `bounds`, as a mask.
std::vector<bool> Mask(const std::vector<Rect>& rects, const Rect& bounds) {
    std::vector<bool> m(static_cast<size_t>(bounds.width()) * bounds.height());
    for (const Rect& r : rects)
        for (int y = std::max(r.top, bounds.top); y < std::min(r.bottom, bounds.bottom); ++y)
            for (int x = std::max(r.left, bounds.left); x < std::min(r.right, bounds.right); ++x)
                m[static_cast<size_t>(y - bounds.top) * bounds.width() + (x - bounds.left)] = true;
    return m;
}

TEST(OverlayDamageTest, MergeRectsKeepsThePixelsInFewerRectangles) {
    struct {
        std::vector<Rect> rects;
        size_t merged;
    } cases[] = {
        {{{0, 0, 10, 5}, {10, 0, 20, 5}}, 1},                    // touching in the same rows
        {{{0, 0, 10, 5}, {5, 0, 8, 5}, {7, 0, 30, 5}}, 1},       // overlapping and contained
        {{{0, 0, 10, 5}, {11, 0, 20, 5}}, 2},                    // a column apart
        {{{0, 0, 10, 5}, {0, 1, 10, 6}}, 2},                     // other rows: kept apart
        {{{3, 3, 3, 9}, {0, 0, 2, 2}, {0, 0, 2, 2}}, 1},         // empty dropped, duplicates merged
        {{{-5, -5, 0, 0}, {20, 7, 40, 9}, {0, -5, 1, 0}}, 2},
        {{}, 0},
    };
    const Rect bounds{-10, -10, 50, 20};
    for (auto& c : cases) {
        auto merged = MergeRects(c.rects);
        EXPECT_EQ(merged.size(), c.merged);
        EXPECT_EQ(Mask(merged, bounds), Mask(c.rects, bounds));
    }
    // Two frames of a growing ellipse share their strips' rows: together they
    // need hardly more rectangles than one of them.
    auto a = EllipseOutlineCover({100, 100, 3000, 2000}, 1), b = EllipseOutlineCover({100, 100, 3010, 2004}, 1);
    std::vector<Rect> both = a;
    both.insert(both.end(), b.begin(), b.end());
    auto merged = MergeRects(both);
    EXPECT_LE(merged.size(), b.size() + 4);
    EXPECT_EQ(Mask(merged, {0, 0, 3100, 2100}), Mask(both, {0, 0, 3100, 2100}));
}

std::vector<uint32_t> Pattern(int w, int h, uint32_t seed) {
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[static_cast<size_t>(y) * w + x] = seed ^ (static_cast<uint32_t>(y) << 12 | x);
    return px;
}

TEST(OverlayDamageTest, RestoreRectsCopiesExactlyTheRectangles) {
    const int w = 40, h = 30;
    auto target = Pattern(w, h, 0xAA000000u), source = Pattern(w, h, 0x55000000u);
    const auto before = target;
    px::View2D<uint32_t> t(target.data(), w, h, w);
    px::View2D<const uint32_t> s(source.data(), w, h, w);
    const std::vector<Rect> rects = {{0, 0, 40, 1}, {3, 5, 9, 12}, {39, 0, 40, 30}, {5, 8, 20, 9}, {0, 29, 1, 30}};
    RestoreRects(t, s, rects);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y) * w + x;
            EXPECT_EQ(target[i], Covered(rects, x, y) ? source[i] : before[i]) << x << "," << y;
        }
}

TEST(OverlayDamageTest, RestoreRectsRefusesRectanglesOffTheSurface) {
    std::vector<uint32_t> a(100), b(100), c(90);
    px::View2D<uint32_t> t(a.data(), 10, 10, 10);
    px::View2D<const uint32_t> s(b.data(), 10, 10, 10);
    for (Rect r : {Rect{-1, 0, 5, 5}, Rect{0, 0, 11, 5}, Rect{5, 5, 10, 11}}) {
        try {
            RestoreRects(t, s, {&r, 1});
            ADD_FAILURE() << "no error for " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        } catch (const px::Error& e) {
            EXPECT_EQ(e.number(), px::ErrorNumber::SubscriptOutOfRange);
        }
    }
    px::View2D<const uint32_t> narrow(c.data(), 9, 10, 9);
    const Rect r{0, 0, 2, 2};
    EXPECT_THROW(RestoreRects(t, narrow, {&r, 1}), px::Error);
    const Rect empty{4, 4, 4, 9};  // nothing to copy, wherever it lies
    EXPECT_NO_THROW(RestoreRects(t, s, {&empty, 1}));
}

// A frame model: the frozen picture, a band drawn on it by an independent
// rasteriser, and the next frame restoring only the last frame's cover must
// equal a frame drawn on a fresh copy of the frozen picture.
struct Band {
    bool ellipse;
    Point a, b;
};

void DrawBand(std::vector<uint32_t>& px, int w, int h, const Band& band) {
    std::vector<Point> pts =
        band.ellipse ? EllipseOutlinePixels(EllipseBox(band.a, band.b)) : RectangleOutlinePixels(band.a, band.b);
    for (Point p : pts)
        if (p.x >= 0 && p.y >= 0 && p.x < w && p.y < h) px[static_cast<size_t>(p.y) * w + p.x] = 0x0000FF00u;
}

std::vector<Rect> BandCover(const Band& band, const Rect& screen) {
    return ClipRects(band.ellipse ? EllipseOutlineCover(EllipseBox(band.a, band.b), 1)
                                  : RectangleOutlineCover(band.a, band.b, 1),
                     screen);
}

TEST(OverlayDamageTest, IncrementalFramesEqualFullRedraws) {
    const int w = 320, h = 200;
    const Rect screen{0, 0, w, h};
    const auto frozen = Pattern(w, h, 0x12345678u);
    const std::vector<std::vector<Band>> drags = {
        {{false, {50, 50}, {60, 60}}, {false, {50, 50}, {200, 150}}, {false, {50, 50}, {10, 5}},
         {false, {50, 50}, {319, 199}}, {false, {50, 50}, {51, 51}}},
        {{true, {160, 100}, {300, 190}}, {true, {160, 100}, {0, 0}}, {true, {160, 100}, {165, 180}},
         {true, {160, 100}, {319, 101}}, {true, {160, 100}, {20, 199}}},
        {{true, {0, 0}, {319, 199}}, {false, {0, 0}, {319, 199}}, {true, {0, 0}, {100, 100}}},
    };
    for (const auto& drag : drags) {
        std::vector<uint32_t> canvas = frozen;
        px::View2D<uint32_t> view(canvas.data(), w, h, w);
        px::View2D<const uint32_t> source(frozen.data(), w, h, w);
        std::vector<Rect> drawn;
        for (const Band& band : drag) {
            RestoreRects(view, source, drawn);
            DrawBand(canvas, w, h, band);
            drawn = BandCover(band, screen);

            std::vector<uint32_t> full = frozen;
            DrawBand(full, w, h, band);
            ASSERT_EQ(canvas, full) << "band to " << band.b.x << "," << band.b.y;
        }
    }
}

}  // namespace
