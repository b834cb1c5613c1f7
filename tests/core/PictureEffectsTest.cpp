#include <gtest/gtest.h>

#include <vector>

#include "controls/core/PictureEffects.h"

using namespace px;
using namespace px::controls;

namespace {

TEST(PictureEffectsTest, PixelTable) {
    struct {
        uint32_t in;
        PixelEffect effect;
        uint32_t out;
    } cases[] = {
        {0xFF8040u, PixelEffect::None, 0xFF8040u},
        {0xAAFF8040u, PixelEffect::None, 0xFF8040u},  // the spare byte is dropped
        {0xFF8040u, PixelEffect::Invert, 0x007FBFu},
        {0xFFFFFFu, PixelEffect::Darken, 0xBFBFBFu},
        {0x000000u, PixelEffect::Lighten, 0x505050u},
        {0xFF0000u, PixelEffect::Grey, 0x4C4C4Cu},  // red weighs 30 %
        {0x00FF00u, PixelEffect::Grey, 0x969696u},
        {0x0000FFu, PixelEffect::Grey, 0x1C1C1Cu},
        {0x000000u, PixelEffect::Disabled, 0x808080u},
        {0xFFFFFFu, PixelEffect::Disabled, 0xFFFFFFu},
    };
    for (auto& c : cases) EXPECT_EQ(EffectOnPixel(c.in, c.effect), c.out) << std::hex << c.in;
}

TEST(PictureEffectsTest, KeyPixelsStayAndRowsRespectTheStride) {
    // 2 x 2 picture in rows of 3 (the third element is padding that must not change).
    std::vector<uint32_t> px = {0xFF00FF, 0x000000, 0x123456, 0xFFFFFF, 0xFF00FF, 0x654321};
    px::View2D<uint32_t> view(px.data(), 2, 2, 3);
    ApplyPixelEffect(view, PixelEffect::Invert, 0xFF00FFu);
    EXPECT_EQ(px, (std::vector<uint32_t>{0xFF00FF, 0xFFFFFF, 0x123456, 0x000000, 0xFF00FF, 0x654321}));
    ApplyPixelEffect(view, PixelEffect::Invert, std::nullopt);
    EXPECT_EQ(px[0], 0x00FF00u);
}

}  // namespace
