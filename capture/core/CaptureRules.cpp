#include "capture/core/CaptureRules.h"

#include <cwctype>

namespace px::capture {

SelectionShape ShapeFromIndex(int index) noexcept {
    switch (index) {
    case 1: return SelectionShape::Square;
    case 2: return SelectionShape::Ellipse;
    case 3: return SelectionShape::Circle;
    default: return SelectionShape::Rectangle;
    }
}

int IndexOfShape(SelectionShape shape) noexcept {
    switch (shape) {
    case SelectionShape::Rectangle: return 0;
    case SelectionShape::Square: return 1;
    case SelectionShape::Ellipse: return 2;
    case SelectionShape::Circle: return 3;
    default: return -1;
    }
}

std::wstring_view ShapeName(SelectionShape shape) noexcept {
    switch (shape) {
    case SelectionShape::Rectangle: return L"Rectangle";
    case SelectionShape::Square: return L"Square";
    case SelectionShape::Ellipse: return L"Ellipse";
    case SelectionShape::Circle: return L"Circle";
    case SelectionShape::Entire: return L"Entire";
    default: return L"";
    }
}

unsigned ActiveDelayMs(const std::wstring& labelText) {
    unsigned seconds = 0;
    size_t i = 0;
    while (i < labelText.size() && labelText[i] == L' ') ++i;
    if (i == labelText.size()) return 0;
    for (; i < labelText.size(); ++i) {
        if (!std::iswdigit(labelText[i])) return 0;
        seconds = seconds * 10 + static_cast<unsigned>(labelText[i] - L'0');
        if (seconds > 3600) return 0;  // the label only ever holds 0-10
    }
    return seconds * 1000;
}

Rect ClipToScreen(const Rect& window, const Rect& virtualScreen) noexcept { return Intersect(window, virtualScreen); }

ScreenPart VisiblePart(const Rect& source, const Rect& virtualScreen) noexcept {
    const Rect from = Intersect(source, virtualScreen);
    if (from.empty()) return {};
    const Rect to{from.left - source.left, from.top - source.top, from.right - source.left, from.bottom - source.top};
    return {from, to};
}

}  // namespace px::capture
