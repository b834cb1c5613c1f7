// The skinned menu bar under the real platform (Wine here), each figure side
// by side with the system's own on the same window in the same run:
//  - a drop-down on screen after a click on the band (click sent as input,
//    until the menu loop goes idle with the drop-down shown), against a click
//    on the system's menu bar of the same window before the skin;
//  - a full frame repaint (band, tiles, buttons, menu texts, borders) at 3840
//    pixels wide into a surface (the screen limits the window's width) and on
//    the window at its width, against the system's own frame and client repaint.
// Prints medians in milliseconds.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "base/win/ScopedWin.h"
#include "bench/win/BenchTiming.h"
#include "skin/cMenuBar.h"
#include "skin/cNeoCaption.h"
#include "skin/cSkinConfiguration.h"
#include "skin/cToolbarMenu.h"
#include "tests/win/support/SkinTestObjects.h"

namespace {

using Clock = std::chrono::steady_clock;
using px::bench::MedianOf;
using px::bench::WallMs;
using px::test::FormStub;
using px::win::ScopedComPtr;

constexpr int kH = 600;
Clock::time_point g_idleAt, g_downAt, g_initAt;
bool g_idle = false;

LRESULT CALLBACK BenchProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN || msg == WM_NCLBUTTONDOWN) g_downAt = Clock::now();
    if (msg == WM_INITMENUPOPUP) g_initAt = Clock::now();
    if (msg == WM_ENTERIDLE && wp == MSGF_MENU && !g_idle) {
        // The drop-down is on screen and its loop waits for input.
        g_idleAt = Clock::now();
        g_idle = true;
        ::EndMenu();
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void Pump(const std::function<bool()>& done, int timeoutMs = 3000) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done() && Clock::now() < end) {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
        if (!done()) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void MouseTo(POINT p) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((p.x * 65536 + 65535) / ::GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = static_cast<LONG>((p.y * 65536 + 65535) / ::GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof in);
}

// From the click sent as input to the drop-down shown and idle.
double ClickToDropDown(POINT at, POINT away) {
    MouseTo(away);
    Pump([] { return false; }, 30);
    g_idle = false;
    INPUT in[3]{};
    in[0].type = in[1].type = in[2].type = INPUT_MOUSE;
    in[0].mi.dx = static_cast<LONG>((at.x * 65536 + 65535) / ::GetSystemMetrics(SM_CXSCREEN));
    in[0].mi.dy = static_cast<LONG>((at.y * 65536 + 65535) / ::GetSystemMetrics(SM_CYSCREEN));
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    const auto t = Clock::now();
    ::SendInput(3, in, sizeof in[0]);
    Pump([] { return g_idle; });
    const double ms = g_idle ? std::chrono::duration<double, std::milli>(g_idleAt - t).count() : -1.0;
    if (std::getenv("BENCH_STEPS"))
        std::printf("  click->down %.2f down->init %.2f init->idle %.2f\n",
                    std::chrono::duration<double, std::milli>(g_downAt - t).count(),
                    std::chrono::duration<double, std::milli>(g_initAt - g_downAt).count(),
                    std::chrono::duration<double, std::milli>(g_idleAt - g_initAt).count());
    Pump([] { return false; }, 20);  // the menu loop winds down
    return ms;
}

// The main window's skin values, on artwork of our own.
ScopedComPtr<_cSkinConfiguration> MainWindowSkin() {
    ScopedComPtr<_cSkinConfiguration> s(static_cast<_cSkinConfiguration*>(new veltrim::cSkinConfiguration()));
    s->put_DrawTitle(VARIANT_FALSE);
    s->put_MenuStartOffsetX(-20);
    s->put_TopSizingBorderHeight(15);
    s->put_LeftBorderWidth(1);
    s->put_RightBorderWidth(1);
    s->put_ActiveMenuColor(0xFFFFFF);
    s->put_ActiveMenuColorOver(0xC0FFFF);
    s->put_InActiveMenuColor(0xFFFFFF);
    s->put_MenuBackgroundColor(11308659);
    s->put_ButtonWidth(19);
    s->put_ButtonHeight(20);
    s->put_ActiveLeftEnd(20);
    s->put_ActiveRightStart(775);
    s->put_ActiveRightEnd(779);
    s->putref_Caption(px::test::ArtPicture(779 + 4 * 19, 40, [](int x, int y) { return RGB(60 + x % 50, 80 + y, 120); }).get());
    s->putref_Borders(px::test::ArtPicture(28, 4, [](int x, int y) { return RGB(90, 100 + x, 110 + y); }).get());
    return s;
}

HMENU MainMenu() {
    HMENU bar = ::CreateMenu();
    const wchar_t* tops[] = {L"&File", L"&Edit", L"&Capture", L"&View", L"&Help"};
    UINT id = 100;
    for (const wchar_t* top : tops) {
        HMENU sub = ::CreatePopupMenu();
        for (const wchar_t* entry : {L"&New\tCtrl+N", L"&Open...", L"&Save", L"Save &As...", L"E&xit"})
            ::AppendMenuW(sub, MF_STRING, ++id, entry);
        ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), top);
    }
    return bar;
}

}  // namespace

int wmain() {
    px::win::ScopedOle ole;
    WNDCLASSW wc{};
    wc.lpfnWndProc = BenchProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"MenuBarBench";
    ::RegisterClassW(&wc);
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN);
    HMENU menu = MainMenu();
    HWND hwnd = ::CreateWindowExW(0, L"MenuBarBench", L"Menu bar bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  screenW, kH, nullptr, menu, wc.hInstance, nullptr);
    ::SetForegroundWindow(hwnd);
    Pump([] { return false; }, 300);
    RECT wr{};
    ::GetWindowRect(hwnd, &wr);
    const POINT away{wr.left + 300, wr.top + 400};
    auto repaint = [&] {
        return WallMs([&] { ::RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW); });
    };

    // The system's own frame and menu bar.
    const double systemRepaint = MedianOf(100, repaint);
    RECT fileItem{};
    ::GetMenuItemRect(hwnd, menu, 0, &fileItem);
    const double systemDropDown =
        MedianOf(21, [&] { return ClickToDropDown({(fileItem.left + fileItem.right) / 2, (fileItem.top + fileItem.bottom) / 2}, away); });

    // The same window skinned.
    FormStub form(hwnd);
    ScopedComPtr<veltrim::cNeoCaption> caption(new veltrim::cNeoCaption());
    auto skin = MainWindowSkin();
    if (caption->Attach2(&form, skin.get()) != S_OK) {
        std::printf("Attach2 failed\n");
        return 1;
    }
    Pump([] { return false; }, 200);
    const double skinnedRepaint = MedianOf(100, repaint);
    const RECT item = caption->MenuBar()->ItemScreenRect(1);
    const double skinnedDropDown =
        MedianOf(21, [&] { return ClickToDropDown({(item.left + item.right) / 2, (item.top + item.bottom) / 2}, away); });

    px::win::ScopedWindowDC windowDC(hwnd);
    const double frameOnWindow = MedianOf(100, [&] {
        return WallMs([&] {
            caption->NCPaint(static_cast<long>(reinterpret_cast<LONG_PTR>(windowDC.get())), 0, 0, wr.right - wr.left, kH);
        });
    });
    const double ncpaintSent = MedianOf(100, [&] { return WallMs([&] { ::SendMessageW(hwnd, WM_NCPAINT, 0, 0); }); });
    const double windowDCOnly = MedianOf(100, [&] { return WallMs([&] { px::win::ScopedWindowDC dc(hwnd); }); });
    if (std::getenv("BENCH_STEPS")) std::printf("  WM_NCPAINT %.3f ms, GetWindowDC+ReleaseDC %.3f ms\n", ncpaintSent, windowDCOnly);
    px::win::ScopedGetDC screen(nullptr);
    px::win::MemoryBitmapDC wide(screen, px::win::ScopedBitmap(::CreateCompatibleBitmap(screen, 3840, kH)));
    const double frameAt3840 = MedianOf(200, [&] {
        return WallMs([&] { caption->PaintFrame(wide.dc(), 0, 0, 3840, kH, true, hwnd, menu, false); });
    });
    std::printf("[ menu bar ] window %ld x %d, %d top-level items\n", wr.right - wr.left, kH, ::GetMenuItemCount(menu));
    std::printf("[ menu bar ] drop-down on screen after the click: skinned band %.2f ms, system menu bar %.2f ms\n",
                skinnedDropDown, systemDropDown);
    std::printf("[ menu bar ] full repaint of the window: skinned %.3f ms, system frame and client %.3f ms\n",
                skinnedRepaint, systemRepaint);
    std::printf("[ menu bar ] the skinned frame alone painted on the window: %.3f ms\n", frameOnWindow);
    std::printf("[ menu bar ] full frame with the menu band at 3840 x %d: %.3f ms (system frame and client at %ld: "
                "%.3f ms)\n",
                kH, frameAt3840, wr.right - wr.left, systemRepaint);
    caption->Detach();
    caption.reset();
    ::DestroyWindow(hwnd);
    return 0;
}
