#pragma once
// A caption font as the controls persist it: "Name,Size[,flags]" with the
// flags b (bold), i (italic), u (underline), s (strikeout). An empty name
// means the container's font.
#include <string>

namespace px {

namespace FontStyleBit {
inline constexpr int Bold = 1;
inline constexpr int Italic = 2;
inline constexpr int Underline = 4;
inline constexpr int Strikeout = 8;
}  // namespace FontStyleBit

struct FontDescription {
    std::wstring name;   // empty: the container's font
    double size = 8.0;   // points
    int style = 0;       // FontStyleBit set

    bool usesContainerFont() const noexcept { return name.empty(); }
    friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

std::wstring FormatFontDescription(const FontDescription& f);
// Malformed text (no size, size outside 1..1638 points, unknown flag) gives false.
bool ParseFontDescription(const std::wstring& text, FontDescription& out);

}  // namespace px
