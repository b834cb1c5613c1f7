// The subclassing and timer service: response codes, re-entrant dispatch,
// sinks unsubscribed or released during a dispatch, windows destroyed with
// subscriptions, and the interval timer.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "skin/SubTimer.h"
#include "tests/win/ControlTestHost.h"

using veltrim::ISubclassSink;
using veltrim::SubclassRegistry;

namespace {

class Sink final : public ISubclassSink {
public:
    explicit Sink(long response) : response_(response) {}
    STDMETHODIMP QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override {
        long n = --refs;
        if (n == 0) deleted = true;  // the test sees a release to zero where a COM object would be gone
        return static_cast<ULONG>(n);
    }
    long MsgResponse() override { return response_; }
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override {
        seen.push_back(msg);
        activeDuringCall.push_back(SubclassRegistry::ForThread().ActiveMessage());
        if (handler) return handler(hwnd, msg, wp, lp);
        return 42;
    }
    long refs = 1;
    bool deleted = false;
    std::vector<UINT> seen, activeDuringCall;
    std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> handler;

private:
    long response_;
};

// A plain window whose own procedure answers WM_USER+1 with 7 and counts what it sees.
struct PlainWindow {
    static inline int ownCalls = 0;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_USER + 1) {
            ++ownCalls;
            return 7;
        }
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    PlainWindow() {
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &PlainWindow::Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"SubTimerTestWindow";
            ::RegisterClassW(&wc);
            registered = true;
        }
        hwnd = ::CreateWindowExW(0, L"SubTimerTestWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
        ownCalls = 0;
    }
    ~PlainWindow() {
        if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    }
    HWND hwnd;
};

constexpr UINT kMsg = WM_USER + 1;

}  // namespace

TEST(SubTimer, ReplaceRunsInsteadOfTheWindowAndAfterDefaultRunsAfterIt) {
    PlainWindow w;
    auto& registry = SubclassRegistry::ForThread();
    Sink replace(veltrim::kResponseReplace);
    ASSERT_TRUE(registry.SubscribeMessage(&replace, w.hwnd, kMsg));
    EXPECT_EQ(::SendMessageW(w.hwnd, kMsg, 0, 0), 42);
    EXPECT_EQ(PlainWindow::ownCalls, 0);
    replace.handler = [&](HWND h, UINT m, WPARAM wp, LPARAM lp) {
        return registry.CallPreviousProc(h, m, wp, lp) + 1;
    };
    EXPECT_EQ(::SendMessageW(w.hwnd, kMsg, 0, 0), 8);
    EXPECT_EQ(PlainWindow::ownCalls, 1);
    ASSERT_TRUE(registry.UnsubscribeMessage(&replace, w.hwnd, kMsg));

    Sink after(veltrim::kResponseAfterDefault);
    after.handler = [&](HWND, UINT, WPARAM, LPARAM) {
        EXPECT_EQ(PlainWindow::ownCalls, 2);  // the window's own procedure ran first
        return LRESULT{99};
    };
    ASSERT_TRUE(registry.SubscribeMessage(&after, w.hwnd, kMsg));
    EXPECT_EQ(::SendMessageW(w.hwnd, kMsg, 0, 0), 7);  // the window's result, not the sink's
    EXPECT_EQ(after.seen.size(), 1u);
    EXPECT_EQ(after.activeDuringCall[0], kMsg);
    ASSERT_TRUE(registry.UnsubscribeMessage(&after, w.hwnd, kMsg));
    EXPECT_EQ(registry.SubscriptionCount(), 0u);
    EXPECT_EQ(registry.SubclassedWindowCount(), 0u);
    EXPECT_EQ(replace.refs, 1);
    EXPECT_EQ(after.refs, 1);
}

TEST(SubTimer, OnlySubscribedMessagesReachTheSinkAndTheProcedureComesBack) {
    PlainWindow w;
    LONG_PTR proc = ::GetWindowLongPtrW(w.hwnd, GWLP_WNDPROC);
    auto& registry = SubclassRegistry::ForThread();
    Sink sink(veltrim::kResponseReplace);
    registry.SubscribeMessage(&sink, w.hwnd, WM_USER + 2);
    registry.SubscribeMessage(&sink, w.hwnd, WM_USER + 2);  // twice is once
    EXPECT_EQ(registry.SubscriptionCount(), 1u);
    EXPECT_EQ(::SendMessageW(w.hwnd, kMsg, 0, 0), 7);
    EXPECT_TRUE(sink.seen.empty());
    registry.UnsubscribeMessage(&sink, w.hwnd, WM_USER + 2);
    EXPECT_FALSE(registry.UnsubscribeMessage(&sink, w.hwnd, WM_USER + 2));
    EXPECT_EQ(::GetWindowLongPtrW(w.hwnd, GWLP_WNDPROC), proc);
}

TEST(SubTimer, DispatchIsReentrantAndRestoresTheActiveMessage) {
    PlainWindow w;
    auto& registry = SubclassRegistry::ForThread();
    Sink sink(veltrim::kResponseReplace);
    registry.SubscribeMessage(&sink, w.hwnd, kMsg);
    registry.SubscribeMessage(&sink, w.hwnd, WM_USER + 3);
    sink.handler = [&](HWND h, UINT m, WPARAM wp, LPARAM) -> LRESULT {
        if (m == kMsg && wp == 0) {
            LRESULT inner = ::SendMessageW(h, WM_USER + 3, 0, 0);
            EXPECT_EQ(registry.ActiveMessage(), kMsg);  // back after the nested dispatch
            LRESULT self = sink.WindowProc(h, kMsg, 1, 0);  // a sink calling its own procedure
            return inner + self;
        }
        return 5;
    };
    EXPECT_EQ(::SendMessageW(w.hwnd, kMsg, 0, 0), 10);
    EXPECT_EQ(sink.activeDuringCall[1], WM_USER + 3u);
    EXPECT_EQ(registry.ActiveMessage(), 0u);
    registry.UnsubscribeMessage(&sink, w.hwnd, kMsg);
    registry.UnsubscribeMessage(&sink, w.hwnd, WM_USER + 3);
}

TEST(SubTimer, ASinkUnsubscribedAndReleasedDuringTheDispatchIsHeldAndSkipped) {
    PlainWindow w;
    auto& registry = SubclassRegistry::ForThread();
    Sink first(veltrim::kResponseAfterDefault), second(veltrim::kResponseAfterDefault);
    registry.SubscribeMessage(&first, w.hwnd, kMsg);
    registry.SubscribeMessage(&second, w.hwnd, kMsg);
    first.handler = [&](HWND h, UINT m, WPARAM, LPARAM) -> LRESULT {
        // The first sink's handler detaches both and drops the owner's reference of the second.
        registry.UnsubscribeMessage(&first, h, m);
        registry.UnsubscribeMessage(&second, h, m);
        second.Release();
        EXPECT_FALSE(second.deleted);  // the dispatch still holds it
        return 0;
    };
    ::SendMessageW(w.hwnd, kMsg, 0, 0);
    EXPECT_TRUE(second.seen.empty());  // skipped: unsubscribed during the dispatch
    EXPECT_TRUE(second.deleted);       // and let go when the dispatch ended
    EXPECT_EQ(first.refs, 1);
    EXPECT_EQ(registry.SubscriptionCount(), 0u);
}

TEST(SubTimer, DestroyedWindowsLoseEverySubscription) {
    auto& registry = SubclassRegistry::ForThread();
    Sink sink(veltrim::kResponseReplace);
    {
        PlainWindow w;
        registry.SubscribeMessage(&sink, w.hwnd, kMsg);
        registry.SubscribeMessage(&sink, w.hwnd, WM_USER + 5);
    }
    EXPECT_EQ(registry.SubscriptionCount(), 0u);
    EXPECT_EQ(registry.SubclassedWindowCount(), 0u);
    EXPECT_EQ(sink.refs, 1);
}

TEST(SubTimer, IntervalTimerTicksUntilStopped) {
    veltrim::IntervalTimer timer;
    int ticks = 0;
    timer.ThatTime.connect([&] {
        if (++ticks == 3) timer.SetIntervalMs(0);
    });
    size_t before = veltrim::IntervalTimer::RunningOnThread();
    timer.SetIntervalMs(10);
    EXPECT_EQ(timer.IntervalMs(), 10u);
    EXPECT_EQ(veltrim::IntervalTimer::RunningOnThread(), before + 1);
    EXPECT_TRUE(px::test::PumpUntil([&] { return ticks >= 3; }, 3000));
    px::test::PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, 3);  // none after the stop
    EXPECT_EQ(timer.IntervalMs(), 0u);
    EXPECT_EQ(veltrim::IntervalTimer::RunningOnThread(), before);
}
