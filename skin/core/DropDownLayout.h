#pragma once
// The drop-down menus of a skinned menu bar on plain values: the size of an
// owner-drawn entry, where its check box, text and shortcut go, the separator
// line, the colour of a disabled entry, the look of a bar item, and what the
// drop-down loop does with a message it filters.
#include <cstdint>

#include "skin/core/NCFrameGeometry.h"

namespace veltrim::core {

// The size an owner-drawn entry asks for: text width + 30, or text + shortcut
// + 38 with a shortcut; 6 high for a separator, else the text height + 8.
struct EntrySize {
    int width = 0, height = 0;
    bool operator==(const EntrySize&) const = default;
};
EntrySize MeasureEntry(bool separator, int textWidth, int shortcutWidth, bool hasShortcut, int textHeight);

// Inside an entry's rectangle: the check box (the rectangle shrunk by 4, then
// 2 further right and one pixel wider than high), the text from x 24 and the
// shortcut 8 pixels after the recorded text width.
struct EntryLayout {
    Box checkBox;
    Box text;      // vertically the whole entry: the text is centred in it
    int shortcutX = 0;
};
EntryLayout LayoutEntry(const Box& entry, int textWidth);

// The two rows of a separator's sunken line across the middle, 8 in from each side.
Box SeparatorLine(const Box& entry);

// A disabled entry's text colour: half the text colour and half the background,
// per channel (0x00BBGGRR values, integer halves truncated).
int32_t Blend50(int32_t text, int32_t background);

// How a top-level item of the bar is drawn: the pressed item that is also hot
// sunken (its text moved by 1,1), any other hot or pressed item raised, the
// rest plain. Items, hot and pressed are 1-based, 0 for none.
enum class ItemLook { Plain, Raised, Sunken };
ItemLook LookOf(int item, int hot, int pressed);

// The neighbour of item `open` among `count` items, wrapping round at the ends.
int NeighbourItem(int open, int count, bool right);

// What the drop-down loop's message filter does with one message while item
// `open` of `count` is open.
struct FilterInput {
    enum Kind { Other, KeyLeft, KeyRight, KeyEscape, MouseMove, LeftButtonDown } kind = Other;
    int itemUnder = 0;  // the bar item under the pointer (mouse messages), 0 for none
};
struct LoopState {
    int open = 0, count = 0;
    bool leftAllowed = true, rightAllowed = true;  // as the last selection in the drop-down allows
};
struct FilterAction {
    int next = -1;         // the item to open after this drop-down closes; -1 none
    bool close = false;    // close the open drop-down
    bool swallow = false;  // the message goes no further
    bool escape = false;   // Escape was pressed
    bool operator==(const FilterAction&) const = default;
};
FilterAction FilterMenuMessage(const FilterInput& in, const LoopState& s);

}  // namespace veltrim::core
