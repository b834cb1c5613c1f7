// The drop-down rules of the menu bar: entry sizes and places, the separator,
// the disabled colour, how bar items look, the loop's message filter, and the
// answer to a letter typed inside an open drop-down when entries are disabled.
#include <gtest/gtest.h>

#include "skin/core/DropDownLayout.h"
#include "skin/core/MenuBarLayout.h"

using namespace veltrim::core;

TEST(DropDownLayout, EntrySizes) {
    struct Row {
        bool separator;
        int text, shortcut;
        bool hasShortcut;
        EntrySize size;
    } rows[] = {{false, 40, 0, false, {70, 21}},   {false, 40, 30, true, {108, 21}},
                {true, 0, 0, false, {30, 6}},      {false, 0, 25, true, {63, 21}},
                {true, 12, 0, false, {42, 6}}};
    for (const Row& r : rows)
        EXPECT_EQ(MeasureEntry(r.separator, r.text, r.shortcut, r.hasShortcut, 13), r.size) << r.text << r.separator;
}

TEST(DropDownLayout, CheckBoxTextAndShortcutPlaces) {
    const EntryLayout l = LayoutEntry(Box{10, 100, 150, 121}, 40);
    // Shrunk by 4 to 14..146 x 104..117 (13 high), then 2 right and 14 wide.
    EXPECT_EQ(l.checkBox, (Box{16, 104, 30, 117}));
    EXPECT_EQ(l.checkBox.Width(), l.checkBox.Height() + 1);
    EXPECT_EQ(l.text, (Box{34, 100, 150, 121}));
    EXPECT_EQ(l.shortcutX, 10 + 24 + 40 + 8);
    EXPECT_EQ(SeparatorLine(Box{0, 20, 100, 26}), (Box{8, 22, 92, 24}));
    EXPECT_EQ(SeparatorLine(Box{5, 0, 60, 7}), (Box{13, 2, 52, 4}));
}

TEST(DropDownLayout, DisabledTextIsHalfTextHalfBackground) {
    struct Row {
        int32_t text, background, blended;
    } rows[] = {{0xFFFFFF, 0x000000, 0x7F7F7F},
                {0x000000, 0xFFFFFF, 0x7F7F7F},
                {0xFFFFFF, 0xAC8E73, 0xD5C6B9},  // white on the main window's band colour
                {0x0000FF, 0x00FF00, 0x007F7F},  // channels never carry into each other
                {0x123456, 0x123456, 0x123456}};
    for (const Row& r : rows) EXPECT_EQ(Blend50(r.text, r.background), r.blended) << std::hex << r.text;
}

TEST(DropDownLayout, HowBarItemsLook) {
    struct Row {
        int item, hot, pressed;
        ItemLook look;
    } rows[] = {{1, 1, 1, ItemLook::Sunken}, {1, 1, 0, ItemLook::Raised}, {1, 0, 1, ItemLook::Raised},
                {2, 1, 1, ItemLook::Plain},  {2, 2, 1, ItemLook::Raised}, {1, 2, 1, ItemLook::Raised},
                {0, 0, 0, ItemLook::Plain},  {3, 0, 0, ItemLook::Plain}};
    for (const Row& r : rows) EXPECT_EQ(LookOf(r.item, r.hot, r.pressed), r.look) << r.item << r.hot << r.pressed;
}

TEST(DropDownLayout, NeighboursWrapRound) {
    EXPECT_EQ(NeighbourItem(1, 3, true), 2);
    EXPECT_EQ(NeighbourItem(3, 3, true), 1);
    EXPECT_EQ(NeighbourItem(1, 3, false), 3);
    EXPECT_EQ(NeighbourItem(2, 3, false), 1);
    EXPECT_EQ(NeighbourItem(1, 1, true), 1);
    EXPECT_EQ(NeighbourItem(0, 4, true), 1);
    EXPECT_EQ(NeighbourItem(2, 0, true), 0);
}

TEST(DropDownLayout, TheLoopsMessageFilter) {
    using K = FilterInput;
    const LoopState open2{2, 4, true, true};
    const LoopState noLeft{2, 4, false, true}, noRight{2, 4, true, false};
    struct Row {
        FilterInput in;
        LoopState state;
        FilterAction action;
    } rows[] = {
        {{K::KeyRight, 0}, open2, {3, true, true, false}},
        {{K::KeyLeft, 0}, open2, {1, true, true, false}},
        {{K::KeyLeft, 0}, LoopState{1, 4, true, true}, {4, true, true, false}},
        {{K::KeyLeft, 0}, noLeft, {}},            // inside a nested drop-down: the menu's own Left
        {{K::KeyRight, 0}, noRight, {}},          // on an entry that opens a sub-menu
        {{K::KeyRight, 0}, LoopState{1, 1, true, true}, {}},  // one item: nowhere to go
        {{K::KeyEscape, 0}, open2, {-1, false, false, true}},
        {{K::MouseMove, 3}, open2, {3, true, false, false}},  // onto another item: switch
        {{K::MouseMove, 2}, open2, {}},                       // along the open item
        {{K::MouseMove, 0}, open2, {}},                       // off the bar
        {{K::LeftButtonDown, 2}, open2, {-1, true, true, false}},  // the open item: close, swallowed
        {{K::LeftButtonDown, 3}, open2, {}},                       // elsewhere: the menu decides
        {{K::LeftButtonDown, 0}, open2, {}},
        {{K::Other, 2}, open2, {}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FilterMenuMessage(r.in, r.state), r.action) << r.in.kind << " under " << r.in.itemUnder;
}

TEST(DropDownLayout, LettersOfDisabledEntriesSelectWithoutRunning) {
    // File: "&New", "&Open", "&Save" (disabled), separator, "E&xit"; top level "&File", "&Edit", "&Save As".
    const std::vector<EntryLetter> file{{L'N', true}, {L'O', true}, {L'S', false}, {0, true}, {L'X', true}};
    const std::vector<wchar_t> top{L'F', L'E', L'S'};
    using A = MenuCharAnswer;
    struct Row {
        wchar_t typed;
        A answer;
    } rows[] = {{L'n', {A::Execute, 0}}, {L's', {A::Select, 2}}, {L'X', {A::Execute, 4}},
                {L'e', {A::Switch, 2}},  {L'f', {}},             {L'z', {}}};
    for (const Row& r : rows) EXPECT_EQ(AnswerMenuChar(r.typed, file, top, 1), r.answer) << char(r.typed);
    // Entries come first: a letter both of an entry and of a top-level item runs the entry.
    EXPECT_EQ(AnswerMenuChar(L'e', std::vector<EntryLetter>{{L'E', true}}, top, 1), (A{A::Execute, 0}));
    // No drop-down of ours open (openItem 0): a top-level letter still switches only to a real item.
    EXPECT_EQ(AnswerMenuChar(L'f', std::vector<EntryLetter>{}, top, 0), (A{A::Switch, 1}));
}
