#pragma once
// The subclassing and timer service of the library (C++ only, not part of the
// type library).
//
// SubclassRegistry, one per thread: a sink subscribes single messages of a
// window; the registry subclasses the window (SetWindowSubclass) while it has
// any subscription and routes those messages to the sinks.
//   - MsgResponse() == kResponseReplace (0): the sink's WindowProc runs instead
//     of the window's procedure and gives the result; for the default handling
//     it calls CallPreviousProc itself.
//   - MsgResponse() == kResponseAfterDefault (2): the window's procedure runs
//     first and gives the result; then the sink runs, its result ignored.
// Dispatch is re-entrant. Each sink is held by a reference for the whole
// dispatch, and a sink unsubscribed during it (by itself or another) is not
// called any more. All subscriptions of a window are dropped at WM_NCDESTROY,
// since the handle may be reused by a new window.
//
// IntervalTimer: ThatTime fires once per IntervalMs on the creating thread;
// IntervalMs 0 stops it.
#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <map>
#include <vector>

#include "base/Event.h"

namespace veltrim {

inline constexpr long kResponseReplace = 0;
inline constexpr long kResponseAfterDefault = 2;

// Implemented by the objects that take messages of a window (the frame manager, the menu bar).
class ISubclassSink : public IUnknown {
public:
    // Response code for the message now dispatched (see SubclassRegistry::ActiveMessage).
    virtual long MsgResponse() = 0;
    virtual LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) = 0;
};

class SubclassRegistry {
public:
    // The registry of the calling thread, created on first use.
    static SubclassRegistry& ForThread();
    // The calling thread's registry when it has one, else nullptr (no creation).
    static SubclassRegistry* ExistingForThread();

    bool SubscribeMessage(ISubclassSink* sink, HWND hwnd, UINT msg);
    bool UnsubscribeMessage(ISubclassSink* sink, HWND hwnd, UINT msg);
    // The message being dispatched to sinks (0 outside a dispatch).
    UINT ActiveMessage() const { return active_; }
    // The window's own procedure (below the registry's subclass).
    LRESULT CallPreviousProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    size_t SubscriptionCount() const;
    size_t SubclassedWindowCount() const { return windows_.size(); }
    bool IsSubscribed(ISubclassSink* sink, HWND hwnd, UINT msg) const;

private:
    struct Subscription {
        ISubclassSink* sink;  // weak: a sink unsubscribes before it goes away
        UINT msg;
    };
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
    LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void DropWindow(HWND hwnd);

    std::map<HWND, std::vector<Subscription>> windows_;
    UINT active_ = 0;
};

class IntervalTimer {
public:
    IntervalTimer() = default;
    ~IntervalTimer();
    IntervalTimer(const IntervalTimer&) = delete;
    IntervalTimer& operator=(const IntervalTimer&) = delete;

    UINT IntervalMs() const { return interval_; }
    void SetIntervalMs(UINT ms);
    px::Event<> ThatTime;

    // Live timers of the calling thread (for leak tests).
    static size_t RunningOnThread();

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
    UINT interval_ = 0;
    UINT_PTR id_ = 0;
};

}  // namespace veltrim
