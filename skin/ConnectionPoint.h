#pragma once
// Outgoing events of a class: one connection point per event interface. The
// point lives inside its container object and shares its reference count.
// Sinks are dispinterfaces; Fire calls each connected sink in connection
// order, holding a reference to it for the call, so a sink may disconnect
// (or release the source) from inside its own handler.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <vector>

#include "base/win/ScopedWin.h"

namespace veltrim {

class ConnectionPoint final : public IConnectionPoint {
public:
    ConnectionPoint(IConnectionPointContainer& owner, const IID& events) : owner_(owner), events_(events) {}
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return owner_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return owner_.Release(); }

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    const IID& Events() const { return events_; }
    size_t SinkCount() const { return sinks_.size(); }
    // Calls member `id` on every sink; `args` in the dispatch order (last argument first).
    void Fire(DISPID id, VARIANTARG* args = nullptr, UINT count = 0);
    void DisconnectAll() { sinks_.clear(); }

private:
    struct Sink {
        DWORD cookie;
        px::win::ScopedComPtr<IDispatch> sink;
    };
    IConnectionPointContainer& owner_;
    IID events_;
    std::vector<Sink> sinks_;
    DWORD nextCookie_ = 1;
};

// IEnumConnectionPoints over one container's points, for containers to hand out.
HRESULT EnumerateConnectionPoints(IConnectionPointContainer& owner, std::vector<IConnectionPoint*> points,
                                  IEnumConnectionPoints** out);

}  // namespace veltrim
