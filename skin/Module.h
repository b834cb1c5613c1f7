#pragma once
// The server module: its own handle (never the process's), the count of live
// objects and server locks that DllCanUnloadNow answers from, and the type
// library embedded as resource 1 of this DLL.
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "base/win/ScopedWin.h"

namespace veltrim {

HMODULE ModuleHandle();
std::wstring ModulePath();

// Every COM object of the server counts itself alive from construction to destruction.
void ObjectCreated();
void ObjectDestroyed();
long LiveObjects();
void LockServer(bool lock);
bool CanUnload();

// The type information of one interface or class of the embedded library.
px::win::ScopedComPtr<ITypeInfo> LoadTypeInfo(REFGUID guid);

// Window and device-context handles cross the type library as 32-bit values;
// the platform keeps them sign-extendable, so the round trip is exact.
template <typename H>
H HandleFrom(long value) {
    return reinterpret_cast<H>(static_cast<LONG_PTR>(value));
}
template <typename H>
long HandleTo(H handle) {
    return static_cast<long>(reinterpret_cast<LONG_PTR>(handle));
}

}  // namespace veltrim
