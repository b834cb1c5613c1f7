// Texts the user types or a stored setting holds that become numbers and
// positions: the persisted caption font ("Name,Size,flags"), the annotation
// window's size field and button captions with line breaks and access keys.
// Accepted fonts format and read back, sizes stay in the range a font takes,
// and the access key's position lies on its line.
#include <algorithm>
#include <cmath>
#include <string>

#include "FuzzSupport.h"
#include "app/core/AnnotationText.h"
#include "base/FontDescription.h"
#include "controls/core/CaptionText.h"
#include "export/core/GifExportRules.h"

namespace {

std::wstring WideText(FuzzedDataProvider& in) {
    // Mostly the characters that mean something here, sometimes anything.
    static constexpr wchar_t kAlphabet[] = L"09.,+-eEbius &|xA \t";
    std::wstring s;
    for (size_t n = in.ConsumeIntegralInRange<size_t>(0, 24); n > 0; --n)
        s.push_back(in.ConsumeBool() ? kAlphabet[in.ConsumeIntegralInRange<size_t>(0, std::size(kAlphabet) - 2)]
                                     : static_cast<wchar_t>(in.ConsumeIntegralInRange<uint32_t>(1, 0x10FFFF)));
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace px;
    FuzzedDataProvider in(data, size);

    const std::wstring fontText = WideText(in);
    FontDescription f;
    if (ParseFontDescription(fontText, f)) {
        FUZZ_CHECK(fontText.empty() ? f.usesContainerFont() : (f.size >= 1 && f.size <= 1638 && f.style >= 0 && f.style <= 15));
        if (!f.usesContainerFont()) {
            FontDescription back;
            FUZZ_CHECK(ParseFontDescription(FormatFontDescription(f), back));
            // Six significant digits are written.
            FUZZ_CHECK(back.name == f.name && back.style == f.style && std::abs(back.size - f.size) <= f.size * 1e-5);
        }
    }

    const FontSizeField field = ParseFontSizeField(WideText(in));
    if (field.kind == FontSizeField::Kind::Valid)
        FUZZ_CHECK(std::isfinite(field.points) && field.points >= kMinFontPoints && field.points <= kMaxFontPoints);
    const Point centre = PenPreviewCentre(in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>());
    (void)centre;

    const std::wstring caption = WideText(in);
    const controls::CaptionText text = controls::ParseCaption(caption);
    FUZZ_CHECK(!text.lines.empty());
    if (text.accessKey != 0) {
        FUZZ_CHECK(text.keyLine >= 0 && static_cast<size_t>(text.keyLine) < text.lines.size());
        const std::wstring& line = text.lines[static_cast<size_t>(text.keyLine)];
        FUZZ_CHECK(text.keyPos >= 0 && static_cast<size_t>(text.keyPos) < line.size() && line[static_cast<size_t>(text.keyPos)] == text.accessKey);
        FUZZ_CHECK(controls::MatchesAccessKey(text, text.accessKey));
    } else {
        FUZZ_CHECK(text.keyLine == -1 && text.keyPos == -1);
    }
    // A one-line caption without bars reads back from its prefixed form.
    if (text.lines.size() == 1 && text.lines[0].find(L'|') == std::wstring::npos) {
        const controls::CaptionText back = controls::ParseCaption(controls::PrefixedLine(text, 0));
        FUZZ_CHECK(back.lines == text.lines && back.accessKey == text.accessKey && back.keyPos == text.keyPos);
    }
    (void)controls::MnemonicTitle(text);

    // The export window's numeric fields: leading digits, clamped, never past the bounds.
    const std::wstring typed = WideText(in);
    const int32_t lo = in.ConsumeIntegralInRange<int32_t>(-5, 1000), hi = lo + in.ConsumeIntegralInRange<int32_t>(0, 100000);
    const int32_t value = DigitsValue(typed, lo, hi);
    FUZZ_CHECK(value >= lo && value <= hi);
    const std::wstring digits = LeadingDigits(typed);
    if (digits.empty()) FUZZ_CHECK(value == lo);
    else if (digits.size() < 12) FUZZ_CHECK(value == std::clamp<int64_t>(std::stoll(std::string(digits.begin(), digits.end())), lo, hi));
    // Thousands separators: taking them out gives the number back.
    const int64_t n = in.ConsumeIntegral<int64_t>();
    std::wstring shown = FormatThousands(n);
    std::erase(shown, L',');
    FUZZ_CHECK(n == 0 ? shown.empty() : shown == std::to_wstring(n));
    return 0;
}
