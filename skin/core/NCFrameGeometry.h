#pragma once
// Geometry of a managed window frame, on plain values: the client rectangle
// left by the margins, the hit code of a point, the layout of the plain
// default frame, and which Alt+key presses count as menu accelerators.
// The frame manager (skin/cNCCalcSize) feeds it the system metrics.
#include <array>
#include <cstdint>

namespace veltrim::core {

// The platform's hit-test codes (values fixed by the platform and the type library).
namespace hit {
inline constexpr int Nowhere = 0, Client = 1, Caption = 2, SysMenu = 3, GrowBox = 4, Menu = 5, HScroll = 6,
                     VScroll = 7, MinButton = 8, MaxButton = 9, Left = 10, Right = 11, Top = 12, TopLeft = 13,
                     TopRight = 14, Bottom = 15, BottomLeft = 16, BottomRight = 17, Border = 18;
}

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Box&) const = default;
};

struct Margins {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Margins&) const = default;
};

// The system's own frame margins, the defaults offered to the implementation.
Margins SystemMargins(int cxFrame, int cyFrame, int cyCaption);

// The client rectangle of a window rectangle: one pixel more than the margin
// is taken at the right and at the bottom.
Box ClientBoxFor(const Box& window, const Margins& m);

// Hit code of point x,y (relative to the window's top-left corner) in a window
// of w by h with the margins of the last size calculation. Sizing codes only
// when canSize; the bottom margin is also the height of the top sizing edge.
int FrameHitCode(int x, int y, int w, int h, const Margins& m, int cyCaption, bool canSize);

// What the frame manager answers to WM_NCHITTEST for a computed code: the
// menu band takes client mouse messages.
constexpr int AnsweredHitCode(int code) { return code == hit::Menu ? hit::Client : code; }

// Layout of the plain frame drawn when no implementation paints it, for a
// window of w by h. It covers the whole window rectangle including the extra
// column and row left of the client area at the right and bottom.
struct DefaultFrameLayout {
    Box left, top, right, bottom;        // border strips
    Box line;                            // one-pixel line under the caption
    Box caption;                         // caption band, in window coordinates
    int captionTextWidth = 0;            // width of the icon-and-text part of the band
    std::array<Box, 3> buttons{};        // close, maximise, minimise, relative to the band
};
DefaultFrameLayout LayoutDefaultFrame(int w, int h, int cxFrame, int cyFrame, int cyCaption);

// Whether a keyboard-hook event is an Alt+key press for the menu accelerators:
// a press (bit 31 clear) with the Alt context bit (29), a key other than Alt
// itself, Ctrl up, and not F1-F12, Escape or Delete (which keep their system
// meaning: Alt+F4, Alt+Escape).
bool IsAltAccelerator(int hookCode, uint32_t lParam, int vKey, bool ctrlDown);

// The position a window takes in a move loop: its rectangle moved by the
// cursor's travel since the loop's start point.
struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};
Point MovedOrigin(Point windowOrigin, Point cursorStart, Point cursorNow);

}  // namespace veltrim::core
