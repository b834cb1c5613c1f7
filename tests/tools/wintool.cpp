// A console tool the end-to-end tests run under Wine to look into the program
// from outside: find windows, read their texts and states, read the clipboard,
// count GDI objects. One command per run; results on stdout, one per line.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/win/ScopedWin.h"
#include "base/win/Window.h"
#include "tests/win/support/GdiCount.h"

namespace {

using px::win::Narrow;

HWND ParseHwnd(const wchar_t* s) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(wcstoull(s, nullptr, 0))); }

std::string WindowText(HWND h) { return Narrow(px::win::GetWindowTextString(h)); }

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
                        ClassName(h).c_str(), WindowText(h).c_str(), r.left, r.top, r.right, r.bottom);
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: wintool find|windows|children|rect|message|clipboard|gdi|foreground ...\n");
        return 2;
    }
    std::wstring cmd = argv[1];
    if (cmd == L"find") return CmdFind(argc, argv);
    if (cmd == L"windows") return CmdWindows(argc, argv);
    if (cmd == L"children") return CmdChildren(argc, argv);
    if (cmd == L"rect") return CmdRect(argc, argv);
    if (cmd == L"message") return CmdMessage(argc, argv);
    if (cmd == L"clipboard") return CmdClipboard(argc, argv);
    if (cmd == L"gdi") return CmdGdi(argc, argv);
    if (cmd == L"foreground") return CmdForeground(argc, argv);
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
