// The frame manager on a real window with a C++ modifier: margins, painting,
// hit codes, clicks, Detach, destruction while attached, and 1,000
// attach/detach cycles without leaks.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "base/win/ScopedWin.h"
#include "skin/KeyboardHook.h"
#include "skin/SubTimer.h"
#include "skin/cNCCalcSize.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"
#include "tests/win/support/TestModifier.h"

using px::test::TestModifier;
// The generated header declares the coclass of the same name at global scope.
using Manager = veltrim::cNCCalcSize;
using veltrim::SubclassRegistry;

namespace {

// A top-level window whose WM_DESTROY runs a test's handler.
struct FrameWindow {
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<FrameWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_DESTROY && self && self->onDestroy) self->onDestroy();
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    explicit FrameWindow(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, int x = 100, int y = 100) {
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &FrameWindow::Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
            wc.lpszClassName = L"VeltrimFrameTest";
            wc.style = CS_DBLCLKS;
            ::RegisterClassW(&wc);
            registered = true;
        }
        hwnd = ::CreateWindowExW(0, L"VeltrimFrameTest", L"Frame test", style, x, y, 320, 240, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SetForegroundWindow(hwnd);
        px::test::PumpPending();
    }
    ~FrameWindow() {
        if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    }
    RECT Rect() const {
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        return r;
    }
    HWND hwnd;
    std::function<void()> onDestroy;
};

size_t Subscriptions() {
    auto* r = SubclassRegistry::ExistingForThread();
    return r ? r->SubscriptionCount() : 0;
}

LRESULT HitAt(HWND hwnd, int x, int y) {  // x, y relative to the window's top-left corner
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return ::SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y));
}

// A screen pixel, read the way the capture reads it.
COLORREF ScreenPixel(int x, int y) {
    px::win::ScopedGetDC screen(nullptr);
    return ::GetPixel(screen, x, y);
}

class FrameManager : public ::testing::Test {
protected:
    void Attach(FrameWindow& w, TestModifier& m) {
        ASSERT_EQ(manager_->Attach(&m), S_OK);
        ::SetWindowPos(w.hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
        px::test::PumpPending();
    }
    Manager* manager_ = new Manager();
    void TearDown() override {
        if (manager_) manager_->Release();
    }
};

}  // namespace

TEST_F(FrameManager, ClientShrinksByTheMarginsPlusOneRightAndBottom) {
    FrameWindow w;
    TestModifier m(w.hwnd);
    Attach(w, m);
    RECT client{};
    ::GetClientRect(w.hwnd, &client);
    RECT r = w.Rect();
    EXPECT_EQ(client.right, (r.right - r.left) - 4 - 4 - 1);
    EXPECT_EQ(client.bottom, (r.bottom - r.top) - 40 - 4 - 1);
    POINT origin{0, 0};
    ::ClientToScreen(w.hwnd, &origin);
    EXPECT_EQ(origin.x, r.left + 4);
    EXPECT_EQ(origin.y, r.top + 40);
    EXPECT_EQ(::GetPropW(w.hwnd, veltrim::kImplementationProperty), static_cast<HANDLE>(&m));
    EXPECT_EQ(Subscriptions(), 16u);
    EXPECT_TRUE(veltrim::KeyboardHookInstalled());
    manager_->Detach();
}

TEST_F(FrameManager, PaintsTheModifiersFrameAndNoneOfTheSystems) {
    FrameWindow w;
    TestModifier m(w.hwnd);
    Attach(w, m);
    auto check = [&](const char* when) {
        ::RedrawWindow(w.hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        px::test::PumpPending();
        RECT r = w.Rect();
        int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
        EXPECT_EQ(ScreenPixel(midX, r.top + 2), TestModifier::kCaption) << when;
        EXPECT_EQ(ScreenPixel(midX, r.top + 39), TestModifier::kCaption) << when;
        EXPECT_EQ(ScreenPixel(r.left + 1, midY), TestModifier::kLeft) << when;
        EXPECT_EQ(ScreenPixel(r.right - 1, midY), TestModifier::kRight) << when;
        EXPECT_EQ(ScreenPixel(r.right - 5, midY), TestModifier::kRight) << when;  // the extra column
        EXPECT_EQ(ScreenPixel(midX, r.bottom - 1), TestModifier::kBottom) << when;
        EXPECT_EQ(ScreenPixel(midX, r.bottom - 5), TestModifier::kBottom) << when;  // the extra row
        EXPECT_EQ(ScreenPixel(midX, midY), RGB(255, 255, 255)) << when;  // client untouched
    };
    check("attached");
    ::SetWindowTextW(w.hwnd, L"A new title");
    px::test::PumpPending();
    check("after SetWindowText");
    FrameWindow other(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 400);
    ::SetForegroundWindow(w.hwnd);
    px::test::PumpPending();
    check("after activation changes");
    manager_->Display(nullptr);
    px::test::PumpPending();
    check("after Display");
    manager_->Detach();
}

TEST_F(FrameManager, HitCodesOfCornersEdgesCaptionAndClient) {
    FrameWindow w;
    TestModifier m(w.hwnd);
    Attach(w, m);
    RECT r = w.Rect();
    const int W = r.right - r.left, H = r.bottom - r.top;
    const int cap = ::GetSystemMetrics(SM_CYCAPTION);
    struct Row {
        int x, y;
        LRESULT sizing, fixed;
    } rows[] = {
        {0, 0, HTTOPLEFT, HTCLIENT},         {W - 1, 0, HTTOPRIGHT, HTCLIENT},
        {0, H - 1, HTBOTTOMLEFT, HTCLIENT},  {W - 1, H - 1, HTBOTTOMRIGHT, HTCLIENT},
        {2, H / 2, HTLEFT, HTCLIENT},        {W - 2, H / 2, HTRIGHT, HTCLIENT},
        {W / 2, 1, HTTOP, HTCLIENT},         {W / 2, H - 2, HTBOTTOM, HTCLIENT},
        {W / 2, 10, HTCAPTION, HTCAPTION},   {10, 10, HTSYSMENU, HTSYSMENU},  // icon area
        {W / 2, cap + 4 + 2, HTCLIENT, HTCLIENT},  // inside the top margin, below the caption height
        {W / 2, H / 2, HTCLIENT, HTCLIENT},
        {W - 16, 20, HTSYSMENU, HTSYSMENU},  // the modifier's button zone
    };
    for (bool canSize : {true, false}) {
        m.canSize = canSize;
        for (const Row& row : rows)
            EXPECT_EQ(HitAt(w.hwnd, row.x, row.y), canSize ? row.sizing : row.fixed)
                << row.x << "," << row.y << " canSize " << canSize;
    }
    manager_->Detach();
}

TEST_F(FrameManager, DoubleClickOnAButtonDoesNotClose) {
    FrameWindow w;
    TestModifier m(w.hwnd);
    Attach(w, m);
    RECT r = w.Rect();
    RECT zone = m.ButtonZone(r.right - r.left);
    LPARAM at = MAKELPARAM(r.left + zone.left + 5, r.top + zone.top + 5);
    ::SendMessageW(w.hwnd, WM_NCLBUTTONDOWN, HTSYSMENU, at);
    ::SendMessageW(w.hwnd, WM_NCLBUTTONUP, HTSYSMENU, at);
    ::SendMessageW(w.hwnd, WM_NCLBUTTONDBLCLK, HTSYSMENU, at);
    ::SendMessageW(w.hwnd, WM_NCLBUTTONUP, HTSYSMENU, at);
    px::test::PumpUntil([] { return false; }, 200);  // a posted SC_CLOSE would arrive here
    EXPECT_TRUE(::IsWindow(w.hwnd));
    EXPECT_EQ(m.presses, 2);  // the double-click is a second press
    EXPECT_EQ(m.clicks, 2);
    manager_->Detach();
}

TEST_F(FrameManager, AReleaseOverAButtonIsNoClickWithoutAPressThere) {
    FrameWindow w;
    TestModifier m(w.hwnd);
    Attach(w, m);
    RECT r = w.Rect();
    RECT zone = m.ButtonZone(r.right - r.left);
    ::SendMessageW(w.hwnd, WM_NCLBUTTONUP, HTSYSMENU, MAKELPARAM(r.left + zone.left + 5, r.top + zone.top + 5));
    EXPECT_EQ(m.presses, 0);  // the release presses nothing
    EXPECT_EQ(m.releases, 1);
    EXPECT_EQ(m.clicks, 0);
    manager_->Detach();
}

TEST_F(FrameManager, DetachRestoresProcedurePropertyMenuAndFrame) {
    FrameWindow w;
    HMENU menu = ::CreateMenu();
    ::AppendMenuW(menu, MF_STRING, 1, L"&File");
    ::SetMenu(w.hwnd, menu);
    RECT before{};
    ::GetClientRect(w.hwnd, &before);
    LONG_PTR proc = ::GetWindowLongPtrW(w.hwnd, GWLP_WNDPROC);
    TestModifier m(w.hwnd);
    Attach(w, m);
    EXPECT_EQ(::GetMenu(w.hwnd), nullptr);  // taken away at once, not at the first pointer move
    long hMenu = 0;
    manager_->get_hMenu(&hMenu);
    EXPECT_EQ(veltrim::HandleFrom<HMENU>(hMenu), menu);
    ASSERT_EQ(manager_->Detach(), S_OK);
    ::SetWindowPos(w.hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_EQ(::GetWindowLongPtrW(w.hwnd, GWLP_WNDPROC), proc);
    EXPECT_EQ(::GetPropW(w.hwnd, veltrim::kImplementationProperty), nullptr);
    EXPECT_EQ(::GetMenu(w.hwnd), menu);
    RECT after{};
    ::GetClientRect(w.hwnd, &after);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(Subscriptions(), 0u);
    EXPECT_FALSE(veltrim::KeyboardHookInstalled());
    EXPECT_EQ(m.refs, 1);  // the property and the manager hold no reference
}

TEST_F(FrameManager, DestroyingTheWindowWhileAttachedDetaches) {
    long gdi = px::test::GdiObjectCount();
    {
        FrameWindow w;
        TestModifier m(w.hwnd);
        Attach(w, m);
        ::DestroyWindow(w.hwnd);
        EXPECT_EQ(manager_->ManagedWindow(), nullptr);
        EXPECT_EQ(Subscriptions(), 0u);
        EXPECT_FALSE(veltrim::KeyboardHookInstalled());
    }
    EXPECT_EQ(px::test::GdiObjectCount(), gdi);
}

TEST_F(FrameManager, DetachAndReleaseInsideTheWindowsOwnDestroy) {
    FrameWindow w;
    TestModifier m(w.hwnd);
    Attach(w, m);
    // As the program's shutdown does: everything inside WM_DESTROY, the manager's last reference included.
    w.onDestroy = [&] {
        manager_->Detach();
        manager_->Release();
        manager_ = nullptr;
    };
    ::DestroyWindow(w.hwnd);
    EXPECT_EQ(manager_, nullptr);
    EXPECT_EQ(Subscriptions(), 0u);
    EXPECT_FALSE(veltrim::KeyboardHookInstalled());
}

TEST_F(FrameManager, ThousandAttachDetachCyclesLeaveNothingBehind) {
    FrameWindow w;
    TestModifier m(w.hwnd);
    Attach(w, m);
    manager_->Detach();
    px::test::PumpPending();
    long gdi = px::test::GdiObjectCount();
    size_t windows = px::test::WindowCountOfThisProcess();
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(manager_->Attach(&m), S_OK);
        if (i % 100 == 0) ::SendMessageW(w.hwnd, WM_NCPAINT, 1, 0);
        manager_->Detach();
    }
    px::test::PumpPending();
    EXPECT_EQ(px::test::GdiObjectCount(), gdi);
    EXPECT_EQ(px::test::WindowCountOfThisProcess(), windows);
    EXPECT_EQ(Subscriptions(), 0u);
    EXPECT_FALSE(veltrim::KeyboardHookInstalled());
    EXPECT_EQ(veltrim::AcceleratorTargetCount(), 0u);
    EXPECT_EQ(m.refs, 1);
}

TEST_F(FrameManager, WithoutImplementationThePlainFrameIsPainted) {
    FrameWindow w;
    TestModifier m(w.hwnd);
    Attach(w, m);
    ::RemovePropW(w.hwnd, veltrim::kImplementationProperty);  // as if the implementation had gone
    ::RedrawWindow(w.hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    px::test::PumpPending();
    RECT r = w.Rect();
    // The extra row at the bottom carries the border colour, not whatever was there.
    COLORREF border = ::GetSysColor(COLOR_ACTIVEBORDER);
    COLORREF inactiveBorder = ::GetSysColor(COLOR_INACTIVEBORDER);
    COLORREF row = ScreenPixel((r.left + r.right) / 2, r.bottom - 3);
    EXPECT_TRUE(row == border || row == inactiveBorder) << std::hex << row;
    EXPECT_NE(row, TestModifier::kBottom);
    manager_->Detach();
}

TEST_F(FrameManager, TheMenuBandTakesClientMouseMessages) {
    FrameWindow w;
    TestModifier m(w.hwnd);
    m.menuBand = {40, 20, 140, 38};
    Attach(w, m);
    EXPECT_EQ(HitAt(w.hwnd, 60, 25), HTCLIENT);  // the implementation said HTMENU
    EXPECT_EQ(HitAt(w.hwnd, 200, 15), HTCAPTION);
    manager_->Detach();
}

TEST_F(FrameManager, ImplementationCommandsAndActivation) {
    FrameWindow w;
    TestModifier m(w.hwnd);
    Attach(w, m);
    _INCAreaModifier* found = nullptr;
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(manager_->GetImplementation(&found, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_EQ(found, &m);
    EXPECT_EQ(m.refs, 2);  // a counted reference for the caller
    found->Release();
    // The active state follows the activation messages from the attach on.
    VARIANT_BOOL active = VARIANT_TRUE;
    manager_->get_WindowActive(&active);
    EXPECT_EQ(active, VARIANT_FALSE);
    ::SendMessageW(w.hwnd, WM_NCACTIVATE, TRUE, 0);
    manager_->get_WindowActive(&active);
    EXPECT_EQ(active, VARIANT_TRUE);
    manager_->SysCommand(static_cast<ECNCSysCommandConstants>(SC_MINIMIZE));
    EXPECT_TRUE(px::test::PumpUntil([&] { return ::IsIconic(w.hwnd) != FALSE; }));
    manager_->Detach();
    ok = VARIANT_TRUE;
    manager_->GetImplementation(&found, &ok);
    EXPECT_EQ(ok, VARIANT_FALSE);
}

TEST_F(FrameManager, ClientAreaModeKeepsTheSystemFrameAndReportsClicks) {
    FrameWindow w;
    RECT before{};
    ::GetClientRect(w.hwnd, &before);
    TestModifier m(w.hwnd);
    m.method = ECNCUseClientArea;
    Attach(w, m);
    EXPECT_EQ(Subscriptions(), 5u);
    RECT after{};
    ::GetClientRect(w.hwnd, &after);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    int paints = m.paints;
    ::SendMessageW(w.hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(m.paints, paints + 1);  // asked to repaint its client-area caption
    // The client detaches (and lets the manager go) from inside NCMouseUp, as a close button does.
    m.onMouseUp = [&] {
        manager_->Detach();
        manager_->Release();
        manager_ = nullptr;
    };
    long gdi = px::test::GdiObjectCount();
    RECT r = w.Rect();
    // HTNOWHERE: the system's own handling (which runs first in this mode) starts no move loop.
    ::SendMessageW(w.hwnd, WM_NCLBUTTONDOWN, HTNOWHERE, MAKELPARAM(r.left + 50, r.top + 5));
    ::SendMessageW(w.hwnd, WM_NCLBUTTONUP, HTNOWHERE, MAKELPARAM(r.left + 50, r.top + 5));
    EXPECT_EQ(m.presses, 1);
    EXPECT_EQ(m.releases, 1);
    EXPECT_EQ(manager_, nullptr);
    EXPECT_EQ(Subscriptions(), 0u);
    EXPECT_LE(px::test::GdiObjectCount(), gdi);  // the window DC went back; the manager's own DC is gone
}

TEST_F(FrameManager, AMaximisedMdiChildKeepsTheSystemMarginsAndIsNotPainted) {
    FrameWindow frame;
    CLIENTCREATESTRUCT ccs{nullptr, 1000};
    HWND client = ::CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 300, 200,
                                    frame.hwnd, nullptr, ::GetModuleHandleW(nullptr), &ccs);
    ASSERT_TRUE(client);
    MDICREATESTRUCTW mcs{};
    mcs.szClass = L"VeltrimFrameTest";
    mcs.szTitle = L"Child";
    mcs.hOwner = ::GetModuleHandleW(nullptr);
    mcs.x = mcs.y = 0;
    mcs.cx = 200;
    mcs.cy = 150;
    mcs.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    HWND child = reinterpret_cast<HWND>(::SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    ASSERT_TRUE(child);
    TestModifier m(child);
    ASSERT_EQ(manager_->Attach(&m), S_OK);
    EXPECT_EQ(Subscriptions(), 17u);  // WM_SIZE as well, for an MDI child
    ::ShowWindow(child, SW_MAXIMIZE);
    ::SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    px::test::PumpPending();
    int paints = m.paints;
    ::RedrawWindow(child, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(m.paints, paints);
    RECT r{}, c{};
    ::GetWindowRect(child, &r);
    ::GetClientRect(child, &c);
    int cx = ::GetSystemMetrics(SM_CXFRAME), cy = ::GetSystemMetrics(SM_CYFRAME);
    int top = ::GetSystemMetrics(SM_CYCAPTION) + cy;
    ASSERT_NE(top, TestModifier::kTopMargin);
    EXPECT_EQ(c.right, (r.right - r.left) - 2 * cx - 1);
    EXPECT_EQ(c.bottom, (r.bottom - r.top) - top - cy - 1);  // the system's margins, not the modifier's 40
    manager_->Detach();
    EXPECT_EQ(Subscriptions(), 0u);
}
