// Stored skin text as Restore reads it: any element tree with known and unknown
// elements and attributes, and any attribute text. Restore either refuses with
// the library's error or gives values that Store writes and Restore reads back
// unchanged; every number conversion reads back what it wrote.
#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "skin/core/SkinDocument.h"
#include "skin/core/SkinNumbers.h"

namespace px {
namespace {

std::string NumberText(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 5)) {
        case 0: return std::to_string(in.ConsumeIntegral<int64_t>());
        case 1: return std::to_string(in.ConsumeFloatingPoint<double>());
        case 2: return FormatSingle(in.ConsumeFloatingPoint<float>());
        case 3: return " \t" + std::to_string(in.ConsumeIntegralInRange<int32_t>(-300, 300)) + ".5\r\n";
        case 4: return in.ConsumeBool() ? "yes" : " No ";
        default: return in.ConsumeRandomLengthString(24);
    }
}

std::string AttributeName(FuzzedDataProvider& in, std::string_view path) {
    const auto attrs = SkinAttributes();
    const auto fonts = FontAttributes();
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0: {
            const SkinAttribute& a = attrs[in.ConsumeIntegralInRange<size_t>(0, attrs.size() - 1)];
            return std::string(a.attribute);
        }
        case 1: return std::string(fonts[in.ConsumeIntegralInRange<size_t>(0, fonts.size() - 1)].attribute);
        case 2: return in.ConsumeRandomLengthString(12);
        default:
            for (const SkinAttribute& a : attrs)
                if (a.element == path && in.ConsumeBool()) return std::string(a.attribute);
            return "active";
    }
}

XmlElement Element(FuzzedDataProvider& in, int depth, std::string_view parentPath) {
    static constexpr std::array<const char*, 10> kNames = {"Name",  "Caption", "Buttons",   "Menu",      "Borders",
                                                           "Effects", "Font",  "Colourise", "AdjustRGB", "Other"};
    XmlElement e;
    e.name = in.ConsumeIntegralInRange<int>(0, 12) == 0 ? in.ConsumeRandomLengthString(8)
                                                        : kNames[in.ConsumeIntegralInRange<size_t>(0, kNames.size() - 1)];
    const std::string path = parentPath.empty() ? e.name : std::string(parentPath) + "/" + e.name;
    for (int n = in.ConsumeIntegralInRange<int>(0, 8); n > 0; --n)
        e.attributes.emplace_back(AttributeName(in, path), NumberText(in));
    if (in.ConsumeBool()) e.firstChildText = in.ConsumeRandomLengthString(16);
    if (depth < 2)
        for (int n = in.ConsumeIntegralInRange<int>(0, 3); n > 0; --n) e.children.push_back(Element(in, depth + 1, path));
    return e;
}

// Every parse of a text: a value read back from its own formatting is the same value.
void CheckNumberRoundTrips(const std::string& text) {
    if (const auto i = ParseInteger(text)) FUZZ_CHECK(ParseInteger(FormatInteger(*i)) == i);
    if (const auto f = ParseSingle(text)) {
        FUZZ_CHECK(std::isfinite(*f));
        const auto back = ParseSingle(FormatSingle(*f));
        FUZZ_CHECK(back && std::memcmp(&*back, &*f, sizeof(float)) == 0);
    }
    if (const auto s = ParseFontSize(text)) {
        FUZZ_CHECK(*s >= 0);
        FUZZ_CHECK(ParseFontSize(FormatFontSize(*s)) == s);
    }
    // The declaration finder against the plain definition.
    const auto found = FindDocumentTypeDeclaration(std::string_view(text));
    std::string upper = text;
    for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    const size_t naive = upper.find("<!DOCTYPE");
    FUZZ_CHECK(found ? naive == *found : naive == std::string::npos);
}

SkinFont NewFont(FuzzedDataProvider& in) {
    SkinFont f;
    f.name = in.ConsumeRandomLengthString(12);
    f.size = in.ConsumeIntegralInRange<int64_t>(0, int64_t{2147483647} * 10000);
    f.bold = in.ConsumeBool();
    f.charSet = in.ConsumeIntegralInRange<int16_t>(0, 255);
    return f;
}

}  // namespace
}  // namespace px

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace px;
    FuzzedDataProvider in(data, size);
    CheckNumberRoundTrips(in.ConsumeRandomLengthString(40));

    const SkinFont newFont = NewFont(in);
    SkinValues current = SkinValues::Defaults(newFont);
    current.ButtonWidth = in.ConsumeIntegral<int32_t>();
    current.Method = in.ConsumeIntegral<int32_t>();
    XmlElement root{kSkinRootElement, {}, {}, {}};
    for (int n = in.ConsumeIntegralInRange<int>(0, 8); n > 0 && in.remaining_bytes() > 0; --n)
        root.children.push_back(Element(in, 0, ""));

    SkinValues restored;
    try {
        restored = RestoreSkinValues(root, current, newFont);
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == ErrorNumber::LibraryError);
        FUZZ_CHECK(e.description().rfind("Invalid value \"", 0) == 0);
        return 0;
    }
    // What was restored is kept across a Store and a Restore into another object (the drawing mode is
    // not stored: it stays the object's own).
    SkinValues other;
    other.Method = restored.Method;
    const SkinValues again = RestoreSkinValues(StoreSkinDocument(restored), other, NewFont(in));
    FUZZ_CHECK(again == restored);

    // The painter's geometry check refuses exactly what it names.
    const auto caption = in.ConsumeBool() ? std::optional<int32_t>(px::fuzz::SizeLike(in, 64)) : std::nullopt;
    const auto borders = in.ConsumeBool() ? std::optional<int32_t>(px::fuzz::SizeLike(in, 64)) : std::nullopt;
    const bool bad = restored.ButtonWidth < 0 || restored.ButtonHeight < 0 || (caption && *caption < 1) ||
                     (borders && (restored.BorderHasInactiveVersion ? *borders / 2 : *borders) < 1) ||
                     SkinGeometryOutOfRange(restored) != nullptr || (caption && *caption > kSkinGeometryLimit) ||
                     (borders && *borders > kSkinGeometryLimit);
    try {
        ValidateSkinGeometry(restored, caption, borders);
        FUZZ_CHECK(!bad);
    } catch (const Error& e) {
        FUZZ_CHECK(bad && e.number() == ErrorNumber::LibraryError);
    }
    return 0;
}
