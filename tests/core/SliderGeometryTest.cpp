#include <gtest/gtest.h>

#include <climits>

#include "controls/core/SliderGeometry.h"

using namespace px;
using namespace px::controls;

namespace {

TEST(SliderGeometryTest, ThumbOffsetForValue) {
    struct {
        int orientation;
        int64_t v, min, range;
        int C, T;
        int expected;
    } cases[] = {
        {SliderHorizontal, 0, 0, 10, 100, 10, 0},
        {SliderHorizontal, 10, 0, 10, 100, 10, 90},
        {SliderHorizontal, 5, 0, 10, 100, 10, 45},
        {SliderHorizontal, 1, 0, 10, 100, 10, 9},
        {SliderHorizontal, 0, -5, 10, 100, 10, 45},
        {SliderHorizontal, 1, 0, 2, 15, 10, 2},  // 2.5 rounds to even
        {SliderHorizontal, 1, 0, 2, 17, 10, 4},  // 3.5 rounds to even
        {SliderVertical, 0, 0, 10, 100, 10, 90},  // Min at the bottom
        {SliderVertical, 10, 0, 10, 100, 10, 0},
        {SliderVertical, 3, 0, 10, 100, 10, 63},
        {SliderVertical, 150, 50, 150, 160, 11, 50},  // 149 * 100 / 150 = 99.33 -> 99 along
        {SliderHorizontal, INT_MAX, INT_MIN, 4294967295LL, 300, 20, 280},
        {SliderHorizontal, 3, 0, 10, 10, 10, 0},  // no travel
        {SliderVertical, 3, 0, 10, 8, 10, 0},
    };
    for (auto& c : cases)
        EXPECT_EQ(ThumbOffsetForValue(c.v, c.min, c.range, c.C, c.T, c.orientation), c.expected)
            << "v=" << c.v << " C=" << c.C << " T=" << c.T << " o=" << c.orientation;
}

TEST(SliderGeometryTest, ValueForThumbOffset) {
    struct {
        int orientation;
        int offset;
        int64_t min, range;
        int C, T;
        int64_t expected;
    } cases[] = {
        {SliderHorizontal, 0, 0, 10, 100, 10, 0},
        {SliderHorizontal, 90, 0, 10, 100, 10, 10},
        {SliderHorizontal, 45, 0, 10, 100, 10, 5},
        {SliderHorizontal, 4, 0, 10, 100, 10, 0},   // 0.44
        {SliderHorizontal, 5, 0, 10, 100, 10, 1},   // 0.56
        {SliderHorizontal, 1, 0, 2, 14, 10, 0},     // 0.5 -> 0
        {SliderHorizontal, 3, 0, 2, 14, 10, 2},     // 1.5 -> 2
        {SliderHorizontal, 45, 50, 150, 100, 10, 125},
        {SliderVertical, 0, 0, 10, 100, 10, 10},    // top is Max
        {SliderVertical, 90, 0, 10, 100, 10, 0},
        {SliderVertical, 27, 0, 10, 100, 10, 7},
        {SliderHorizontal, 280, INT_MIN, 4294967295LL, 300, 20, INT_MAX},
    };
    for (auto& c : cases) {
        auto v = ValueForThumbOffset(c.offset, c.min, c.range, c.C, c.T, c.orientation);
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(*v, c.expected) << "offset=" << c.offset << " o=" << c.orientation;
    }
    EXPECT_FALSE(ValueForThumbOffset(0, 0, 10, 10, 10, SliderHorizontal).has_value());
    EXPECT_FALSE(ValueForThumbOffset(0, 0, 10, 5, 10, SliderVertical).has_value());
}

TEST(SliderGeometryTest, EveryValueSurvivesTheRoundTrip) {
    // Snapping puts the thumb at a value's exact place; that place must read back as the value.
    for (int C : {31, 100, 257})
        for (int64_t range : {1, 7, 10, 150})
            for (int o : {SliderHorizontal, SliderVertical})
                for (int64_t v = 0; v <= range; ++v) {
                    int off = ThumbOffsetForValue(v + 50, 50, range, C, 11, o);
                    if (C - 11 < range) continue;  // fewer pixels than values: several values share a place
                    EXPECT_EQ(ValueForThumbOffset(off, 50, range, C, 11, o), v + 50)
                        << "C=" << C << " range=" << range << " v=" << v << " o=" << o;
                }
}

TEST(SliderGeometryTest, DragThumbOffsetStaysOnTheRail) {
    struct {
        int pointer, grab, C, T, expected;
    } cases[] = {
        {50, 5, 100, 10, 45}, {3, 5, 100, 10, 0}, {200, 5, 100, 10, 90}, {5, 5, 10, 10, 0}, {50, 0, 8, 10, 0},
    };
    for (auto& c : cases) EXPECT_EQ(DragThumbOffset(c.pointer, c.grab, c.C, c.T), c.expected) << c.pointer;
}

TEST(SliderGeometryTest, RailRect) {
    struct {
        int orientation;
        Size control, thumb;
        Rect expected;
    } cases[] = {
        {SliderHorizontal, {200, 21}, {11, 21}, {4, 8, 197, 12}},   // 8.5 -> 8, 5.5 -> 6
        {SliderHorizontal, {200, 20}, {10, 20}, {3, 8, 197, 12}},
        {SliderVertical, {21, 150}, {21, 11}, {8, 4, 12, 147}},
        {SliderVertical, {16, 100}, {16, 16}, {6, 6, 10, 94}},
    };
    for (auto& c : cases) EXPECT_EQ(RailRect(c.orientation, c.control, c.thumb), c.expected) << c.orientation;
}

TEST(SliderGeometryTest, ValueTipRect) {
    struct {
        int orientation;
        Point screen;
        Rect thumb;
        Size text;
        Rect expected;
    } cases[] = {
        // Centred above the thumb: (11 - 12 - 4) / 2 = -2.5 -> -2.
        {SliderHorizontal, {100, 200}, RectAt(45, 0, 11, 21), {12, 13}, RectAt(143, 182, 16, 16)},
        {SliderHorizontal, {0, 0}, RectAt(0, 0, 20, 20), {6, 13}, RectAt(5, -18, 10, 16)},
        // Left of the thumb: (11 - 13 - 4) / 2 = -3.
        {SliderVertical, {100, 200}, RectAt(0, 63, 21, 11), {18, 13}, RectAt(76, 260, 22, 16)},
    };
    for (auto& c : cases) EXPECT_EQ(ValueTipRect(c.orientation, c.screen, c.thumb, c.text), c.expected);
}

TEST(SliderGeometryTest, RailPictureOrigin) {
    EXPECT_EQ(RailPictureOrigin(SliderHorizontal, {200, 21}, {180, 6}), (Point{2, 8}));  // 7.5 -> 8
    EXPECT_EQ(RailPictureOrigin(SliderVertical, {21, 200}, {5, 180}), (Point{8, 2}));
}

}  // namespace
