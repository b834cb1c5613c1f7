#include "skin/SkinXmlDom.h"

#include <msxml2.h>

#include "base/win/ScopedWin.h"

namespace veltrim {
namespace {

using px::win::ScopedBstr;
using px::win::ScopedComPtr;
using px::win::ScopedVariant;

// Identities the MinGW headers and import libraries do not carry.
const CLSID kDomDocument60 = {0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
const CLSID kDomDocument30 = {0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};
const IID kIXMLDOMDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

// Below the skin element only its children and grandchildren are read (Font,
// Colourise, AdjustRGB); deeper nesting is not walked at all.
constexpr int kReadDepth = 2;

void Check(HRESULT hr) {
    if (FAILED(hr)) throw px::SkinError("The XML document could not be written.");
}

ScopedComPtr<IXMLDOMDocument2> NewDocument() {
    ScopedComPtr<IXMLDOMDocument2> doc;
    for (const CLSID* clsid : {&kDomDocument60, &kDomDocument30})
        if (SUCCEEDED(::CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, kIXMLDOMDocument2,
                                         reinterpret_cast<void**>(doc.put()))))
            return doc;
    throw px::SkinError("The XML document object could not be created.");
}

void SetProperty(IXMLDOMDocument2* doc, const wchar_t* name, VARIANT value) {
    ScopedBstr n{std::wstring_view(name)};
    doc->setProperty(n.get(), value);  // a version that lacks the property keeps its safe default
}

// No fetching, no validation, no document type declarations (the text is
// also checked before parsing, since not every DOM enforces the last).
void MakeSafe(IXMLDOMDocument2* doc) {
    doc->put_async(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
    doc->put_resolveExternals(VARIANT_FALSE);
    VARIANT yes;
    yes.vt = VT_BOOL;
    yes.boolVal = VARIANT_TRUE;
    SetProperty(doc, L"ProhibitDTD", yes);
    ScopedVariant xpath;
    xpath.get().vt = VT_BSTR;
    xpath.get().bstrVal = ::SysAllocString(L"XPath");  // version 3 defaults to its older pattern language
    SetProperty(doc, L"SelectionLanguage", xpath.get());
}

[[noreturn]] void ThrowParseFailure(IXMLDOMDocument2* doc) {
    ScopedComPtr<IXMLDOMParseError> error;
    ScopedBstr reason;
    long position = 0;
    if (SUCCEEDED(doc->get_parseError(error.put())) && error) {
        error->get_reason(reason.put());
        error->get_filepos(&position);
    }
    throw px::SkinError(px::XmlLoadErrorText(Utf8FromWide(reason.view()), position));
}

std::string NodeName(IXMLDOMNode* node) {
    ScopedBstr name;
    node->get_nodeName(name.put());
    return Utf8FromWide(name.view());
}

std::string NodeText(IXMLDOMNode* node) {
    ScopedBstr text;
    node->get_text(text.put());
    return Utf8FromWide(text.view());
}

void ReadAttributes(IXMLDOMNode* node, px::XmlElement& e) {
    ScopedComPtr<IXMLDOMNamedNodeMap> attributes;
    if (FAILED(node->get_attributes(attributes.put())) || !attributes) return;
    long count = 0;
    attributes->get_length(&count);
    for (long i = 0; i < count; ++i) {
        ScopedComPtr<IXMLDOMNode> a;
        if (attributes->get_item(i, a.put()) == S_OK && a) e.attributes.emplace_back(NodeName(a.get()), NodeText(a.get()));
    }
}

px::XmlElement ToElement(IXMLDOMNode* node, int depth) {
    px::XmlElement e;
    e.name = NodeName(node);
    ReadAttributes(node, e);
    // An empty element (<Name/>) has no first child: its text is "".
    ScopedComPtr<IXMLDOMNode> first;
    if (node->get_firstChild(first.put()) == S_OK && first) e.firstChildText = NodeText(first.get());
    if (depth >= kReadDepth) return e;
    ScopedComPtr<IXMLDOMNodeList> children;
    if (FAILED(node->get_childNodes(children.put())) || !children) return e;
    long count = 0;
    children->get_length(&count);
    for (long i = 0; i < count; ++i) {
        ScopedComPtr<IXMLDOMNode> child;
        DOMNodeType type = NODE_INVALID;
        if (children->get_item(i, child.put()) == S_OK && child && SUCCEEDED(child->get_nodeType(&type)) &&
            type == NODE_ELEMENT)
            e.children.push_back(ToElement(child.get(), depth + 1));
    }
    return e;
}

ScopedComPtr<IXMLDOMElement> MakeElement(IXMLDOMDocument2* doc, const px::XmlElement& tree) {
    ScopedComPtr<IXMLDOMElement> e;
    ScopedBstr name{std::wstring_view(WideFromUtf8(tree.name))};
    Check(doc->createElement(name.get(), e.put()));
    for (const auto& [attribute, value] : tree.attributes) {
        ScopedBstr a{std::wstring_view(WideFromUtf8(attribute))};
        ScopedVariant v;
        v.get().vt = VT_BSTR;
        const std::wstring wide = WideFromUtf8(value);
        v.get().bstrVal = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        Check(e->setAttribute(a.get(), v.get()));
    }
    if (!tree.firstChildText.empty()) {
        ScopedBstr text{std::wstring_view(WideFromUtf8(tree.firstChildText))};
        Check(e->put_text(text.get()));
    }
    for (const px::XmlElement& child : tree.children) {
        ScopedComPtr<IXMLDOMElement> c = MakeElement(doc, child);
        ScopedComPtr<IXMLDOMNode> appended;
        Check(e->appendChild(c.get(), appended.put()));
    }
    return e;
}

}  // namespace

px::XmlElement LoadSkinElement(std::wstring_view xml) {
    if (const auto at = px::FindDocumentTypeDeclaration(xml))
        throw px::SkinError(px::XmlLoadErrorText(px::kDocumentTypeRefusedReason, static_cast<int64_t>(*at)));
    ScopedComPtr<IXMLDOMDocument2> doc = NewDocument();
    MakeSafe(doc.get());
    ScopedBstr text(xml);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(doc->loadXML(text.get(), &loaded)) || loaded != VARIANT_TRUE) ThrowParseFailure(doc.get());
    ScopedBstr path{std::wstring_view(WideFromUtf8(px::kSkinRootPath))};
    ScopedComPtr<IXMLDOMNode> skin;
    if (doc->selectSingleNode(path.get(), skin.put()) != S_OK || !skin) throw px::SkinError(px::kSkinNotFoundText);
    return ToElement(skin.get(), 0);
}

std::wstring WriteSkinDocument(const px::XmlElement& root) {
    ScopedComPtr<IXMLDOMDocument2> doc = NewDocument();
    ScopedComPtr<IXMLDOMElement> e = MakeElement(doc.get(), root);
    ScopedComPtr<IXMLDOMNode> appended;
    Check(doc->appendChild(e.get(), appended.put()));
    ScopedBstr xml;
    Check(doc->get_xml(xml.put()));
    return std::wstring(xml.view());
}

std::wstring WideFromUtf8(std::string_view s) {
    if (s.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string Utf8FromWide(std::wstring_view w) {
    if (w.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

}  // namespace veltrim
