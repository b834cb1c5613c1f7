#pragma once
// Rules of the text inserter and the annotation window that do not need the
// platform: reading the size field, the style check boxes' toggle and
// the pen preview. (Printed lines and font heights are the picture box's.)
#include <string>
#include <string_view>

#include "base/FontDescription.h"
#include "base/Geometry.h"
#include "controls/core/PictureText.h"

namespace px {

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
