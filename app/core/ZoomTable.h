#pragma once
// The zoom tool's magnification steps: the scroll value chooses how large a
// square of screen, right of and below the cursor, is stretched into the
// fixed 200 x 200 display.
#include <string>

namespace px {

inline constexpr int kZoomToolDisplaySize = 200;
inline constexpr int kZoomToolMinStep = 1;
inline constexpr int kZoomToolMaxStep = 10;
// Activation and "Reset Zoom" put the scroll bar here but show the screen 1:1.
inline constexpr int kZoomToolResetStep = 2;
inline constexpr int kZoomToolResetSource = kZoomToolDisplaySize;
inline constexpr wchar_t kZoomToolResetReadout[] = L"100%";

struct ZoomToolStep {
    int sourceSize;        // width and height of the copied screen square, in pixels
    std::wstring readout;  // what the read-out box shows
    friend bool operator==(const ZoomToolStep&, const ZoomToolStep&) = default;
};

// Step 1 is a slightly reduced view (210 into 200, "75%"); step v > 1 copies
// round(200 / v) pixels (ties to even) and reads v x 100 "%". Values outside
// the scroll range are clamped to it, as the scroll bar itself would.
ZoomToolStep ZoomToolStepFor(int scrollValue);

struct ZoomToolSource {
    int x, y, size;
    friend bool operator==(const ZoomToolSource&, const ZoomToolSource&) = default;
};

// The copied area starts at the cursor; it is not centred on it.
inline ZoomToolSource ZoomToolSourceAt(int cursorX, int cursorY, int sourceSize) { return {cursorX, cursorY, sourceSize}; }

}  // namespace px
