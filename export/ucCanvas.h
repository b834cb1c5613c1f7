#pragma once
// ucCanvas: the preview canvas of the GIF export. Shows a cDIB32 zoomed by a
// whole factor on an inner surface (iCanvas), centred when smaller than the
// control, pannable by dragging when larger, or fitted into the control; the
// margin around the surface is painted in the application-workspace colour.
// Pointer positions reach the owner as picture coordinates. The geometry is
// export/core/CanvasGeometry; this class applies it to two windows.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "base/Error.h"
#include "base/Event.h"
#include "base/win/Window.h"
#include "export/core/CanvasGeometry.h"
#include "imaging/cDIB32.h"

namespace px {

class ucCanvas : public win::Window {
public:
    // Mouse buttons and shift state as the owner receives them.
    static constexpr int kLeftButton = 1, kRightButton = 2, kMiddleButton = 4;
    static constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;

    ucCanvas();
    ~ucCanvas() override;

    void Create(HWND parent, int x, int y, int width, int height, int id = 0);

    // The picture shown; the owner fills it and then calls Resize.
    cDIB32& DIB() noexcept { return *dib_; }
    const cDIB32& DIB() const noexcept { return *dib_; }

    int32_t zoom() const noexcept { return geometry_.Zoom(); }
    void zoom(int32_t value) noexcept { geometry_.SetZoom(value); }  // below 1 is 1; no re-layout
    int32_t WorkMode() const noexcept { return geometry_.WorkMode(); }
    void WorkMode(int32_t mode);
    bool FitMode() const noexcept { return geometry_.FitMode(); }
    void FitMode(bool fit) noexcept { geometry_.SetFitMode(fit); }  // at the next layout
    bool Enabled() const { return ::IsWindowEnabled(hwnd()) != FALSE; }
    void Enabled(bool enabled) { ::EnableWindow(hwnd(), enabled); }

    void Repaint();  // draws the picture on the surface
    // Lays the picture out again. A zoomed side beyond the 32-bit range raises the overflow error
    // (6) and keeps the previous layout, which is drawn again.
    void Resize();

    const CanvasGeometry& Geometry() const noexcept { return geometry_; }
    HWND Surface() const noexcept;  // iCanvas
    CanvasCursor ShownCursor() const noexcept { return cursor_; }

    // In order of declaration.
    Event<int32_t> DIBProgress;
    Event<> DIBProgressEnd;
    Event<int, int, int32_t, int32_t> MouseDown;  // button, shift, picture x, y
    Event<int, int, int32_t, int32_t> MouseMove;
    Event<int, int, int32_t, int32_t> MouseUp;
    Event<int, int> KeyDown;  // key code, shift; not while dragging
    Event<> Scroll;           // the view moved while panning
    Event<> LaidOut;          // after every layout of a picture

private:
    class InnerSurface;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    LRESULT SurfaceMessage(UINT msg, WPARAM wp, LPARAM lp);

    std::optional<Error> LayOut();  // the refusal, if any, with the previous layout kept
    void PaintMargin(HDC dc);
    void DrawPicture(HDC dc);
    void ApplyCursor();
    void Surface_Down(int button, int x, int y, WPARAM keys);
    void Surface_Move(int x, int y, WPARAM keys);
    void Surface_Up(int button, int x, int y, WPARAM keys);
    void Margin_Down(int button, int x, int y, WPARAM keys);
    static int ShiftState();

    std::unique_ptr<cDIB32> dib_;
    std::unique_ptr<InnerSurface> surface_;
    CanvasGeometry geometry_;
    CanvasCursor cursor_ = CanvasCursor::Default;
};

}  // namespace px
