#pragma once
// Rules of the text inserter and the annotation window that do not need the
// platform: splitting the typed text into printed lines, reading the size
// field, the style check boxes' toggle, font heights and the pen preview.
#include <string>
#include <string_view>
#include <vector>

#include "base/FontDescription.h"
#include "base/Geometry.h"

namespace px {

// Lines of a multi-line text box (CR LF, LF or CR end a line). A break at the
// very end finishes the last line; it does not start an empty one.
std::vector<std::wstring> SplitTextLines(std::wstring_view text);

// The size field: empty does nothing, a usable number sets the size, anything
// else is refused ("Invalid Size").
struct FontSizeField {
    enum class Kind { Empty, Valid, Invalid } kind = Kind::Empty;
    double points = 0;
};
// Numeric: optional blanks, sign, digits with at most one decimal point,
// optional exponent. Usable: the sizes a font accepts, 1 to 1638 points.
FontSizeField ParseFontSizeField(std::wstring_view text);
inline constexpr wchar_t kDefaultFontSizeText[] = L"8";
inline constexpr double kMinFontPoints = 1.0;
inline constexpr double kMaxFontPoints = 1638.0;

// Character height (negative: em height) for a font of `points` on a device of `dpi` pixels per inch.
int FontCharacterHeight(double points, int dpi);

// A style check box tests the text box's font, not its own tick: a style the
// text has is removed (box cleared), one it lacks is added (box ticked).
struct StyleToggle {
    int style;     // px::FontStyleBit set after the click
    bool checked;  // the box's new state
    friend bool operator==(const StyleToggle&, const StyleToggle&) = default;
};
StyleToggle ToggleFontStyle(int currentStyle, int bit);

// Centre of the pen preview: half the width and height, rounded (ties to even).
px::Point PenPreviewCentre(int width, int height);

}  // namespace px
