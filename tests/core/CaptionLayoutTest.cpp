// The skinned frame's geometry: caption parts, title box, menu band, control
// buttons, border copies, client rectangle and hit codes; the menu bar's item
// layout, accelerator letters, hit rectangles and menu-letter answers.
#include <gtest/gtest.h>

#include "skin/core/CaptionLayout.h"
#include "skin/core/MenuBarLayout.h"
#include "skin/core/SkinDocument.h"

using namespace veltrim::core;

namespace {

// Caption bitmap 200 x 30: left end 20, middle tile 21..40, right end 40..60,
// glyphs 10 x 10 from x 60 (close, restore, maximise, minimise), the inactive
// caption 100 further right. Border bitmap: seven 4-pixel tiles.
SkinGeometry TestSkin() {
    SkinGeometry g;
    g.values.ButtonWidth = 10;
    g.values.ButtonHeight = 10;
    g.values.ActiveLeftEnd = 20;
    g.values.ActiveRightStart = 40;
    g.values.ActiveRightEnd = 60;
    g.values.InactiveOffset = 100;
    g.captionWidth = 200;
    g.captionHeight = 30;
    g.borderWidth = 28;
    g.borderHeight = 4;
    return g;
}

}  // namespace

TEST(CaptionLayout, CaptionPartsTitleAndBand) {
    const SkinGeometry g = TestSkin();
    const CaptionLayout l = LayoutCaption(g, 300, 200, {});
    EXPECT_EQ(l.leftEnd, (Copy{0, 0, 20, 30, 0, 0}));
    EXPECT_EQ(l.rightEnd, (Copy{280, 0, 21, 30, 40, 0}));
    EXPECT_EQ(l.firstTile, (Copy{20, 0, 20, 30, 21, 0}));
    EXPECT_EQ(l.tilesEnd, 280);
    EXPECT_TRUE(l.drawTitle);
    EXPECT_EQ(l.title, (Box{22, 5, 280, 17}));  // centred: border height + 1 .. + (30 - 4 - 2) / 2
    EXPECT_EQ(l.menuBand, (Box{22, 15, 280, 30}));
    EXPECT_EQ(l.menuLeft, 20);
}

TEST(CaptionLayout, InactiveStateTakesTheInactiveColumns) {
    SkinGeometry g = TestSkin();
    CaptionState s;
    s.active = false;
    CaptionLayout l = LayoutCaption(g, 300, 200, s);
    EXPECT_EQ(l.leftEnd.srcX, 100);
    EXPECT_EQ(l.rightEnd.srcX, 140);
    EXPECT_EQ(l.firstTile.srcX, 121);
    EXPECT_EQ(l.glyphs[kClose].srcX, 60);  // glyphs without an inactive version stay
    g.values.ControlButtonHasInactiveVersion = true;
    g.values.BorderHasInactiveVersion = true;
    g.borderHeight = 8;
    l = LayoutCaption(g, 300, 200, s);
    EXPECT_EQ(l.glyphs[kClose].srcX, 160);
    EXPECT_EQ(l.tileRow, 4);
    EXPECT_EQ(l.tileSide, 4);
}

TEST(CaptionLayout, AWindowNarrowerThanTheRightEndShowsNoTitle) {
    SkinGeometry g = TestSkin();
    struct Row {
        int w;
        bool title;
        int rightX;
    } rows[] = {{300, true, 280}, {41, true, 21}, {40, false, 21}, {30, false, 21}, {0, false, 21}};
    for (const Row& r : rows) {
        const CaptionLayout l = LayoutCaption(g, r.w, 200, {});
        EXPECT_EQ(l.drawTitle, r.title) << r.w;
        EXPECT_EQ(l.rightEnd.dstX, r.rightX) << r.w;
    }
    g.values.DrawTitle = false;
    EXPECT_FALSE(LayoutCaption(g, 300, 200, {}).drawTitle);
}

TEST(CaptionLayout, TitleAndBandWithOffsets) {
    SkinGeometry g = TestSkin();
    g.values.TitleStartOffsetY = 3;
    g.values.TopSizingBorderHeight = 2;
    CaptionState s;
    s.titleTextHeight = 13;
    CaptionLayout l = LayoutCaption(g, 300, 200, s);
    EXPECT_EQ(l.title, (Box{22, 3, 280, 16}));
    EXPECT_EQ(l.menuBand.top, 2 + 1 + 13);  // under the measured title
    g.values.MenuStartOffsetY = 5;
    g.values.MenuStartOffsetX = 6;
    l = LayoutCaption(g, 300, 200, s);
    EXPECT_EQ(l.menuBand, (Box{16, 8, 280, 30}));
    EXPECT_EQ(l.menuLeft, 14);
    g.values.DrawTitle = false;
    EXPECT_EQ(LayoutCaption(g, 300, 200, s).menuBand.top, 3);
}

TEST(CaptionLayout, ControlButtonsRightToLeftOnePixelApart) {
    SkinGeometry g = TestSkin();
    CaptionState s;
    CaptionLayout l = LayoutCaption(g, 300, 200, s);
    // right edge: right end start + its width - border height + 4 = 301
    EXPECT_EQ(l.buttons[kClose], (Box{290, 5, 300, 15}));
    EXPECT_EQ(l.buttons[kMaximise], (Box{279, 5, 289, 15}));
    EXPECT_EQ(l.buttons[kMinimise], (Box{268, 5, 278, 15}));
    EXPECT_EQ(l.glyphs[kClose], (Copy{290, 5, 10, 10, 60, 0}));
    EXPECT_EQ(l.glyphs[kMaximise].srcX, 80);
    EXPECT_EQ(l.glyphs[kMinimise].srcX, 90);

    s.maximised = true;
    s.pressed[kClose] = true;
    l = LayoutCaption(g, 300, 200, s);
    EXPECT_EQ(l.glyphs[kMaximise].srcX, 70);  // the restore glyph
    EXPECT_EQ(l.glyphs[kClose].srcY, 10);     // the pressed row
    EXPECT_EQ(l.glyphs[kMaximise].srcY, 0);

    s.hasMaximise = false;  // an absent button takes no cell
    l = LayoutCaption(g, 300, 200, s);
    EXPECT_FALSE(l.buttons[kMaximise]);
    EXPECT_EQ(l.buttons[kMinimise], (Box{279, 5, 289, 15}));

    g.values.CustomControlButtonPosition = true;
    g.values.ControlButtonOffsetX = -3;
    g.values.ControlButtonOffsetY = 7;
    l = LayoutCaption(g, 300, 200, {});
    EXPECT_EQ(l.buttons[kClose], (Box{286, 7, 296, 17}));
}

TEST(CaptionLayout, BordersAndTheClientRectangle) {
    SkinGeometry g = TestSkin();
    CaptionLayout l = LayoutCaption(g, 300, 200, {});
    EXPECT_EQ(l.leftEdge, (Copy{0, 30, 4, 170, 0, 0}));
    EXPECT_EQ(l.rightEdge, (Copy{296, 30, 4, 170, 4, 0}));
    EXPECT_EQ(l.bottomLeft, (Copy{0, 196, 4, 4, 8, 0}));
    EXPECT_EQ(l.bottomTile, (Copy{4, 196, 4, 4, 12, 0}));
    EXPECT_EQ(l.bottomRight, (Copy{296, 196, 4, 4, 24, 0}));  // the sizing corner
    EXPECT_EQ(l.client, (Box{4, 30, 296, 196}));
    EXPECT_EQ(g.FrameMargins(), (Margins{4, 30, 3, 3}));

    CaptionState fixed;
    fixed.canSize = false;
    EXPECT_EQ(LayoutCaption(g, 300, 200, fixed).bottomRight.srcX, 20);

    g.values.LeftBorderWidth = 1;
    g.values.RightBorderWidth = 2;
    l = LayoutCaption(g, 300, 200, {});
    EXPECT_EQ(l.leftEdge.width, 1);
    EXPECT_EQ(l.rightEdge, (Copy{297, 30, 3, 170, 5, 0}));  // the last columns of tile 4
    EXPECT_EQ(l.client, (Box{1, 30, 298, 196}));
    EXPECT_EQ(g.FrameMargins(), (Margins{1, 30, 1, 3}));
}

TEST(CaptionLayout, GeometryThePainterCannotUseIsRefused) {
    SkinGeometry g = TestSkin();
    EXPECT_TRUE(g.Usable());
    SkinGeometry zeroBorder = g;
    zeroBorder.borderHeight = 0;
    SkinGeometry halfOfOne = g;
    halfOfOne.borderHeight = 1;
    halfOfOne.values.BorderHasInactiveVersion = true;
    SkinGeometry noCaption = g;
    noCaption.captionHeight = 0;
    SkinGeometry negativeButton = g;
    negativeButton.values.ButtonWidth = -1;
    for (const SkinGeometry& bad : {zeroBorder, halfOfOne, noCaption, negativeButton}) EXPECT_FALSE(bad.Usable());
}

// Found by fuzzing: a script can set any 32-bit value, and the layout's sums overflowed
// (2147483609 + 537 for the button column). Values beyond the limit are refused; at the
// limit every part lays out inside the integer range (the sanitizer watches the sums).
TEST(CaptionLayout, PixelValuesBeyondTheLimitAreRefusedAndAtTheLimitLayOut) {
    const int32_t limit = px::kSkinGeometryLimit;
    for (int32_t px::SkinValues::*member :
         {&px::SkinValues::ControlButtonOffsetX, &px::SkinValues::ButtonWidth, &px::SkinValues::ActiveRightEnd,
          &px::SkinValues::InactiveOffset, &px::SkinValues::MenuStartOffsetX, &px::SkinValues::TitleStartOffsetY}) {
        SkinGeometry g = TestSkin();
        g.values.*member = limit + 1;
        EXPECT_FALSE(g.Usable());
        g.values.*member = INT32_MAX;
        EXPECT_FALSE(g.Usable());
    }
    for (int SkinGeometry::*side : {&SkinGeometry::captionWidth, &SkinGeometry::captionHeight,
                                    &SkinGeometry::borderWidth, &SkinGeometry::borderHeight}) {
        SkinGeometry g = TestSkin();
        g.*side = limit + 1;
        EXPECT_FALSE(g.Usable());
    }

    SkinGeometry big = TestSkin();
    big.values.ButtonWidth = big.values.ButtonHeight = limit;
    big.values.ActiveRightStart = -limit;
    big.values.ActiveRightEnd = big.values.InactiveOffset = big.values.ControlButtonOffsetX = limit;
    big.values.MenuStartOffsetX = -limit;
    big.values.TopSizingBorderHeight = big.values.MenuStartOffsetY = limit;
    big.values.ControlButtonHasInactiveVersion = big.values.CustomControlButtonPosition = true;
    big.captionHeight = big.borderHeight = big.borderWidth = limit;
    ASSERT_TRUE(big.Usable());
    CaptionState inactive;
    inactive.active = false;
    const CaptionLayout l = LayoutCaption(big, 32767, 32767, inactive);
    EXPECT_EQ(l.glyphs[kMinimise].srcX, limit + limit + 3 * limit);
    EXPECT_EQ(l.rightEnd.width, 2 * limit + 1);
    EXPECT_GE(l.client.Width(), 0);
    EXPECT_EQ(CaptionHitCode(big, l, l.menuBand, 5, 5, 32767, 32767, true, 0), hit::SysMenu);  // buttons everywhere
}

TEST(CaptionLayout, HitCodes) {
    const SkinGeometry g = TestSkin();
    const CaptionLayout l = LayoutCaption(g, 300, 200, {});
    const Box band{22, 15, 72, 30};
    struct Row {
        int x, y, sizing, fixed;
    } rows[] = {
        {30, 20, hit::Menu, hit::Menu},          {100, 20, hit::Caption, hit::Caption},
        {100, 4, hit::Top, hit::Caption},        {100, 2, hit::Top, hit::Client},
        {100, 30, hit::Caption, hit::Caption},   {100, 31, hit::Client, hit::Client},
        {0, 0, hit::TopLeft, hit::Client},       {2, 100, hit::Left, hit::Client},
        {299, 199, hit::BottomRight, hit::Client}, {150, 197, hit::Bottom, hit::Client},
        {297, 100, hit::Right, hit::Client},     {2, 197, hit::BottomLeft, hit::Client},
        {295, 10, hit::SysMenu, hit::SysMenu},   {270, 6, hit::SysMenu, hit::SysMenu},
        {289, 10, hit::Caption, hit::Caption},   {150, 100, hit::Client, hit::Client},
    };
    for (bool canSize : {true, false})
        for (const Row& r : rows)
            EXPECT_EQ(CaptionHitCode(g, l, band, r.x, r.y, 300, 200, canSize, hit::Client),
                      canSize ? r.sizing : r.fixed)
                << r.x << "," << r.y << " canSize " << canSize;
    EXPECT_EQ(ButtonAt(l, 290, 5), kClose);
    EXPECT_EQ(ButtonAt(l, 300, 5), std::nullopt);
    EXPECT_EQ(ButtonAt(l, 268, 14), kMinimise);
}

TEST(MenuBarLayout, AcceleratorLetters) {
    struct Row {
        const wchar_t* text;
        wchar_t letter;
    } rows[] = {{L"&File", L'F'},   {L"E&xit", L'X'},    {L"&&Save", 0},          {L"Save && &quit", L'Q'},
                {L"&&&Print", L'P'}, {L"Trailing&", 0},   {L"None", 0},            {L"", 0},
                {L"&e", L'E'},      {L"A&&", 0},         {L"&&&", 0},             {L"&1st", L'1'}};
    for (const Row& r : rows) EXPECT_EQ(AcceleratorLetter(r.text), r.letter) << std::wstring(r.text).size();
    const SplitCaption s = SplitAtTab(L"&Save\tCtrl+S");
    EXPECT_EQ(s.text, L"&Save");
    EXPECT_EQ(s.shortcut, L"Ctrl+S");
    EXPECT_EQ(SplitAtTab(L"Exit").shortcut, L"");
}

TEST(MenuBarLayout, ItemsFromEightElevenApart) {
    const auto items = LayoutMenuItems({{20, 13}, {35, 13}, {0, 13}});
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, (Box{8, 2, 28, 15}));
    EXPECT_EQ(items[0].highlight, (Box{6, 0, 30, 17}));
    EXPECT_EQ(items[1].text.left, 8 + 20 + 11);
    EXPECT_EQ(items[2].text.left, 39 + 35 + 11);
    EXPECT_EQ(MenuItemsRight(items), 85 + 2);
    EXPECT_EQ(MenuItemsRight({}), 0);
    EXPECT_TRUE(LayoutMenuItems({}).empty());
}

TEST(MenuBarLayout, HitRectanglesInClientCoordinatesOnBothAxes) {
    // A band drawn at window x 20, top 15; the client starts at 4, 30.
    const Box h{6, 0, 30, 17};
    const Box c = HighlightInClient(h, 20, 15, Margins{4, 30, 3, 3});
    EXPECT_EQ(c, (Box{22, -13, 46, 4}));  // y moved by 2 - (30 - 15), as the band's offset
    // A point in client coordinates (as WM_LBUTTONDOWN gives it) over the item's
    // window position: window (20 + 6, 17) is client (22, -13).
    EXPECT_EQ(ItemAt({c}, 26 - 4, 17 - 30), 1);  // window x 26, the item's first column
    EXPECT_EQ(ItemAt({c}, 49 - 4, 17 - 30), 1);  // window x 49, its last column
    EXPECT_EQ(ItemAt({c}, 50 - 4, 17 - 30), 0);  // window x 50: past it, the left margin counted
    EXPECT_EQ(ItemAt({c}, 26 - 4, 14 - 30), 0);  // above the band's item
    const std::vector<Box> rects{{0, 0, 10, 10}, {5, 0, 20, 10}};
    EXPECT_EQ(ItemAt(rects, 7, 5), 1);  // the first in order wins
    EXPECT_EQ(ItemAt(rects, 15, 5), 2);
    EXPECT_EQ(ItemAt(rects, 25, 5), 0);
}

TEST(MenuBarLayout, MenuLettersInsideAnOpenDropDown) {
    // File holds "&New", "&Open", "&Save", "E&xit"; top level "&File", "&Edit", "&Help".
    const std::vector<wchar_t> file{L'N', L'O', 0, L'S', L'X'};
    const std::vector<wchar_t> top{L'F', L'E', L'H'};
    using A = MenuCharAnswer;
    struct Row {
        wchar_t typed;
        A answer;
    } rows[] = {{L'o', {A::Execute, 1}}, {L'S', {A::Execute, 3}}, {L'x', {A::Execute, 4}},
                {L'e', {A::Switch, 2}},  {L'h', {A::Switch, 3}},  {L'f', {}},
                {L'q', {}},              {0, {}}};
    for (const Row& r : rows) EXPECT_EQ(AnswerMenuChar(r.typed, file, top, 1), r.answer) << char(r.typed);
}
