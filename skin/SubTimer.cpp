#include "skin/SubTimer.h"

#include <commctrl.h>

#include <algorithm>

#include "base/win/ScopedWin.h"

namespace veltrim {

namespace {
thread_local SubclassRegistry* t_registry = nullptr;
// Timers of this thread by their system identity.
thread_local std::map<UINT_PTR, IntervalTimer*>* t_timers = nullptr;
constexpr UINT_PTR kSubclassId = 0x7665;  // one subclass per window, whatever the number of sinks
}  // namespace

SubclassRegistry& SubclassRegistry::ForThread() {
    if (!t_registry) t_registry = new SubclassRegistry();
    return *t_registry;
}

SubclassRegistry* SubclassRegistry::ExistingForThread() { return t_registry; }

bool SubclassRegistry::SubscribeMessage(ISubclassSink* sink, HWND hwnd, UINT msg) {
    if (!sink || !::IsWindow(hwnd)) return false;
    if (IsSubscribed(sink, hwnd, msg)) return true;
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) {
        if (!::SetWindowSubclass(hwnd, &SubclassRegistry::SubclassProc, kSubclassId,
                                 reinterpret_cast<DWORD_PTR>(this)))
            return false;
        it = windows_.emplace(hwnd, std::vector<Subscription>{}).first;
    }
    it->second.push_back({sink, msg});
    return true;
}

bool SubclassRegistry::UnsubscribeMessage(ISubclassSink* sink, HWND hwnd, UINT msg) {
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return false;
    auto& subs = it->second;
    auto s = std::find_if(subs.begin(), subs.end(), [&](const Subscription& x) { return x.sink == sink && x.msg == msg; });
    if (s == subs.end()) return false;
    subs.erase(s);
    if (subs.empty()) {
        // The window keeps its own procedure from now on.
        ::RemoveWindowSubclass(hwnd, &SubclassRegistry::SubclassProc, kSubclassId);
        windows_.erase(it);
    }
    return true;
}

bool SubclassRegistry::IsSubscribed(ISubclassSink* sink, HWND hwnd, UINT msg) const {
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return false;
    return std::any_of(it->second.begin(), it->second.end(),
                       [&](const Subscription& x) { return x.sink == sink && x.msg == msg; });
}

size_t SubclassRegistry::SubscriptionCount() const {
    size_t n = 0;
    for (auto& [hwnd, subs] : windows_) n += subs.size();
    return n;
}

LRESULT SubclassRegistry::CallPreviousProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

void SubclassRegistry::DropWindow(HWND hwnd) {
    if (windows_.erase(hwnd)) ::RemoveWindowSubclass(hwnd, &SubclassRegistry::SubclassProc, kSubclassId);
}

LRESULT CALLBACK SubclassRegistry::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<SubclassRegistry*>(data);
    if (msg == WM_NCDESTROY) {
        LRESULT r = ::DefSubclassProc(hwnd, msg, wp, lp);
        self->DropWindow(hwnd);
        return r;
    }
    return self->Dispatch(hwnd, msg, wp, lp);
}

LRESULT SubclassRegistry::Dispatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Sinks of this message, each held for the whole dispatch.
    std::vector<px::win::ScopedComPtr<ISubclassSink>> sinks;
    if (auto it = windows_.find(hwnd); it != windows_.end()) {
        for (auto& s : it->second) {
            if (s.msg != msg) continue;
            s.sink->AddRef();
            sinks.emplace_back(s.sink);
        }
    }
    if (sinks.empty()) return ::DefSubclassProc(hwnd, msg, wp, lp);

    UINT previous = active_;
    active_ = msg;
    std::vector<ISubclassSink*> after;
    bool replaced = false;
    LRESULT result = 0;
    for (auto& sink : sinks) {
        if (!IsSubscribed(sink.get(), hwnd, msg)) continue;
        active_ = msg;
        if (sink->MsgResponse() == kResponseAfterDefault) {
            after.push_back(sink.get());
            continue;
        }
        LRESULT r = sink->WindowProc(hwnd, msg, wp, lp);
        if (!replaced) result = r;
        replaced = true;
    }
    if (!replaced) result = ::DefSubclassProc(hwnd, msg, wp, lp);
    for (ISubclassSink* sink : after) {
        if (!IsSubscribed(sink, hwnd, msg)) continue;
        active_ = msg;
        sink->WindowProc(hwnd, msg, wp, lp);
    }
    active_ = previous;
    return result;
}

IntervalTimer::~IntervalTimer() { SetIntervalMs(0); }

void IntervalTimer::SetIntervalMs(UINT ms) {
    if (id_) {
        ::KillTimer(nullptr, id_);
        if (t_timers) t_timers->erase(id_);
        id_ = 0;
    }
    interval_ = ms;
    if (ms == 0) return;
    id_ = ::SetTimer(nullptr, 0, ms, &IntervalTimer::TimerProc);
    if (!id_) {
        interval_ = 0;
        return;
    }
    if (!t_timers) t_timers = new std::map<UINT_PTR, IntervalTimer*>();
    (*t_timers)[id_] = this;
}

size_t IntervalTimer::RunningOnThread() { return t_timers ? t_timers->size() : 0; }

void CALLBACK IntervalTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    if (!t_timers) return;
    auto it = t_timers->find(id);
    if (it != t_timers->end()) it->second->ThatTime();
}

}  // namespace veltrim
