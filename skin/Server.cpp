#include "skin/Server.h"

#include <oleauto.h>

#include <string>

#include "skin/ComObject.h"
#include "skin/cNCCalcSize.h"
#include "skin/cNeoCaption.h"
#include "skin/cSkinConfiguration.h"

namespace veltrim {

namespace {

struct CreatableClass {
    const CLSID& clsid;
    const wchar_t* progId;
    const wchar_t* name;
    IClassFactory* factory;
};

ClassFactory<cNCCalcSize> g_calcSizeFactory;
ClassFactory<cNeoCaption> g_captionFactory;
ClassFactory<cSkinConfiguration> g_skinFactory;

const CreatableClass kClasses[] = {
    {CLSID_cNeoCaption, L"veltrim.cNeoCaption", L"cNeoCaption", &g_captionFactory},
    {CLSID_cSkinConfiguration, L"veltrim.cSkinConfiguration", L"cSkinConfiguration", &g_skinFactory},
    {CLSID_cNCCalcSize, L"veltrim.cNCCalcSize", L"cNCCalcSize", &g_calcSizeFactory},
};

std::wstring GuidText(const GUID& g) {
    wchar_t text[64] = {};
    ::StringFromGUID2(g, text, 64);
    return text;
}

bool SetValue(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG r = ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const auto& c : kClasses)
        if (c.clsid == clsid) return c.factory->QueryInterface(iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT RegisterServer() {
    const std::wstring path = ModulePath();
    const std::wstring lib = GuidText(LIBID_orixNCSizeModifier6);
    for (const auto& c : kClasses) {
        const std::wstring clsid = GuidText(c.clsid);
        const std::wstring key = L"CLSID\\" + clsid;
        bool ok = SetValue(HKEY_CLASSES_ROOT, key, nullptr, c.name) &&
                  SetValue(HKEY_CLASSES_ROOT, key + L"\\InprocServer32", nullptr, path) &&
                  SetValue(HKEY_CLASSES_ROOT, key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
                  SetValue(HKEY_CLASSES_ROOT, key + L"\\ProgID", nullptr, c.progId) &&
                  SetValue(HKEY_CLASSES_ROOT, key + L"\\TypeLib", nullptr, lib) &&
                  SetValue(HKEY_CLASSES_ROOT, key + L"\\VERSION", nullptr, L"1.1") &&
                  SetValue(HKEY_CLASSES_ROOT, c.progId, nullptr, c.name) &&
                  SetValue(HKEY_CLASSES_ROOT, std::wstring(c.progId) + L"\\CLSID", nullptr, clsid);
        if (!ok) {
            UnregisterServer();
            return SELFREG_E_CLASS;
        }
    }
    px::win::ScopedComPtr<ITypeLib> typeLib;
    HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, typeLib.put());
    if (FAILED(hr)) {
        UnregisterServer();
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

HRESULT UnregisterServer() {
    for (const auto& c : kClasses) {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(c.clsid)).c_str());
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, c.progId);
    }
    // Also removes the interfaces the library registered.
    ::UnRegisterTypeLib(LIBID_orixNCSizeModifier6, 1, 1, 0x409, SYS_WIN64);
    return S_OK;
}

}  // namespace veltrim
