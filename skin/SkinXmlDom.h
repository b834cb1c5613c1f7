#pragma once
// Stored skin text through the platform's XML DOM (version 6, else 3). The DOM
// parses and serialises; the element tree of skin/core/SkinDocument.h is what
// crosses to the portable mapping. Failures raise px::Error with the
// library's number and a UTF-8 description.
#include <windows.h>

#include <string>
#include <string_view>

#include "skin/core/SkinDocument.h"

namespace veltrim {

// Parses `xml` and returns the first NeoCaptionSkin element anywhere in it
// (with its children and their children, which is all a skin reads).
// A text holding a document type declaration is refused before parsing,
// external resources are never fetched, and nothing is validated.
// Raises the load error ("The XML document could not be loaded: ...") or
// "NeoCaptionSkin element not found in XML document.".
px::XmlElement LoadSkinElement(std::wstring_view xml);

// The DOM's serialisation of the tree (no XML declaration; the DOM escapes
// text and attribute values, and may indent).
std::wstring WriteSkinDocument(const px::XmlElement& root);

// UTF-8 <-> UTF-16 for the values that cross between the DOM and the core.
std::wstring WideFromUtf8(std::string_view s);
std::string Utf8FromWide(std::wstring_view w);

}  // namespace veltrim
