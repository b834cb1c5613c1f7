#pragma once
// The image of the foreground window as the screen shows it, which is what
// the print-screen key gives for the active window on the platforms where it
// still does (under Wine it gives nothing, and current Windows may give the
// whole screen).
#include <windows.h>

#include "base/win/ScopedWin.h"

namespace px {

// The foreground window's visible frame, clipped to the screen; nothing when
// there is no visible foreground window other than `exclude`.
win::ScopedBitmap GrabForegroundWindow(HWND exclude);

}  // namespace px
