#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "controls/core/MaskRuns.h"

using namespace px;
using namespace px::controls;

namespace {

// '.' is the key colour, '#' is opaque.
std::vector<uint32_t> FromArt(const std::vector<std::string>& art) {
    std::vector<uint32_t> px;
    for (auto& row : art)
        for (char c : row) px.push_back(c == '#' ? 0xFF112233u : 0x00FF00FFu);
    return px;
}

int Area(const std::vector<Rect>& rs) {
    int a = 0;
    for (auto& r : rs) a += r.width() * r.height();
    return a;
}

TEST(MaskRunsTest, RunsCoverExactlyTheOpaquePixels) {
    std::vector<std::vector<std::string>> pictures = {
        {"....", "....", "...."},
        {"####", "####"},
        {".##.", "####", ".##.", "#..#"},
        {"#.#.#", ".#.#.", "#.#.#"},
        {"..#", ".##", "###", ".##", "..#"},
    };
    for (auto& art : pictures) {
        auto px = FromArt(art);
        size_t w = art[0].size(), h = art.size();
        px::View2D<const uint32_t> view(px.data(), w, h, w);
        auto runs = OpaqueRuns(view, 0x00FF00FFu);
        int opaque = 0;
        for (size_t y = 0; y < h; ++y)
            for (size_t x = 0; x < w; ++x) {
                bool want = art[y][x] == '#';
                opaque += want;
                int hits = static_cast<int>(std::count_if(runs.begin(), runs.end(), [&](const Rect& r) {
                    return r.contains({static_cast<int>(x), static_cast<int>(y)});
                }));
                EXPECT_EQ(hits, want ? 1 : 0) << "pixel " << x << "," << y << " of " << art[0];
            }
        EXPECT_EQ(Area(runs), opaque);  // no overlaps
    }
}

TEST(MaskRunsTest, EqualRunsOfConsecutiveRowsMerge) {
    auto px = FromArt({".##.", ".##.", ".##.", "####", ".##."});
    px::View2D<const uint32_t> view(px.data(), 4, 5, 4);
    auto runs = OpaqueRuns(view, 0x00FF00FF);
    std::sort(runs.begin(), runs.end(), [](const Rect& a, const Rect& b) { return a.top < b.top; });
    EXPECT_EQ(runs, (std::vector<Rect>{{1, 0, 3, 3}, {0, 3, 4, 4}, {1, 4, 3, 5}}));
}

TEST(MaskRunsTest, KeyIgnoresTheTopByteAndComesFromTheTopLeft) {
    std::vector<uint32_t> px = {0xAA123456u, 0x00123456u, 0x00654321u, 0xFF123456u};
    px::View2D<const uint32_t> view(px.data(), 2, 2, 2);
    EXPECT_EQ(KeyColourOf(view), 0x123456u);
    auto runs = OpaqueRuns(view, KeyColourOf(view));
    EXPECT_EQ(runs, (std::vector<Rect>{{0, 1, 1, 2}}));
}

}  // namespace
