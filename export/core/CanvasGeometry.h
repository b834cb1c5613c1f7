#pragma once
// Geometry of the preview canvas: where the inner picture surface goes in the
// control, which part of the picture is drawn where, the scroll offsets that
// keep their relative place across layouts, panning by dragging, pointer to
// picture coordinates and which cursor shows. Plain values only; the control
// (export/ucCanvas) applies them to its windows.
#include <cstdint>

namespace px {

struct CanvasRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const CanvasRect&) const = default;
};

// One stretch of the picture onto the inner surface (surface coordinates).
struct CanvasBlit {
    int32_t destX = 0, destY = 0, destWidth = 0, destHeight = 0;
    int32_t sourceX = 0, sourceY = 0, sourceWidth = 0, sourceHeight = 0;
    bool operator==(const CanvasBlit&) const = default;
};

struct CanvasPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const CanvasPoint&) const = default;
};

enum class CanvasCursor { Default, HandOver, HandCatch, PickColor };

class CanvasGeometry {
public:
    // Below 1 is stored as 1; takes effect at the next layout.
    void SetZoom(int32_t zoom) noexcept { zoom_ = zoom < 1 ? 1 : zoom; }
    int32_t Zoom() const noexcept { return zoom_; }
    void SetFitMode(bool fit) noexcept { fit_ = fit; }
    bool FitMode() const noexcept { return fit_; }
    // 0 pans, anything else picks.
    void SetWorkMode(int32_t mode) noexcept { workMode_ = mode; }
    int32_t WorkMode() const noexcept { return workMode_; }
    bool PickMode() const noexcept { return workMode_ != 0; }

    // Lays a W x H picture out in a control of clientW x clientH and returns
    // the inner surface's rectangle; without a picture (W or H not positive)
    // the surface is parked at (-1, 0) with no size. Overflow (6), with the previous layout kept, when
    // the zoomed picture leaves the 32-bit range.
    CanvasRect Layout(int32_t pictureWidth, int32_t pictureHeight, int32_t clientWidth, int32_t clientHeight);
    bool HasPicture() const noexcept { return pictureWidth_ > 0 && pictureHeight_ > 0; }
    CanvasRect Surface() const noexcept { return surface_; }
    // What the current layout draws: every picture pixel a Z x Z block, the
    // partly visible pixels at the edges included, never reading outside the picture.
    CanvasBlit Blit() const;

    // Pointer on the surface to picture coordinates (floor; may lie outside the picture).
    CanvasPoint ToPicture(int32_t x, int32_t y) const;

    // A press at (x, y) of the surface; only the left button starts a drag.
    void Press(int32_t x, int32_t y, bool leftButton);
    // Pans by the pointer's travel while dragging; true when the view moved
    // (the control redraws and raises Scroll).
    bool Move(int32_t x, int32_t y);
    // Button up or capture lost: the drag ends.
    void Release() noexcept { pressed_ = dragging_ = false; }
    bool Dragging() const noexcept { return dragging_; }
    CanvasPoint LastPointer() const noexcept { return last_; }

    CanvasCursor Cursor() const noexcept;
    bool CanScroll() const noexcept { return !fit_ && (rx_ != 0 || ry_ != 0); }

    int32_t OffsetX() const noexcept { return ox_; }
    int32_t OffsetY() const noexcept { return oy_; }
    int32_t RangeX() const noexcept { return rx_; }
    int32_t RangeY() const noexcept { return ry_; }

private:
    int32_t zoom_ = 1;
    int32_t layoutZoom_ = 1;  // the zoom of the current layout, which drawing and pointers follow
    bool fit_ = false;
    int32_t workMode_ = 0;
    int32_t pictureWidth_ = 0, pictureHeight_ = 0;
    CanvasRect surface_{-1, 0, 0, 0};
    int32_t ox_ = 0, oy_ = 0, rx_ = 0, ry_ = 0;
    // The previous layout's offsets and ranges, single precision as kept between layouts.
    float prevOx_ = 0, prevOy_ = 0, prevRx_ = 0, prevRy_ = 0;
    bool pressed_ = false, dragging_ = false;
    CanvasPoint last_;
};

}  // namespace px
