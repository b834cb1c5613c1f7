// A client of veltrim.dll for the end-to-end tests, activating the classes
// through its manifest only (no registry key):
//   frametool classes   creates every class, checks the unload answer, exit 0 when all is well
//   frametool window    a window managed by cNCCalcSize with the test modifier
//                       (margins 4/40/4/4); prints what the modifier hears, one
//                       line per event: "ready <hwnd>", "press", "release",
//                       "click", "alt <key>", "closed", "quit <code>".
//   frametool window N  the same, and the program asks to quit after N ms
//   frametool bench     a resize storm of 200 steps about 3840 pixels wide, with the
//                       system frame and then managed, and the time of a hit test
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/win/ScopedWin.h"
#include "skin/veltrim_h.h"
#include "tests/win/support/TestModifier.h"

namespace {

using px::win::ScopedComPtr;

int Classes() {
    const CLSID* classes[] = {&CLSID_cNeoCaption, &CLSID_cSkinConfiguration, &CLSID_cNCCalcSize};
    const IID* defaults[] = {&IID__cNeoCaption, &IID__cSkinConfiguration, &IID__cNCCalcSize};
    for (int i = 0; i < 3; ++i) {
        ScopedComPtr<IDispatch> object;
        HRESULT hr = ::CoCreateInstance(*classes[i], nullptr, CLSCTX_INPROC_SERVER, *defaults[i],
                                        reinterpret_cast<void**>(object.put()));
        std::printf("class %d: 0x%08lx\n", i, static_cast<unsigned long>(hr));
        if (FAILED(hr)) return 10 + i;
    }
    HMODULE dll = ::GetModuleHandleW(L"veltrim.dll");
    if (!dll) return 20;
    auto canUnload = reinterpret_cast<HRESULT(__stdcall*)()>(reinterpret_cast<void*>(::GetProcAddress(dll, "DllCanUnloadNow")));
    {
        ScopedComPtr<IDispatch> alive;
        ::CoCreateInstance(CLSID_cSkinConfiguration, nullptr, CLSCTX_INPROC_SERVER, IID__cSkinConfiguration,
                           reinterpret_cast<void**>(alive.put()));
        if (canUnload() != S_FALSE) return 21;
    }
    if (canUnload() != S_OK) return 22;
    ::CoFreeUnusedLibrariesEx(0, 0);
    std::printf("unloaded %d\n", ::GetModuleHandleW(L"veltrim.dll") == nullptr ? 1 : 0);
    return 0;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        std::printf("closed\n");
        std::fflush(stdout);
        ::PostQuitMessage(0);
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void CALLBACK QuitNow(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    std::printf("quit asked, button %s\n", ::GetAsyncKeyState(VK_LBUTTON) & 0x8000 ? "down" : "up");
    std::fflush(stdout);
    ::PostQuitMessage(7);
}

// quitAfterMs > 0: the program asks to quit after that time, wherever its thread is then.
int Window(int quitAfterMs) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &FrameProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"VeltrimFrameTool";
    wc.style = CS_DBLCLKS;
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(0, L"VeltrimFrameTool", L"Veltrim frame", WS_OVERLAPPEDWINDOW, 200, 150, 400, 300,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    px::test::TestModifier modifier(hwnd);
    // Reported as it happens: a menu or move loop may hold the thread for a while.
    modifier.onEvent = [](const std::string& what) {
        std::printf("%s\n", what.c_str());
        std::fflush(stdout);
    };
    ScopedComPtr<_cNCCalcSize> manager;
    HRESULT hr = ::CoCreateInstance(CLSID_cNCCalcSize, nullptr, CLSCTX_INPROC_SERVER, IID__cNCCalcSize,
                                    reinterpret_cast<void**>(manager.put()));
    if (FAILED(hr)) return 2;
    if (FAILED(manager->Attach(&modifier))) return 3;
    ::ShowWindow(hwnd, SW_SHOW);
    manager->Display(nullptr);
    ::SetForegroundWindow(hwnd);
    std::printf("ready %llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
    std::fflush(stdout);

    if (quitAfterMs > 0) ::SetTimer(nullptr, 0, static_cast<UINT>(quitAfterMs), &QuitNow);
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
    if (m.message == WM_QUIT) {
        std::printf("quit %d\n", static_cast<int>(m.wParam));
        std::fflush(stdout);
    }
    manager->Detach();
    return 0;
}


int g_clientPaints = 0;

LRESULT CALLBACK BenchProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) ++g_clientPaints;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

HWND BenchWindow(const wchar_t* title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &BenchProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"VeltrimFrameBench";
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, L"VeltrimFrameBench", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 3800, 600,
                             nullptr, nullptr, wc.hInstance, nullptr);
}

void Pump() {
    MSG m;
    while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
}

// One resize step between about 3800 and 3880 pixels wide, painted at once; milliseconds.
double ResizeStep(HWND hwnd, int i) {
    int width = 3800 + (i % 2 ? 80 : 0) + i % 7;
    auto t0 = std::chrono::steady_clock::now();
    ::SetWindowPos(hwnd, nullptr, 0, 0, width, 600 + i % 5, SWP_NOMOVE | SWP_NOZORDER);
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

void Report(const char* name, std::vector<double> steps) {
    std::sort(steps.begin(), steps.end());
    std::printf("%s: median %.3f ms, p90 %.3f ms, max %.3f ms\n", name, steps[steps.size() / 2],
                steps[steps.size() * 9 / 10], steps.back());
}

double HitTestMicroseconds(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    const int n = 20000;
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i)
        ::SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + (i * 37) % 3800, r.top + (i * 13) % 200));
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count() / n;
}

int Bench() {
    HWND system = BenchWindow(L"System frame");
    HWND managed = BenchWindow(L"Managed frame");
    px::test::TestModifier modifier(managed);
    ScopedComPtr<_cNCCalcSize> manager;
    if (FAILED(::CoCreateInstance(CLSID_cNCCalcSize, nullptr, CLSCTX_INPROC_SERVER, IID__cNCCalcSize,
                                  reinterpret_cast<void**>(manager.put()))) ||
        FAILED(manager->Attach(&modifier)))
        return 2;
    manager->Display(nullptr);
    Pump();
    // Steps alternate between the two windows, so a busy machine slows both alike.
    std::vector<double> systemSteps, managedSteps;
    for (int i = 0; i < 200; ++i) {
        systemSteps.push_back(ResizeStep(system, i));
        managedSteps.push_back(ResizeStep(managed, i));
    }
    Report("system frame", systemSteps);
    Report("managed frame", managedSteps);
    std::printf("hit test: system %.2f us, managed %.2f us\n", HitTestMicroseconds(system),
                HitTestMicroseconds(managed));
    int paintsBefore = modifier.paints, clientBefore = g_clientPaints;
    RECT r{};
    ::GetWindowRect(managed, &r);
    for (int i = 0; i < 50; ++i) {
        ::SetCursorPos(r.left + 100 + i * 10, r.top + 20);
        Pump();
    }
    std::printf("during 50 pointer moves over the caption: %d frame paints, %d client paints\n",
                modifier.paints - paintsBefore, g_clientPaints - clientBefore);
    manager->Detach();
    ::DestroyWindow(managed);
    ::DestroyWindow(system);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    px::win::ScopedOle ole;
    if (argc > 1 && std::wcscmp(argv[1], L"classes") == 0) return Classes();
    if (argc > 1 && std::wcscmp(argv[1], L"window") == 0) return Window(argc > 2 ? _wtoi(argv[2]) : 0);
    if (argc > 1 && std::wcscmp(argv[1], L"bench") == 0) return Bench();
    std::fprintf(stderr, "usage: frametool classes|window|bench\n");
    return 1;
}
