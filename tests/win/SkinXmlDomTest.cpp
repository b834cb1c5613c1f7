// Stored skin text through the platform's XML DOM: the element tree survives
// writing and parsing (escaping, order, an empty Name), the two load errors,
// the skin element found anywhere, and document type declarations refused.
#include <gtest/gtest.h>

#include <string>

#include "base/win/ScopedWin.h"
#include "skin/SkinXmlDom.h"
#include "skin/core/SkinDocument.h"

namespace veltrim {
namespace {

class SkinXmlDom : public testing::Test {
protected:
    px::win::ScopedCom com_;
};

std::string DescriptionOf(const std::wstring& xml) {
    try {
        LoadSkinElement(xml);
    } catch (const px::Error& e) {
        EXPECT_EQ(e.number(), static_cast<int32_t>(0x80040619u));
        return e.description();
    }
    return "(loaded)";
}

void ExpectSameTree(const px::XmlElement& a, const px::XmlElement& b) {
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.attributes, b.attributes) << a.name;
    // Only a leaf's first child is text (Name); elsewhere it is an element.
    if (b.children.empty()) {
        EXPECT_EQ(a.firstChildText, b.firstChildText) << a.name;
    }
    ASSERT_EQ(a.children.size(), b.children.size()) << a.name;
    for (size_t i = 0; i < a.children.size(); ++i) ExpectSameTree(a.children[i], b.children[i]);
}

TEST_F(SkinXmlDom, WrittenTreeParsesBackTheSame) {
    px::SkinValues v = px::SkinValues::Defaults({"MS Sans Serif", 82500, false, false, false, false, 0});
    v.Name = "Steel <&\"> \xC3\xA9";
    v.MenuFont.name = "A&B \"quoted\" <font>";
    v.Hue = 2.5f;
    v.InActiveCaptionColor = static_cast<int32_t>(0x80000005u);
    const px::XmlElement stored = px::StoreSkinDocument(v);
    const std::wstring xml = WriteSkinDocument(stored);
    EXPECT_EQ(xml.find(L"<?xml"), std::wstring::npos);
    EXPECT_EQ(xml.rfind(L"<NeoCaptionSkin", 0), 0u);
    ExpectSameTree(LoadSkinElement(xml), stored);
}

TEST_F(SkinXmlDom, AnEmptyNameIsWrittenEmptyAndReadAsEmpty) {
    const px::XmlElement stored = px::StoreSkinDocument(px::SkinValues{});
    const std::wstring xml = WriteSkinDocument(stored);
    EXPECT_NE(xml.find(L"<Name/>"), std::wstring::npos) << std::string(xml.begin(), xml.end());
    const px::XmlElement read = LoadSkinElement(xml);
    ASSERT_FALSE(read.children.empty());
    EXPECT_EQ(read.children[0].name, "Name");
    EXPECT_EQ(read.children[0].firstChildText, "");
}

TEST_F(SkinXmlDom, TheSkinElementIsFoundAnywhere) {
    const px::XmlElement e =
        LoadSkinElement(L"<a><b x=\"1\"/><c><NeoCaptionSkin><Name>deep</Name></NeoCaptionSkin></c></a>");
    EXPECT_EQ(e.name, "NeoCaptionSkin");
    ASSERT_EQ(e.children.size(), 1u);
    EXPECT_EQ(e.children[0].firstChildText, "deep");
}

TEST_F(SkinXmlDom, BrokenTextAndAMissingSkinElementGiveTheirTexts) {
    for (const wchar_t* broken : {L"", L"<NeoCaptionSkin>", L"not xml at all", L"<a></b>"}) {
        const std::string d = DescriptionOf(broken);
        EXPECT_EQ(d.rfind("The XML document could not be loaded: ", 0), 0u) << d;
        EXPECT_NE(d.find(" at position "), std::string::npos) << d;
    }
    EXPECT_EQ(DescriptionOf(L"<Skin><Name>x</Name></Skin>"), "NeoCaptionSkin element not found in XML document.");
}

TEST_F(SkinXmlDom, DocumentTypeDeclarationsAreRefusedBeforeParsing) {
    const std::wstring external =
        L"<?xml version=\"1.0\"?>\r\n<!DOCTYPE NeoCaptionSkin [<!ENTITY x SYSTEM \"file:///C:/windows/win.ini\">]>"
        L"<NeoCaptionSkin><Name>&x;</Name></NeoCaptionSkin>";
    EXPECT_EQ(DescriptionOf(external),
              "The XML document could not be loaded: document type declarations are not allowed at position 23");
    const std::wstring bomb =
        L"<!DOCTYPE a [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
        L"<NeoCaptionSkin><Name>&b;</Name></NeoCaptionSkin>";
    EXPECT_EQ(DescriptionOf(bomb).rfind("The XML document could not be loaded: document type declarations", 0), 0u);
}

TEST_F(SkinXmlDom, OnlyChildrenAndGrandchildrenAreRead) {
    const px::XmlElement e = LoadSkinElement(
        L"<NeoCaptionSkin><Caption a=\"1\"><Font name=\"x\"><Deeper q=\"2\"/></Font></Caption></NeoCaptionSkin>");
    ASSERT_EQ(e.children.size(), 1u);
    ASSERT_EQ(e.children[0].children.size(), 1u);
    EXPECT_EQ(e.children[0].children[0].attributes.size(), 1u);
    EXPECT_TRUE(e.children[0].children[0].children.empty());
}

}  // namespace
}  // namespace veltrim
