// veltrim.dll as a client sees it: loaded from the test's folder, classes made
// through its class objects, IDispatch through the embedded type library,
// error information, connection points and the unload answer.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>

#include "base/win/ScopedWin.h"
#include "skin/veltrim_h.h"

using px::win::ScopedComPtr;

namespace {

using GetClassObjectFn = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(__stdcall*)();

class VeltrimServer : public ::testing::Test {
protected:
    void SetUp() override {
        dll_.reset(::LoadLibraryW(L"veltrim.dll"));
        ASSERT_TRUE(dll_) << "veltrim.dll beside the test program";
        getClassObject_ = reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(::GetProcAddress(dll_.get(), "DllGetClassObject")));
        canUnloadNow_ = reinterpret_cast<CanUnloadNowFn>(reinterpret_cast<void*>(::GetProcAddress(dll_.get(), "DllCanUnloadNow")));
        ASSERT_TRUE(getClassObject_ && canUnloadNow_);
        ASSERT_TRUE(::GetProcAddress(dll_.get(), "DllRegisterServer"));
        ASSERT_TRUE(::GetProcAddress(dll_.get(), "DllUnregisterServer"));
    }

    template <typename I>
    ScopedComPtr<I> Create(REFCLSID clsid, REFIID iid) {
        ScopedComPtr<IClassFactory> factory;
        EXPECT_EQ(getClassObject_(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.put())), S_OK);
        ScopedComPtr<I> object;
        if (factory) {
            EXPECT_EQ(factory->CreateInstance(nullptr, iid, reinterpret_cast<void**>(object.put())), S_OK);
        }
        return object;
    }

    static DISPID DispId(IDispatch* d, const wchar_t* name) {
        LPOLESTR n = const_cast<LPOLESTR>(name);
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(d->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id), S_OK) << "member " << id;
        return id;
    }

    px::win::ScopedModule dll_;
    GetClassObjectFn getClassObject_ = nullptr;
    CanUnloadNowFn canUnloadNow_ = nullptr;
};

}  // namespace

TEST_F(VeltrimServer, EveryCreatableClassComesWithItsDefaultInterface) {
    struct Row {
        const CLSID* clsid;
        const IID* iid;
    } rows[] = {{&CLSID_cNCCalcSize, &IID__cNCCalcSize},
                {&CLSID_cNeoCaption, &IID__cNeoCaption},
                {&CLSID_cSkinConfiguration, &IID__cSkinConfiguration}};
    for (const Row& r : rows) {
        auto object = Create<IDispatch>(*r.clsid, *r.iid);
        ASSERT_TRUE(object);
        ScopedComPtr<ISupportErrorInfo> errors;
        ASSERT_EQ(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(errors.put())), S_OK);
        EXPECT_EQ(errors->InterfaceSupportsErrorInfo(*r.iid), S_OK);
        ScopedComPtr<ITypeInfo> info;
        ASSERT_EQ(object->GetTypeInfo(0, 0, info.put()), S_OK);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
        EXPECT_TRUE(attr->guid == *r.iid);
        info->ReleaseTypeAttr(attr);
    }
    ScopedComPtr<IClassFactory> none;
    EXPECT_EQ(getClassObject_(CLSID_INCAreaModifier, IID_IClassFactory, reinterpret_cast<void**>(none.put())),
              CLASS_E_CLASSNOTAVAILABLE);
}

TEST_F(VeltrimServer, CanUnloadOnlyWhenNoObjectOrLockIsLeft) {
    ASSERT_EQ(canUnloadNow_(), S_OK);
    {
        auto skin = Create<_cSkinConfiguration>(CLSID_cSkinConfiguration, IID__cSkinConfiguration);
        auto caption = Create<_cNeoCaption>(CLSID_cNeoCaption, IID__cNeoCaption);
        EXPECT_EQ(canUnloadNow_(), S_FALSE);
        skin.reset();
        EXPECT_EQ(canUnloadNow_(), S_FALSE);
    }
    EXPECT_EQ(canUnloadNow_(), S_OK);
    ScopedComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject_(CLSID_cNCCalcSize, IID_IClassFactory, reinterpret_cast<void**>(factory.put())), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);  // a held class object keeps the server
    factory->LockServer(TRUE);
    factory.reset();
    EXPECT_EQ(canUnloadNow_(), S_FALSE);  // so does a lock
    ASSERT_EQ(getClassObject_(CLSID_cNCCalcSize, IID_IClassFactory, reinterpret_cast<void**>(factory.put())), S_OK);
    factory->LockServer(FALSE);
    factory.reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(VeltrimServer, PropertiesWorkLateBoundThroughTheTypeLibrary) {
    auto skin = Create<IDispatch>(CLSID_cSkinConfiguration, IID__cSkinConfiguration);
    ASSERT_TRUE(skin);
    DISPID id = DispId(skin.get(), L"ButtonWidth");
    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = 19;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&value, &named, 1, 1};
    ASSERT_EQ(skin->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr), S_OK);
    VARIANT result;
    ::VariantInit(&result);
    DISPPARAMS none{};
    ASSERT_EQ(skin->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 19);

    // Enumerations and members sit where the type library says.
    auto caption = Create<IDispatch>(CLSID_cNeoCaption, IID__cNeoCaption);
    EXPECT_EQ(DispId(caption.get(), L"Attach2"), 12);
    EXPECT_EQ(DispId(caption.get(), L"Paint"), 17);
    auto manager = Create<IDispatch>(CLSID_cNCCalcSize, IID__cNCCalcSize);
    EXPECT_EQ(DispId(manager.get(), L"GetImplementation"), 11);
}

TEST_F(VeltrimServer, AFailingMemberSetsErrorInfoWithTheClientsNameAsSource) {
    auto skin = Create<IDispatch>(CLSID_cSkinConfiguration, IID__cSkinConfiguration);
    ASSERT_TRUE(skin);
    // Restore of a broken text fails with the library's error.
    DISPID id = DispId(skin.get(), L"Restore");
    VARIANT result;
    ::VariantInit(&result);
    EXCEPINFO excep{};
    VARIANT args[3];
    for (VARIANT& a : args) ::VariantInit(&a);
    args[2].vt = VT_BSTR;
    args[2].bstrVal = ::SysAllocString(L"<NeoCaptionSkin");
    args[1].vt = args[0].vt = VT_DISPATCH;  // no pictures
    args[1].pdispVal = args[0].pdispVal = nullptr;
    DISPPARAMS params{args, nullptr, 3, 0};
    HRESULT hr = skin->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, &excep, nullptr);
    ::VariantClear(&args[2]);
    ASSERT_EQ(hr, DISP_E_EXCEPTION);
    EXPECT_EQ(excep.scode, static_cast<HRESULT>(0x80040619u));
    ASSERT_TRUE(excep.bstrSource);
    EXPECT_EQ(std::wstring(excep.bstrSource), L"win_tests.cSkinConfiguration");
    ASSERT_TRUE(excep.bstrDescription);
    EXPECT_EQ(std::wstring(excep.bstrDescription).rfind(L"The XML document could not be loaded: ", 0), 0u);
    ::SysFreeString(excep.bstrSource);
    ::SysFreeString(excep.bstrDescription);
    ::SysFreeString(excep.bstrHelpFile);

    // Through the vtable the status comes back with the thread's error object.
    ScopedComPtr<_cSkinConfiguration> typed;
    ASSERT_EQ(skin->QueryInterface(IID__cSkinConfiguration, reinterpret_cast<void**>(typed.put())), S_OK);
    px::win::ScopedBstr bad(::SysAllocString(L"<NeoCaptionSkin"));
    EXPECT_EQ(typed->Restore(bad.get(), nullptr, nullptr), static_cast<HRESULT>(0x80040619u));
    ScopedComPtr<IErrorInfo> info;
    ASSERT_EQ(::GetErrorInfo(0, info.put()), S_OK);
    BSTR source = nullptr;
    info->GetSource(&source);
    EXPECT_EQ(std::wstring(source ? source : L""), L"win_tests.cSkinConfiguration");
    ::SysFreeString(source);
}

namespace {

// A C++ sink of __cNeoCaption that counts its connections.
class EventSink final : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID___cNeoCaption) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return S_OK;
    }
    ULONG refs = 1;
};

}  // namespace

TEST_F(VeltrimServer, NeoCaptionOffersItsEventsThroughOneConnectionPoint) {
    auto caption = Create<_cNeoCaption>(CLSID_cNeoCaption, IID__cNeoCaption);
    ScopedComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(caption->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.put())), S_OK);
    ScopedComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.put()), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(DIID___cNeoCaption, point.put()), S_OK);
    IID events{};
    point->GetConnectionInterface(&events);
    EXPECT_TRUE(events == DIID___cNeoCaption);

    EventSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    EXPECT_GT(sink.refs, 1u);  // the point holds its sink
    ScopedComPtr<IEnumConnections> connections;
    ASSERT_EQ(point->EnumConnections(connections.put()), S_OK);
    CONNECTDATA data[2]{};
    ULONG fetched = 0;
    EXPECT_EQ(connections->Next(2, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(data[0].dwCookie, cookie);
    data[0].pUnk->Release();
    connections.reset();
    ASSERT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(sink.refs, 1u);  // every reference given back

    ScopedComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(points.put()), S_OK);
    IConnectionPoint* first = nullptr;
    ASSERT_EQ(points->Next(1, &first, nullptr), S_OK);
    first->Release();
    EXPECT_EQ(points->Next(1, &first, nullptr), S_FALSE);
}
