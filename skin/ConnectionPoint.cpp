#include "skin/ConnectionPoint.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace veltrim {

namespace {

// An enumerator over a snapshot of interface pointers (connection points) or
// connection records; it holds its own references.
template <typename Enum, typename Item, const IID& EnumIid>
class SnapshotEnum final : public Enum {
public:
    explicit SnapshotEnum(std::vector<Item> items) : items_(std::move(items)) {
        for (auto& i : items_) Hold(i);
    }
    ~SnapshotEnum() {
        for (auto& i : items_) Drop(i);
    }
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == EnumIid) {
            *out = static_cast<Enum*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        long n = --refs_;
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        while (n < count && pos_ < items_.size()) {
            out[n] = items_[pos_++];
            Hold(out[n]);
            ++n;
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        pos_ = std::min(items_.size(), pos_ + count);
        return pos_ < items_.size() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        pos_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Enum** out) override {
        if (!out) return E_POINTER;
        auto* copy = new (std::nothrow) SnapshotEnum(items_);
        if (!copy) return E_OUTOFMEMORY;
        copy->pos_ = pos_;
        *out = copy;
        return S_OK;
    }

private:
    static void Hold(IConnectionPoint* p) { p->AddRef(); }
    static void Drop(IConnectionPoint* p) { p->Release(); }
    static void Hold(CONNECTDATA& c) { c.pUnk->AddRef(); }
    static void Drop(CONNECTDATA& c) { c.pUnk->Release(); }

    std::vector<Item> items_;
    size_t pos_ = 0;
    std::atomic<long> refs_{1};
};

using ConnectionPointEnum = SnapshotEnum<IEnumConnectionPoints, IConnectionPoint*, IID_IEnumConnectionPoints>;
using ConnectionEnum = SnapshotEnum<IEnumConnections, CONNECTDATA, IID_IEnumConnections>;

}  // namespace

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = events_;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    owner_.AddRef();
    *out = &owner_;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    px::win::ScopedComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(events.put()))) || !events)
        return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    sinks_.push_back({*cookie, std::move(events)});
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
    auto it = std::find_if(sinks_.begin(), sinks_.end(), [cookie](const Sink& s) { return s.cookie == cookie; });
    if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
    sinks_.erase(it);
    return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (!out) return E_POINTER;
    std::vector<CONNECTDATA> items;
    for (auto& s : sinks_) items.push_back({s.sink.get(), s.cookie});
    *out = new (std::nothrow) ConnectionEnum(std::move(items));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void ConnectionPoint::Fire(DISPID id, VARIANTARG* args, UINT count) {
    // A handler may disconnect itself or others: call a snapshot that holds references.
    std::vector<Sink> snapshot = sinks_;
    for (auto& s : snapshot) {
        bool stillConnected = std::any_of(sinks_.begin(), sinks_.end(),
                                          [&](const Sink& c) { return c.cookie == s.cookie; });
        if (!stillConnected) continue;
        DISPPARAMS params{args, nullptr, count, 0};
        s.sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }
}

HRESULT EnumerateConnectionPoints(IConnectionPointContainer&, std::vector<IConnectionPoint*> points,
                                  IEnumConnectionPoints** out) {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) ConnectionPointEnum(std::move(points));
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace veltrim
