#include "capture/Monitors.h"

#include <windows.h>

namespace px {

namespace {

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT r, LPARAM data) {
    reinterpret_cast<std::vector<capture::Rect>*>(data)->push_back({r->left, r->top, r->right, r->bottom});
    return TRUE;
}

}  // namespace

capture::ScreenLayout QueryScreenLayout() {
    std::vector<capture::Rect> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const capture::Rect reported{x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                 y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    return capture::MakeScreenLayout(std::move(monitors), reported);
}

}  // namespace px
