#include "capture/core/SelectionGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace px::capture {

Rect Intersect(const Rect& a, const Rect& b) noexcept {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    return r.empty() ? Rect{} : r;
}

SelectionShape ParseShape(std::wstring_view name) noexcept {
    if (name == L"Rectangle") return SelectionShape::Rectangle;
    if (name == L"Square") return SelectionShape::Square;
    if (name == L"Ellipse") return SelectionShape::Ellipse;
    if (name == L"Circle") return SelectionShape::Circle;
    if (name == L"Entire") return SelectionShape::Entire;
    return SelectionShape::Other;
}

int LassoLineStyle(int drStyle) noexcept { return drStyle >= 0 && drStyle <= 3 ? drStyle : 0; }

Point BandEnd(SelectionShape shape, Point start, Point cursor) noexcept {
    if (shape == SelectionShape::Square || shape == SelectionShape::Circle)
        return {cursor.x, start.y + (cursor.x - start.x)};
    return cursor;
}

Rect BandBox(Point start, Point end) noexcept {
    return {std::min(start.x, end.x), std::min(start.y, end.y), std::max(start.x, end.x) + 1,
            std::max(start.y, end.y) + 1};
}

Rect EllipseBox(Point start, Point end) noexcept {
    return {std::min(start.x, end.x), std::min(start.y, end.y), std::max(start.x, end.x), std::max(start.y, end.y)};
}

Rect SelectionRect(Point start, Point end) noexcept {
    if (start.x == end.x || start.y == end.y) return {};
    return EllipseBox(start, end);
}

OverlayControlsLayout ControlsLayout(Point start, Point cursor) noexcept {
    const int mx = std::max(start.x, cursor.x);
    const int my = std::max(start.y, cursor.y);
    OverlayControlsLayout l;
    l.magnifierFrame = RectAt(std::abs(mx + 39), std::abs(my - 42), kMagnifierFrameWidth, kMagnifierFrameHeight);
    l.magnifierPicture = RectAt(std::abs(mx + 40), std::abs(my - 40), kMagnifierSize, kMagnifierSize);
    const int half = kMagnifierSourceSize / 2;
    l.magnifierSource = RectAt(cursor.x - half, cursor.y - half, kMagnifierSourceSize, kMagnifierSourceSize);
    l.coordinatesLabel = {std::abs(mx + 38), std::abs(my + 65)};
    l.sizeLabel = {std::abs(mx + 38), std::abs(my + 82)};
    return l;
}

std::wstring CoordinatesText(Point cursor) {
    return L" X : Y " + std::to_wstring(cursor.x) + L"," + std::to_wstring(cursor.y);
}

std::wstring SizeText(Point start, Point end) {
    return L"Width: " + std::to_wstring(std::abs(end.x - start.x)) + L" Px\r\nHeight: " +
           std::to_wstring(std::abs(end.y - start.y)) + L" Px";
}

std::vector<int> GridLinePositions(int extent, int spacing) {
    std::vector<int> lines;
    if (spacing < 1) return lines;
    for (long long p = spacing; p < extent; p += spacing) lines.push_back(static_cast<int>(p));
    return lines;
}

std::vector<Rect> OutsideRingBoxes(const Rect& selection) {
    // 150 rings reach 300 pixels out, which leaves the corners of a selection
    // wider than about 1400 pixels untouched; rings continue until the inner
    // edge of the last one lies beyond every corner pixel (centre distances
    // from the middle of the selection).
    const double dx = std::max(selection.width() / 2.0 - 0.5, 0.0), dy = std::max(selection.height() / 2.0 - 0.5, 0.0);
    auto coversCorners = [&](const Rect& box) {
        const double a = box.width() / 2.0 - kOutsideRingPenWidth + 1, b = box.height() / 2.0 - kOutsideRingPenWidth + 1;
        if (a <= 0 || b <= 0) return false;
        return (dx / a) * (dx / a) + (dy / b) * (dy / b) <= 1.0;
    };
    std::vector<Rect> boxes;
    boxes.reserve(kOutsideRingCount);
    Rect box{selection.left + 1, selection.top + 1, selection.right - 1, selection.bottom - 1};
    while (static_cast<int>(boxes.size()) < kOutsideRingCount || !coversCorners(boxes.back())) {
        box = box.inflate(2);
        boxes.push_back(box);
    }
    return boxes;
}

}  // namespace px::capture
