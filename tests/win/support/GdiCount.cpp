#include "tests/win/support/GdiCount.h"

#include <winternl.h>

#include <vector>

namespace px::test {

namespace {

// One entry of Wine's 64-bit shared GDI handle table (dlls/win32u: GDI_HANDLE_ENTRY).
struct GdiHandleEntry {
    ULONG64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;  // 0 means the slot is free
    UCHAR flags;
    ULONG64 userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr size_t kGdiMaxHandleCount = 0x10000;
constexpr size_t kPebGdiSharedHandleTable = 0xF8;

using NtQueryInformationProcessFn = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

long CountFromHandleTable(HANDLE process) {
    auto query = reinterpret_cast<NtQueryInformationProcessFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (!query) return -1;
    PROCESS_BASIC_INFORMATION pbi{};
    if (query(process, ProcessBasicInformation, &pbi, sizeof(pbi), nullptr) != 0 || !pbi.PebBaseAddress) return -1;
    ULONG64 table = 0;
    SIZE_T got = 0;
    auto* tableField = reinterpret_cast<const BYTE*>(pbi.PebBaseAddress) + kPebGdiSharedHandleTable;
    if (!::ReadProcessMemory(process, tableField, &table, sizeof(table), &got) || got != sizeof(table) || !table)
        return -1;
    std::vector<GdiHandleEntry> entries(kGdiMaxHandleCount);
    if (!::ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                             entries.size() * sizeof(GdiHandleEntry), &got))
        return -1;
    long live = 0;
    for (size_t i = 0; i < got / sizeof(GdiHandleEntry); ++i)
        if (entries[i].type != 0) ++live;
    return live;
}

}  // namespace

long GdiObjectCount(HANDLE process) {
    DWORD n = ::GetGuiResources(process, GR_GDIOBJECTS);
    if (n != 0) return static_cast<long>(n);
    return CountFromHandleTable(process);
}

long GdiObjectCount() { return GdiObjectCount(::GetCurrentProcess()); }

long UserObjectCount(HANDLE process) {
    DWORD n = ::GetGuiResources(process, GR_USEROBJECTS);
    return n != 0 ? static_cast<long>(n) : -1;
}

size_t WindowCountOfThisProcess() {
    struct Ctx {
        DWORD pid;
        size_t count;
    } ctx{::GetCurrentProcessId(), 0};
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(h, &pid);
            if (pid == c->pid) {
                ++c->count;
                ::EnumChildWindows(
                    h, [](HWND, LPARAM lp2) -> BOOL { ++reinterpret_cast<Ctx*>(lp2)->count; return TRUE; }, lp);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.count;
}

}  // namespace px::test
