// The About window under the platform: its texts, the link through an
// injected launcher, "Close" and the close box raising Closed once, and no
// GDI objects or windows left behind by repeated opening.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frmAbout.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"

using px::frmAbout;
using px::test::PumpPending;
using px::test::PumpUntil;

namespace {

std::wstring Text(HWND h) { return px::win::GetWindowTextString(h); }

void PostClick(HWND h, int x, int y) {
    ::PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    PumpPending();
}

struct AboutFixture : ::testing::Test {
    void SetUp() override {
        frmAbout::Get().SetBrowserLauncher([this](const std::wstring& a) { launched.push_back(a); });
        frmAbout::Get().Closed.clear();
        frmAbout::Get().Closed.connect([this] {
            ++closed;
            stillLoadedWhenClosed = frmAbout::Get().IsLoaded();
        });
        frmAbout::Get().Show(SW_SHOWNORMAL);
        ASSERT_TRUE(PumpUntil([] { return frmAbout::Get().IsVisible(); }));
    }
    void TearDown() override {
        frmAbout::Get().Unload();
        frmAbout::Get().Closed.clear();
        frmAbout::Get().SetBrowserLauncher(px::OpenInDefaultBrowser);
    }
    std::vector<std::wstring> launched;
    int closed = 0;
    bool stillLoadedWhenClosed = true;
};

TEST_F(AboutFixture, ShowsCaptionNamesLinkAndClose) {
    HWND w = frmAbout::Get().hwnd();
    EXPECT_EQ(Text(w), L"  About Orvo Pixtrel 4.0");
    EXPECT_EQ(Text(::GetDlgItem(w, frmAbout::IdLblProduct)), L"Orvo Pixtrel 4.0");
    EXPECT_EQ(Text(::GetDlgItem(w, frmAbout::IdLblMaker)), L"Orvo Software");
    EXPECT_EQ(Text(frmAbout::Get().lblURL()), frmAbout::kMakerAddress);
    EXPECT_EQ(Text(frmAbout::Get().cmdExit().hwnd()), L"Close");
    EXPECT_TRUE(::IsWindowVisible(frmAbout::Get().lblURL()));
}

// The maker's page is ours or a reserved example domain, never a third party's site.
TEST_F(AboutFixture, LinkOpensTheMakersAddressThroughTheLauncher) {
    const std::wstring address = frmAbout::kMakerAddress;
    EXPECT_EQ(address.rfind(L"https://www.example.com/", 0), 0u);
    PostClick(frmAbout::Get().lblURL(), 10, 8);
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], address);
    EXPECT_TRUE(frmAbout::Get().IsLoaded()) << "the link leaves the window open";
}

TEST_F(AboutFixture, ReopenedWindowOpensTheAddressOncePerClick) {
    for (int i = 0; i < 3; ++i) {
        frmAbout::Get().Unload();
        frmAbout::Get().Show(SW_SHOWNORMAL);
    }
    PostClick(frmAbout::Get().lblURL(), 10, 8);
    EXPECT_EQ(launched.size(), 1u);
}

TEST_F(AboutFixture, CloseUnloadsAndRaisesClosedOnce) {
    RECT r;
    ::GetClientRect(frmAbout::Get().cmdExit().hwnd(), &r);
    PostClick(frmAbout::Get().cmdExit().hwnd(), r.right / 2, r.bottom / 2);
    EXPECT_FALSE(frmAbout::Get().IsLoaded());
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(stillLoadedWhenClosed) << "Closed comes after the window is gone";
    frmAbout::Get().Unload();  // a second unload of an unloaded window raises nothing
    EXPECT_EQ(closed, 1);
}

TEST_F(AboutFixture, CloseBoxUnloadsLikeClose) {
    ::SendMessageW(frmAbout::Get().hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(frmAbout::Get().IsLoaded());
    EXPECT_EQ(closed, 1);
}

TEST_F(AboutFixture, RepeatedOpeningLeavesNoObjectsBehind) {
    frmAbout::Get().Unload();
    PumpPending();
    const long gdiBefore = px::test::GdiObjectCount();
    const size_t windowsBefore = px::test::WindowCountOfThisProcess();
    for (int i = 0; i < 20; ++i) {
        frmAbout::Get().Show(SW_SHOWNORMAL);
        ::UpdateWindow(frmAbout::Get().hwnd());
        PumpPending();
        frmAbout::Get().Unload();
        PumpPending();
    }
    EXPECT_EQ(closed, 21);
    EXPECT_EQ(px::test::WindowCountOfThisProcess(), windowsBefore);
    ASSERT_GE(gdiBefore, 0);
    EXPECT_EQ(px::test::GdiObjectCount(), gdiBefore);
    frmAbout::Get().Show(SW_SHOWNORMAL);
}

}  // namespace
