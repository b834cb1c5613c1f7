#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "imaging/core/VarianceBoxes.h"

namespace px {
namespace {

ColourPoint At(float l, float a, float b, float weight, uint32_t id) { return {{l, a, b}, weight, id}; }

Box Whole(const std::vector<ColourPoint>& points) {
    Box box{0, points.size(), {}};
    for (const ColourPoint& p : points) box.m.Add(p.p, p.weight);
    return box;
}

// The ids (cell numbers) of each box, every box as a set, the boxes sorted.
std::vector<std::set<uint32_t>> Members(const std::vector<ColourPoint>& points, const std::vector<Box>& boxes) {
    std::vector<std::set<uint32_t>> out;
    for (const Box& b : boxes) {
        std::set<uint32_t> ids;
        for (size_t i = b.begin; i < b.end; ++i) ids.insert(points[i].cell);
        out.push_back(ids);
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST(VarianceBoxes, CutLeavesTheLeastErrorNotTheMiddle) {
    // A heavy point at 0 and light ones at 4, 5 and 10: cutting in the middle
    // of the range (at 5) leaves more error than keeping the heavy one alone.
    std::vector<ColourPoint> points{At(10, 0, 0, 1, 3), At(0, 0, 0, 100, 0), At(5, 0, 0, 1, 2), At(4, 0, 0, 1, 1)};
    Box low{}, high{};
    ASSERT_TRUE(SplitBox(points, Whole(points), low, high));
    EXPECT_EQ(Members(points, {low, high}), (std::vector<std::set<uint32_t>>{{0}, {1, 2, 3}}));
    EXPECT_DOUBLE_EQ(low.m.w + high.m.w, 103.0);
    EXPECT_NEAR(low.m.Error() + high.m.Error(), 186.0 / 9.0, 1e-6);
}

TEST(VarianceBoxes, CutsAcrossTheAxisWithTheLargestSpread) {
    // Two groups far apart on the red-green axis, a small spread in luma inside each.
    std::vector<ColourPoint> points;
    for (uint32_t i = 0; i < 6; ++i) points.push_back(At(static_cast<float>(i % 3), i < 3 ? -40.0f : 40.0f, 0, 1, i));
    Box low{}, high{};
    ASSERT_TRUE(SplitBox(points, Whole(points), low, high));
    EXPECT_EQ(Members(points, {low, high}), (std::vector<std::set<uint32_t>>{{0, 1, 2}, {3, 4, 5}}));
}

TEST(VarianceBoxes, CutsAcrossASlantedSpreadWhereNoSingleAxisSeparatesTheGroups) {
    // Two groups along the l = -a diagonal, apart along l = a: on the l axis
    // alone (and on a alone) their ranges overlap.
    std::vector<ColourPoint> points;
    for (uint32_t g = 0; g < 2; ++g)
        for (int e = -4; e <= 4; ++e) {
            const float centre = g ? 15.0f : -15.0f;
            points.push_back(At(centre + 5.0f * static_cast<float>(e), centre - 5.0f * static_cast<float>(e), 0, 1,
                                g * 9 + static_cast<uint32_t>(e + 4)));
        }
    Box low{}, high{};
    ASSERT_TRUE(SplitBox(points, Whole(points), low, high));
    std::vector<std::set<uint32_t>> expected(2);
    for (uint32_t i = 0; i < 18; ++i) expected[i / 9].insert(i);
    EXPECT_EQ(Members(points, {low, high}), expected);
}

TEST(VarianceBoxes, SplitsTheCostliestBoxFirstAndStopsWhenNothingIsLeftToSplit) {
    // A tight pair near 0 and a wide pair at 100 and 160 on the yellow-blue axis.
    std::vector<ColourPoint> points{At(0, 0, 0, 1, 0), At(0, 0, 2, 1, 1), At(0, 0, 100, 1, 2), At(0, 0, 160, 1, 3)};
    EXPECT_EQ(Members(points, SplitIntoBoxes(points, 3)), (std::vector<std::set<uint32_t>>{{0, 1}, {2}, {3}}));
    // More boxes wanted than distinct points: one box a point, no empty box.
    EXPECT_EQ(SplitIntoBoxes(points, 10).size(), 4u);
    // Points all alike cannot be cut.
    std::vector<ColourPoint> same{At(5, 5, 5, 3, 0), At(5, 5, 5, 1, 1)};
    Box low{}, high{};
    EXPECT_FALSE(SplitBox(same, Whole(same), low, high));
    EXPECT_EQ(SplitIntoBoxes(same, 4).size(), 1u);
}

}  // namespace
}  // namespace px
