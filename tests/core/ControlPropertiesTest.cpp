#include <gtest/gtest.h>

#include "controls/core/ControlProperties.h"

using namespace px;
using namespace px::controls;

namespace {

TEST(PropertyBagTest, TypedReadsFallBackToTheDefault) {
    PropertyBag bag{{"i", 5}, {"b", true}, {"s", L"text"}, {"big", 5000000000LL}, {"neg", -1}};
    EXPECT_EQ(bag.ReadInt("i", 0), 5);
    EXPECT_TRUE(bag.ReadBool("i", false));  // integers read as booleans
    EXPECT_TRUE(bag.ReadBool("b", false));
    EXPECT_EQ(bag.ReadInt("b", 7), 7);      // a boolean is not an integer
    EXPECT_EQ(bag.ReadString("s", L""), L"text");
    EXPECT_EQ(bag.ReadString("i", L"def"), L"def");
    EXPECT_EQ(bag.ReadInt32("big", 3), 3);  // does not fit
    EXPECT_EQ(bag.ReadColor("neg", 0), 0xFFFFFFFFu);
    EXPECT_EQ(bag.ReadColor("big", 9), 9u);
    EXPECT_EQ(bag.ReadInt("missing", 42), 42);
    bag.Write("i", L"now text");
    EXPECT_EQ(bag.ReadInt("i", -5), -5);
}

TEST(FontDescriptionTest, FormatAndParse) {
    struct {
        const wchar_t* text;
        bool ok;
        FontDescription spec;
    } cases[] = {
        {L"", true, {}},
        {L"Tahoma,8", true, {L"Tahoma", 8, 0}},
        {L"MS Sans Serif,8.25,b", true, {L"MS Sans Serif", 8.25, FontStyleBit::Bold}},
        {L"Arial,12,bius", true, {L"Arial", 12, 15}},
        {L"Arial", false, {}},
        {L",8", false, {}},
        {L"Arial,", false, {}},
        {L"Arial,abc", false, {}},
        {L"Arial,0", false, {}},
        {L"Arial,9,x", false, {}},
    };
    for (auto& c : cases) {
        FontDescription f{L"Old", 3, 0};
        EXPECT_EQ(ParseFontDescription(c.text, f), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(f, c.spec) << c.text;
            EXPECT_EQ(FormatFontDescription(f), c.text);
        } else {
            EXPECT_EQ(f, (FontDescription{L"Old", 3, 0})) << "a refused text must leave the font alone";
        }
    }
}

TEST(ButtonPropertiesTest, EmptyBagGivesTheDefaults) {
    ButtonProperties p = ButtonProperties::Load(PropertyBag{}, L"cmdApply");
    EXPECT_EQ(p.caption, L"cmdApply");
    EXPECT_EQ(p.buttonStyle, 2);
    EXPECT_EQ(p.mode, 0);
    EXPECT_TRUE(p.showFocusRect);
    EXPECT_TRUE(p.enabled);
    EXPECT_EQ(p.foreColor, 0x80000012u);
    EXPECT_EQ(p.backColor, 0x8000000Fu);
    EXPECT_EQ(p.EffectiveHoverFore(), p.foreColor);
    EXPECT_EQ(p.EffectiveHoverBack(), p.backColor);
    EXPECT_TRUE(p.font.usesContainerFont());
}

TEST(ButtonPropertiesTest, OutOfRangeValuesKeepDefaults) {
    struct {
        const char* key;
        int value;
        int ButtonProperties::*field;
        int expected;
    } cases[] = {
        {"BackStyle", 8, &ButtonProperties::buttonStyle, 2},
        {"BackStyle", 7, &ButtonProperties::buttonStyle, 7},
        {"Mode", 3, &ButtonProperties::mode, 0},
        {"Shape", 9, &ButtonProperties::shape, 0},
        {"Shape", -1, &ButtonProperties::shape, 0},
        {"CapAlign", 3, &ButtonProperties::captionAlign, 2},
        {"CapStyle", 3, &ButtonProperties::captionStyle, 0},
        {"ImgAlign", 6, &ButtonProperties::pictureAlign, 2},
        {"ImgSize", 5, &ButtonProperties::pictureSize, 4},
        {"Gradient", 5, &ButtonProperties::gradientMode, 0},
        {"Gradient", 4, &ButtonProperties::gradientMode, 4},
        {"LockHover", 4, &ButtonProperties::hoverColorLocks, 3},
        {"mPointer", 16, &ButtonProperties::mousePointer, 0},
        {"mPointer", 99, &ButtonProperties::mousePointer, 99},
        {"CustomClick", 9, &ButtonProperties::customClick, 0},
    };
    for (auto& c : cases) {
        ButtonProperties p = ButtonProperties::Load(PropertyBag{{c.key, c.value}}, L"b");
        EXPECT_EQ(p.*(c.field), c.expected) << c.key << "=" << c.value;
    }
    ButtonProperties bad = ButtonProperties::Load(PropertyBag{{"cFore", 0x01000005u}, {"cBack", 0x80000040u}}, L"b");
    EXPECT_EQ(bad.foreColor, kDefaultForeColor);
    EXPECT_EQ(bad.backColor, kDefaultBackColor);
}

TEST(ButtonPropertiesTest, LoadAppliesTheCrossRules) {
    // A picture above or below the caption only allows a centred caption.
    EXPECT_EQ(ButtonProperties::Load(PropertyBag{{"ImgAlign", 4}, {"CapAlign", 0}}, L"b").captionAlign, 2);
    EXPECT_EQ(ButtonProperties::Load(PropertyBag{{"ImgAlign", 3}, {"CapAlign", 0}}, L"b").captionAlign, 0);
    // Custom shapes use the picture's own size.
    EXPECT_EQ(ButtonProperties::Load(PropertyBag{{"Shape", 7}, {"ImgSize", 1}}, L"b").pictureSize, 4);
    // A push button keeps no pressed state.
    EXPECT_FALSE(ButtonProperties::Load(PropertyBag{{"Mode", 0}, {"Value", true}}, L"b").value);
    EXPECT_TRUE(ButtonProperties::Load(PropertyBag{{"Mode", 1}, {"Value", true}}, L"b").value);
    // Hover colours default to the normal ones.
    ButtonProperties p = ButtonProperties::Load(PropertyBag{{"cFore", 0x0000FFu}, {"cBack", 0x00FF00u}}, L"b");
    EXPECT_EQ(p.hoverForeColor, 0x0000FFu);
    EXPECT_EQ(p.hoverBackColor, 0x00FF00u);
}

TEST(ButtonPropertiesTest, SaveThenLoadRoundTrips) {
    ButtonProperties p;
    p.buttonStyle = 5;
    p.mode = 2;
    p.value = true;
    p.caption = L"Sa&ve||GIF";
    p.captionAlign = 1;
    p.captionStyle = 2;
    p.shape = 3;
    p.customClick = 4;
    p.picture = L"\\Data\\save.ico";
    p.pictureAlign = 3;
    p.pictureSize = 1;
    p.enabled = false;
    p.showFocusRect = false;
    p.mousePointer = 99;
    p.mouseIcon = L"res:12";
    p.font = {L"Tahoma", 9, FontStyleBit::Bold};
    p.foreColor = 0x112233;
    p.backColor = 0x80000005u;
    p.gradientColor = 0xFFFFFF;
    p.gradientMode = 3;
    p.hoverForeColor = 0x0000FF;
    p.hoverBackColor = 0x00FFFF;
    p.hoverColorLocks = 1;
    PropertyBag bag;
    p.Save(bag);
    EXPECT_EQ(bag.ReadInt("BackStyle", 0), 5);
    EXPECT_EQ(bag.ReadString("Font", L""), L"Tahoma,9,b");
    EXPECT_EQ(ButtonProperties::Load(bag, L"other"), p);
}

TEST(ButtonPropertiesTest, ResetDefaultColors) {
    ButtonProperties p;
    p.foreColor = 1;
    p.backColor = 2;
    p.gradientColor = 3;
    p.hoverForeColor = 4;
    p.hoverBackColor = 5;
    p.hoverColorLocks = 0;
    p.ResetDefaultColors();
    EXPECT_EQ(p, ButtonProperties{});
}

TEST(SliderPropertiesTest, DefaultsRoundTripAndRepairs) {
    SliderProperties d = SliderProperties::Load(PropertyBag{});
    EXPECT_EQ(d, SliderProperties{});
    EXPECT_EQ(d.orientation, 1);
    EXPECT_EQ(d.max, 10);
    EXPECT_TRUE(d.showValueTip);

    SliderProperties s;
    s.backColor = 0x9C8E85;
    s.enabled = false;
    s.orientation = 0;
    s.railStyle = 99;
    s.showValueTip = false;
    s.min = 50;
    s.max = 200;
    s.value = 100;
    s.sliderIcon = L"res:3";
    s.railPicture = L"res:4";
    PropertyBag bag;
    s.Save(bag);
    EXPECT_EQ(SliderProperties::Load(bag), s);

    struct {
        PropertyBag bag;
        int orientation, railStyle, min, max, value;
    } cases[] = {
        {{{"Orientation", 2}}, 1, 0, 0, 10, 0},
        {{{"RailStyle", 5}}, 1, 0, 0, 10, 0},
        {{{"RailStyle", 4}}, 1, 4, 0, 10, 0},
        {{{"Min", 10}, {"Max", 10}}, 1, 0, 0, 10, 0},
        {{{"Min", 50}, {"Max", 200}, {"Value", 300}}, 1, 0, 50, 200, 200},
        {{{"Min", 50}, {"Max", 200}}, 1, 0, 50, 200, 50},
    };
    for (auto& c : cases) {
        SliderProperties p = SliderProperties::Load(c.bag);
        EXPECT_EQ(p.orientation, c.orientation);
        EXPECT_EQ(p.railStyle, c.railStyle);
        EXPECT_EQ(p.min, c.min);
        EXPECT_EQ(p.max, c.max);
        EXPECT_EQ(p.value, c.value);
    }
}

}  // namespace
