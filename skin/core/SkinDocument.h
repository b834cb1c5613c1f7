#pragma once
// The stored form of a skin configuration as data: which element holds which
// attribute, in what order, and how each value is written and read. The
// platform's XML DOM parses and serialises; between it and the values stands
// a plain element tree, so the mapping, the conversions and the checks are
// tested without the platform.
//
//   NeoCaptionSkin
//     Name      text
//     Caption   geometry, colours, drawTitle, titleStartOffsetY; child Font
//     Buttons   button size and position
//     Menu      colours and offsets; child Font
//     Borders   border sizes
//     Effects   transparentColor; children Colourise and AdjustRGB
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "base/Error.h"
#include "skin/core/SkinValues.h"

namespace px {

inline constexpr const char* kSkinClassName = "cSkinConfiguration";
inline constexpr const char* kSkinRootElement = "NeoCaptionSkin";
inline constexpr const char* kSkinRootPath = "//NeoCaptionSkin";
inline constexpr const char* kSkinNotFoundText = "NeoCaptionSkin element not found in XML document.";
// Reason given when a text is refused before parsing.
inline constexpr const char* kDocumentTypeRefusedReason = "document type declarations are not allowed";

// "The XML document could not be loaded: <reason> at position <position>"
std::string XmlLoadErrorText(std::string_view reason, int64_t position);
// The library's error (0x80040619) raised by the skin configuration.
Error SkinError(std::string description);

// One element as far as a skin reads it.
struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;  // document order
    std::vector<XmlElement> children;                             // child elements only
    std::string firstChildText;  // text of the first child node; "" when there is none (<Name/>)
};

enum class SkinValueKind { Integer, Colour, Boolean, Single };

// One stored attribute of the skin. `element` is the path below the root
// ("Caption", "Effects/Colourise").
struct SkinAttribute {
    std::string_view element;
    std::string_view attribute;
    SkinValueKind kind;
    std::variant<int32_t SkinValues::*, bool SkinValues::*, float SkinValues::*> member;
};

enum class FontValueKind { Text, Size, Boolean, CharSet };
struct FontAttribute {
    std::string_view attribute;
    FontValueKind kind;
    std::variant<std::string SkinFont::*, int64_t SkinFont::*, bool SkinFont::*, int16_t SkinFont::*> member;
};

// In stored order.
std::span<const std::string_view> SkinElementOrder();  // Name, Caption, Buttons, Menu, Borders, Effects
std::span<const SkinAttribute> SkinAttributes();
std::span<const FontAttribute> FontAttributes();

// The document of Store: the root element with every child in order.
XmlElement StoreSkinDocument(const SkinValues& values);

// The values Restore commits: `current` reset (fonts to `newFont`), then
// every known child of `skin` applied in document order; unknown elements
// and attributes are ignored. A value that does not convert raises
// SkinError naming the attribute and the value; `current` is never touched.
SkinValues RestoreSkinValues(const XmlElement& skin, SkinValues current, const SkinFont& newFont);

// Refuses geometry the caption painter cannot draw (its strip loops would
// never end): negative button sizes, a caption picture less than a pixel
// high, a border size (the border picture's height, half of it with an
// inactive row) below 1, and a pixel value or picture height beyond
// kSkinGeometryLimit. A missing picture is not checked: nothing is drawn
// without it.
void ValidateSkinGeometry(const SkinValues& values, std::optional<int32_t> captionPictureHeight,
                          std::optional<int32_t> bordersPictureHeight);

// Largest magnitude of a skin's pixel values (the integer attributes: offsets and sizes) and of its
// pictures' sides. Real skins stay far below it; with values within it the frame layout's sums and
// products stay inside the integer range for any window the platform makes.
inline constexpr int32_t kSkinGeometryLimit = 1 << 20;
// The first integer attribute (document order) whose value lies outside -limit..limit, or nullptr.
const SkinAttribute* SkinGeometryOutOfRange(const SkinValues& values);
// The refusal of a skin beyond the limit, naming the first such pixel value ("Invalid skin geometry:
// buttonWidth is 2097152, outside -1048576 to 1048576.") or else the first picture side beyond it
// (sides as {pixels, "high" or "wide"}); empty when everything lies within. The skin configuration
// and the caption painter refuse with this same text.
struct PictureSide {
    int32_t pixels;
    const char* dimension;
};
std::string SkinGeometryRangeMessage(const SkinValues& values, std::initializer_list<PictureSide> pictureSides);

// Offset of the first "<!DOCTYPE" (any case) in a text, before it is parsed:
// the platform's parser does not reliably refuse document type declarations.
template <typename Ch>
std::optional<size_t> FindDocumentTypeDeclaration(std::basic_string_view<Ch> text) {
    constexpr char keyword[] = "DOCTYPE";
    for (size_t i = 0; i + 9 <= text.size(); ++i) {
        if (text[i] != Ch('<') || text[i + 1] != Ch('!')) continue;
        bool match = true;
        for (size_t k = 0; k < 7 && match; ++k) {
            const Ch c = text[i + 2 + k];
            match = c == Ch(keyword[k]) || c == Ch(keyword[k] - 'A' + 'a');
        }
        if (match) return i;
    }
    return std::nullopt;
}

}  // namespace px
