#include <gtest/gtest.h>

#include "controls/core/ButtonLayout.h"

using namespace px;
using namespace px::controls;

namespace {

TEST(ButtonLayoutTest, PictureDisplaySize) {
    struct {
        int choice;
        Size expected;
    } cases[] = {{0, {16, 16}}, {1, {24, 24}}, {2, {32, 32}}, {3, {48, 48}}, {4, {70, 30}}};
    for (auto& c : cases) EXPECT_EQ(PictureDisplaySize(c.choice, {70, 30}), c.expected) << c.choice;
}

TEST(ButtonLayoutTest, PictureSquaresAndTheGapGrowWithTheDpi) {
    // The squares scale with the dpi, rounded half to even; the picture's own size stays its pixels.
    struct {
        int choice, dpi;
        Size expected;
    } cases[] = {{0, 144, {24, 24}}, {1, 144, {36, 36}}, {3, 144, {72, 72}}, {0, 120, {20, 20}},
                 {2, 120, {40, 40}}, {3, 192, {96, 96}}, {1, 0, {24, 24}},  {4, 192, {70, 30}}};
    for (auto& c : cases) EXPECT_EQ(PictureDisplaySize(c.choice, {70, 30}, c.dpi), c.expected) << c.choice << "@" << c.dpi;
    // A picture left of a caption: the caption starts one gap after the picture.
    const FaceLayout wide = LayoutFace({0, 0, 200, 60}, {30, 10}, {24, 24}, PicLeftOfCaption, CapCentre, 6);
    EXPECT_EQ(wide.caption.left - wide.picture.right, 6);
}

TEST(ButtonLayoutTest, FaceLayoutByAlignment) {
    const Rect content{0, 0, 100, 40};
    const Size text{30, 10};
    const Size pic{16, 16};
    struct {
        int picAlign, capAlign;
        Rect picture, caption;
    } cases[] = {
        {PicLeftEdge, CapCentre, RectAt(0, 12, 16, 16), RectAt(45, 15, 30, 10)},  // centred in 20..100
        {PicLeftEdge, CapLeft, RectAt(0, 12, 16, 16), RectAt(20, 15, 30, 10)},
        {PicRightEdge, CapRight, RectAt(84, 12, 16, 16), RectAt(50, 15, 30, 10)},
        {PicRightEdge, CapCentre, RectAt(84, 12, 16, 16), RectAt(25, 15, 30, 10)},
        {PicLeftOfCaption, CapCentre, RectAt(25, 12, 16, 16), RectAt(45, 15, 30, 10)},  // block of 50 centred
        {PicLeftOfCaption, CapLeft, RectAt(0, 12, 16, 16), RectAt(20, 15, 30, 10)},
        {PicRightOfCaption, CapCentre, RectAt(59, 12, 16, 16), RectAt(25, 15, 30, 10)},
        {PicRightOfCaption, CapRight, RectAt(84, 12, 16, 16), RectAt(50, 15, 30, 10)},
        {PicTopCentre, CapCentre, RectAt(42, 5, 16, 16), RectAt(35, 25, 30, 10)},  // block of 30 centred
        {PicBottomCentre, CapCentre, RectAt(42, 19, 16, 16), RectAt(35, 5, 30, 10)},
    };
    for (auto& c : cases) {
        FaceLayout f = LayoutFace(content, text, pic, c.picAlign, c.capAlign);
        EXPECT_EQ(f.picture, c.picture) << c.picAlign << "/" << c.capAlign;
        EXPECT_EQ(f.caption, c.caption) << c.picAlign << "/" << c.capAlign;
    }
}

TEST(ButtonLayoutTest, MissingPictureOrCaption) {
    const Rect content{4, 4, 104, 44};
    FaceLayout onlyText = LayoutFace(content, {30, 10}, {0, 0}, PicLeftEdge, CapRight);
    EXPECT_TRUE(onlyText.picture.empty());
    EXPECT_EQ(onlyText.caption, RectAt(74, 19, 30, 10));
    FaceLayout onlyPic = LayoutFace(content, {0, 0}, {16, 16}, PicLeftEdge, CapLeft);
    EXPECT_EQ(onlyPic.picture, RectAt(46, 16, 16, 16));  // an icon-only button centres its picture
}

TEST(ButtonLayoutTest, CaptionAlignmentRule) {
    for (int a = 0; a <= 5; ++a) EXPECT_EQ(PictureForcesCentredCaption(a), a == 4 || a == 5) << a;
}

TEST(ButtonLayoutTest, ShapeOutlines) {
    EXPECT_EQ(OutlineForShape(ShapeRectangle, 80, 30).kind, ShapeOutline::Rectangle);
    ShapeOutline rounded = OutlineForShape(ShapeRounded, 80, 30);
    EXPECT_EQ(rounded.kind, ShapeOutline::RoundRect);
    EXPECT_EQ(rounded.cornerW, 10);
    ShapeOutline capsule = OutlineForShape(ShapeCapsule, 80, 30);
    EXPECT_EQ(capsule.cornerH, 30);
    ShapeOutline circle = OutlineForShape(ShapeCircle, 80, 30);
    EXPECT_EQ(circle.kind, ShapeOutline::Ellipse);
    EXPECT_EQ(circle.bounds, RectAt(25, 0, 30, 30));
    EXPECT_EQ(OutlineForShape(ShapeOval, 80, 30).bounds, RectAt(0, 0, 80, 30));
    ShapeOutline diamond = OutlineForShape(ShapeDiamond, 80, 30);
    EXPECT_EQ(diamond.points, (std::vector<Point>{{40, 0}, {80, 15}, {40, 30}, {0, 15}}));
    ShapeOutline oct = OutlineForShape(ShapeOctagon, 100, 100);
    ASSERT_EQ(oct.points.size(), 8u);
    EXPECT_EQ(oct.points[0], (Point{29, 0}));
    EXPECT_EQ(oct.points[7], (Point{0, 29}));
    EXPECT_EQ(OutlineForShape(ShapeCustomPicture, 80, 30).kind, ShapeOutline::Custom);
    EXPECT_EQ(OutlineForShape(ShapeCustomFace, 80, 30).kind, ShapeOutline::Custom);
}

TEST(ButtonLayoutTest, ContentStaysInsideTheShape) {
    // Every corner of the content area must lie inside the shape's outline.
    auto insideDiamond = [](Point p, int w, int h) {
        double dx = std::abs(p.x - w / 2.0) / (w / 2.0), dy = std::abs(p.y - h / 2.0) / (h / 2.0);
        return dx + dy <= 1.0;
    };
    auto insideEllipse = [](Point p, Rect b) {
        double rx = b.width() / 2.0, ry = b.height() / 2.0;
        double dx = (p.x - b.left - rx) / rx, dy = (p.y - b.top - ry) / ry;
        return dx * dx + dy * dy <= 1.0;
    };
    for (auto [w, h] : {std::pair{120, 40}, std::pair{60, 60}, std::pair{40, 90}}) {
        for (int shape : {ShapeOval, ShapeCircle, ShapeDiamond}) {
            Rect c = ContentRect(shape, w, h, 3);
            ASSERT_FALSE(c.empty()) << shape;
            for (Point p : {Point{c.left, c.top}, Point{c.right, c.top}, Point{c.left, c.bottom}, Point{c.right, c.bottom}}) {
                if (shape == ShapeDiamond)
                    EXPECT_TRUE(insideDiamond(p, w, h)) << w << "x" << h << " at " << p.x << "," << p.y;
                else
                    EXPECT_TRUE(insideEllipse(p, OutlineForShape(shape, w, h).bounds))
                        << shape << " " << w << "x" << h << " at " << p.x << "," << p.y;
            }
        }
    }
    EXPECT_EQ(ContentRect(ShapeRectangle, 100, 30, 3), (Rect{3, 3, 97, 27}));
}

}  // namespace
