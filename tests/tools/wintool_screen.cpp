#include "tests/tools/wintool_screen.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/win/ScopedWin.h"

namespace wintool {

// monitors [x y]...: the virtual screen (left top width height), then one line per monitor as the
// platform enumerates it: left top right bottom, work area, 1 for the primary; then, for each point
// given, the monitor it falls on (as an index into that list, -1 for none).
int CmdMonitors(int argc, wchar_t** argv) {
    std::printf("virtual %d %d %d %d\n", ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    std::vector<HMONITOR> found;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR m, HDC, RECT*, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HMONITOR>*>(lp)->push_back(m);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    for (HMONITOR m : found) {
        MONITORINFO mi{sizeof(mi)};
        if (!::GetMonitorInfoW(m, &mi)) return 1;
        const RECT& r = mi.rcMonitor;
        const RECT& w = mi.rcWork;
        std::printf("monitor %ld %ld %ld %ld work %ld %ld %ld %ld primary %d\n", r.left, r.top, r.right, r.bottom,
                    w.left, w.top, w.right, w.bottom, (mi.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0);
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        const POINT p{_wtoi(argv[i]), _wtoi(argv[i + 1])};
        const HMONITOR m = ::MonitorFromPoint(p, MONITOR_DEFAULTTONULL);
        int index = -1;
        for (size_t k = 0; k < found.size(); ++k)
            if (found[k] == m) index = static_cast<int>(k);
        std::printf("point %ld %ld %d\n", p.x, p.y, index);
    }
    return found.empty() ? 1 : 0;
}

// label <text>: the selection overlay's read-out label for `text`, painted as the overlay paints it
// (the status font, black on pale yellow in a grey frame, 3 and 1 pixels of padding): its width and
// height, then one line of RRGGBB pixels per row. The tests read what the overlay shows by finding
// this picture on the screen.
int CmdLabel(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring text = argv[2];
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    px::win::ScopedFont font(::CreateFontIndirectW(&ncm.lfStatusFont));
    px::win::AutoDeleteDC dc(::CreateCompatibleDC(nullptr));
    if (!font || !dc) return 1;
    px::win::ScopedSelectObject selectFont(dc.get(), font.get());
    RECT measured{0, 0, 0, 0};
    const int length = static_cast<int>(text.size());
    ::DrawTextW(dc.get(), text.c_str(), length, &measured, DT_CALCRECT | DT_LEFT | DT_TOP | DT_NOPREFIX);
    const int w = measured.right - measured.left + 6, h = measured.bottom - measured.top + 2;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    px::win::ScopedBitmap picture(::CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture) return 1;
    {
        px::win::ScopedSelectObject selectPicture(dc.get(), picture.get());
        RECT box{0, 0, w, h};
        ::SetDCBrushColor(dc.get(), RGB(255, 255, 225));
        ::FillRect(dc.get(), &box, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
        ::SetDCBrushColor(dc.get(), RGB(118, 118, 118));
        ::FrameRect(dc.get(), &box, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
        ::SetBkMode(dc.get(), TRANSPARENT);
        ::SetTextColor(dc.get(), RGB(0, 0, 0));
        RECT inner{3, 1, w - 3, h - 1};
        ::DrawTextW(dc.get(), text.c_str(), length, &inner, DT_LEFT | DT_TOP | DT_NOPREFIX);
        ::GdiFlush();
    }
    std::printf("%d %d\n", w, h);
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) std::printf("%06x", pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFFu);
        std::printf("\n");
    }
    return 0;
}

}  // namespace wintool
