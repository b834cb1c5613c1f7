#pragma once
// Building blocks of the server's COM classes.
//  - ComObjectBase: the reference count, and the module's count of live
//    objects that DllCanUnloadNow answers from.
//  - DispatchFor<I>: IDispatch of one dual interface through the embedded
//    type library. A class with two dual interfaces derives from two of them,
//    and each branch answers with its own type information.
//  - ClassFactory<T>: the factory of a creatable class.
#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <new>

#include "base/win/ScopedWin.h"
#include "skin/Module.h"

namespace veltrim {

class ComObjectBase {
public:
    ComObjectBase() { ObjectCreated(); }
    virtual ~ComObjectBase() { ObjectDestroyed(); }
    ComObjectBase(const ComObjectBase&) = delete;
    ComObjectBase& operator=(const ComObjectBase&) = delete;

protected:
    ULONG AddRefCount() { return static_cast<ULONG>(++refs_); }
    ULONG ReleaseCount() {
        long n = --refs_;
        if (n == 0) {
            FinalRelease();
            delete this;
        }
        return static_cast<ULONG>(n);
    }
    // Runs once, before the object is deleted, while it is still whole.
    virtual void FinalRelease() {}

private:
    std::atomic<long> refs_{1};  // the creator's reference
};

template <typename Iface>
class DispatchFor : public Iface {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ITypeInfo* ti = Info();
        if (!ti) return TYPE_E_CANTLOADLIBRARY;
        ti->AddRef();
        *info = ti;
        return S_OK;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        ITypeInfo* ti = Info();
        return ti ? ::DispGetIDsOfNames(ti, names, count, ids) : TYPE_E_CANTLOADLIBRARY;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) override {
        ITypeInfo* ti = Info();
        if (!ti) return TYPE_E_CANTLOADLIBRARY;
        HRESULT hr = ti->Invoke(static_cast<Iface*>(this), id, flags, params, result, excep, argErr);
        // A member's own failure travels as an exception with the error object's texts.
        if (FAILED(hr) && HRESULT_FACILITY(hr) != FACILITY_DISPATCH && excep) {
            FillException(hr, *excep);
            hr = DISP_E_EXCEPTION;
        }
        return hr;
    }

protected:
    explicit DispatchFor(const IID& iid) : iid_(iid) {}

private:
    ITypeInfo* Info() {
        if (!info_) info_ = LoadTypeInfo(iid_);
        return info_.get();
    }
    static void FillException(HRESULT hr, EXCEPINFO& excep) {
        excep = EXCEPINFO{};
        excep.scode = hr;
        px::win::ScopedComPtr<IErrorInfo> info;
        if (::GetErrorInfo(0, info.put()) == S_OK && info) {
            info->GetSource(&excep.bstrSource);
            info->GetDescription(&excep.bstrDescription);
        }
    }

    IID iid_;
    px::win::ScopedComPtr<ITypeInfo> info_;
};

// Factory of a creatable class T (default-constructible, created with one reference).
template <typename T>
class ClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factories are static; a client's hold on one is a server lock.
    STDMETHODIMP_(ULONG) AddRef() override {
        veltrim::LockServer(true);
        return 2;
    }
    STDMETHODIMP_(ULONG) Release() override {
        veltrim::LockServer(false);
        return 1;
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        T* object = new (std::nothrow) T();
        if (!object) return E_OUTOFMEMORY;
        HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        veltrim::LockServer(lock != FALSE);
        return S_OK;
    }
};

}  // namespace veltrim
