#include "skin/Module.h"

#include <atomic>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace veltrim {

namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
}  // namespace

HMODULE ModuleHandle() { return reinterpret_cast<HMODULE>(&__ImageBase); }

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(ModuleHandle(), path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void ObjectCreated() { ++g_objects; }
void ObjectDestroyed() { --g_objects; }
long LiveObjects() { return g_objects.load(); }
void LockServer(bool lock) {
    if (lock) ++g_locks;
    else --g_locks;
}
bool CanUnload() { return g_objects.load() == 0 && g_locks.load() == 0; }

px::win::ScopedComPtr<ITypeInfo> LoadTypeInfo(REFGUID guid) {
    px::win::ScopedComPtr<ITypeLib> lib;
    px::win::ScopedComPtr<ITypeInfo> info;
    if (SUCCEEDED(::LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, lib.put())))
        lib->GetTypeInfoOfGuid(guid, info.put());
    return info;
}

}  // namespace veltrim
