// veltrim.dll called late-bound, as a script calls it, with bad arguments:
// every member of every interface a script can reach, walked through the type
// library, with null objects, a destroyed window's handle, negative, zero and
// huge sizes, a memory DC with sizes far beyond its bitmap, NaN and huge
// floats, null, huge and hostile strings. Each call must come back (never a
// crash) with success, the library's error 0x80040619 or a standard COM
// error, and the whole sweep must leave no GDI objects behind.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "base/Text.h"
#include "base/win/ScopedWin.h"
#include "skin/veltrim_h.h"
#include "tests/win/support/GdiCount.h"

using px::win::ScopedComPtr;

namespace {

using GetClassObjectFn = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);

constexpr HRESULT kLibraryError = static_cast<HRESULT>(0x80040619u);

// What a script may see: the library's error or one of the platform's own.
bool IsAcceptableFailure(HRESULT hr) {
    if (hr == kLibraryError) return true;
    switch (HRESULT_FACILITY(hr)) {
    case FACILITY_NULL:      // E_INVALIDARG, E_POINTER, E_FAIL, E_OUTOFMEMORY, E_NOTIMPL ...
    case FACILITY_DISPATCH:  // DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW ...
    case FACILITY_WIN32:
    case FACILITY_CONTROL:   // CTL_E_INVALIDPROPERTYVALUE and friends
        return true;
    default: return false;
    }
}

// The bad values, taken in turn by each argument of a call (each argument a
// different one in the same call, so that combinations mix).
struct BadValues {
    std::vector<LONG> longs;
    std::vector<float> floats{std::numeric_limits<float>::quiet_NaN(), -1e30f, 1e30f, -1.0f, 0.0f};
    std::vector<std::wstring> strings{L"", L"<NeoCaptionSkin", std::wstring(1 << 20, L'A'),
                                      L"<!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><NeoCaptionSkin>&e;"
                                      L"</NeoCaptionSkin>"};
};

class ScriptBadArguments : public ::testing::Test {
protected:
    void SetUp() override {
        dll_.reset(::LoadLibraryW(L"veltrim.dll"));
        ASSERT_TRUE(dll_);
        getClassObject_ = reinterpret_cast<GetClassObjectFn>(
            reinterpret_cast<void*>(::GetProcAddress(dll_.get(), "DllGetClassObject")));
        ASSERT_TRUE(getClassObject_);
        // A window that no longer exists, and a memory DC holding an 8 x 8 bitmap.
        HWND dead = ::CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                      nullptr);
        ::DestroyWindow(dead);
        deadWindow_ = static_cast<LONG>(reinterpret_cast<intptr_t>(dead));
        px::win::ScopedGetDC screen(nullptr);
        memDC_.reset(::CreateCompatibleDC(screen));
        bitmap_.reset(::CreateCompatibleBitmap(screen, 8, 8));
        select_.emplace(memDC_.get(), bitmap_.get());
        values_.longs = {0, -1, -5000, INT_MIN, INT_MAX, 1 << 20, deadWindow_,
                         static_cast<LONG>(reinterpret_cast<intptr_t>(memDC_.get()))};
    }
    void TearDown() override {
        select_.reset();
    }

    ScopedComPtr<IDispatch> Create(REFCLSID clsid, REFIID iid) {
        ScopedComPtr<IClassFactory> factory;
        EXPECT_EQ(getClassObject_(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.put())), S_OK);
        ScopedComPtr<IDispatch> object;
        if (factory) factory->CreateInstance(nullptr, iid, reinterpret_cast<void**>(object.put()));
        return object;
    }

    // Calls every member of `object`'s type information `rounds` times with the bad values.
    void Sweep(IDispatch* object, const char* name);

    px::win::ScopedModule dll_;
    GetClassObjectFn getClassObject_ = nullptr;
    LONG deadWindow_ = 0;
    px::win::AutoDeleteDC memDC_;
    px::win::ScopedBitmap bitmap_;
    std::optional<px::win::ScopedSelectObject> select_;
    BadValues values_;
    int calls_ = 0;
    std::vector<std::string> faults_;
};

// One argument of the given type, holding the round's bad value; `store`
// keeps what a by-reference argument points at.
struct ArgumentStore {
    LONG l = 0;
    float f = 0;
    VARIANT_BOOL b = VARIANT_TRUE;
    BSTR s = nullptr;
    IDispatch* d = nullptr;
    ~ArgumentStore() { ::SysFreeString(s); }
};

bool MakeArgument(const TYPEDESC& type, bool byRef, size_t pick, const BadValues& values, ArgumentStore& store,
                  VARIANT& arg) {
    VARTYPE vt = type.vt;
    if (vt == VT_PTR && type.lptdesc) {  // [in, out] T*, and interface pointers
        const TYPEDESC& inner = *type.lptdesc;
        if (inner.vt == VT_USERDEFINED || inner.vt == VT_PTR) {
            vt = VT_DISPATCH;  // an interface, or an interface pointer's slot: null
        } else {
            return MakeArgument(inner, true, pick, values, store, arg);
        }
    }
    if (vt == VT_USERDEFINED) vt = VT_I4;  // enumerations and OLE_COLOR are longs
    switch (vt) {
    case VT_I4: case VT_UI4: case VT_INT: case VT_I2: case VT_UI1:
        store.l = values.longs[pick % values.longs.size()];
        arg.vt = static_cast<VARTYPE>(VT_I4 | (byRef ? VT_BYREF : 0));
        if (byRef) arg.plVal = &store.l; else arg.lVal = store.l;
        return true;
    case VT_R4: case VT_R8:
        store.f = values.floats[pick % values.floats.size()];
        arg.vt = static_cast<VARTYPE>(VT_R4 | (byRef ? VT_BYREF : 0));
        if (byRef) arg.pfltVal = &store.f; else arg.fltVal = store.f;
        return true;
    case VT_BOOL:
        store.b = pick % 2 ? VARIANT_TRUE : VARIANT_FALSE;
        arg.vt = static_cast<VARTYPE>(VT_BOOL | (byRef ? VT_BYREF : 0));
        if (byRef) arg.pboolVal = &store.b; else arg.boolVal = store.b;
        return true;
    case VT_BSTR:
        store.s = pick % (values.strings.size() + 1) == 0
                      ? nullptr
                      : ::SysAllocString(values.strings[pick % (values.strings.size() + 1) - 1].c_str());
        arg.vt = static_cast<VARTYPE>(VT_BSTR | (byRef ? VT_BYREF : 0));
        if (byRef) arg.pbstrVal = &store.s; else arg.bstrVal = store.s;
        return true;
    case VT_DISPATCH: case VT_UNKNOWN:
        store.d = nullptr;  // a null object
        arg.vt = static_cast<VARTYPE>(VT_DISPATCH | (byRef ? VT_BYREF : 0));
        if (byRef) arg.ppdispVal = &store.d; else arg.pdispVal = nullptr;
        return true;
    case VT_VARIANT:
        arg.vt = VT_NULL;
        return true;
    default: return false;
    }
}

void ScriptBadArguments::Sweep(IDispatch* object, const char* name) {
    ASSERT_TRUE(object) << name;
    ScopedComPtr<ITypeInfo> info;
    ASSERT_EQ(object->GetTypeInfo(0, 0, info.put()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    const WORD functions = attr->cFuncs;
    info->ReleaseTypeAttr(attr);
    constexpr size_t kRounds = 9;
    for (WORD i = 0; i < functions; ++i) {
        FUNCDESC* fd = nullptr;
        if (info->GetFuncDesc(i, &fd) != S_OK) continue;
        BSTR memberName = nullptr;
        UINT got = 0;
        info->GetNames(fd->memid, &memberName, 1, &got);
        const std::string member = memberName ? px::Narrow(memberName) : "?";
        ::SysFreeString(memberName);
        // IUnknown and IDispatch themselves, and getters (no argument to get wrong).
        const bool inherited = (fd->memid & 0x60000000) == 0x60000000;
        const bool getter = fd->invkind == INVOKE_PROPERTYGET && fd->cParams == 0;
        if (inherited || getter || (fd->wFuncFlags & FUNCFLAG_FRESTRICTED)) {
            info->ReleaseFuncDesc(fd);
            continue;
        }
        for (size_t round = 0; round < kRounds; ++round) {
            const size_t n = static_cast<size_t>(fd->cParams);
            std::vector<ArgumentStore> stores(n);
            std::vector<VARIANT> args(n);
            bool made = true;
            for (size_t p = 0; p < n; ++p) {
                ::VariantInit(&args[n - 1 - p]);  // arguments go in reverse order
                const ELEMDESC& e = fd->lprgelemdescParam[p];
                const bool byRef = (e.paramdesc.wParamFlags & PARAMFLAG_FOUT) != 0;
                made = made && MakeArgument(e.tdesc, byRef, round + p, values_, stores[p], args[n - 1 - p]);
            }
            if (!made) {
                faults_.push_back(std::string(name) + "." + member + ": an argument type the sweep cannot make");
                break;
            }
            DISPID put = DISPID_PROPERTYPUT;
            const bool isPut = fd->invkind == INVOKE_PROPERTYPUT || fd->invkind == INVOKE_PROPERTYPUTREF;
            DISPPARAMS params{args.data(), isPut ? &put : nullptr, static_cast<UINT>(n), isPut ? 1u : 0u};
            VARIANT result;
            ::VariantInit(&result);
            EXCEPINFO excep{};
            UINT badArg = 0;
            const HRESULT hr = object->Invoke(fd->memid, IID_NULL, LOCALE_USER_DEFAULT,
                                              static_cast<WORD>(fd->invkind), &params, &result, &excep, &badArg);
            ++calls_;
            const HRESULT seen = hr == DISP_E_EXCEPTION ? excep.scode : hr;
            if (FAILED(seen) && !IsAcceptableFailure(seen)) {
                char text[160];
                std::snprintf(text, sizeof(text), "%s.%s round %zu: 0x%08lX", name, member.c_str(), round,
                              static_cast<unsigned long>(seen));
                faults_.push_back(text);
            }
            ::SysFreeString(excep.bstrSource);
            ::SysFreeString(excep.bstrDescription);
            ::SysFreeString(excep.bstrHelpFile);
            ::VariantClear(&result);
            // A string handed back by reference may be a new one: release what the argument holds now.
            for (size_t p = 0; p < n; ++p)
                if (args[p].vt == (VT_BSTR | VT_BYREF) && *args[p].pbstrVal != stores[n - 1 - p].s)
                    ::SysFreeString(*args[p].pbstrVal);
        }
        info->ReleaseFuncDesc(fd);
    }
}

// One full sweep over fresh objects of every class.
void SweepAll(std::function<void(IDispatch*, const char*)> sweep,
              std::function<ScopedComPtr<IDispatch>(REFCLSID, REFIID)> create) {
    auto neo = create(CLSID_cNeoCaption, IID__cNeoCaption);
    auto skin = create(CLSID_cSkinConfiguration, IID__cSkinConfiguration);
    auto calc = create(CLSID_cNCCalcSize, IID__cNCCalcSize);
    ASSERT_TRUE(neo && skin && calc);
    ScopedComPtr<IDispatch> modifier;
    neo->QueryInterface(IID__INCAreaModifier, reinterpret_cast<void**>(modifier.put()));
    sweep(skin.get(), "cSkinConfiguration");
    sweep(neo.get(), "cNeoCaption");
    sweep(calc.get(), "cNCCalcSize");
    if (modifier) sweep(modifier.get(), "INCAreaModifier");

    // The configuration still stores a text that a fresh object reads back after all that.
    ScopedComPtr<_cSkinConfiguration> typed, fresh;
    ASSERT_EQ(skin->QueryInterface(IID__cSkinConfiguration, reinterpret_cast<void**>(typed.put())), S_OK);
    BSTR xml = nullptr;
    ASSERT_EQ(typed->Store(&xml), S_OK);
    auto check = create(CLSID_cSkinConfiguration, IID__cSkinConfiguration);
    ASSERT_EQ(check->QueryInterface(IID__cSkinConfiguration, reinterpret_cast<void**>(fresh.put())), S_OK);
    EXPECT_EQ(fresh->Restore(xml, nullptr, nullptr), S_OK);
    ::SysFreeString(xml);
}

}  // namespace

TEST_F(ScriptBadArguments, EveryMemberAnswersBadArgumentsWithAnErrorNeverACrash) {
    auto sweep = [this](IDispatch* d, const char* name) { Sweep(d, name); };
    auto create = [this](REFCLSID c, REFIID i) { return Create(c, i); };
    // The first sweep also fills the platform's font and picture caches; a
    // second one over new objects must leave the count where it was.
    SweepAll(sweep, create);
    const int firstCalls = calls_;
    const long gdiBefore = px::test::GdiObjectCount();
    SweepAll(sweep, create);
    const long gdiAfter = px::test::GdiObjectCount();
    for (const std::string& f : faults_) ADD_FAILURE() << f;
    std::printf("  %d calls per sweep; GDI objects %ld before the second sweep, %ld after\n", firstCalls, gdiBefore,
                gdiAfter);
    EXPECT_GT(firstCalls, 400) << "the sweep must reach the members";
    EXPECT_LE(std::labs(gdiAfter - gdiBefore), 2) << "GDI objects left behind by failed calls";
}
