// Native controls raise their events through the router of their owner, from
// the platform's own notifications (EN_CHANGE, BN_CLICKED, WM_HSCROLL).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/win/Window.h"
#include "controls/NativeControls.h"

using namespace px::win;

namespace {
class Host : public Window {
public:
    NativeControlRouter router;
    int unrouted = 0;
    bool Create() {
        RegisterClassOnce(L"PxNativeHost");
        return CreateWindowObject(L"PxNativeHost", L"Host", WS_OVERLAPPEDWINDOW, 0, 0, 0, 300, 200, nullptr,
                                  nullptr) != nullptr;
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (router.Route(msg, wp, lp)) return 0;
            ++unrouted;
            break;
        default:
            break;
        }
        return DefaultProc(msg, wp, lp);
    }
};
}  // namespace

TEST(NativeControls, EditLabelButtonAndCheckBoxRaiseTheirEvents) {
    Host host;
    ASSERT_TRUE(host.Create());
    NativeEdit txtWeight;
    NativeLabel lblWeight;
    NativeButton cmdApply;
    NativeCheckBox chkDither;
    ASSERT_TRUE(txtWeight.Create(host.hwnd(), 11, 10, 10, 80, 20));
    ASSERT_TRUE(lblWeight.Create(host.hwnd(), 12, L"Weight", 100, 10, 80, 20));
    ASSERT_TRUE(cmdApply.Create(host.hwnd(), 13, L"Apply", 10, 40, 80, 24));
    ASSERT_TRUE(chkDither.Create(host.hwnd(), 14, L"Dither", 100, 40, 80, 20));
    for (NativeControl* c : std::vector<NativeControl*>{&txtWeight, &lblWeight, &cmdApply, &chkDither})
        host.router.Add(*c);

    std::vector<std::wstring> seen;
    txtWeight.Change.connect([&] { seen.push_back(L"txtWeight_Change:" + txtWeight.Text()); });
    cmdApply.Click.connect([&] { seen.push_back(L"cmdApply_Click"); });
    chkDither.Click.connect([&] { seen.push_back(chkDither.Checked() ? L"chkDither_Click:on" : L"chkDither_Click:off"); });

    txtWeight.SetText(L"42");
    ::SendMessageW(cmdApply.hwnd(), BM_CLICK, 0, 0);
    ::SendMessageW(chkDither.hwnd(), BM_CLICK, 0, 0);
    ::SendMessageW(chkDither.hwnd(), BM_CLICK, 0, 0);
    chkDither.SetChecked(true);  // by code: no Click
    const std::vector<std::wstring> expected{L"txtWeight_Change:42", L"cmdApply_Click", L"chkDither_Click:on",
                                             L"chkDither_Click:off"};
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(chkDither.Checked());
    EXPECT_EQ(lblWeight.Text(), L"Weight");
    EXPECT_EQ(txtWeight.id(), 11);
}

TEST(NativeControls, ScrollBarMovesWithinItsRangeAndRaisesChangeOnlyOnAMove) {
    Host host;
    ASSERT_TRUE(host.Create());
    NativeScrollBar hscLevel;
    ASSERT_TRUE(hscLevel.Create(host.hwnd(), 21, true, 10, 80, 200, 16));
    host.router.Add(hscLevel);
    hscLevel.SetRange(-5, 20, 2, 10);
    hscLevel.SetValue(0);
    int changes = 0, scrolls = 0;
    hscLevel.Change.connect([&] { ++changes; });
    hscLevel.Scroll.connect([&] { ++scrolls; });
    auto send = [&](WORD code) {
        ::SendMessageW(host.hwnd(), WM_HSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(hscLevel.hwnd()));
    };
    struct Step {
        WORD code;
        int value, changes;
    } steps[] = {
        {SB_LINERIGHT, 2, 1}, {SB_PAGERIGHT, 12, 2}, {SB_PAGERIGHT, 20, 3}, {SB_LINERIGHT, 20, 3},
        {SB_ENDSCROLL, 20, 3}, {SB_LEFT, -5, 4},     {SB_LINELEFT, -5, 4},  {SB_RIGHT, 20, 5},
        {SB_PAGELEFT, 10, 6},
    };
    for (const Step& s : steps) {
        send(s.code);
        EXPECT_EQ(hscLevel.Value(), s.value) << "code " << s.code;
        EXPECT_EQ(changes, s.changes) << "code " << s.code;
        EXPECT_EQ(::GetScrollPos(hscLevel.hwnd(), SB_CTL), s.value) << "the bar shows the value";
    }
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(host.unrouted, 0);
    hscLevel.SetValue(99);  // clamped, no event
    EXPECT_EQ(hscLevel.Value(), 20);
    EXPECT_EQ(changes, 6);
}

TEST(NativeControls, NotificationsOfOtherWindowsAreLeftToTheOwner) {
    Host host;
    ASSERT_TRUE(host.Create());
    NativeButton routed;
    ASSERT_TRUE(routed.Create(host.hwnd(), 31, L"A", 0, 0, 50, 20));
    host.router.Add(routed);
    HWND stranger = ::CreateWindowExW(0, L"BUTTON", L"B", WS_CHILD | BS_PUSHBUTTON, 60, 0, 50, 20, host.hwnd(),
                                      reinterpret_cast<HMENU>(32), nullptr, nullptr);
    ASSERT_NE(stranger, nullptr);
    ::SendMessageW(stranger, BM_CLICK, 0, 0);
    ::SendMessageW(host.hwnd(), WM_COMMAND, MAKEWPARAM(40001, 0), 0);  // a menu command
    EXPECT_EQ(host.unrouted, 2);
}
