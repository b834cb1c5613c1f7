#include <gtest/gtest.h>

#include "controls/core/ButtonState.h"

using namespace px;
using namespace px::controls;

namespace {

TEST(ButtonStateTest, LeftClickRules) {
    struct {
        int mode;
        bool valueBefore;
        bool click, valueAfter, othersOff;
    } cases[] = {
        {ModePush, false, true, false, false},
        {ModeCheck, false, true, true, false},
        {ModeCheck, true, true, false, false},
        {ModeOption, false, true, true, true},
        {ModeOption, true, false, true, false},  // already on: nothing, not even Click
    };
    for (auto& c : cases) {
        ButtonState s;
        s.SetMode(c.mode);
        s.SetValue(c.valueBefore);
        ClickOutcome o = s.LeftClick();
        EXPECT_EQ(o.raiseClick, c.click) << c.mode << c.valueBefore;
        EXPECT_EQ(s.value(), c.valueAfter) << c.mode << c.valueBefore;
        EXPECT_EQ(o.turnOthersOff, c.othersOff) << c.mode << c.valueBefore;
        EXPECT_EQ(o.valueChanged, c.valueBefore != c.valueAfter);
    }
}

TEST(ButtonStateTest, ModeChangesAskTheGroupAndClearValue) {
    struct {
        int from, to;
        bool valueBefore;
        bool reg, unreg, cleared;
        int modeAfter;
    } cases[] = {
        {ModePush, ModeOption, false, true, false, false, ModeOption},
        {ModeOption, ModeCheck, true, false, true, false, ModeCheck},
        {ModeOption, ModePush, true, false, true, true, ModePush},
        {ModeCheck, ModePush, true, false, false, true, ModePush},
        {ModeCheck, ModeCheck, true, false, false, false, ModeCheck},
        {ModeOption, 3, true, false, false, false, ModeOption},
        {ModeCheck, -1, false, false, false, false, ModeCheck},
    };
    for (auto& c : cases) {
        ButtonState s;
        s.SetMode(c.from);
        s.SetValue(c.valueBefore);
        ModeChangeOutcome o = s.SetMode(c.to);
        EXPECT_EQ(o.registerOption, c.reg) << c.from << "->" << c.to;
        EXPECT_EQ(o.unregisterOption, c.unreg) << c.from << "->" << c.to;
        EXPECT_EQ(o.valueCleared, c.cleared) << c.from << "->" << c.to;
        EXPECT_EQ(s.mode(), c.modeAfter);
        if (c.cleared) {
            EXPECT_FALSE(s.value());
        }
    }
}

TEST(ButtonStateTest, PushButtonsRefuseValue) {
    ButtonState s;
    EXPECT_FALSE(s.SetValue(true));
    EXPECT_FALSE(s.value());
    s.SetMode(ModeCheck);
    EXPECT_TRUE(s.SetValue(true));
    EXPECT_TRUE(s.value());
}

TEST(ButtonStateTest, FaceShowsDownWhenHeldOrOn) {
    ButtonState s;
    EXPECT_FALSE(s.ShowsDown());
    EXPECT_TRUE(s.set(StateBit::Pressed, true));
    EXPECT_FALSE(s.set(StateBit::Pressed, true));  // no change, no redraw
    EXPECT_TRUE(s.ShowsDown());
    s.set(StateBit::Pressed, false);
    s.SetMode(ModeCheck);
    s.SetValue(true);
    EXPECT_TRUE(s.ShowsDown());
    EXPECT_TRUE(s.set(StateBit::Hover, true));
    EXPECT_EQ(s.bits(), 4u);
}

}  // namespace
