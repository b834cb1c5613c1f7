#pragma once
// Geometry of the selection overlay on plain values: the band for a press
// point and the current point in any drag direction, the height rule of the
// square and circle shapes, where the magnifier and the read-outs go, the
// ruler grid's lines and the back-colour rings outside an ellipse. All
// coordinates are screen pixels, origin at the top-left corner.
#include <string>
#include <string_view>
#include <vector>

#include "base/Geometry.h"

namespace px::capture {

// The controls' plain geometry values (half-open rectangles like the platform's RECT).
using px::Point;
using px::Rect;
using px::RectAt;

Rect Intersect(const Rect& a, const Rect& b) noexcept;

enum class SelectionShape { Rectangle, Square, Ellipse, Circle, Entire, Other };

// "Rectangle", "Square", "Ellipse", "Circle", "Entire"; anything else is Other.
SelectionShape ParseShape(std::wstring_view name) noexcept;

// The lasso line style: 0 solid, 1 dash, 2 dot, 3 dash-dot; anything else draws solid.
int LassoLineStyle(int drStyle) noexcept;

// The corner the band reaches for the cursor: square and circle take their
// height from the signed horizontal distance, so the vertical movement of the
// mouse is ignored; the other shapes follow the cursor.
Point BandEnd(SelectionShape shape, Point start, Point cursor) noexcept;

// The band's box with both corners included: (min x, min y) to (max x, max y) + 1.
Rect BandBox(Point start, Point end) noexcept;

// The box the platform's ellipse gets for a band from `start` to `end`
// (normalised; its right and bottom edges are not drawn).
Rect EllipseBox(Point start, Point end) noexcept;

// The picture a release at `end` captures: top-left at the smaller
// coordinates, |dx| by |dy| pixels. Empty when either extent is zero.
Rect SelectionRect(Point start, Point end) noexcept;

// Where the magnifier and the read-outs go for a cursor at `cursor` dragged
// from `start`: offsets from the band's bottom-right corner (the larger x and
// y of the two points), taken as absolute values.
struct OverlayControlsLayout {
    Rect magnifierFrame;    // shpSquare
    Rect magnifierPicture;  // PictureZ, 100 x 100
    Rect magnifierSource;   // 20 x 20 around the cursor, stretched fivefold
    Point coordinatesLabel; // lblCoordinates
    Point sizeLabel;        // lblHW
};
inline constexpr int kMagnifierSize = 100;
inline constexpr int kMagnifierSourceSize = 20;
inline constexpr int kMagnifierFrameWidth = 102;
inline constexpr int kMagnifierFrameHeight = 104;
OverlayControlsLayout ControlsLayout(Point start, Point cursor) noexcept;

// " X : Y 120,45"
std::wstring CoordinatesText(Point cursor);
// "Width: 80 Px\r\nHeight: 40 Px" for the band from `start` to `end`.
std::wstring SizeText(Point start, Point end);

// Positions s, 2s, 3s, ... below `extent`; none for a spacing under 1.
std::vector<int> GridLinePositions(int extent, int spacing);

// The boxes whose inscribed ellipses, drawn with a 3-pixel pen, paint the
// back colour outward from the selection's ellipse (box `selection`, half-open):
// 150 of them, and more where a large selection's corners lie further out.
inline constexpr int kOutsideRingCount = 150;
inline constexpr int kOutsideRingPenWidth = 3;
std::vector<Rect> OutsideRingBoxes(const Rect& selection);

}  // namespace px::capture
