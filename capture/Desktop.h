#pragma once
// The full-screen selection overlay: a frozen copy of the desktop on which the
// user marks a rectangle, square, ellipse or circle (or which is taken whole
// for an entire-screen capture).
#include <windows.h>

#include <functional>
#include <string>

#include "base/win/Form.h"
#include "base/win/ScopedWin.h"

namespace px {

// What the overlay reads from the main window when it loads.
struct CaptureOptions {
    std::wstring shape = L"Rectangle";  // "Rectangle", "Square", "Ellipse", "Circle" or "Entire"
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
    // ... implemented in capture/Desktop.cpp
};

}  // namespace px
