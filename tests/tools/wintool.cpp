// A console tool the end-to-end tests run under Wine to look into the program
// from outside: find windows, read their texts and states, read the clipboard,
// count GDI objects. One command per run; results on stdout, one per line.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/win/ScopedWin.h"
#include "base/Text.h"
#include "base/win/Window.h"
#include "tests/win/support/GdiCount.h"
#include "tests/tools/wintool_screen.h"

namespace {

using px::Narrow;

HWND ParseHwnd(const wchar_t* s) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(wcstoull(s, nullptr, 0))); }

std::string WindowText(HWND h) { return Narrow(px::win::GetWindowTextString(h)); }

// One output line per window: line breaks inside a text (message boxes) are written as "\n".
std::string OneLine(std::string s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
        if (s[i] == '\r' || s[i] == '\n')
            out += "\\n";
        else
            out += s[i];
    }
    return out;
}

std::string ClassName(HWND h) {
    wchar_t cls[256] = L"";
    ::GetClassNameW(h, cls, 256);
    return Narrow(cls);
}

// find <exact title> [pid]: handle, visible, pid and class of every top-level window with that title.
int CmdFind(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    struct Ctx {
        std::wstring title;
        DWORD pid;
        int found;
    } ctx{argv[2], argc > 3 ? static_cast<DWORD>(wcstoul(argv[3], nullptr, 0)) : 0, 0};
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(h, &pid);
            if ((c->pid == 0 || c->pid == pid) && px::win::GetWindowTextString(h) == c->title) {
                std::printf("%llu\t%d\t%lu\t%s\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)),
                            ::IsWindowVisible(h) ? 1 : 0, pid, ClassName(h).c_str());
                ++c->found;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found ? 0 : 1;
}

// windows <pid>: every top-level window of the process: handle, visible, class, title.
int CmdWindows(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    DWORD want = static_cast<DWORD>(wcstoul(argv[2], nullptr, 0));
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(h, &pid);
            if (pid == static_cast<DWORD>(lp))
                std::printf("%llu\t%d\t%s\t%s\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)),
                            ::IsWindowVisible(h) ? 1 : 0, ClassName(h).c_str(), WindowText(h).c_str());
            return TRUE;
        },
        static_cast<LPARAM>(want));
    return 0;
}

// children <hwnd>: handle, id, visible, enabled, checked, class, text, rect (screen) of every child.
int CmdChildren(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    ::EnumChildWindows(
        ParseHwnd(argv[2]),
        [](HWND h, LPARAM) -> BOOL {
            RECT r{};
            ::GetWindowRect(h, &r);
            LRESULT check = ::SendMessageW(h, BM_GETCHECK, 0, 0);
            std::printf("%llu\t%d\t%d\t%d\t%d\t%s\t%s\t%ld,%ld,%ld,%ld\n",
                        static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)), ::GetDlgCtrlID(h),
                        ::IsWindowVisible(h) ? 1 : 0, ::IsWindowEnabled(h) ? 1 : 0, static_cast<int>(check),
                        ClassName(h).c_str(), OneLine(WindowText(h)).c_str(), r.left, r.top, r.right, r.bottom);
            return TRUE;
        },
        0);
    return 0;
}

// rect <hwnd>: window rectangle and client origin in screen coordinates.
int CmdRect(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    HWND h = ParseHwnd(argv[2]);
    RECT r{};
    if (!::GetWindowRect(h, &r)) return 1;
    POINT o{0, 0};
    ::ClientToScreen(h, &o);
    std::printf("%ld %ld %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom, o.x, o.y);
    return 0;
}

// message <hwnd> <msg> <wparam> <lparam>: sends a message and prints the result.
int CmdMessage(int argc, wchar_t** argv) {
    if (argc < 6) return 2;
    LRESULT r = ::SendMessageW(ParseHwnd(argv[2]), static_cast<UINT>(wcstoul(argv[3], nullptr, 0)),
                               static_cast<WPARAM>(wcstoull(argv[4], nullptr, 0)),
                               static_cast<LPARAM>(wcstoll(argv[5], nullptr, 0)));
    std::printf("%lld\n", static_cast<long long>(r));
    return 0;
}

// post <hwnd> <msg> <wparam> <lparam>: posts a message (for windows whose thread is busy in a
// modal loop, such as an open menu, which reads posted keys from its queue).
int CmdPost(int argc, wchar_t** argv) {
    if (argc < 6) return 2;
    const HWND window = ParseHwnd(argv[2]);
    if (::PostMessageW(window, static_cast<UINT>(wcstoul(argv[3], nullptr, 0)),
                       static_cast<WPARAM>(wcstoull(argv[4], nullptr, 0)), static_cast<LPARAM>(wcstoll(argv[5], nullptr, 0))))
        return 0;
    // What the caller needs to tell a gone window from a refused message.
    const DWORD error = ::GetLastError();
    DWORD pid = 0;
    const DWORD tid = ::GetWindowThreadProcessId(window, &pid);
    std::fprintf(stderr, "PostMessageW failed: error %lu; window %s, thread %lu of process %lu, %s\n", error,
                 ::IsWindow(window) ? "alive" : "gone", tid, pid, ::IsHungAppWindow(window) ? "not responding" : "responding");
    return 1;
}

// settext <hwnd> <text>: sets a window's text (WM_SETTEXT, which the platform carries across processes).
int CmdSetText(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    LRESULT ok = ::SendMessageW(ParseHwnd(argv[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    return ok ? 0 : 1;
}

// gettext <hwnd>: a control's text through WM_GETTEXT (GetWindowText does not read the
// controls of another process).
int CmdGetText(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    wchar_t text[1024] = L"";
    ::SendMessageW(ParseHwnd(argv[2]), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    std::printf("%s\n", Narrow(text).c_str());
    return 0;
}

// The colour of pixel (x, y) of the pattern window, as the tests compute it too.
COLORREF PatternColour(int x, int y) { return RGB((x * 7 + 20) & 0xFF, (y * 5 + 40) & 0xFF, ((x + y) * 3) & 0xFF); }

// pattern <x> <y> <w> <h> <seconds>: shows a window painted with a known pattern at a fixed
// place (no frame), prints its handle and keeps it up until it is closed or the time is over.
int CmdPattern(int argc, wchar_t** argv) {
    if (argc < 7) return 2;
    const int x = _wtoi(argv[2]), y = _wtoi(argv[3]), w = _wtoi(argv[4]), h = _wtoi(argv[5]);
    const DWORD ms = static_cast<DWORD>(_wtoi(argv[6])) * 1000;
    static std::vector<uint32_t> pixels;
    pixels.assign(static_cast<size_t>(w) * h, 0);
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            COLORREF c = PatternColour(px, py);
            pixels[static_cast<size_t>(py) * w + px] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    static BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd, &ps);
            ::SetDIBitsToDevice(dc, 0, 0, bi.bmiHeader.biWidth, -bi.bmiHeader.biHeight, 0, 0, 0,
                                -bi.bmiHeader.biHeight, pixels.data(), &bi, DIB_RGB_COLORS);
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        if (msg == WM_DESTROY) ::PostQuitMessage(0);
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    };
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"PxPatternFixture";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"Pattern fixture", WS_POPUP | WS_VISIBLE, x, y, w, h,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return 1;
    ::UpdateWindow(hwnd);
    std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
    std::fflush(stdout);
    ::SetTimer(hwnd, 1, ms ? ms : 60000, [](HWND h, UINT, UINT_PTR, DWORD) { ::DestroyWindow(h); });
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

// toplevel: every top-level window of every process: handle, visible, pid, class, title, rect.
int CmdTopLevel(int, wchar_t**) {
    ::EnumWindows(
        [](HWND h, LPARAM) -> BOOL {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(h, &pid);
            RECT r{};
            ::GetWindowRect(h, &r);
            std::printf("%llu\t%d\t%lu\t%s\t%s\t%ld,%ld,%ld,%ld\n",
                        static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)), ::IsWindowVisible(h) ? 1 : 0,
                        pid, ClassName(h).c_str(), OneLine(WindowText(h)).c_str(), r.left, r.top, r.right, r.bottom);
            return TRUE;
        },
        0);
    return 0;
}

// clipboard <out.bmp>: writes the clipboard's CF_DIB as a bitmap file; prints "none" when absent.
int CmdClipboard(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    if (!::OpenClipboard(nullptr)) return 1;
    int rc = 1;
    if (HANDLE h = ::GetClipboardData(CF_DIB)) {
        auto* bih = static_cast<BITMAPINFOHEADER*>(::GlobalLock(h));
        SIZE_T size = ::GlobalSize(h);
        if (bih && size >= sizeof(BITMAPINFOHEADER)) {
            DWORD colours = bih->biClrUsed ? bih->biClrUsed : (bih->biBitCount <= 8 ? 1u << bih->biBitCount : 0);
            DWORD masks = bih->biCompression == BI_BITFIELDS && bih->biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
            BITMAPFILEHEADER bf{};
            bf.bfType = 0x4D42;
            bf.bfSize = static_cast<DWORD>(sizeof(bf) + size);
            bf.bfOffBits = static_cast<DWORD>(sizeof(bf) + bih->biSize + masks + colours * 4);
            if (FILE* f = _wfopen(argv[2], L"wb")) {
                std::fwrite(&bf, sizeof(bf), 1, f);
                std::fwrite(bih, 1, size, f);
                std::fclose(f);
                std::printf("%ld %ld %d\n", bih->biWidth, bih->biHeight, bih->biBitCount);
                rc = 0;
            }
        }
        ::GlobalUnlock(h);
    } else {
        std::printf("none\n");
    }
    ::CloseClipboard();
    return rc;
}

// clipformats: every format on the clipboard, one per line: number and name.
int CmdClipFormats(int, wchar_t**) {
    if (!::OpenClipboard(nullptr)) return 1;
    for (UINT f = ::EnumClipboardFormats(0); f; f = ::EnumClipboardFormats(f)) {
        wchar_t name[128] = L"";
        switch (f) {
        case CF_BITMAP: std::wcscpy(name, L"CF_BITMAP"); break;
        case CF_DIB: std::wcscpy(name, L"CF_DIB"); break;
        case CF_DIBV5: std::wcscpy(name, L"CF_DIBV5"); break;
        default:
            if (!::GetClipboardFormatNameW(f, name, 128)) std::swprintf(name, 128, L"#%u", f);
        }
        std::printf("%u\t%s\n", f, Narrow(name).c_str());
    }
    ::CloseClipboard();
    return 0;
}

// clipdata <format number|name> <out> [bmp]: the format's bytes as they are; with "bmp", a
// device-independent bitmap gets the file header that makes it a bitmap file.
int CmdClipData(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    UINT format = static_cast<UINT>(wcstoul(argv[2], nullptr, 0));
    if (!format) format = ::RegisterClipboardFormatW(argv[2]);
    const bool asBitmapFile = argc > 4 && std::wstring(argv[4]) == L"bmp";
    if (!::OpenClipboard(nullptr)) return 1;
    int rc = 1;
    if (HANDLE h = ::GetClipboardData(format)) {
        const auto* bytes = static_cast<const uint8_t*>(::GlobalLock(h));
        const SIZE_T size = ::GlobalSize(h);
        if (bytes && size) {
            if (FILE* f = _wfopen(argv[3], L"wb")) {
                if (asBitmapFile && size >= sizeof(BITMAPINFOHEADER)) {
                    const auto* bih = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
                    DWORD colours = bih->biClrUsed ? bih->biClrUsed : (bih->biBitCount <= 8 ? 1u << bih->biBitCount : 0);
                    DWORD masks = bih->biCompression == BI_BITFIELDS && bih->biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
                    BITMAPFILEHEADER bf{};
                    bf.bfType = 0x4D42;
                    bf.bfSize = static_cast<DWORD>(sizeof(bf) + size);
                    bf.bfOffBits = static_cast<DWORD>(sizeof(bf) + bih->biSize + masks + colours * 4);
                    std::fwrite(&bf, sizeof(bf), 1, f);
                }
                std::fwrite(bytes, 1, size, f);
                std::fclose(f);
                std::printf("%llu\n", static_cast<unsigned long long>(size));
                rc = 0;
            }
        }
        ::GlobalUnlock(h);
    } else {
        std::printf("none\n");
    }
    ::CloseClipboard();
    return rc;
}

// hotkey <modifiers> <virtual key> <seconds>: holds the system-wide key for this thread (as another
// program would) and prints "held", or prints "taken" when someone has it; ends after `seconds` or
// when it is ended by its pid.
int CmdHotkey(int argc, wchar_t** argv) {
    if (argc < 5) return 2;
    const UINT modifiers = static_cast<UINT>(wcstoul(argv[2], nullptr, 0));
    const UINT vk = static_cast<UINT>(wcstoul(argv[3], nullptr, 0));
    const DWORD ms = static_cast<DWORD>(wcstoul(argv[4], nullptr, 0)) * 1000;
    if (!::RegisterHotKey(nullptr, 1, modifiers, vk)) {
        std::printf("taken\n");
        std::fflush(stdout);
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    const DWORD start = ::GetTickCount();
    for (DWORD now = start; now - start < ms; now = ::GetTickCount()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - (now - start), QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_HOTKEY) {
                std::printf("pressed\n");
                std::fflush(stdout);
            }
            ::DispatchMessageW(&msg);
        }
    }
    ::UnregisterHotKey(nullptr, 1);
    return 0;
}

// gdi <pid>: live GDI objects of the process.
int CmdGdi(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    DWORD pid = static_cast<DWORD>(wcstoul(argv[2], nullptr, 0));
    px::win::ScopedHandle p(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!p) return 1;
    std::printf("%ld %ld\n", px::test::GdiObjectCount(p.get()), px::test::UserObjectCount(p.get()));
    return 0;
}

// foreground: the foreground window's handle and title.
int CmdForeground(int, wchar_t**) {
    HWND h = ::GetForegroundWindow();
    std::printf("%llu\t%s\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)), WindowText(h).c_str());
    return 0;
}

// Windows of the process: every top-level window and all their descendants.
BOOL CALLBACK CountChild(HWND, LPARAM counter) {
    ++*reinterpret_cast<long*>(counter);
    return TRUE;
}

struct ProcessWindows {
    DWORD pid;
    long count;
};

BOOL CALLBACK CountTop(HWND h, LPARAM param) {
    auto* p = reinterpret_cast<ProcessWindows*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(h, &owner);
    if (owner == p->pid) {
        ++p->count;
        ::EnumChildWindows(h, CountChild, reinterpret_cast<LPARAM>(&p->count));
    }
    return TRUE;
}

// proc <pid>: "<gdi objects> <windows> <private bytes>" of the process.
int CmdProc(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    DWORD pid = static_cast<DWORD>(wcstoul(argv[2], nullptr, 0));
    px::win::ScopedHandle p(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!p) return 1;
    ProcessWindows wins{pid, 0};
    ::EnumWindows(CountTop, reinterpret_cast<LPARAM>(&wins));
    // Message-only windows are not top-level windows: count them beneath their own parent.
    for (HWND h = nullptr; (h = ::FindWindowExW(HWND_MESSAGE, h, nullptr, nullptr)) != nullptr;)
        CountTop(h, reinterpret_cast<LPARAM>(&wins));
    PROCESS_MEMORY_COUNTERS_EX mem{};
    mem.cb = sizeof(mem);
    if (!::GetProcessMemoryInfo(p.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof(mem))) return 1;
    // Wine leaves PrivateUsage at 0; its commit charge is then in PagefileUsage.
    const SIZE_T privateBytes = mem.PrivateUsage ? mem.PrivateUsage : mem.PagefileUsage;
    std::printf("%ld %ld %llu\n", px::test::GdiObjectCount(p.get()), wins.count,
                static_cast<unsigned long long>(privateBytes));
    if (argc > 3)  // "proc <pid> all": every counter, to see what the platform fills in
        std::printf("working set %llu, pagefile %llu, private %llu\n",
                    static_cast<unsigned long long>(mem.WorkingSetSize),
                    static_cast<unsigned long long>(mem.PagefileUsage),
                    static_cast<unsigned long long>(mem.PrivateUsage));
    return 0;
}

// This process's commit charge, as "proc" reads it for another process.
unsigned long long OwnPrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX mem{};
    mem.cb = sizeof(mem);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof(mem));
    return mem.PrivateUsage ? mem.PrivateUsage : mem.PagefileUsage;
}

// Runs this thread's messages until none has come for `quietMs` (the help window loads its page late).
void PumpUntilQuiet(DWORD quietMs) {
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, quietMs, QS_ALLINPUT) == WAIT_TIMEOUT) return;
    }
}

// helprepeat <chm> <topic id> <count>: the platform's HtmlHelpW alone, asked `count` times for one topic
// (as the program's Help command asks it); prints this process's private bytes every 10 calls. Tells the
// platform's growth from ours.
int CmdHelpRepeat(int argc, wchar_t** argv) {
    if (argc < 5) return 2;
    using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    HMODULE hhctrl = ::LoadLibraryW(L"hhctrl.ocx");
    auto help = hhctrl ? reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void*>(::GetProcAddress(hhctrl, "HtmlHelpW")))
                       : nullptr;
    if (!help) return 1;
    constexpr UINT kHelpContext = 0x000F;  // HH_HELP_CONTEXT
    const DWORD_PTR topic = wcstoul(argv[3], nullptr, 0);
    const int count = _wtoi(argv[4]);
    std::printf("before %llu\n", OwnPrivateBytes());
    for (int i = 1; i <= count; ++i) {
        if (!help(nullptr, argv[2], kHelpContext, topic)) return 1;
        PumpUntilQuiet(300);
        if (i % 10 == 0) std::printf("after %d calls %llu\n", i, OwnPrivateBytes());
        std::fflush(stdout);
    }
    constexpr UINT kCloseAll = 0x0012;  // HH_CLOSE_ALL
    help(nullptr, nullptr, kCloseAll, 0);
    return 0;
}

// Waits until the parent closes our standard input (or `seconds` pass): the
// test ends a holder by closing its input, never by a timeout.
void WaitForRelease(DWORD seconds) {
    std::printf("ready\n");
    std::fflush(stdout);
    const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    char c;
    DWORD n = 0;
    const ULONGLONG end = ::GetTickCount64() + seconds * 1000ull;
    while (::GetTickCount64() < end && ::ReadFile(in, &c, 1, &n, nullptr) && n > 0) {
    }
}

// owner <hwnd>: the window's owner (0 for none).
int CmdOwner(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    HWND owner = ::GetWindow(ParseHwnd(argv[2]), GW_OWNER);
    std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(owner)));
    return 0;
}

// holdclip <seconds>: keeps the clipboard open until released.
int CmdHoldClipboard(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"clipboard holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                   nullptr);
    if (!::OpenClipboard(owner)) return 1;
    WaitForRelease(static_cast<DWORD>(wcstoul(argv[2], nullptr, 0)));
    ::CloseClipboard();
    ::DestroyWindow(owner);
    return 0;
}

// lock <path> <seconds>: holds the file open with no sharing until released.
int CmdLock(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    px::win::ScopedHandle f(::CreateFileW(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (f.get() == INVALID_HANDLE_VALUE) {
        f.release();
        return 1;
    }
    WaitForRelease(static_cast<DWORD>(wcstoul(argv[3], nullptr, 0)));
    return 0;
}

}  // namespace

// crash: reads through a null pointer, as a faulty program would; the test prefix must end it at once.
int CmdCrash() {
    std::printf("crashing\n");
    std::fflush(stdout);
    int* volatile nowhere = nullptr;  // the compiler cannot know it is null
    return *nowhere;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: wintool find|windows|children|rect|message|post|settext|gettext|toplevel|pattern|clipboard|clipformats|clipdata|hotkey|gdi|foreground|proc|owner|holdclip|lock|monitors|label|helprepeat|crash ...\n");
        return 2;
    }
    std::wstring cmd = argv[1];
    if (cmd == L"find") return CmdFind(argc, argv);
    if (cmd == L"windows") return CmdWindows(argc, argv);
    if (cmd == L"children") return CmdChildren(argc, argv);
    if (cmd == L"rect") return CmdRect(argc, argv);
    if (cmd == L"message") return CmdMessage(argc, argv);
    if (cmd == L"clipboard") return CmdClipboard(argc, argv);
    if (cmd == L"post") return CmdPost(argc, argv);
    if (cmd == L"toplevel") return CmdTopLevel(argc, argv);
    if (cmd == L"settext") return CmdSetText(argc, argv);
    if (cmd == L"gettext") return CmdGetText(argc, argv);
    if (cmd == L"pattern") return CmdPattern(argc, argv);
    if (cmd == L"gdi") return CmdGdi(argc, argv);
    if (cmd == L"foreground") return CmdForeground(argc, argv);
    if (cmd == L"proc") return CmdProc(argc, argv);
    if (cmd == L"owner") return CmdOwner(argc, argv);
    if (cmd == L"holdclip") return CmdHoldClipboard(argc, argv);
    if (cmd == L"lock") return CmdLock(argc, argv);
    if (cmd == L"clipformats") return CmdClipFormats(argc, argv);
    if (cmd == L"clipdata") return CmdClipData(argc, argv);
    if (cmd == L"hotkey") return CmdHotkey(argc, argv);
    if (cmd == L"monitors") return wintool::CmdMonitors(argc, argv);
    if (cmd == L"label") return wintool::CmdLabel(argc, argv);
    if (cmd == L"helprepeat") return CmdHelpRepeat(argc, argv);
    if (cmd == L"crash") return CmdCrash();
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
