#pragma once
// The full-screen selection overlay: a frozen copy of the desktop on which the
// user marks a rectangle, square, ellipse or circle (or which is taken whole
// for an entire-screen capture). It covers every monitor: its pixel (0, 0) is
// the virtual screen's top-left corner, and the read-outs show screen
// coordinates.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/win/Form.h"
#include "base/win/ScopedWin.h"
#include "capture/ScreenSurface.h"
#include "capture/core/SelectionGeometry.h"
#include "capture/core/VirtualScreen.h"

namespace px {

// What the overlay reads from the main window when it loads.
struct CaptureOptions {
    capture::SelectionShape shape = capture::SelectionShape::Rectangle;
    int drStyle = 0;                    // lasso line style: 0 solid, 1 dash, 2 dot, 3 dash-dot
    COLORREF lassoColor = RGB(0, 255, 0);
    COLORREF backColor = RGB(0, 0, 0);  // outside an ellipse or circle
    bool grid = false;                  // ruler grid while dragging
    int gridSpacing = 100;              // pixels
    bool details = true;                // coordinate and size read-outs
    bool magnifier = true;              // auto magnifier
};

class Desktop : public win::Form {
public:
    static Desktop& Get();

    // Loads and shows the overlay with a frozen copy of the screen. When the
    // user releases a selection of non-zero size (or at the first TimerEntire
    // tick, for "Entire") `onCaptured` receives the picture; the overlay stays
    // loaded until the caller unloads it (the end of CaptureFinish). Escape
    // unloads the overlay and runs `onCancelled`.
    void Begin(const CaptureOptions& options, std::function<void(win::ScopedBitmap)> onCaptured,
               std::function<void()> onCancelled);

private:
    Desktop() = default;
    void CreateFormWindow() override;
    void Form_Load() override;
    void Form_Unload() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    void Form_MouseDown(capture::Point p);
    void Form_MouseMove(capture::Point p);
    void Form_MouseUp(capture::Point p);
    void Form_KeyDown(UINT key);
    void Form_Paint();
    void TimerGrid_Timer();
    void TimerEntire_Timer();

    bool PrepareDrawingObjects();
    void ResetSelection();
    // Removes the band and the grid (the labels and the magnifier stay).
    void Cls();
    // Brings the canvas and the window up to the current state; the magnifier
    // takes a new look round the cursor when asked.
    void Render(bool resampleMagnifier = false);
    void DrawBand(HDC dc) const;
    void DrawGrid(HDC dc) const;
    void SampleMagnifier();
    void DrawControls(HDC dc) const;
    capture::Rect LabelRect(capture::Point at, const std::wstring& text) const;
    void Present(const std::vector<capture::Rect>& rects);
    // The region of the frozen desktop as a picture in the display's format;
    // for ellipse and circle the outside painted with the back colour.
    win::ScopedBitmap CopyRegion(const capture::Rect& region, bool paintOutside) const;
    void Deliver(win::ScopedBitmap picture);
    void Cancel();

    // Moves the magnifier and the read-outs onto the monitor under `cursor`.
    void KeepControlsOnMonitor(capture::Point cursor);

    // Lets the Windows tests compare an incremental frame with a full redraw.
    friend struct DesktopTestAccess;

    CaptureOptions options_;
    capture::ScreenLayout layout_;          // screen coordinates, taken when the window is made
    std::vector<capture::Rect> monitors_;   // the same monitors in overlay coordinates
    capture::SelectionShape shape_ = capture::SelectionShape::Rectangle;
    std::function<void(win::ScopedBitmap)> onCaptured_;
    std::function<void()> onCancelled_;

    ScreenSurface frozen_;     // the desktop as it was at load: the fixed background
    ScreenSurface canvas_;     // frozen desktop + drawing + controls: what the window shows
    ScreenSurface magnifier_;  // PictureZ
    win::ScopedPen lassoPen_;
    win::ScopedPen gridPen_;
    win::ScopedFont labelFont_;
    win::ScopedTimer TimerGrid;
    win::ScopedTimer TimerEntire;

    capture::Point start_;
    bool dragging_ = false;

    // The overlay's drawing, removed by Cls.
    bool bandShown_ = false;
    capture::Point bandEnd_;
    bool gridShown_ = false;

    // The controls: once shown they stay until the overlay closes.
    bool magnifierShown_ = false;
    capture::OverlayControlsLayout controls_;
    bool labelsShown_ = false;
    std::wstring coordinatesText_, sizeText_;
    capture::Rect coordinatesRect_, sizeRect_;

    std::vector<capture::Rect> drawn_;  // what the last frame put over the frozen desktop
    bool fullRedraw_ = false;
};

}  // namespace px
