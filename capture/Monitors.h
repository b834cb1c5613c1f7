#pragma once
// The monitors as the platform lists them now, for the overlay that covers
// them all (capture/core/VirtualScreen.h holds the rules).
#include "capture/core/VirtualScreen.h"

namespace px {

// Every monitor's rectangle (screen coordinates, physical pixels in a
// per-monitor aware process) and the virtual screen around them.
capture::ScreenLayout QueryScreenLayout();

}  // namespace px
