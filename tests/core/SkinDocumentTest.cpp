#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "skin/core/SkinDocument.h"
#include "skin/core/SkinValues.h"

namespace px {
namespace {

const SkinFont kNewFont{kSkinFontName, 80000, false, false, false, false, 1};

// Every value differs from its default and from every other.
SkinValues Distinct() {
    SkinValues v = SkinValues::Defaults(kNewFont);
    v.ButtonWidth = 19;
    v.ButtonHeight = 20;
    v.ActiveLeftEnd = 21;
    v.ActiveRightStart = 775;
    v.ActiveRightEnd = 779;
    v.InactiveOffset = 400;
    v.ActiveCaptionColor = 0x112233;
    v.InActiveCaptionColor = static_cast<int32_t>(0x80000005u);  // a system colour
    v.CaptionFont = {"Tahoma", 97500, true, false, true, false, 238};
    v.ActiveMenuColor = 0xFFFFFF;
    v.ActiveMenuColorOver = 0xC0FFFF;
    v.InActiveMenuColor = 0x010203;
    v.MenuBackgroundColor = 11308659;
    v.MenuFont = {"Courier New <&\">", 120000, false, true, false, true, 0};
    v.BorderHasInactiveVersion = true;
    v.LeftBorderWidth = 1;
    v.RightBorderWidth = 2;
    v.TopSizingBorderHeight = 15;
    v.BottomSizingBorderHeight = 3;
    v.DrawTitle = false;
    v.TitleStartOffsetY = -4;
    v.ControlButtonHasInactiveVersion = true;
    v.CustomControlButtonPosition = true;
    v.ControlButtonOffsetX = -30;
    v.ControlButtonOffsetY = 5;
    v.MenuStartOffsetY = 6;
    v.MenuStartOffsetX = -20;
    v.Name = "Blue steel \xC3\xA9";
    v.Colourise = true;
    v.Hue = 2.5f;
    v.Saturation = 0.1f;
    v.AdjustRGB = true;
    v.PercentRed = -0.25f;
    v.PercentBlue = 1.75f;
    v.PercentGreen = 0.3f;
    v.TransparentColor = 0xFF00FF;
    v.Method = 1;
    return v;
}

std::vector<std::string> Names(const std::vector<XmlElement>& elements) {
    std::vector<std::string> out;
    for (const XmlElement& e : elements) out.push_back(e.name);
    return out;
}
std::vector<std::string> AttributeNames(const XmlElement& e) {
    std::vector<std::string> out;
    for (const auto& a : e.attributes) out.push_back(a.first);
    return out;
}
const std::string& Attribute(const XmlElement& e, const std::string& name) {
    for (const auto& a : e.attributes)
        if (a.first == name) return a.second;
    throw std::out_of_range(name);
}
XmlElement& Child(XmlElement& e, const std::string& name) {
    for (XmlElement& c : e.children)
        if (c.name == name) return c;
    throw std::out_of_range(name);
}

TEST(SkinValues, NewObjectDefaults) {
    const SkinValues v = SkinValues::Defaults(kNewFont);
    const int32_t ints[] = {v.ButtonWidth, v.ButtonHeight, v.ActiveLeftEnd, v.ActiveRightStart, v.ActiveRightEnd,
                            v.InactiveOffset, v.ActiveMenuColor, v.ActiveMenuColorOver, v.LeftBorderWidth,
                            v.RightBorderWidth, v.TopSizingBorderHeight, v.BottomSizingBorderHeight, v.TitleStartOffsetY,
                            v.ControlButtonOffsetX, v.ControlButtonOffsetY, v.MenuStartOffsetY, v.MenuStartOffsetX,
                            v.Method};
    for (int32_t i : ints) EXPECT_EQ(i, 0);
    EXPECT_EQ(v.ActiveCaptionColor, 13421772);
    EXPECT_EQ(v.InActiveCaptionColor, 10066329);
    EXPECT_EQ(v.InActiveMenuColor, 8421504);
    EXPECT_EQ(v.MenuBackgroundColor, 16777215);
    EXPECT_EQ(v.TransparentColor, -1);
    EXPECT_TRUE(v.DrawTitle);
    for (bool b : {v.BorderHasInactiveVersion, v.ControlButtonHasInactiveVersion, v.CustomControlButtonPosition,
                   v.Colourise, v.AdjustRGB})
        EXPECT_FALSE(b);
    for (float f : {v.Hue, v.Saturation, v.PercentRed, v.PercentBlue, v.PercentGreen}) EXPECT_EQ(f, 0.0f);
    EXPECT_EQ(v.Name, "");
    EXPECT_EQ(v.CaptionFont, kNewFont);
    EXPECT_EQ(v.MenuFont, kNewFont);
}

TEST(SkinValues, ResetKeepsButtonSizeCaptionGeometryAndMethodOnly) {
    SkinValues v = Distinct();
    v.Reset(kNewFont);
    SkinValues want = SkinValues::Defaults(kNewFont);
    want.ButtonWidth = 19;
    want.ButtonHeight = 20;
    want.ActiveLeftEnd = 21;
    want.ActiveRightStart = 775;
    want.ActiveRightEnd = 779;
    want.InactiveOffset = 400;
    want.Method = 1;
    EXPECT_EQ(v, want);
}

TEST(SkinDocument, StoredChildrenAndAttributesInTheirOrder) {
    const XmlElement root = StoreSkinDocument(Distinct());
    EXPECT_EQ(root.name, "NeoCaptionSkin");
    EXPECT_EQ(Names(root.children),
              (std::vector<std::string>{"Name", "Caption", "Buttons", "Menu", "Borders", "Effects"}));
    const std::vector<std::vector<std::string>> attributes = {
        {},
        {"activeLeftEnd", "activeRightStart", "activeRightEnd", "inactiveOffset", "activeColor", "inactiveColor",
         "drawTitle", "titleStartOffsetY"},
        {"buttonWidth", "buttonHeight", "controlButtonHasInactiveVersion", "customControlButtonPosition",
         "controlButtonOffsetX", "controlButtonOffsetY"},
        {"activeMenuColor", "activeMenuColorOver", "inActiveMenuColor", "menuBackgroundColor", "menuStartOffsetY",
         "menuStartOffsetX"},
        {"borderHasInactiveVersion", "leftBorderWidth", "rightBorderWidth", "topSizingBorderHeight",
         "bottomSizingBorderHeight"},
        {"transparentColor"},
    };
    for (size_t i = 0; i < attributes.size(); ++i) EXPECT_EQ(AttributeNames(root.children[i]), attributes[i]) << i;
    const std::vector<std::string> font = {"name", "size", "bold", "italic", "underline", "strikethrough", "charSet"};
    EXPECT_EQ(Names(root.children[1].children), std::vector<std::string>{"Font"});
    EXPECT_EQ(AttributeNames(root.children[1].children[0]), font);
    EXPECT_EQ(AttributeNames(root.children[3].children[0]), font);
    EXPECT_TRUE(root.children[2].children.empty());
    const XmlElement& effects = root.children[5];
    EXPECT_EQ(Names(effects.children), (std::vector<std::string>{"Colourise", "AdjustRGB"}));
    EXPECT_EQ(AttributeNames(effects.children[0]), (std::vector<std::string>{"active", "hue", "saturation"}));
    EXPECT_EQ(AttributeNames(effects.children[1]),
              (std::vector<std::string>{"active", "percentRed", "percentBlue", "percentGreen"}));
}

TEST(SkinDocument, StoredValueTexts) {
    const XmlElement root = StoreSkinDocument(Distinct());
    EXPECT_EQ(root.children[0].firstChildText, "Blue steel \xC3\xA9");
    EXPECT_EQ(Attribute(root.children[1], "inactiveColor"), "-2147483643");
    EXPECT_EQ(Attribute(root.children[1], "drawTitle"), "no");
    EXPECT_EQ(Attribute(root.children[1], "titleStartOffsetY"), "-4");
    EXPECT_EQ(Attribute(root.children[2], "customControlButtonPosition"), "yes");
    EXPECT_EQ(Attribute(root.children[1].children[0], "size"), "9.75");
    EXPECT_EQ(Attribute(root.children[1].children[0], "charSet"), "238");
    EXPECT_EQ(Attribute(root.children[3].children[0], "name"), "Courier New <&\">");  // the DOM escapes
    EXPECT_EQ(Attribute(root.children[3].children[0], "size"), "12");
    EXPECT_EQ(Attribute(root.children[5], "transparentColor"), "16711935");
    EXPECT_EQ(Attribute(root.children[5].children[0], "hue"), "2.5");
    EXPECT_EQ(Attribute(root.children[5].children[0], "saturation"), "0.1");
    EXPECT_EQ(Attribute(root.children[5].children[1], "percentRed"), "-0.25");
}

TEST(SkinDocument, StoreThenRestoreGivesEveryValueBack) {
    const SkinValues stored = Distinct();
    SkinValues other = SkinValues::Defaults(kNewFont);
    other.Method = 2;  // not stored: the restoring object keeps its own
    SkinValues got = RestoreSkinValues(StoreSkinDocument(stored), other, kNewFont);
    EXPECT_EQ(got.Method, 2);
    got.Method = stored.Method;
    EXPECT_EQ(got, stored);
}

TEST(SkinDocument, MissingPartsKeepWhatTheResetKeeps) {
    SkinValues current = Distinct();
    XmlElement root = StoreSkinDocument(current);
    // Drop Buttons, and the caption geometry from Caption.
    root.children.erase(root.children.begin() + 2);
    XmlElement& caption = root.children[1];
    std::erase_if(caption.attributes, [](const auto& a) { return a.first != "activeColor"; });
    current.ButtonWidth = 7;
    current.ActiveRightStart = 500;
    current.ControlButtonOffsetX = 99;  // not kept by the reset
    const SkinValues got = RestoreSkinValues(root, current, kNewFont);
    EXPECT_EQ(got.ButtonWidth, 7);
    EXPECT_EQ(got.ButtonHeight, 20);
    EXPECT_EQ(got.ActiveRightStart, 500);
    EXPECT_EQ(got.InactiveOffset, 400);
    EXPECT_EQ(got.ControlButtonOffsetX, 0);
    EXPECT_TRUE(got.DrawTitle);  // default again: the attribute is gone
    EXPECT_EQ(got.ActiveCaptionColor, 0x112233);
}

TEST(SkinDocument, EmptyNameUnknownPartsAndBooleanTexts) {
    XmlElement root{"NeoCaptionSkin", {}, {}, {}};
    root.children.push_back({"Name", {}, {}, ""});  // <Name/>: no child node at all
    root.children.push_back({"Caption", {{"drawTitle", " Yes "}, {"colour", "12"}, {"DrawTitle", "no"}}, {}, {}});
    root.children.push_back({"Buttons", {{"customControlButtonPosition", "1"}}, {{"Font", {{"name", "X"}}, {}, {}}}, {}});
    root.children.push_back({"Extra", {{"buttonWidth", "x"}}, {}, {}});
    SkinValues current = Distinct();
    const SkinValues got = RestoreSkinValues(root, current, kNewFont);
    EXPECT_EQ(got.Name, "");
    EXPECT_TRUE(got.DrawTitle);
    EXPECT_FALSE(got.CustomControlButtonPosition);
    EXPECT_EQ(got.CaptionFont, kNewFont);  // a Font under Buttons is not a skin font
    EXPECT_EQ(got.ButtonWidth, 19);
}

TEST(SkinDocument, LaterElementsWinAndFontsReadWhatTheyHold) {
    XmlElement root{"NeoCaptionSkin", {}, {}, {}};
    root.children.push_back({"Menu", {{"menuStartOffsetX", "3"}}, {{"Font", {{"name", "Arial"}, {"size", "8.25"}}, {}, {}}}, {}});
    root.children.push_back({"Menu", {{"menuStartOffsetX", "4"}}, {}, {}});
    const SkinValues got = RestoreSkinValues(root, Distinct(), kNewFont);
    EXPECT_EQ(got.MenuStartOffsetX, 4);
    EXPECT_EQ(got.MenuFont.name, "Arial");
    EXPECT_EQ(got.MenuFont.size, 82500);
    EXPECT_EQ(got.MenuFont.charSet, kNewFont.charSet);
}

TEST(SkinDocument, AValueThatDoesNotConvertNamesAttributeAndValue) {
    const struct {
        const char* element;
        const char* attribute;
        const char* text;
    } cases[] = {
        {"Buttons", "buttonWidth", "wide"},     {"Caption", "activeColor", "4294967295"},
        {"Effects", "transparentColor", "&HFF"}, {"Colourise", "hue", "2,5"},
        {"AdjustRGB", "percentRed", "nan"},     {"Font", "size", "-8"},
        {"Font", "charSet", "300"},
    };
    for (const auto& c : cases) {
        XmlElement root = StoreSkinDocument(Distinct());
        XmlElement* target = nullptr;
        const std::string e = c.element;
        if (e == "Colourise" || e == "AdjustRGB") target = &Child(Child(root, "Effects"), e);
        else if (e == "Font") target = &Child(Child(root, "Caption"), "Font");
        else target = &Child(root, e);
        for (auto& a : target->attributes)
            if (a.first == c.attribute) a.second = c.text;
        try {
            RestoreSkinValues(root, Distinct(), kNewFont);
            ADD_FAILURE() << c.attribute << " = " << c.text << " was accepted";
        } catch (const Error& err) {
            EXPECT_EQ(err.number(), static_cast<int32_t>(0x80040619u));
            EXPECT_EQ(err.className(), "cSkinConfiguration");
            EXPECT_EQ(err.description(), std::string("Invalid value \"") + c.text + "\" for attribute \"" + c.attribute +
                                             "\" of element \"" + c.element + "\".");
        }
    }
}

TEST(SkinDocument, GeometryThePainterCannotDrawIsRefused) {
    const struct {
        int32_t buttonWidth, buttonHeight;
        bool inactiveRow;
        std::optional<int32_t> caption, borders;
        bool ok;
    } cases[] = {
        {19, 20, false, 26, 4, true},           {0, 0, false, std::nullopt, std::nullopt, true},
        {-1, 20, false, 26, 4, false},          {19, -1, false, 26, 4, false},
        {19, 20, false, 0, 4, false},           {19, 20, false, 26, 0, false},
        {19, 20, true, 26, 1, false},           {19, 20, true, 26, 2, true},
        {19, 20, true, std::nullopt, 1, false}, {19, 20, false, -5, std::nullopt, false},
    };
    for (const auto& c : cases) {
        SkinValues v = SkinValues::Defaults(kNewFont);
        v.ButtonWidth = c.buttonWidth;
        v.ButtonHeight = c.buttonHeight;
        v.BorderHasInactiveVersion = c.inactiveRow;
        try {
            ValidateSkinGeometry(v, c.caption, c.borders);
            EXPECT_TRUE(c.ok) << c.buttonWidth << " " << c.buttonHeight << " " << c.caption.value_or(-99) << " "
                              << c.borders.value_or(-99);
        } catch (const Error& err) {
            EXPECT_FALSE(c.ok) << err.description();
            EXPECT_EQ(err.number(), static_cast<int32_t>(0x80040619u));
            EXPECT_EQ(err.description().rfind("Invalid skin geometry: ", 0), 0u) << err.description();
        }
    }
}

// Pixel values a script or a stored text may hold: up to the limit either way they are kept,
// beyond it Restore's check names the attribute (the frame layout cannot add such values).
TEST(SkinDocument, PixelValuesBeyondTheLimitAreRefusedByName) {
    const int32_t limit = kSkinGeometryLimit;
    for (const SkinAttribute& a : SkinAttributes()) {
        if (a.kind != SkinValueKind::Integer) continue;
        const auto member = std::get<int32_t SkinValues::*>(a.member);
        for (int32_t value : {-limit, limit, -limit - 1, limit + 1, INT32_MIN, INT32_MAX}) {
            SkinValues v = SkinValues::Defaults(kNewFont);
            v.*member = value;
            const bool inRange = value >= -limit && value <= limit;
            EXPECT_EQ(SkinGeometryOutOfRange(v), inRange ? nullptr : &a) << a.attribute << " " << value;
            if (inRange && (value < 0 && (member == &SkinValues::ButtonWidth || member == &SkinValues::ButtonHeight)))
                continue;  // negative button sizes have their own refusal
            try {
                ValidateSkinGeometry(v, 26, 8);
                EXPECT_TRUE(inRange) << a.attribute << " " << value;
            } catch (const Error& err) {
                EXPECT_FALSE(inRange) << err.description();
                EXPECT_EQ(err.description(), "Invalid skin geometry: " + std::string(a.attribute) + " is " +
                                                 std::to_string(value) + ", outside -1048576 to 1048576.");
            }
        }
    }
    for (auto [caption, borders] : {std::pair{limit + 1, 8}, std::pair{26, INT32_MAX}}) {
        try {
            ValidateSkinGeometry(SkinValues::Defaults(kNewFont), caption, borders);
            ADD_FAILURE() << caption << " " << borders;
        } catch (const Error& err) {
            EXPECT_EQ(err.description().rfind("Invalid skin geometry: a picture is ", 0), 0u) << err.description();
        }
    }
}

TEST(SkinDocument, TheRangeMessageNamesTheFirstValueThenTheFirstPictureSide) {
    const int32_t limit = kSkinGeometryLimit;
    SkinValues v = SkinValues::Defaults(kNewFont);
    EXPECT_EQ(SkinGeometryRangeMessage(v, {{limit, "wide"}, {limit, "high"}, {-5, "wide"}}), "");
    EXPECT_EQ(SkinGeometryRangeMessage(v, {{30, "high"}, {limit + 1, "wide"}, {INT32_MAX, "high"}}),
              "Invalid skin geometry: a picture is 1048577 pixels wide.");
    v.MenuStartOffsetY = -limit - 1;
    v.ButtonHeight = limit + 1;  // buttonHeight comes first in document order
    EXPECT_EQ(SkinGeometryRangeMessage(v, {{INT32_MAX, "wide"}}),
              "Invalid skin geometry: buttonHeight is 1048577, outside -1048576 to 1048576.");
    v.ButtonHeight = 10;
    EXPECT_EQ(SkinGeometryRangeMessage(v, {}),
              "Invalid skin geometry: menuStartOffsetY is -1048577, outside -1048576 to 1048576.");
}

TEST(SkinDocument, ErrorTexts) {
    EXPECT_EQ(XmlLoadErrorText("error", 0), "The XML document could not be loaded: error at position 0");
    EXPECT_EQ(std::string(kSkinNotFoundText), "NeoCaptionSkin element not found in XML document.");
}

TEST(SkinDocument, DocumentTypeDeclarationsAreFoundInAnyCaseAndWidth) {
    using namespace std::string_view_literals;
    const struct {
        std::string_view text;
        std::optional<size_t> at;
    } cases[] = {
        {"<!DOCTYPE x>"sv, 0},
        {"<?xml version=\"1.0\"?>\n<!doctype NeoCaptionSkin [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"sv, 22},
        {"<NeoCaptionSkin/><!DocType"sv, 17},
        {"<!DOCTYPE"sv, 0},
        {"<!DOCTYP"sv, std::nullopt},
        {"<!-- DOCTYPE --><NeoCaptionSkin/>"sv, std::nullopt},
        {"< !DOCTYPE"sv, std::nullopt},
        {""sv, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindDocumentTypeDeclaration(c.text), c.at) << c.text;
        const std::u16string wide(c.text.begin(), c.text.end());
        EXPECT_EQ(FindDocumentTypeDeclaration(std::u16string_view(wide)), c.at) << c.text;
    }
}

// Random damage to a stored document: every outcome is the values or the
// library's error, nothing else (the sanitizers watch the rest).
TEST(SkinDocument, MutatedDocumentsGiveValuesOrTheLibraryError) {
    std::mt19937 rng(2026);
    const std::string junk[] = {"", " ", "-", "1e999", "nan", "0x1F", "yes", "NO", "99999999999", "-0", "3.4e38",
                                "\xFF\xFE", "8.25", "2147483648", "-2147483649", "12", "\t7\n", "+", "."};
    int failures = 0;
    for (int round = 0; round < 200; ++round) {
        XmlElement root = StoreSkinDocument(Distinct());
        for (int m = 0; m < 4; ++m) {
            std::vector<XmlElement*> all{&root};  // again after each change: erasing moves elements
            for (size_t i = 0; i < all.size(); ++i)
                for (XmlElement& c : all[i]->children) all.push_back(&c);
            XmlElement* e = all[rng() % all.size()];
            switch (rng() % 4) {
            case 0:
                if (!e->attributes.empty()) e->attributes[rng() % e->attributes.size()].second = junk[rng() % std::size(junk)];
                break;
            case 1: e->firstChildText = junk[rng() % std::size(junk)]; break;
            case 2:
                if (!e->attributes.empty()) e->attributes.erase(e->attributes.begin() + static_cast<long>(rng() % e->attributes.size()));
                break;
            case 3:
                if (!e->children.empty()) e->children.erase(e->children.begin() + static_cast<long>(rng() % e->children.size()));
                break;
            }
        }
        try {
            const SkinValues v = RestoreSkinValues(root, Distinct(), kNewFont);
            ValidateSkinGeometry(v, 26, 8);
        } catch (const Error& err) {
            ASSERT_EQ(err.number(), static_cast<int32_t>(0x80040619u)) << err.description();
            ++failures;
        }
    }
    EXPECT_GT(failures, 0);   // the damage does reach the conversions
    EXPECT_LT(failures, 200);
}

}  // namespace
}  // namespace px
