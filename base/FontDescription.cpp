#include "base/FontDescription.h"

#include <cmath>
#include <cwchar>

namespace px {

std::wstring FormatFontDescription(const FontDescription& f) {
    if (f.usesContainerFont()) return {};
    wchar_t size[32];
    std::swprintf(size, 32, L"%g", f.size);
    std::wstring s = f.name + L"," + size;
    std::wstring flags;
    if (f.style & FontStyleBit::Bold) flags += L'b';
    if (f.style & FontStyleBit::Italic) flags += L'i';
    if (f.style & FontStyleBit::Underline) flags += L'u';
    if (f.style & FontStyleBit::Strikeout) flags += L's';
    if (!flags.empty()) s += L"," + flags;
    return s;
}

bool ParseFontDescription(const std::wstring& text, FontDescription& out) {
    if (text.empty()) {
        out = FontDescription{};
        return true;
    }
    size_t c1 = text.find(L',');
    if (c1 == 0 || c1 == std::wstring::npos) return false;
    size_t c2 = text.find(L',', c1 + 1);
    std::wstring sizeText = text.substr(c1 + 1, c2 == std::wstring::npos ? std::wstring::npos : c2 - c1 - 1);
    wchar_t* end = nullptr;
    double size = std::wcstod(sizeText.c_str(), &end);
    if (sizeText.empty() || *end != 0 || !std::isfinite(size) || size < 1 || size > 1638) return false;
    int style = 0;
    if (c2 != std::wstring::npos) {
        for (wchar_t ch : text.substr(c2 + 1)) {
            switch (ch) {
            case L'b': style |= FontStyleBit::Bold; break;
            case L'i': style |= FontStyleBit::Italic; break;
            case L'u': style |= FontStyleBit::Underline; break;
            case L's': style |= FontStyleBit::Strikeout; break;
            default: return false;
            }
        }
    }
    out.name = text.substr(0, c1);
    out.size = size;
    out.style = style;
    return true;
}

}  // namespace px
