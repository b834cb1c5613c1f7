#include "skin/core/DropDownLayout.h"

namespace veltrim::core {

EntrySize MeasureEntry(bool separator, int textWidth, int shortcutWidth, bool hasShortcut, int textHeight) {
    const int width = hasShortcut ? textWidth + shortcutWidth + 38 : textWidth + 30;
    return {width, separator ? 6 : textHeight + 8};
}

EntryLayout LayoutEntry(const Box& e, int textWidth) {
    EntryLayout l;
    Box box{e.left + 4, e.top + 4, e.right - 4, e.bottom - 4};
    box.left += 2;
    box.right = box.left + box.Height() + 1;
    l.checkBox = box;
    l.text = Box{e.left + 24, e.top, e.right, e.bottom};
    l.shortcutX = e.left + 24 + textWidth + 8;
    return l;
}

Box SeparatorLine(const Box& e) {
    const int y = e.top + e.Height() / 2 - 1;
    return Box{e.left + 8, y, e.right - 8, y + 2};
}

int32_t Blend50(int32_t text, int32_t background) {
    const auto t = static_cast<uint32_t>(text), b = static_cast<uint32_t>(background);
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
        out |= ((((t >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift;
    return static_cast<int32_t>(out);
}

ItemLook LookOf(int item, int hot, int pressed) {
    if (item == 0) return ItemLook::Plain;
    if (item == pressed && item == hot) return ItemLook::Sunken;
    if (item == pressed || item == hot) return ItemLook::Raised;
    return ItemLook::Plain;
}

int NeighbourItem(int open, int count, bool right) {
    if (count <= 0) return 0;
    if (open < 1 || open > count) return 1;
    return right ? open % count + 1 : (open + count - 2) % count + 1;
}

FilterAction FilterMenuMessage(const FilterInput& in, const LoopState& s) {
    FilterAction a;
    switch (in.kind) {
    case FilterInput::KeyLeft:
    case FilterInput::KeyRight: {
        const bool right = in.kind == FilterInput::KeyRight;
        if (s.count < 2 || !(right ? s.rightAllowed : s.leftAllowed)) return a;
        a.next = NeighbourItem(s.open, s.count, right);
        a.close = a.swallow = true;
        return a;
    }
    case FilterInput::KeyEscape:
        a.escape = true;
        return a;
    case FilterInput::MouseMove:
        if (in.itemUnder != 0 && in.itemUnder != s.open) {
            a.next = in.itemUnder;
            a.close = true;
        }
        return a;
    case FilterInput::LeftButtonDown:
        if (in.itemUnder != 0 && in.itemUnder == s.open) a.close = a.swallow = true;
        return a;
    case FilterInput::Other:
        break;
    }
    return a;
}

}  // namespace veltrim::core
