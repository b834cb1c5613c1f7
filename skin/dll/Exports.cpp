// The four exports of veltrim.dll (named in veltrim.def).
#include <windows.h>

#include "skin/Module.h"
#include "skin/Server.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(instance);
    return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return veltrim::GetClassObject(clsid, iid, out);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return veltrim::CanUnload() ? S_OK : S_FALSE; }

extern "C" HRESULT __stdcall DllRegisterServer() { return veltrim::RegisterServer(); }

extern "C" HRESULT __stdcall DllUnregisterServer() { return veltrim::UnregisterServer(); }
