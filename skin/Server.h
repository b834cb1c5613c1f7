#pragma once
// The server's entry points, behind the four exports of veltrim.dll:
// class objects of the three creatable classes, and registration of the
// classes, their program identifiers and the type library under
// HKEY_CLASSES_ROOT (for script clients; the program activates the classes
// through its manifest and writes no key).
#include <windows.h>

namespace veltrim {

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);
HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace veltrim
