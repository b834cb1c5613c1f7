#pragma once
// Geometry of a skinned frame on plain values: where each part of the caption
// bitmap and of the border bitmap goes in a window of a given size, the title
// box, the menu band, the control buttons, the client rectangle left inside
// the frame, and the hit code of a point. The caption painter
// (skin/cNeoCaption) copies pixels along these rectangles.
#include <array>
#include <optional>

#include "skin/core/NCFrameGeometry.h"
#include "skin/core/SkinValues.h"

namespace veltrim::core {

// One copy from a bitmap into the frame: `width` x `height` pixels from
// (srcX, srcY) to (dstX, dstY).
struct Copy {
    int dstX = 0, dstY = 0, width = 0, height = 0, srcX = 0, srcY = 0;
    bool operator==(const Copy&) const = default;
};

// A skin's values plus the sizes of its two pictures.
struct SkinGeometry {
    px::SkinValues values;
    int captionWidth = 0, captionHeight = 0;  // the caption bitmap
    int borderWidth = 0, borderHeight = 0;    // the border bitmap (full height)

    // Side of one square border tile: the border bitmap's height, or half of
    // it when the lower half holds the inactive row.
    int BorderSize() const;
    int LeftWidth() const;   // LeftBorderWidth when at least 1, else the tile side
    int RightWidth() const;  // RightBorderWidth when at least 1, else the tile side
    // The margins handed to the frame manager (it adds one pixel right and bottom).
    Margins FrameMargins() const;
    // Geometry the painter's loops cannot work with: a border tile below 1 pixel,
    // a caption below 1 pixel, negative button sizes, a right end before the left,
    // a pixel value or picture side beyond px::kSkinGeometryLimit.
    bool Usable() const;
};

enum Button { kClose = 0, kMaximise = 1, kMinimise = 2 };

struct CaptionState {
    bool active = true;
    bool maximised = false;  // the maximise button shows the restore glyph
    bool canClose = true, hasMaximise = true, hasMinimise = true, canSize = true;
    std::array<bool, 3> pressed{};  // drawn with the pressed glyph
    int titleTextHeight = 0;        // height of "Tg" in the caption font, 0 when not measured
};

struct CaptionLayout {
    Copy leftEnd;
    Copy rightEnd;
    Copy firstTile;      // the first middle tile; the rest repeat it up to tilesEnd
    int tilesEnd = 0;    // x where the middle ends (the right end's x)
    bool drawTitle = false;
    Box title;           // the title text box
    Box menuBand;        // where the menu bar draws (window coordinates), before its items are known
    int menuLeft = 0;    // left of the menu bar's drawing area (band left - 2)
    std::array<std::optional<Box>, 3> buttons;  // glyph rectangles in window coordinates, absent buttons empty
    std::array<Copy, 3> glyphs{};               // each present button's glyph copy
    // Borders: the strip of tiles 0 and 4 side by side (source row `tileRow`),
    // and the three copies out of it; the bottom row.
    int tileSide = 0, tileRow = 0;
    Copy leftEdge, rightEdge;  // from the strip (src x within the strip, src y 0)
    Copy bottomLeft, bottomRight;  // tiles 2 and 6 (or 5) of the bottom row, from the border bitmap
    Copy bottomTile;               // tile 3, repeated from x = tileSide up to bottomRight.dstX
    Box client;                    // the area inside the frame
};

// The layout of a frame w x h (caption band, borders, buttons).
CaptionLayout LayoutCaption(const SkinGeometry& g, int w, int h, const CaptionState& s);

// Hit code of a point x, y relative to the window's top-left corner; `code` is
// the frame manager's, `menuBand` the band of the last paint (its right end
// the last item's). Control buttons answer HTSYSMENU so the manager routes
// their clicks to NCMouseDown.
int CaptionHitCode(const SkinGeometry& g, const CaptionLayout& layout, const Box& menuBand, int x, int y, int w,
                   int h, bool canSize, int code);

// The button under x, y, if any.
std::optional<Button> ButtonAt(const CaptionLayout& layout, int x, int y);

}  // namespace veltrim::core
