#pragma once
// Text output of a picture box that does not need the platform: the printed
// lines of a text, the font sizes it accepts and a font's character height.
#include <string>
#include <string_view>
#include <vector>

namespace px {

// Lines of a multi-line text (CR LF, LF or CR end a line). A break at the
// very end finishes the last line; it does not start an empty one.
std::vector<std::wstring> SplitTextLines(std::wstring_view text);

// The sizes a font accepts, in points.
inline constexpr double kMinFontPoints = 1.0;
inline constexpr double kMaxFontPoints = 1638.0;

// Character height (negative: em height) for a font of `points` on a device of `dpi` pixels per inch.
int FontCharacterHeight(double points, int dpi);

}  // namespace px
