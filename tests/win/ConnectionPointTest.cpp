// Events of cNeoCaption reach C++ sinks through its connection point: the
// by-reference Cancel of Unload comes back, and a sink may disconnect itself
// or another during the event.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "base/win/ScopedWin.h"
#include "skin/cNeoCaption.h"

namespace {

class RecordingSink final : public IDispatch {
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
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        calls.push_back(id);
        if (id == 1 && cancel && params->cArgs == 1 && params->rgvarg[0].vt == (VT_BOOL | VT_BYREF))
            *params->rgvarg[0].pboolVal = VARIANT_TRUE;
        if (during) during();
        return S_OK;
    }
    long refs = 1;
    bool cancel = false;
    std::vector<DISPID> calls;
    std::function<void()> during;
};

struct Connected {
    explicit Connected(veltrim::cNeoCaption* source) {
        source->FindConnectionPoint(DIID___cNeoCaption, point.put());
    }
    DWORD Advise(IUnknown* sink) {
        DWORD cookie = 0;
        EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
        return cookie;
    }
    px::win::ScopedComPtr<IConnectionPoint> point;
};

}  // namespace

TEST(NeoCaptionEvents, UnloadCarriesCancelBackAndRepaintReachesEverySink) {
    auto* caption = new veltrim::cNeoCaption();
    {
        Connected c(caption);
        RecordingSink first, second;
        second.cancel = true;
        DWORD a = c.Advise(&first), b = c.Advise(&second);
        VARIANT_BOOL cancel = VARIANT_FALSE;
        caption->RaiseUnload(cancel);
        EXPECT_EQ(cancel, VARIANT_TRUE);
        caption->RaiseRepaint();
        EXPECT_EQ(first.calls, (std::vector<DISPID>{1, 2}));
        EXPECT_EQ(second.calls, (std::vector<DISPID>{1, 2}));
        c.point->Unadvise(a);
        c.point->Unadvise(b);
        EXPECT_EQ(first.refs, 1);
        EXPECT_EQ(second.refs, 1);
    }
    caption->Release();
}

TEST(NeoCaptionEvents, ASinkDisconnectingDuringTheEventStopsTheOthersCleanly) {
    auto* caption = new veltrim::cNeoCaption();
    {
        Connected c(caption);
        RecordingSink first, second;
        DWORD a = c.Advise(&first), b = c.Advise(&second);
        first.during = [&] {
            c.point->Unadvise(a);
            c.point->Unadvise(b);
        };
        caption->RaiseRepaint();
        EXPECT_EQ(first.calls.size(), 1u);
        EXPECT_TRUE(second.calls.empty());  // disconnected before its turn
        EXPECT_EQ(first.refs, 1);
        EXPECT_EQ(second.refs, 1);
        caption->RaiseRepaint();
        EXPECT_EQ(first.calls.size(), 1u);
    }
    caption->Release();
}
