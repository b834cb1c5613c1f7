#pragma once
// The menu bar's plain logic: where the top-level items of a menu go inside
// the caption band, their accelerator letters, which item lies under a point,
// and how a menu letter typed inside an open drop-down is answered.
#include <optional>
#include <string_view>
#include <vector>

#include "skin/core/NCFrameGeometry.h"

namespace veltrim::core {

// The accelerator letter of a menu text: the upper-cased character after the
// first single "&" ("&&" is a literal ampersand, never a marker); 0 when there
// is none or the "&" is the last character.
wchar_t AcceleratorLetter(std::wstring_view text);

// A drop-down caption "Text\tShortcut" split at the first tab.
struct SplitCaption {
    std::wstring_view text, shortcut;
};
SplitCaption SplitAtTab(std::wstring_view caption);

// Item placement in the bar's work area: texts at y 2 starting at x 8, each
// next one 11 pixels after the previous text; the highlight rectangle is the
// text's grown by 2 on every side.
struct MenuItemBox {
    Box text;       // where the text is drawn, in the work area
    Box highlight;  // the edge rectangle, in the work area
};
struct TextSize {
    int width = 0, height = 0;
};
std::vector<MenuItemBox> LayoutMenuItems(const std::vector<TextSize>& texts);
// The right end of the last item (0 when there is none).
int MenuItemsRight(const std::vector<MenuItemBox>& items);

// The work area is drawn at window x `left`; `bandTop` + 2 is its window y.
// The rectangle for hit testing in the owner's client coordinates (window
// coordinates less the client origin, on both axes).
Box HighlightInClient(const Box& highlight, int left, int bandTop, const Margins& margins);

// The 1-based item whose rectangle holds the point, the first in order; 0 for none.
int ItemAt(const std::vector<Box>& rects, int x, int y);

// WM_MENUCHAR inside an open drop-down: a letter matching an entry's "&"
// letter runs that entry (0-based position), or only selects it when the
// entry is disabled; else a letter of another top-level item switches to that
// drop-down (1-based item); else the default.
struct MenuCharAnswer {
    enum Kind { Default, Execute, Switch, Select } kind = Default;
    int index = 0;
    bool operator==(const MenuCharAnswer&) const = default;
};
struct EntryLetter {
    wchar_t letter = 0;  // 0: the entry has none
    bool enabled = true;
};
MenuCharAnswer AnswerMenuChar(wchar_t typed, const std::vector<EntryLetter>& dropDown,
                              const std::vector<wchar_t>& topLevelLetters, int openItem);
// The same with every entry enabled.
MenuCharAnswer AnswerMenuChar(wchar_t typed, const std::vector<wchar_t>& dropDownLetters,
                              const std::vector<wchar_t>& topLevelLetters, int openItem);

}  // namespace veltrim::core
