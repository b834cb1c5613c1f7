// The button control under the platform: clicks by mode, option groups in
// the container's properties, hover with timer 237, keyboard, shapes and
// faces, persisted properties.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/core/OptionGroup.h"
#include "controls/modUxTimer.h"
#include "controls/uxButtons_H.h"
#include "tests/win/ControlTestHost.h"

using px::controls::PropertyBag;
using px::test::ClientLParam;
using px::test::PumpPending;
using px::test::PumpUntil;
using px::test::TestHost;
using px::win::uxButtons_H;

namespace {

void PostClick(HWND h, int x, int y, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP) {
    ::PostMessageW(h, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : 0, ClientLParam(x, y));
    ::PostMessageW(h, up, 0, ClientLParam(x, y));
    PumpPending();
}

intptr_t HostProp(HWND host, const wchar_t* name) { return reinterpret_cast<intptr_t>(::GetPropW(host, name)); }

struct Recorder {
    int clicks = 0;
    int doubleClicks = 0;
    std::vector<bool> hover;
    std::vector<int> downButtons, upButtons, keysDown, keysUp;
    void Attach(uxButtons_H& b) {
        b.Click.connect([this] { ++clicks; });
        b.DoubleClick.connect([this] { ++doubleClicks; });
        b.MouseOnButton.connect([this](bool on) { hover.push_back(on); });
        b.MouseDown.connect([this](int button, int, int, int) { downButtons.push_back(button); });
        b.MouseUp.connect([this](int button, int, int, int) { upButtons.push_back(button); });
        b.KeyDown.connect([this](int& code, int) { keysDown.push_back(code); });
        b.KeyUp.connect([this](int& code, int) { keysUp.push_back(code); });
    }
};

TEST(uxButtons_H, ClicksFollowTheModeRules) {
    TestHost host;
    struct {
        int mode;
        bool before;
        int clicks;
        bool after;
    } cases[] = {
        {0, false, 1, false}, {1, false, 1, true}, {1, true, 1, false}, {2, false, 1, true}, {2, true, 0, true},
    };
    for (auto& c : cases) {
        uxButtons_H b;
        ASSERT_TRUE(b.Create(host.hwnd(), L"cmdTest", 10, 10, 100, 30));
        b.SetMode(c.mode);
        b.SetValue(c.before);
        Recorder r;
        r.Attach(b);
        PostClick(b.hwnd(), 50, 15);
        EXPECT_EQ(r.clicks, c.clicks) << "mode " << c.mode << " value " << c.before;
        EXPECT_EQ(b.Value(), c.after) << "mode " << c.mode << " value " << c.before;
        EXPECT_EQ(::GetCapture(), nullptr) << "the release must free the pointer";
    }
}

TEST(uxButtons_H, OnlyALeftReleaseInsideCounts) {
    TestHost host;
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdTest", 10, 10, 100, 30));
    b.SetMode(1);
    Recorder r;
    r.Attach(b);
    PostClick(b.hwnd(), 50, 15, WM_RBUTTONDOWN, WM_RBUTTONUP);
    PostClick(b.hwnd(), 50, 15, WM_MBUTTONDOWN, WM_MBUTTONUP);
    EXPECT_EQ(r.clicks, 0);
    EXPECT_FALSE(b.Value());
    EXPECT_EQ(r.downButtons, (std::vector<int>{2, 4}));
    EXPECT_EQ(r.upButtons, (std::vector<int>{2, 4}));
    // Pressed inside, released outside: no click.
    ::PostMessageW(b.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(50, 15));
    PumpPending();
    EXPECT_EQ(::GetCapture(), b.hwnd()) << "a press captures the pointer";
    EXPECT_TRUE(b.ShowsDown());
    ::PostMessageW(b.hwnd(), WM_LBUTTONUP, 0, ClientLParam(150, 15));
    PumpPending();
    EXPECT_EQ(r.clicks, 0);
    EXPECT_FALSE(b.ShowsDown());
    // A release that never had a press on the button is no click either.
    ::PostMessageW(b.hwnd(), WM_LBUTTONUP, 0, ClientLParam(50, 15));
    PumpPending();
    EXPECT_EQ(r.clicks, 0);
    // Disabled buttons do not click.
    b.SetEnabled(false);
    PostClick(b.hwnd(), 50, 15);
    EXPECT_EQ(r.clicks, 0);
    b.SetEnabled(true);
    PostClick(b.hwnd(), 50, 15);
    EXPECT_EQ(r.clicks, 1);
    EXPECT_TRUE(b.Value());
    // The owner disabling the window directly is the same as Enabled false.
    ::EnableWindow(b.hwnd(), FALSE);
    EXPECT_FALSE(b.Enabled());
    ::SendMessageW(b.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(r.clicks, 1);
    ::EnableWindow(b.hwnd(), TRUE);
    EXPECT_TRUE(b.Enabled());
}

TEST(uxButtons_H, DoubleClickCountsAsClickThenDoubleClick) {
    TestHost host;
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdTest", 10, 10, 100, 30));
    Recorder r;
    r.Attach(b);
    PostClick(b.hwnd(), 20, 10);
    PostClick(b.hwnd(), 20, 10, WM_LBUTTONDBLCLK, WM_LBUTTONUP);
    EXPECT_EQ(r.clicks, 2);
    EXPECT_EQ(r.doubleClicks, 1);
}

TEST(uxButtons_H, RealPointerClickThroughSendInput) {
    TestHost host;
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdReal", 60, 60, 120, 40));
    Recorder r;
    r.Attach(b);
    PumpPending();
    POINT p = px::test::ScreenPointOf(b.hwnd(), 60, 20);
    ASSERT_TRUE(::SetCursorPos(p.x, p.y));
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(::SendInput(2, in, sizeof(INPUT)), 2u);
    EXPECT_TRUE(PumpUntil([&] { return r.clicks == 1; }));
    EXPECT_EQ(r.downButtons, std::vector<int>{1});
    ::SetCursorPos(1000, 700);
    PumpUntil([&] { return !b.IsHovering(); });
}

TEST(uxButtons_H, OptionGroupRegistersOnTheContainer) {
    TestHost host;
    HWND h = host.hwnd();
    std::vector<std::unique_ptr<uxButtons_H>> opts;
    for (int i = 0; i < 3; ++i) {
        opts.push_back(std::make_unique<uxButtons_H>());
        ASSERT_TRUE(opts.back()->Create(h, L"optShape", 10 + 110 * i, 10, 100, 30));
        opts.back()->SetMode(2);
    }
    EXPECT_EQ(HostProp(h, L"ux_OptCount"), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(HostProp(h, (L"ux_Obj" + std::to_wstring(i + 1)).c_str()),
                  reinterpret_cast<intptr_t>(opts[i]->hwnd()));

    opts[0]->SetValue(true);
    Recorder r1;
    r1.Attach(*opts[1]);
    PostClick(opts[1]->hwnd(), 50, 15);
    EXPECT_EQ(r1.clicks, 1);
    EXPECT_FALSE(opts[0]->Value()) << "clicking an option turns the others of its container off";
    EXPECT_TRUE(opts[1]->Value());
    EXPECT_FALSE(opts[2]->Value());
    opts[2]->SetValue(true);
    EXPECT_FALSE(opts[1]->Value());

    // Leaving option mode closes up the list; push mode clears Value.
    opts[0]->SetMode(1);
    EXPECT_EQ(HostProp(h, L"ux_OptCount"), 2);
    EXPECT_EQ(HostProp(h, L"ux_Obj1"), reinterpret_cast<intptr_t>(opts[1]->hwnd()));
    EXPECT_EQ(HostProp(h, L"ux_Obj2"), reinterpret_cast<intptr_t>(opts[2]->hwnd()));
    EXPECT_EQ(HostProp(h, L"ux_Obj3"), 0);
    opts[2]->SetMode(0);
    EXPECT_FALSE(opts[2]->Value());
    EXPECT_EQ(HostProp(h, L"ux_OptCount"), 1);
    // A check button of the same container is not part of the group.
    opts[0]->SetValue(true);
    opts[1]->SetValue(true);
    EXPECT_TRUE(opts[0]->Value());
    // Destroying the last option leaves the container clean.
    opts[1]->Destroy();
    EXPECT_EQ(HostProp(h, L"ux_OptCount"), 0);
    EXPECT_EQ(HostProp(h, L"ux_Obj1"), 0);
}

TEST(uxButtons_H, OptionGroupsAreSeparatePerContainer) {
    TestHost host;
    TestHost other(700, 40, 300, 200);
    uxButtons_H a, b, c;
    a.Create(host.hwnd(), L"optA", 10, 10, 80, 24);
    b.Create(host.hwnd(), L"optB", 10, 40, 80, 24);
    c.Create(other.hwnd(), L"optC", 10, 10, 80, 24);
    for (auto* x : {&a, &b, &c}) x->SetMode(2);
    a.SetValue(true);
    c.SetValue(true);
    EXPECT_TRUE(a.Value()) << "an option of another container must not turn this one off";
    b.SetValue(true);
    EXPECT_FALSE(a.Value());
    EXPECT_TRUE(c.Value());
}

TEST(uxButtons_H, HoverEnterAndLeaveRaiseMouseOnButton) {
    TestHost host;
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdHover", 100, 100, 120, 40));
    b.SetCaption(L"");
    b.SetHoverBackColor(RGB(255, 0, 0));
    Recorder r;
    r.Attach(b);
    PumpPending();
    ::SetCursorPos(5, 5);
    PumpPending();
    POINT p = px::test::ScreenPointOf(b.hwnd(), 60, 20);
    ASSERT_TRUE(::SetCursorPos(p.x, p.y));
    ::PostMessageW(b.hwnd(), WM_MOUSEMOVE, 0, ClientLParam(60, 20));
    ASSERT_TRUE(PumpUntil([&] { return !r.hover.empty(); }));
    EXPECT_EQ(r.hover, std::vector<bool>{true});
    EXPECT_TRUE(b.IsHovering());
    EXPECT_EQ(::GetPropW(b.hwnd(), L"ux_ClassID"), static_cast<HANDLE>(b.hwnd()));
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(::GetPropW(b.hwnd(), L"ux_TimerID")), 237u);
    EXPECT_EQ(px::test::ClientPixels(b.hwnd()).at(60, 20), RGB(255, 0, 0)) << "hover colours while over it";
    // Further moves inside do not enter again.
    ::PostMessageW(b.hwnd(), WM_MOUSEMOVE, 0, ClientLParam(61, 21));
    PumpPending();
    EXPECT_EQ(r.hover.size(), 1u);

    ::SetCursorPos(p.x + 300, p.y + 200);
    ASSERT_TRUE(PumpUntil([&] { return r.hover.size() == 2; }));
    EXPECT_EQ(r.hover, (std::vector<bool>{true, false}));
    EXPECT_FALSE(b.IsHovering());
    EXPECT_EQ(::GetPropW(b.hwnd(), L"ux_ClassID"), nullptr);
    EXPECT_NE(px::test::ClientPixels(b.hwnd()).at(60, 20), RGB(255, 0, 0)) << "normal colours again";
}

TEST(uxButtons_H, LeavingWhilePressedLiftsTheFaceAndReturningPressesIt) {
    TestHost host;
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdDrag", 100, 100, 120, 40));
    Recorder r;
    r.Attach(b);
    POINT inside = px::test::ScreenPointOf(b.hwnd(), 60, 20);
    ::SetCursorPos(inside.x, inside.y);
    ::PostMessageW(b.hwnd(), WM_MOUSEMOVE, 0, ClientLParam(60, 20));
    ::PostMessageW(b.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(60, 20));
    ASSERT_TRUE(PumpUntil([&] { return b.ShowsDown() && b.IsHovering(); }));
    ::SetCursorPos(inside.x + 300, inside.y);
    ASSERT_TRUE(PumpUntil([&] { return !b.IsHovering(); }));
    EXPECT_FALSE(b.ShowsDown()) << "the pressed mark goes with the hover";
    ::SetCursorPos(inside.x, inside.y);
    ::PostMessageW(b.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, ClientLParam(60, 20));
    ASSERT_TRUE(PumpUntil([&] { return b.IsHovering(); }));
    EXPECT_TRUE(b.ShowsDown()) << "coming back with the button held presses it again";
    ::PostMessageW(b.hwnd(), WM_LBUTTONUP, 0, ClientLParam(60, 20));
    PumpPending();
    EXPECT_EQ(r.clicks, 1);
    ::SetCursorPos(1000, 700);
    PumpUntil([&] { return !b.IsHovering(); });
}

TEST(uxButtons_H, KeyboardArrowsGoToTheTagWindowSpaceClicks) {
    TestHost host;
    TestHost target(700, 40, 200, 100);
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdKeys", 10, 10, 100, 30));
    b.SetTag(std::to_wstring(reinterpret_cast<uintptr_t>(target.hwnd())));
    Recorder r;
    r.Attach(b);
    EXPECT_EQ(::SendMessageW(b.hwnd(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
    for (WPARAM vk : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) ::SendMessageW(b.hwnd(), WM_KEYDOWN, vk, 1);
    ::SendMessageW(b.hwnd(), WM_KEYDOWN, 'A', 1);
    ::SendMessageW(b.hwnd(), WM_KEYUP, 'A', 0xC0000001);
    PumpUntil([&] { return target.keysDown.size() == 4; });
    EXPECT_EQ(target.keysDown, (std::vector<WPARAM>{VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}));
    EXPECT_EQ(r.keysDown, std::vector<int>{'A'}) << "arrows are swallowed, other keys raise KeyDown";
    EXPECT_EQ(r.keysUp, std::vector<int>{'A'});

    ::SendMessageW(b.hwnd(), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_TRUE(b.ShowsDown()) << "the space bar shows it pressed";
    EXPECT_EQ(r.clicks, 0);
    ::SendMessageW(b.hwnd(), WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_FALSE(b.ShowsDown());
    EXPECT_EQ(r.clicks, 1);

    // A handler that zeroes the key code swallows it: no pressed look, no click.
    b.KeyDown.connect([](int& code, int) {
        if (code == VK_SPACE) code = 0;
    });
    ::SendMessageW(b.hwnd(), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_FALSE(b.ShowsDown());
    ::SendMessageW(b.hwnd(), WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(r.clicks, 1);

    // Without a valid Tag the arrows are still swallowed.
    b.SetTag(L"12abc");
    ::SendMessageW(b.hwnd(), WM_KEYDOWN, VK_LEFT, 1);
    PumpPending();
    EXPECT_EQ(target.keysDown.size(), 4u);
}

TEST(uxButtons_H, CaptionAccessKeyAndTitle) {
    TestHost host;
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdSave", 10, 10, 100, 40));
    EXPECT_EQ(b.Caption(), L"cmdSave") << "the caption defaults to the control's name";
    b.SetCaption(L"Save && &Close||now");
    EXPECT_EQ(b.AccessKey(), L'C');
    EXPECT_EQ(px::win::GetWindowTextString(b.hwnd()), L"Save && &Close now");
    Recorder r;
    r.Attach(b);
    ::SendMessageW(b.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(r.clicks, 1);
}

TEST(uxButtons_H, RefusedSettingsAreIgnored) {
    TestHost host;
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdX", 10, 10, 100, 40));
    b.SetValue(true);
    EXPECT_FALSE(b.Value()) << "push buttons have no value";
    b.SetButtonStyle(8);
    EXPECT_EQ(b.ButtonStyle(), 2);
    b.SetButtonShape(7);
    EXPECT_EQ(b.ButtonShape(), 0) << "custom shapes need a bitmap picture";
    b.SetPicture(px::test::MakeIconPicture(16, [](int, int) { return 0xFF0000FFu; }));
    b.SetButtonShape(8);
    EXPECT_EQ(b.ButtonShape(), 0) << "an icon gives no outline";
    b.SetPictureAlign(4);
    b.SetCaptionAlign(0);
    EXPECT_EQ(b.CaptionAlign(), 2) << "a caption under a picture is centred";
    b.SetPictureAlign(0);
    b.SetCaptionAlign(0);
    EXPECT_EQ(b.CaptionAlign(), 0);
    b.SetForeColor(0x01000003);
    EXPECT_EQ(b.ForeColor(), 0x80000012u);
    b.SetGradientMode(5);
    EXPECT_EQ(b.GradientMode(), 0);
    b.SetMouseIcon(px::test::MakeBitmapPicture(4, 4, [](int, int) { return 0u; }));
    EXPECT_FALSE(static_cast<bool>(b.MouseIcon())) << "only icons and cursors";
}

TEST(uxButtons_H, CustomShapeIsCutFromThePictureOutline) {
    TestHost host;
    // A white disc on magenta: the top-left magenta is the outside.
    auto disc = px::test::MakeBitmapPicture(40, 40, [](int x, int y) {
        int dx = x - 20, dy = y - 20;
        return dx * dx + dy * dy < 18 * 18 ? 0x3060C0u : 0xFF00FFu;
    });
    ASSERT_TRUE(static_cast<bool>(disc));
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdDisc", 10, 10, 100, 60));
    b.SetCaption(L"");
    b.SetPicture(disc);
    b.SetPictureSize(1);
    b.SetButtonShape(7);
    EXPECT_EQ(b.ButtonShape(), 7);
    EXPECT_EQ(b.PictureSize(), 4) << "custom shapes show the picture at its own size";
    b.SetPictureSize(0);
    EXPECT_EQ(b.PictureSize(), 4);
    RECT rc;
    ::GetClientRect(b.hwnd(), &rc);
    EXPECT_EQ(rc.right, 40);
    EXPECT_EQ(rc.bottom, 40);
    px::win::ScopedRgn rgn(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(b.hwnd(), rgn.get()), ERROR);
    EXPECT_TRUE(::PtInRegion(rgn.get(), 20, 20));
    EXPECT_FALSE(::PtInRegion(rgn.get(), 2, 2));
    Recorder r;
    r.Attach(b);
    PostClick(b.hwnd(), 3, 3);
    EXPECT_EQ(r.clicks, 0) << "a corner outside the outline is not the button";
    PostClick(b.hwnd(), 20, 20);
    EXPECT_EQ(r.clicks, 1);
    // Back to a plain shape: no region any more.
    b.SetPicture(px::win::OlePicture());
    EXPECT_EQ(b.ButtonShape(), 0);
    px::win::ScopedRgn none(::CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(::GetWindowRgn(b.hwnd(), none.get()), ERROR);
}

TEST(uxButtons_H, StandardFaceIsLitTopLeftAndSinksWhenPressed) {
    TestHost host;
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdFace", 10, 10, 100, 40));
    b.SetCaption(L"");
    b.SetBackColor(RGB(160, 160, 160));
    px::test::ClientPixels up(b.hwnd());
    EXPECT_GT(px::test::Brightness(up.at(0, 20)), px::test::Brightness(up.at(50, 20)));
    EXPECT_LT(px::test::Brightness(up.at(99, 20)), px::test::Brightness(up.at(50, 20)));
    EXPECT_EQ(up.at(50, 20), RGB(160, 160, 160));
    b.SetMode(1);
    b.SetValue(true);
    px::test::ClientPixels down(b.hwnd());
    EXPECT_LT(px::test::Brightness(down.at(0, 20)), px::test::Brightness(down.at(50, 20)));
    EXPECT_GT(px::test::Brightness(down.at(99, 20)), px::test::Brightness(down.at(50, 20)));
    // Gradient left to right from BackColor to GradientColor.
    b.SetValue(false);
    b.SetGradientColor(RGB(0, 0, 255));
    b.SetGradientMode(1);
    px::test::ClientPixels g(b.hwnd());
    EXPECT_GT(GetRValue(g.at(10, 20)), GetRValue(g.at(90, 20)));
    EXPECT_LT(GetBValue(g.at(10, 20)), GetBValue(g.at(90, 20)));
}

TEST(uxButtons_H, DelayDrawingHoldsPaintsUntilReleased) {
    TestHost host;
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdDelay", 10, 10, 100, 40));
    b.SetCaption(L"");
    b.SetBackColor(RGB(200, 0, 0));
    PumpPending();
    // hDC is the face the button last drew.
    EXPECT_EQ(::GetPixel(b.hDC(), 50, 20), RGB(200, 0, 0));
    b.DelayDrawing(true);
    b.SetBackColor(RGB(0, 128, 0));
    b.SetButtonStyle(0);
    b.Refresh();
    PumpPending();
    RECT dirty;
    EXPECT_FALSE(::GetUpdateRect(b.hwnd(), &dirty, FALSE)) << "nothing waits to paint while delayed";
    EXPECT_EQ(::GetPixel(b.hDC(), 50, 20), RGB(200, 0, 0)) << "no drawing while delayed";
    b.DelayDrawing(false);
    EXPECT_EQ(::GetPixel(b.hDC(), 50, 20), RGB(0, 128, 0)) << "one redraw when released";
}

TEST(uxButtons_H, PropertiesLoadFromABagAndSaveBack) {
    TestHost host;
    PropertyBag bag{{"Caption", L"&Dither"}, {"BackStyle", 4},    {"Mode", 1},       {"Value", true},
                    {"CapAlign", 0},         {"Shape", 1},        {"Gradient", 3},   {"cBack", 0x00FFEEDDu},
                    {"cFHover", 0x0000FFu},  {"LockHover", 2},    {"Focus", false},  {"Font", L"Tahoma,9,b"}};
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdDither", RECT{10, 10, 110, 40}, bag));
    EXPECT_EQ(b.Caption(), L"&Dither");
    EXPECT_EQ(b.ButtonStyle(), 4);
    EXPECT_EQ(b.Mode(), 1);
    EXPECT_TRUE(b.Value());
    EXPECT_EQ(b.ButtonShape(), 1);
    EXPECT_EQ(b.HoverForeColor(), 0x0000FFu);
    EXPECT_EQ(b.HoverBackColor(), 0x00FFEEDDu) << "the back hover colour stays locked";
    EXPECT_FALSE(b.ShowFocusRect());
    EXPECT_EQ(b.Font().name, L"Tahoma");
    PropertyBag saved = b.WriteProperties();
    uxButtons_H copy;
    ASSERT_TRUE(copy.Create(host.hwnd(), L"cmdCopy", RECT{10, 50, 110, 80}, saved));
    EXPECT_EQ(copy.WriteProperties(), saved);
    copy.SetResetDefaultColors(true);
    EXPECT_EQ(copy.BackColor(), 0x8000000Fu);
    EXPECT_EQ(copy.HoverForeColor(), copy.ForeColor());
}

TEST(uxButtons_H, OptionModeSetBeforeCreationRegistersAtCreation) {
    TestHost host;
    uxButtons_H a, b;
    a.SetMode(2);
    b.SetMode(2);
    b.SetValue(true);
    ASSERT_TRUE(a.Create(host.hwnd(), L"optA", 10, 10, 80, 24));
    ASSERT_TRUE(b.Create(host.hwnd(), L"optB", 10, 40, 80, 24));
    EXPECT_EQ(HostProp(host.hwnd(), L"ux_OptCount"), 2);
    a.SetValue(true);
    EXPECT_FALSE(b.Value());
}

TEST(uxButtons_H, AccessKeyThroughTheDialogManager) {
    TestHost host;
    uxButtons_H other, save;
    ASSERT_TRUE(other.Create(host.hwnd(), L"cmdOther", 10, 10, 80, 24));
    ASSERT_TRUE(save.Create(host.hwnd(), L"cmdSave", 10, 40, 80, 24));
    save.SetCaption(L"Sa&ve");
    Recorder r;
    r.Attach(save);
    ::SetFocus(other.hwnd());
    MSG msg{other.hwnd(), WM_SYSCHAR, L'v', 0x20000001, 0, {0, 0}};
    EXPECT_TRUE(::IsDialogMessageW(host.hwnd(), &msg));
    PumpPending();
    EXPECT_EQ(r.clicks, 1) << "Alt+V clicks the button whose caption underlines V";
}

TEST(uxButtons_H, MouseMoveKeyPressAndDroppedFiles) {
    TestHost host;
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdDrop", 10, 10, 100, 30));
    std::vector<int> moves;
    std::vector<int> chars;
    std::vector<std::wstring> dropped;
    POINT dropAt{};
    b.MouseMove.connect([&](int button, int, int x, int y) { moves.insert(moves.end(), {button, x, y}); });
    b.KeyPress.connect([&](int& ascii) { chars.push_back(ascii); });
    b.OLEDragDrop.connect([&](const std::vector<std::wstring>& files, int, int, int x, int y) {
        dropped = files;
        dropAt = {x, y};
    });
    ::SendMessageW(b.hwnd(), WM_MOUSEMOVE, MK_RBUTTON, ClientLParam(7, 9));
    ::SendMessageW(b.hwnd(), WM_CHAR, 'q', 1);
    EXPECT_EQ(moves, (std::vector<int>{2, 7, 9}));
    EXPECT_EQ(chars, std::vector<int>{'q'});

    b.SetOLEDropMode(1);
    EXPECT_TRUE(::GetWindowLongW(b.hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    const wchar_t names[] = L"C:\\a.bmp\0C:\\b.gif\0";
    HGLOBAL mem = ::GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof(names));
    auto* df = static_cast<DROPFILES*>(::GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->pt = {5, 6};
    df->fWide = TRUE;
    memcpy(df + 1, names, sizeof(names));
    ::GlobalUnlock(mem);
    ::SendMessageW(b.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(mem), 0);  // the button frees it
    EXPECT_EQ(dropped, (std::vector<std::wstring>{L"C:\\a.bmp", L"C:\\b.gif"}));
    EXPECT_EQ(dropAt.x, 5);
    EXPECT_EQ(dropAt.y, 6);
    b.SetOLEDropMode(0);
    EXPECT_FALSE(::GetWindowLongW(b.hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST(uxButtons_H, MousePointerSetsTheCursorOverTheButton) {
    TestHost host;
    uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdCursor", 10, 10, 100, 30));
    struct {
        int pointer;
        LPCWSTR cursor;
    } cases[] = {{2, IDC_CROSS}, {3, IDC_IBEAM}, {11, IDC_WAIT}, {0, IDC_ARROW}};
    for (auto& c : cases) {
        b.SetMousePointer(c.pointer);
        ::SendMessageW(b.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(b.hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, c.cursor)) << c.pointer;
    }
    b.SetMousePointer(16);
    EXPECT_EQ(b.MousePointer(), 0);
}

}  // namespace

namespace {

// A window that counts the hover ticks it gets and answers them (or not).
class TickCounter : public px::win::Window {
public:
    explicit TickCounter(LRESULT answer) : answer_(answer) {
        RegisterClassOnce(L"PxHoverTickCounter", 0, nullptr);
        CreateWindowObject(L"PxHoverTickCounter", L"", WS_POPUP, 0, 0, 0, 10, 10, nullptr, nullptr);
    }
    int ticks = 0;
    UINT_PTR lastTimer = 0;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg != px::win::modUxTimer::HoverTickMessage()) return DefaultProc(msg, wp, lp);
        ++ticks;
        lastTimer = static_cast<UINT_PTR>(wp);
        return answer_;
    }

private:
    LRESULT answer_;
};

}  // namespace

// The timer routine knows windows, not buttons: whoever answers its message
// keeps the timer; a window that does not answer loses it after one tick.
TEST(modUxTimer, TicksReachAnyWindowAndStopWhenNobodyAnswers) {
    namespace ux = px::win::modUxTimer;
    for (LRESULT answer : {LRESULT{1}, LRESULT{0}}) {
        TickCounter w(answer);
        ASSERT_TRUE(ux::StartHoverTimer(w.hwnd(), 237));
        ASSERT_TRUE(PumpUntil([&] { return w.ticks >= (answer ? 3 : 1); })) << "answer " << answer;
        EXPECT_EQ(w.lastTimer, 237u);
        // KillTimer fails for a timer that is already gone.
        EXPECT_EQ(::KillTimer(w.hwnd(), 237) != FALSE, answer != 0) << "answer " << answer;
        if (!answer) {
            EXPECT_EQ(w.ticks, 1) << "no tick after the one nobody answered";
        }
        ux::StopHoverTimer(w.hwnd());
        EXPECT_EQ(::GetPropW(w.hwnd(), ux::kClassIdProp), nullptr);
    }
}
