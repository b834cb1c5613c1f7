// The frame manager's geometry: hit codes, client rectangle, plain frame
// layout, the Alt-key filter of the keyboard hook and the move loop's origin.
#include <gtest/gtest.h>

#include "skin/core/NCFrameGeometry.h"

using namespace veltrim::core;

namespace {
constexpr Margins kModifier{4, 40, 4, 4};  // the test modifier's margins: left, top, right, bottom
constexpr int kW = 300, kH = 200, kCaption = 18;
}  // namespace

TEST(NCFrameGeometry, HitCodesOfTheFrameWithSizing) {
    struct Row {
        int x, y, sizing, fixed;
    } rows[] = {
        {0, 0, hit::TopLeft, hit::Client},        {4, 4, hit::TopLeft, hit::Client},
        {4, 5, hit::Left, hit::Client},           {0, 195, hit::Left, hit::Client},
        {4, 196, hit::BottomLeft, hit::Client},   {0, 199, hit::BottomLeft, hit::Client},
        {296, 0, hit::TopRight, hit::Client},     {299, 4, hit::TopRight, hit::Client},
        {299, 100, hit::Right, hit::Client},      {296, 196, hit::BottomRight, hit::Client},
        {295, 0, hit::Top, hit::Client},          {150, 4, hit::Top, hit::Client},
        {150, 196, hit::Bottom, hit::Client},     {5, 199, hit::Bottom, hit::Client},
        {150, 5, hit::Caption, hit::Caption},     {150, 22, hit::Caption, hit::Caption},
        {19, 10, hit::Caption, hit::Caption},     {18, 10, hit::SysMenu, hit::SysMenu},
        {5, 5, hit::SysMenu, hit::SysMenu},       {150, 23, hit::Client, hit::Client},
        {150, 40, hit::Client, hit::Client},      {150, 41, hit::Client, hit::Client},
        {150, 100, hit::Client, hit::Client},     {300, 10, hit::Client, hit::Client},
        {-1, 10, hit::Client, hit::Client},       {150, 200, hit::Client, hit::Client},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FrameHitCode(r.x, r.y, kW, kH, kModifier, kCaption, true), r.sizing) << r.x << "," << r.y;
        EXPECT_EQ(FrameHitCode(r.x, r.y, kW, kH, kModifier, kCaption, false), r.fixed) << r.x << "," << r.y;
    }
}

TEST(NCFrameGeometry, TheMenuBandIsAnsweredAsClient) {
    EXPECT_EQ(AnsweredHitCode(hit::Menu), hit::Client);
    for (int code : {hit::Caption, hit::SysMenu, hit::Left, hit::BottomRight, hit::Client, hit::Nowhere})
        EXPECT_EQ(AnsweredHitCode(code), code);
}

TEST(NCFrameGeometry, ClientTakesOneMorePixelRightAndBottom) {
    EXPECT_EQ(ClientBoxFor({10, 20, 310, 220}, kModifier), (Box{14, 60, 305, 215}));
    EXPECT_EQ(ClientBoxFor({0, 0, 100, 50}, SystemMargins(4, 4, 19)), (Box{4, 23, 95, 45}));
    // Smaller than its frame: empty, never inverted.
    EXPECT_EQ(ClientBoxFor({0, 0, 6, 30}, kModifier), (Box{4, 40, 4, 40}));
}

TEST(NCFrameGeometry, PlainFrameCoversTheWholeWindow) {
    auto f = LayoutDefaultFrame(200, 100, 4, 4, 19);
    EXPECT_EQ(f.top, (Box{0, 0, 200, 4}));
    EXPECT_EQ(f.bottom, (Box{0, 95, 200, 100}));  // the row below the client area included
    EXPECT_EQ(f.left, (Box{0, 4, 4, 95}));
    EXPECT_EQ(f.right, (Box{195, 4, 200, 95}));  // the column right of it too
    EXPECT_EQ(f.line, (Box{0, 22, 200, 23}));
    EXPECT_EQ(f.caption, (Box{4, 4, 195, 22}));
    EXPECT_EQ(f.captionTextWidth, 191 - 3 * 18 - 2);
    EXPECT_EQ(f.buttons[0], (Box{173, 2, 189, 16}));  // close
    EXPECT_EQ(f.buttons[1], (Box{155, 2, 171, 16}));  // maximise: a button and 2 further left
    EXPECT_EQ(f.buttons[2], (Box{139, 2, 155, 16}));  // minimise, directly left of it
    // A window wider than any screen keeps its layout (the caption surface grows with it).
    auto wide = LayoutDefaultFrame(5000, 100, 4, 4, 19);
    EXPECT_EQ(wide.caption.right, 4995);
    EXPECT_EQ(wide.buttons[0].right, 4991 - 2);
}

TEST(NCFrameGeometry, OnlyPlainAltLetterPressesAreAccelerators) {
    constexpr uint32_t kAltDown = 1u << 29, kReleased = 1u << 31;
    struct Row {
        int code;
        uint32_t lParam;
        int vKey;
        bool ctrl;
        bool offered;
    } rows[] = {
        {0, kAltDown, 'F', false, true},          {0, kAltDown, '1', false, true},
        {0, 0, 'F', false, false},                {0, kAltDown | kReleased, 'F', false, false},
        {0, kAltDown, 'F', true, false},          {3, kAltDown, 'F', false, false},
        {0, kAltDown, 18, false, false},          {0, kAltDown, 0, false, false},
        {0, kAltDown, 112, false, false},         {0, kAltDown, 115, false, false},  // Alt+F1, Alt+F4
        {0, kAltDown, 123, false, false},         {0, kAltDown, 124, false, true},   // F12 no, F13 yes
        {0, kAltDown, 27, false, false},          {0, kAltDown, 46, false, false},   // Escape, Delete
        {0, kAltDown, 13, false, true},
    };
    for (const Row& r : rows)
        EXPECT_EQ(IsAltAccelerator(r.code, r.lParam, r.vKey, r.ctrl), r.offered) << r.vKey << " ctrl " << r.ctrl;
}

TEST(NCFrameGeometry, MoveLoopFollowsTheCursorExactly) {
    EXPECT_EQ(MovedOrigin({100, 50}, {120, 60}, {170, 60}), (Point{150, 50}));
    EXPECT_EQ(MovedOrigin({100, 50}, {120, 60}, {120, 60}), (Point{100, 50}));
    EXPECT_EQ(MovedOrigin({-5, 0}, {10, 10}, {0, -20}), (Point{-15, -30}));
}
