#pragma once
// The image of the foreground window as the screen shows it, which is what
// the print-screen key gives for the active window on the platforms where it
// still does (under Wine it gives nothing, and current Windows may give the
// whole screen).
#include <windows.h>

#include "base/win/ScopedWin.h"
#include "capture/core/SelectionGeometry.h"

namespace px {

// The rectangle of all monitors together, in screen coordinates.
capture::Rect VirtualScreen();

struct WindowGrab {
    enum class Outcome {
        Grabbed,    // `picture` holds the window's visible frame as far as the monitors show it
        NoWindow,   // no visible foreground window other than the excluded one
        OffScreen,  // the window lies wholly off every monitor
        Failed,     // the screen could not be copied
    };
    Outcome outcome = Outcome::NoWindow;
    win::ScopedBitmap picture;
};

// The foreground window's visible frame, clipped to the virtual screen (all
// monitors, so a window on a second monitor or across two is taken whole).
WindowGrab GrabForegroundWindow(HWND exclude);

}  // namespace px
