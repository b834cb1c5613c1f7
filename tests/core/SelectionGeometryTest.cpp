#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "capture/core/SelectionGeometry.h"

using namespace px::capture;

namespace {

TEST(SelectionGeometryTest, ShapeNames) {
    struct {
        const wchar_t* name;
        SelectionShape shape;
    } cases[] = {
        {L"Rectangle", SelectionShape::Rectangle}, {L"Square", SelectionShape::Square},
        {L"Ellipse", SelectionShape::Ellipse},     {L"Circle", SelectionShape::Circle},
        {L"Entire", SelectionShape::Entire},       {L"rectangle", SelectionShape::Other},
        {L"", SelectionShape::Other},              {L"Rectangle ", SelectionShape::Other},
    };
    for (auto& c : cases) EXPECT_EQ(ParseShape(c.name), c.shape) << std::wstring(c.name).size();
}

TEST(SelectionGeometryTest, LassoLineStyleFallsBackToSolid) {
    struct {
        int drStyle, style;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 0}, {5, 0}, {-1, 0}, {32767, 0}};
    for (auto& c : cases) EXPECT_EQ(LassoLineStyle(c.drStyle), c.style) << c.drStyle;
}

TEST(SelectionGeometryTest, BandEndTakesSquareHeightFromTheSignedWidth) {
    struct {
        SelectionShape shape;
        Point start, cursor, end;
    } cases[] = {
        {SelectionShape::Rectangle, {100, 100}, {150, 60}, {150, 60}},
        {SelectionShape::Ellipse, {100, 100}, {40, 300}, {40, 300}},
        {SelectionShape::Square, {100, 100}, {150, 60}, {150, 150}},    // right and up: a square below
        {SelectionShape::Square, {100, 100}, {150, 400}, {150, 150}},   // vertical movement ignored
        {SelectionShape::Square, {100, 100}, {50, 300}, {50, 50}},      // left: a square above
        {SelectionShape::Circle, {100, 100}, {130, 100}, {130, 130}},
        {SelectionShape::Circle, {10, 20}, {0, 500}, {0, 10}},
        {SelectionShape::Square, {100, 100}, {100, 180}, {100, 100}},  // no width, no height
        {SelectionShape::Other, {1, 2}, {3, 4}, {3, 4}},
        {SelectionShape::Entire, {1, 2}, {3, 4}, {3, 4}},
    };
    for (auto& c : cases)
        EXPECT_EQ(BandEnd(c.shape, c.start, c.cursor), c.end)
            << static_cast<int>(c.shape) << " cursor " << c.cursor.x << "," << c.cursor.y;
}

TEST(SelectionGeometryTest, SelectionRectIsTheSameInEveryDragDirection) {
    struct {
        Point start, end;
        Rect picture;
    } cases[] = {
        {{100, 200}, {300, 250}, {100, 200, 300, 250}},
        {{300, 250}, {100, 200}, {100, 200, 300, 250}},  // up and to the left
        {{300, 200}, {100, 250}, {100, 200, 300, 250}},  // down and to the left
        {{100, 250}, {300, 200}, {100, 200, 300, 250}},  // up and to the right
        {{10, 10}, {11, 11}, {10, 10, 11, 11}},          // one pixel
        {{11, 11}, {10, 10}, {10, 10, 11, 11}},
        {{10, 10}, {10, 10}, {}},                        // a click
        {{10, 10}, {50, 10}, {}},                        // no height
        {{10, 10}, {10, 50}, {}},                        // no width
        {{0, 0}, {3840, 2160}, {0, 0, 3840, 2160}},
    };
    for (auto& c : cases) {
        Rect r = SelectionRect(c.start, c.end);
        EXPECT_EQ(r, c.picture) << c.start.x << "," << c.start.y << " -> " << c.end.x << "," << c.end.y;
        EXPECT_EQ(r.width(), c.picture.empty() ? 0 : std::abs(c.end.x - c.start.x));
        EXPECT_EQ(r.height(), c.picture.empty() ? 0 : std::abs(c.end.y - c.start.y));
    }
}

TEST(SelectionGeometryTest, BandAndEllipseBoxes) {
    struct {
        Point start, end;
        Rect band, ellipse;
    } cases[] = {
        {{5, 6}, {9, 12}, {5, 6, 10, 13}, {5, 6, 9, 12}},
        {{9, 12}, {5, 6}, {5, 6, 10, 13}, {5, 6, 9, 12}},
        {{5, 6}, {5, 6}, {5, 6, 6, 7}, {5, 6, 5, 6}},
        {{-4, 3}, {2, -8}, {-4, -8, 3, 4}, {-4, -8, 2, 3}},
    };
    for (auto& c : cases) {
        EXPECT_EQ(BandBox(c.start, c.end), c.band);
        EXPECT_EQ(EllipseBox(c.start, c.end), c.ellipse);
    }
}

TEST(SelectionGeometryTest, ControlsFollowTheBottomRightCorner) {
    struct {
        Point start, cursor;
        Rect frame, picture, source;
        Point coordinates, size;
    } cases[] = {
        // mx = 300, my = 400 in both drag directions
        {{100, 200}, {300, 400}, {339, 358, 441, 462}, {340, 360, 440, 460}, {290, 390, 310, 410}, {338, 465},
         {338, 482}},
        {{300, 400}, {100, 200}, {339, 358, 441, 462}, {340, 360, 440, 460}, {90, 190, 110, 210}, {338, 465},
         {338, 482}},
        // mixed: mx from the cursor, my from the start
        {{100, 400}, {300, 200}, {339, 358, 441, 462}, {340, 360, 440, 460}, {290, 190, 310, 210}, {338, 465},
         {338, 482}},
        // near the top the offsets are taken as absolute values
        {{0, 10}, {5, 20}, {44, 22, 146, 126}, {45, 20, 145, 120}, {-5, 10, 15, 30}, {43, 85}, {43, 102}},
        {{0, 0}, {0, 0}, {39, 42, 141, 146}, {40, 40, 140, 140}, {-10, -10, 10, 10}, {38, 65}, {38, 82}},
        // left of the screen (mouse captured outside): |mx + 39| and |mx + 40| mirror
        {{-100, 500}, {-60, 520}, {21, 478, 123, 582}, {20, 480, 120, 580}, {-70, 510, -50, 530}, {22, 585},
         {22, 602}},
    };
    for (auto& c : cases) {
        auto l = ControlsLayout(c.start, c.cursor);
        SCOPED_TRACE(std::to_string(c.cursor.x) + "," + std::to_string(c.cursor.y));
        EXPECT_EQ(l.magnifierFrame, c.frame);
        EXPECT_EQ(l.magnifierPicture, c.picture);
        EXPECT_EQ(l.magnifierSource, c.source);
        EXPECT_EQ(l.coordinatesLabel, c.coordinates);
        EXPECT_EQ(l.sizeLabel, c.size);
    }
}

TEST(SelectionGeometryTest, ReadoutTexts) {
    EXPECT_EQ(CoordinatesText({120, 45}), L" X : Y 120,45");
    EXPECT_EQ(CoordinatesText({0, 0}), L" X : Y 0,0");
    EXPECT_EQ(CoordinatesText({3839, 12345}), L" X : Y 3839,12345");  // no thousands separator
    EXPECT_EQ(CoordinatesText({-3, 7}), L" X : Y -3,7");
    EXPECT_EQ(SizeText({10, 10}, {90, 50}), L"Width: 80 Px\r\nHeight: 40 Px");
    EXPECT_EQ(SizeText({90, 50}, {10, 10}), L"Width: 80 Px\r\nHeight: 40 Px");
    EXPECT_EQ(SizeText({5, 5}, {5, 5}), L"Width: 0 Px\r\nHeight: 0 Px");
    EXPECT_EQ(SizeText({0, 0}, {3840, 2160}), L"Width: 3840 Px\r\nHeight: 2160 Px");
}

TEST(SelectionGeometryTest, GridLinePositions) {
    struct {
        int extent, spacing;
        std::vector<int> lines;
    } cases[] = {
        {800, 100, {100, 200, 300, 400, 500, 600, 700}},
        {801, 200, {200, 400, 600, 800}},
        {800, 200, {200, 400, 600}},  // a line at 800 would lie off the screen
        {200, 150, {150}},
        {100, 100, {}},
        {800, 0, {}},
        {800, -50, {}},
        {0, 50, {}},
    };
    for (auto& c : cases) EXPECT_EQ(GridLinePositions(c.extent, c.spacing), c.lines) << c.extent << "/" << c.spacing;
    EXPECT_EQ(GridLinePositions(3840, 50).size(), 76u);
    EXPECT_EQ(GridLinePositions(2160, 50).back(), 2150);
}

// Whether the ellipse inscribed in `box`, drawn with the ring pen, has its inner
// edge beyond pixel (x, y): the pixel lies inside the ring's inner ellipse.
bool InsideInnerEdge(const Rect& box, double x, double y) {
    const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    const double a = box.width() / 2.0 - 2, b = box.height() / 2.0 - 2;
    return std::pow((x - cx) / a, 2) + std::pow((y - cy) / b, 2) <= 1.0;
}

TEST(SelectionGeometryTest, OutsideRingsStartAtTheEllipseAndReachTheCorners) {
    const Rect cases[] = {
        {10, 20, 110, 80}, {0, 0, 1, 1}, {100, 100, 300, 700}, {0, 0, 1000, 1000},
        {0, 0, 2000, 2000}, {0, 0, 3840, 2160}, {0, 0, 3840, 4}, {5, 5, 7, 2000},
    };
    for (const Rect& sel : cases) {
        SCOPED_TRACE(std::to_string(sel.width()) + "x" + std::to_string(sel.height()));
        auto boxes = OutsideRingBoxes(sel);
        ASSERT_GE(boxes.size(), 150u);
        // The first ring hugs the selection's ellipse; each further one is 2 pixels out.
        EXPECT_EQ(boxes[0], (Rect{sel.left - 1, sel.top - 1, sel.right + 1, sel.bottom + 1}));
        for (size_t i = 1; i < boxes.size(); ++i) ASSERT_EQ(boxes[i], boxes[i - 1].inflate(2)) << i;
        // Every corner pixel of the picture lies inside the last ring: painted over.
        const Rect& last = boxes.back();
        for (double x : {sel.left + 0.5, sel.right - 0.5})
            for (double y : {sel.top + 0.5, sel.bottom - 0.5}) EXPECT_TRUE(InsideInnerEdge(last, x, y));
    }
    // Selections up to about 1400 pixels keep the 150 rings (300 pixels) of the original rule.
    EXPECT_EQ(OutsideRingBoxes({0, 0, 1000, 1000}).size(), 150u);
    EXPECT_EQ(OutsideRingBoxes({10, 20, 110, 80}).back(), (Rect{11 - 300, 21 - 300, 109 + 300, 79 + 300}));
    EXPECT_GT(OutsideRingBoxes({0, 0, 2000, 2000}).size(), 150u);
}

}  // namespace
