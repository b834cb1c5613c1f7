#include "skin/core/SkinDocument.h"

#include <array>

#include "skin/core/SkinNumbers.h"

namespace px {
namespace {

using V = SkinValues;
using K = SkinValueKind;
using F = FontValueKind;

constexpr std::array<std::string_view, 6> kElementOrder = {"Name", "Caption", "Buttons", "Menu", "Borders", "Effects"};

const std::array<SkinAttribute, 33> kAttributes = {{
    {"Caption", "activeLeftEnd", K::Integer, &V::ActiveLeftEnd},
    {"Caption", "activeRightStart", K::Integer, &V::ActiveRightStart},
    {"Caption", "activeRightEnd", K::Integer, &V::ActiveRightEnd},
    {"Caption", "inactiveOffset", K::Integer, &V::InactiveOffset},
    {"Caption", "activeColor", K::Colour, &V::ActiveCaptionColor},
    {"Caption", "inactiveColor", K::Colour, &V::InActiveCaptionColor},
    {"Caption", "drawTitle", K::Boolean, &V::DrawTitle},
    {"Caption", "titleStartOffsetY", K::Integer, &V::TitleStartOffsetY},
    {"Buttons", "buttonWidth", K::Integer, &V::ButtonWidth},
    {"Buttons", "buttonHeight", K::Integer, &V::ButtonHeight},
    {"Buttons", "controlButtonHasInactiveVersion", K::Boolean, &V::ControlButtonHasInactiveVersion},
    {"Buttons", "customControlButtonPosition", K::Boolean, &V::CustomControlButtonPosition},
    {"Buttons", "controlButtonOffsetX", K::Integer, &V::ControlButtonOffsetX},
    {"Buttons", "controlButtonOffsetY", K::Integer, &V::ControlButtonOffsetY},
    {"Menu", "activeMenuColor", K::Colour, &V::ActiveMenuColor},
    {"Menu", "activeMenuColorOver", K::Colour, &V::ActiveMenuColorOver},
    {"Menu", "inActiveMenuColor", K::Colour, &V::InActiveMenuColor},
    {"Menu", "menuBackgroundColor", K::Colour, &V::MenuBackgroundColor},
    {"Menu", "menuStartOffsetY", K::Integer, &V::MenuStartOffsetY},
    {"Menu", "menuStartOffsetX", K::Integer, &V::MenuStartOffsetX},
    {"Borders", "borderHasInactiveVersion", K::Boolean, &V::BorderHasInactiveVersion},
    {"Borders", "leftBorderWidth", K::Integer, &V::LeftBorderWidth},
    {"Borders", "rightBorderWidth", K::Integer, &V::RightBorderWidth},
    {"Borders", "topSizingBorderHeight", K::Integer, &V::TopSizingBorderHeight},
    {"Borders", "bottomSizingBorderHeight", K::Integer, &V::BottomSizingBorderHeight},
    {"Effects", "transparentColor", K::Colour, &V::TransparentColor},
    {"Effects/Colourise", "active", K::Boolean, &V::Colourise},
    {"Effects/Colourise", "hue", K::Single, &V::Hue},
    {"Effects/Colourise", "saturation", K::Single, &V::Saturation},
    {"Effects/AdjustRGB", "active", K::Boolean, &V::AdjustRGB},
    {"Effects/AdjustRGB", "percentRed", K::Single, &V::PercentRed},
    {"Effects/AdjustRGB", "percentBlue", K::Single, &V::PercentBlue},
    {"Effects/AdjustRGB", "percentGreen", K::Single, &V::PercentGreen},
}};

const std::array<FontAttribute, 7> kFontAttributes = {{
    {"name", F::Text, &SkinFont::name},
    {"size", F::Size, &SkinFont::size},
    {"bold", F::Boolean, &SkinFont::bold},
    {"italic", F::Boolean, &SkinFont::italic},
    {"underline", F::Boolean, &SkinFont::underline},
    {"strikethrough", F::Boolean, &SkinFont::strikethrough},
    {"charSet", F::CharSet, &SkinFont::charSet},
}};

std::string FormatValue(const SkinAttribute& a, const SkinValues& v) {
    return std::visit(
        [&](auto member) -> std::string {
            const auto& value = v.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>) return FormatBoolean(value);
            else if constexpr (std::is_same_v<T, float>) return FormatSingle(value);
            else return FormatInteger(value);
        },
        a.member);
}

std::string FormatFontValue(const FontAttribute& a, const SkinFont& f) {
    return std::visit(
        [&](auto member) -> std::string {
            const auto& value = f.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>) return FormatBoolean(value);
            else if constexpr (std::is_same_v<T, std::string>) return value;
            else if constexpr (std::is_same_v<T, int64_t>) return FormatFontSize(value);
            else return FormatInteger(value);
        },
        a.member);
}

[[noreturn]] void ConversionFailed(std::string_view element, std::string_view attribute, std::string_view value) {
    throw SkinError("Invalid value \"" + std::string(value) + "\" for attribute \"" + std::string(attribute) +
                    "\" of element \"" + std::string(element) + "\".");
}

void ReadValue(const SkinAttribute& a, std::string_view element, std::string_view text, SkinValues& v) {
    std::visit(
        [&](auto member) {
            auto& target = v.*member;
            using T = std::decay_t<decltype(target)>;
            if constexpr (std::is_same_v<T, bool>) {
                target = ParseBoolean(text);
            } else if constexpr (std::is_same_v<T, float>) {
                const std::optional<float> parsed = ParseSingle(text);
                if (!parsed) ConversionFailed(element, a.attribute, text);
                target = *parsed;
            } else {
                const std::optional<int32_t> parsed = ParseInteger(text);
                if (!parsed) ConversionFailed(element, a.attribute, text);
                target = *parsed;
            }
        },
        a.member);
}

void ReadFontValue(const FontAttribute& a, std::string_view text, SkinFont& f) {
    switch (a.kind) {
    case F::Text: f.name = std::string(text); return;
    case F::Boolean: f.*std::get<bool SkinFont::*>(a.member) = ParseBoolean(text); return;
    case F::Size: {
        const auto size = ParseFontSize(text);
        if (!size) ConversionFailed("Font", a.attribute, text);
        f.size = *size;
        return;
    }
    case F::CharSet: {
        const auto set = ParseInteger(text);
        if (!set || *set < 0 || *set > 255) ConversionFailed("Font", a.attribute, text);
        f.charSet = static_cast<int16_t>(*set);
        return;
    }
    }
}

// Sets what the attributes of `e` (stored at `path`) name.
void ApplyAttributes(const XmlElement& e, std::string_view path, SkinValues& v) {
    for (const auto& [name, text] : e.attributes)
        for (const SkinAttribute& a : kAttributes)
            if (a.element == path && a.attribute == name) ReadValue(a, e.name, text, v);
}

void ApplyFont(const XmlElement& e, SkinFont& f) {
    for (const auto& [name, text] : e.attributes)
        for (const FontAttribute& a : kFontAttributes)
            if (a.attribute == name) ReadFontValue(a, text, f);
}

XmlElement ElementAt(std::string name, std::string_view path, const SkinValues& v) {
    XmlElement e{std::move(name), {}, {}, {}};
    for (const SkinAttribute& a : kAttributes)
        if (a.element == path) e.attributes.emplace_back(std::string(a.attribute), FormatValue(a, v));
    return e;
}

XmlElement FontElement(const SkinFont& f) {
    XmlElement e{"Font", {}, {}, {}};
    for (const FontAttribute& a : kFontAttributes) e.attributes.emplace_back(std::string(a.attribute), FormatFontValue(a, f));
    return e;
}

}  // namespace

std::string XmlLoadErrorText(std::string_view reason, int64_t position) {
    return "The XML document could not be loaded: " + std::string(reason) + " at position " + std::to_string(position);
}

Error SkinError(std::string description) {
    return Error(ErrorNumber::LibraryError, kSkinClassName, std::move(description));
}

std::span<const std::string_view> SkinElementOrder() { return kElementOrder; }
std::span<const SkinAttribute> SkinAttributes() { return kAttributes; }
std::span<const FontAttribute> FontAttributes() { return kFontAttributes; }

XmlElement StoreSkinDocument(const SkinValues& v) {
    XmlElement root{kSkinRootElement, {}, {}, {}};
    for (std::string_view name : kElementOrder) {
        XmlElement e = ElementAt(std::string(name), name, v);
        if (name == "Name") e.firstChildText = v.Name;
        if (name == "Caption") e.children.push_back(FontElement(v.CaptionFont));
        if (name == "Menu") e.children.push_back(FontElement(v.MenuFont));
        if (name == "Effects") {
            e.children.push_back(ElementAt("Colourise", "Effects/Colourise", v));
            e.children.push_back(ElementAt("AdjustRGB", "Effects/AdjustRGB", v));
        }
        root.children.push_back(std::move(e));
    }
    return root;
}

SkinValues RestoreSkinValues(const XmlElement& skin, SkinValues v, const SkinFont& newFont) {
    v.Reset(newFont);
    for (const XmlElement& child : skin.children) {
        const std::string& name = child.name;
        if (name == "Name") {
            v.Name = child.firstChildText;
            continue;
        }
        if (name != "Caption" && name != "Buttons" && name != "Menu" && name != "Borders" && name != "Effects") continue;
        ApplyAttributes(child, name, v);
        for (const XmlElement& sub : child.children) {
            if (sub.name == "Font" && name == "Caption") ApplyFont(sub, v.CaptionFont);
            if (sub.name == "Font" && name == "Menu") ApplyFont(sub, v.MenuFont);
            if (name == "Effects" && (sub.name == "Colourise" || sub.name == "AdjustRGB"))
                ApplyAttributes(sub, "Effects/" + sub.name, v);
        }
    }
    return v;
}

const SkinAttribute* SkinGeometryOutOfRange(const SkinValues& v) {
    for (const SkinAttribute& a : kAttributes) {
        if (a.kind != K::Integer) continue;
        const int32_t value = v.*std::get<int32_t SkinValues::*>(a.member);
        if (value < -kSkinGeometryLimit || value > kSkinGeometryLimit) return &a;
    }
    return nullptr;
}

std::string SkinGeometryRangeMessage(const SkinValues& v, std::initializer_list<PictureSide> pictureSides) {
    if (const SkinAttribute* a = SkinGeometryOutOfRange(v))
        return "Invalid skin geometry: " + std::string(a->attribute) + " is " +
               std::to_string(v.*std::get<int32_t SkinValues::*>(a->member)) + ", outside -" +
               std::to_string(kSkinGeometryLimit) + " to " + std::to_string(kSkinGeometryLimit) + ".";
    for (const PictureSide& side : pictureSides)
        if (side.pixels > kSkinGeometryLimit)
            return "Invalid skin geometry: a picture is " + std::to_string(side.pixels) + " pixels " + side.dimension +
                   ".";
    return {};
}

void ValidateSkinGeometry(const SkinValues& v, std::optional<int32_t> captionPictureHeight,
                          std::optional<int32_t> bordersPictureHeight) {
    std::string range = SkinGeometryRangeMessage(v, {{captionPictureHeight.value_or(0), "high"},
                                                     {bordersPictureHeight.value_or(0), "high"}});
    if (!range.empty()) throw SkinError(std::move(range));
    if (v.ButtonWidth < 0 || v.ButtonHeight < 0)
        throw SkinError("Invalid skin geometry: negative button size " + std::to_string(v.ButtonWidth) + " x " +
                        std::to_string(v.ButtonHeight) + ".");
    if (captionPictureHeight && *captionPictureHeight < 1)
        throw SkinError("Invalid skin geometry: the caption picture is " + std::to_string(*captionPictureHeight) +
                        " pixels high.");
    if (bordersPictureHeight) {
        const int32_t size = v.BorderHasInactiveVersion ? *bordersPictureHeight / 2 : *bordersPictureHeight;
        if (size < 1)
            throw SkinError("Invalid skin geometry: the border picture gives a border size of " + std::to_string(size) +
                            ".");
    }
}

}  // namespace px
