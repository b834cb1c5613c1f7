#include "app/core/AnnotationText.h"

#include <cmath>
#include <cwctype>
#include <string>

#include "base/Rounding.h"

namespace px {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Strict decimal number with optional blanks around it; nothing else may remain.
bool ParseDecimal(std::wstring_view s, double& out) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    s = s.substr(b, e - b);
    size_t i = 0;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == L'.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == L'e' || s[i] == L'E')) {
        ++i;
        if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ++i;
        size_t expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != s.size()) return false;
    // std::stod reads exactly the form checked above (and no locale separators).
    std::string narrow(s.begin(), s.end());
    try {
        out = std::stod(narrow);
    } catch (...) {  // out of double range
        return false;
    }
    return std::isfinite(out);
}

}  // namespace

FontSizeField ParseFontSizeField(std::wstring_view text) {
    if (text.empty()) return {FontSizeField::Kind::Empty, 0};
    double v = 0;
    if (!ParseDecimal(text, v) || v < kMinFontPoints || v > kMaxFontPoints) return {FontSizeField::Kind::Invalid, 0};
    return {FontSizeField::Kind::Valid, v};
}

StyleToggle ToggleFontStyle(int currentStyle, int bit) {
    if (currentStyle & bit) return {currentStyle & ~bit, false};
    return {currentStyle | bit, true};
}

px::Point PenPreviewCentre(int width, int height) {
    return {RoundHalfEven<int>(width / 2.0), RoundHalfEven<int>(height / 2.0)};
}

}  // namespace px
