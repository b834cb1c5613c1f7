#include <gtest/gtest.h>

#include <tuple>

#include "export/core/Palette8bpp.h"
#include "tests/core/PixelPictures.h"

namespace px {
namespace {

using test::Picture32;
using Rgb = std::tuple<int, int, int>;

std::vector<Rgb> Entries(const Palette8bpp& p) {
    std::vector<Rgb> out;
    for (int i = 0; i < p.MaxCount(); ++i) out.emplace_back(p.rgbR(i), p.rgbG(i), p.rgbB(i));
    return out;
}

Picture32 Row(const std::vector<Rgb>& colours) {
    Picture32 pic(static_cast<int32_t>(colours.size()), 1);
    for (size_t i = 0; i < colours.size(); ++i) {
        const auto [r, g, b] = colours[i];
        pic.set(static_cast<int32_t>(i), 0, static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r));
    }
    return pic;
}

TEST(Octree, OneColourGivesOneEntry) {
    Picture32 pic(9, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) pic.set(x, y, 30, 20, 10);
    Palette8bpp p;
    p.CreateOptimal(pic.pixels(), 256, 8, 1, 1, 1);
    EXPECT_EQ(Entries(p), (std::vector<Rgb>{{10, 20, 30}}));
}

TEST(Octree, OneWantedKeepsOneEntryPerOccupiedOctant) {
    Picture32 pic = Row({{10, 10, 10}, {250, 10, 10}, {20, 20, 20}, {10, 250, 250}, {240, 20, 20}});
    Palette8bpp p;
    p.CreateOptimal(pic.pixels(), 1, 8, 1, 1, 1);
    // The root is never merged. Entries follow node numbers: the cyan octant
    // took node 3 from the free list (released when the first chain merged),
    // so it comes before the red octant's node 10.
    EXPECT_EQ(Entries(p), (std::vector<Rgb>{{15, 15, 15}, {10, 250, 250}, {245, 15, 15}}));
}

TEST(Octree, ZeroAndOneShareALeafWhileOtherValuesAreToldApart) {
    Picture32 pic = Row({{0, 50, 50}, {1, 50, 50}, {2, 50, 50}, {254, 7, 7}, {255, 7, 7}, {3, 50, 50}});
    Palette8bpp p;
    p.CreateOptimal(pic.pixels(), 256, 8, 1, 1, 1);
    // (0 + 1) / 2 = 0.5 rounds to 0; the leaves come in creation order
    EXPECT_EQ(Entries(p), (std::vector<Rgb>{{0, 50, 50}, {2, 50, 50}, {254, 7, 7}, {255, 7, 7}, {3, 50, 50}}));
}

TEST(Octree, WeightsScaleTheValueBeforeItIsSplit) {
    // With red weight 0.5, 255 weighs 127.5, which is not above the middle 128.
    Picture32 pic = Row({{0, 0, 0}, {255, 0, 0}});
    Palette8bpp p;
    p.CreateOptimal(pic.pixels(), 8, 1, 0.5f, 1, 1);
    EXPECT_EQ(Entries(p), (std::vector<Rgb>{{128, 0, 0}}));  // 127.5 to even
    p.CreateOptimal(pic.pixels(), 8, 1, 1, 1, 1);
    EXPECT_EQ(Entries(p), (std::vector<Rgb>{{0, 0, 0}, {255, 0, 0}}));
}

TEST(Octree, ReducesTheLatestListedNodeOfTheDeepestLevelNotTheSmallest) {
    // Depth 2: A and B fall in one top-level octant, C alone in another.
    // With 2 wanted, C's lone octant (listed last) is merged first, then A+B.
    Picture32 pic = Row({{0, 0, 0}, {100, 0, 0}, {255, 255, 255}});
    Palette8bpp p;
    p.CreateOptimal(pic.pixels(), 2, 2, 1, 1, 1);
    EXPECT_EQ(Entries(p), (std::vector<Rgb>{{50, 0, 0}, {255, 255, 255}}));
    EXPECT_EQ(p.octree().leaves(), 2);
    EXPECT_EQ(p.octree().nodesInUse(), 3);  // root + two leaves; three nodes went to the free list
}

TEST(Octree, ReleasedNodesAreReusedFromTheFreeListHead) {
    // After the first three pixels nodes 6, 3, 4 are free (4 at the head).
    // Green's octant takes node 4 and its leaf node 3, so it is listed
    // before white (node 5) in the table although it came last.
    Picture32 pic = Row({{0, 0, 0}, {100, 0, 0}, {255, 255, 255}, {0, 255, 0}});
    Palette8bpp p;
    p.CreateOptimal(pic.pixels(), 2, 2, 1, 1, 1);
    EXPECT_EQ(Entries(p), (std::vector<Rgb>{{50, 0, 0}, {0, 255, 0}, {255, 255, 255}}));
    EXPECT_TRUE(p.octree().node(4).leaf);
    EXPECT_EQ(p.octree().node(4).count, 1);
}

TEST(Octree, PoolGrowsByATenth) {
    // One colour in each top-level octant at depth 8: 8 nodes each plus the root.
    std::vector<Rgb> colours;
    for (int i = 0; i < 8; ++i) colours.emplace_back(i & 1 ? 255 : 0, i & 2 ? 255 : 0, i & 4 ? 255 : 0);
    Picture32 pic = Row(colours);
    Palette8bpp p;
    p.CreateOptimal(pic.pixels(), 256, 8, 1, 1, 1);
    EXPECT_EQ(p.octree().nodesInUse(), 65);
    // 50 -> 56 (51 x 1.1) -> 63 (57 x 1.1) -> 70 (64 x 1.1)
    EXPECT_EQ(p.octree().poolLast(), 70);
    EXPECT_EQ(p.MaxCount(), 8);
}

TEST(Octree, DepthOutsideOneToEightIsRejected) {
    Picture32 pic(1, 1);
    Palette8bpp p;
    for (int32_t d : {0, 9}) {
        try {
            p.CreateOptimal(pic.pixels(), 16, d, 1, 1, 1);
            ADD_FAILURE() << d;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidPropertyValue);
        }
    }
}

}  // namespace
}  // namespace px
