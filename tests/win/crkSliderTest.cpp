// The slider under the platform: value rules with error 380, notification
// order, thumb and rail placement, dragging with real pointer input, the
// value tip, rail styles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Error.h"
#include "controls/core/SliderGeometry.h"
#include "controls/crkSlider.h"
#include "controls/frmValueTip.h"
#include "tests/win/ControlTestHost.h"

using px::controls::PropertyBag;
using px::test::ClientLParam;
using px::test::ClientPixels;
using px::test::PumpPending;
using px::test::PumpUntil;
using px::test::TestHost;
using px::win::crkSlider;
using px::win::frmValueTip;

namespace {

struct Log {
    std::vector<std::string> events;
    std::vector<int32_t> values;
    int count(const std::string& e) const {
        int n = 0;
        for (auto& x : events) n += x == e;
        return n;
    }
    void Attach(crkSlider& s) {
        s.Click.connect([this] { events.push_back("Click"); });
        s.ArrivedFirst.connect([this] { events.push_back("ArrivedFirst"); });
        s.ArrivedLast.connect([this] { events.push_back("ArrivedLast"); });
        s.ValueChanged.connect([this](int32_t v) {
            events.push_back("ValueChanged");
            values.push_back(v);
        });
        s.SlideStart.connect([this](int) { events.push_back("SlideStart"); });
        s.SlideEnd.connect([this](int) { events.push_back("SlideEnd"); });
    }
};

template <typename F>
int ErrorNumberOf(F&& f) {
    try {
        f();
    } catch (const px::Error& e) {
        EXPECT_EQ(e.source(), "Orvo-Pixtrel.crkSlider");
        return e.number();
    }
    return 0;
}

TEST(crkSlider, DefaultIsVerticalZeroToTenWithTheThumbAtTheBottom) {
    TestHost host;
    crkSlider s;
    ASSERT_TRUE(s.Create(host.hwnd(), L"sliderGrid", 10, 10, 40, 150));
    EXPECT_EQ(s.Min(), 0);
    EXPECT_EQ(s.Max(), 10);
    EXPECT_EQ(s.Value(), 0);
    EXPECT_EQ(s.Orientation(), 1);
    RECT rc;
    ::GetClientRect(s.hwnd(), &rc);
    EXPECT_EQ(rc.right, 21) << "the control fits its width to the thumb";
    EXPECT_EQ(s.ThumbRect().bottom, rc.bottom);
    EXPECT_EQ(s.ThumbRect().top, rc.bottom - 11);
    RECT rail = s.RailRect();
    EXPECT_EQ(rail.right - rail.left, 4);
    EXPECT_EQ(rail.top, 4);                    // 11 / 2 - 2, rounded half to even
    EXPECT_EQ(rail.bottom, rc.bottom + 4 - 11 + 4);
}

TEST(crkSlider, RefusedSettingsRaise380AndKeepTheOldValues) {
    TestHost host;
    crkSlider s;
    ASSERT_TRUE(s.Create(host.hwnd(), L"sliderGrid", 10, 10, 200, 21));
    Log log;
    log.Attach(s);
    s.SetValue(4);
    EXPECT_EQ(ErrorNumberOf([&] { s.SetValue(11); }), 380);
    EXPECT_EQ(s.Value(), 4);
    EXPECT_EQ(ErrorNumberOf([&] { s.SetValue(-1); }), 380);
    EXPECT_EQ(ErrorNumberOf([&] { s.SetMax(0); }), 380);
    EXPECT_EQ(ErrorNumberOf([&] { s.SetMin(10); }), 380);
    EXPECT_EQ(s.Min(), 0);
    EXPECT_EQ(s.Max(), 10);
    EXPECT_EQ(s.Value(), 4);
    EXPECT_EQ(log.events, std::vector<std::string>{"ValueChanged"});
}

TEST(crkSlider, NotificationOrder) {
    TestHost host;
    crkSlider s;
    ASSERT_TRUE(s.Create(host.hwnd(), L"sliderGrid", 10, 10, 200, 21));
    Log log;
    log.Attach(s);
    s.SetValue(10);
    s.SetValue(10);
    s.SetMin(3);
    s.SetMax(50);
    EXPECT_EQ(log.events, (std::vector<std::string>{"ValueChanged", "ArrivedLast", "ValueChanged", "ArrivedFirst"}));
    EXPECT_EQ(log.values, (std::vector<int32_t>{10, 3}));
    EXPECT_EQ(s.Value(), 3);
}

TEST(crkSlider, ThumbSitsWhereItsValueSays) {
    TestHost host;
    crkSlider s;
    ASSERT_TRUE(s.Create(host.hwnd(), L"sliderGrid", RECT{10, 10, 210, 40}, PropertyBag{{"Orientation", 0}}));
    RECT rc;
    ::GetClientRect(s.hwnd(), &rc);
    EXPECT_EQ(rc.right, 200);
    EXPECT_EQ(rc.bottom, 21) << "the control fits its height to the thumb";
    for (int v : {0, 3, 5, 10}) {
        s.SetValue(v);
        EXPECT_EQ(s.ThumbRect().left, px::controls::ThumbOffsetForValue(v, 0, 10, 200, 11, 0)) << v;
    }
    EXPECT_EQ(s.ThumbRect().right, 200);
    s.SetMax(20);  // same value, longer range: the thumb moves back
    EXPECT_EQ(s.ThumbRect().left, px::controls::ThumbOffsetForValue(10, 0, 20, 200, 11, 0));
}

TEST(crkSlider, DraggingToTheFarEndSetsMaxAndArrivesLastOnce) {
    TestHost host;
    crkSlider s;
    ASSERT_TRUE(s.Create(host.hwnd(), L"sliderGrid", RECT{40, 60, 340, 90},
                         PropertyBag{{"Orientation", 0}, {"Min", 50}, {"Max", 200}, {"Value", 100}}));
    Log log;
    log.Attach(s);
    PumpPending();
    RECT t = s.ThumbRect();
    POINT grab = px::test::ScreenPointOf(s.hwnd(), t.left + 3, (t.top + t.bottom) / 2);
    ASSERT_TRUE(px::test::PointerAt(grab));
    ASSERT_TRUE(px::test::LeftButton(true));
    ASSERT_TRUE(PumpUntil([&] { return s.IsDragging(); }));
    EXPECT_EQ(::GetCapture(), s.hwnd());
    HWND tip = frmValueTip::Instance().hwnd();
    ASSERT_TRUE(tip && ::IsWindowVisible(tip)) << "the tip shows while dragging";
    EXPECT_NE(::GetActiveWindow(), tip) << "the tip never takes activation";
    // Across and past the far end, in steps.
    for (int dx : {60, 120, 200, 280, 330, 400}) {
        POINT p{grab.x + dx, grab.y};
        ASSERT_TRUE(px::test::PointerAt(p));
        PumpUntil([&] { return s.ThumbRect().left >= std::min<int>(300 - 11, t.left + dx); }, 1000);
    }
    ASSERT_TRUE(PumpUntil([&] { return s.Value() == 200; }));
    EXPECT_EQ(s.ThumbRect().right, 300);
    EXPECT_EQ(frmValueTip::Instance().lblTip(), L"200");
    // The tip sits centred above the thumb.
    RECT tr;
    ::GetWindowRect(tip, &tr);
    POINT origin{0, 0};
    ::ClientToScreen(s.hwnd(), &origin);
    RECT thumb = s.ThumbRect();
    px::Rect want = px::controls::ValueTipRect(0, {origin.x, origin.y},
                                                         {thumb.left, thumb.top, thumb.right, thumb.bottom},
                                                         frmValueTip::Instance().TextSize(L"200"));
    EXPECT_EQ(tr.left, want.left);
    EXPECT_EQ(tr.top, want.top);
    EXPECT_EQ(tr.right - tr.left, want.width());
    EXPECT_EQ(tr.bottom - tr.top, want.height());

    ASSERT_TRUE(px::test::LeftButton(false));
    ASSERT_TRUE(PumpUntil([&] { return !s.IsDragging(); }));
    EXPECT_EQ(log.count("ArrivedLast"), 1);
    EXPECT_EQ(log.count("SlideStart"), 1);
    EXPECT_EQ(log.count("SlideEnd"), 1);
    EXPECT_EQ(log.count("Click"), 0) << "released beyond the control";
    EXPECT_EQ(log.events.back(), "SlideEnd");
    EXPECT_EQ(log.values.back(), 200);
    EXPECT_FALSE(::IsWindowVisible(tip)) << "the tip closes at the release";
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST(crkSlider, VerticalDragToTheTopSetsMax) {
    TestHost host;
    crkSlider s;
    ASSERT_TRUE(s.Create(host.hwnd(), L"sliderV", 100, 40, 21, 200));
    Log log;
    log.Attach(s);
    // Press on the rail above the thumb: the thumb jumps centred under the pointer.
    ::SendMessageW(s.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(10, 100));
    ::SendMessageW(s.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, ClientLParam(10, 100));
    EXPECT_EQ(s.Value(), px::controls::ValueForThumbOffset(100 - 5, 0, 10, 200, 11, 1).value());
    ::SendMessageW(s.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, ClientLParam(10, -50));
    EXPECT_EQ(s.Value(), 10);
    EXPECT_EQ(s.ThumbRect().top, 0);
    ::SendMessageW(s.hwnd(), WM_LBUTTONUP, 0, ClientLParam(10, 5));
    EXPECT_EQ(log.count("Click"), 1) << "released inside the control";
    EXPECT_EQ(log.count("ArrivedLast"), 1);
    auto click = std::find(log.events.begin(), log.events.end(), "Click");
    EXPECT_EQ(click + 1, log.events.end() - 1) << "the click comes before the slide end";
}

TEST(crkSlider, ADragThatKeepsTheValueRaisesNoChange) {
    TestHost host;
    crkSlider s;
    ASSERT_TRUE(s.Create(host.hwnd(), L"sliderGrid", RECT{10, 10, 210, 40}, PropertyBag{{"Orientation", 0}, {"Value", 5}}));
    Log log;
    log.Attach(s);
    RECT t = s.ThumbRect();
    int x = t.left + 4, y = 10;
    ::SendMessageW(s.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(x, y));
    for (int dx : {1, 3, 5, -4, 0}) ::SendMessageW(s.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, ClientLParam(x + dx, y));
    ::SendMessageW(s.hwnd(), WM_LBUTTONUP, 0, ClientLParam(x, y));
    EXPECT_EQ(s.Value(), 5);
    EXPECT_EQ(log.count("ValueChanged"), 0);
    EXPECT_EQ(log.events, (std::vector<std::string>{"SlideStart", "Click", "SlideEnd"}));
    EXPECT_EQ(s.ThumbRect().left, t.left) << "the thumb snaps back to its value's place";
}

TEST(crkSlider, DisabledSliderDoesNotDrag) {
    TestHost host;
    crkSlider s;
    ASSERT_TRUE(s.Create(host.hwnd(), L"sliderGrid", RECT{10, 10, 210, 40}, PropertyBag{{"Orientation", 0}}));
    s.SetEnabled(false);
    Log log;
    log.Attach(s);
    ::SendMessageW(s.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(5, 10));
    ::SendMessageW(s.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, ClientLParam(150, 10));
    ::SendMessageW(s.hwnd(), WM_LBUTTONUP, 0, ClientLParam(150, 10));
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(s.Value(), 0);
}

TEST(crkSlider, RailStylesDrawTheirEdges) {
    TestHost host;
    crkSlider s;
    ASSERT_TRUE(s.Create(host.hwnd(), L"sliderGrid", RECT{10, 10, 210, 40},
                         PropertyBag{{"Orientation", 0}, {"BackColor", 0x1EC80Au}, {"Value", 10}}));
    const COLORREF back = RGB(10, 200, 30);
    const COLORREF light = ::GetSysColor(COLOR_3DLIGHT), hilight = ::GetSysColor(COLOR_3DHILIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_3DSHADOW), dark = ::GetSysColor(COLOR_3DDKSHADOW);
    RECT rail = s.RailRect();
    ASSERT_EQ(rail.bottom - rail.top, 4);
    const int x = 60;  // on the rail, away from the thumb at the right end
    // The rail's four rows from the top: the edge's outer and inner border colours, then the inside.
    struct {
        int style;
        COLORREF row0, row1, row3;
    } cases[] = {
        {0, shadow, dark, hilight},   // sunken: outer and inner
        {1, light, hilight, dark},    // raised: outer and inner
        {2, shadow, back, hilight},   // sunken outer only
        {3, hilight, back, shadow},   // raised inner only
        {4, back, back, back},        // no edge
    };
    for (auto& c : cases) {
        s.SetRailStyle(c.style);
        ClientPixels px(s.hwnd());
        EXPECT_EQ(px.at(x, rail.top), c.row0) << "rail style " << c.style;
        EXPECT_EQ(px.at(x, rail.top + 1), c.row1) << "rail style " << c.style;
        EXPECT_EQ(px.at(x, rail.top + 3), c.row3) << "rail style " << c.style;
        EXPECT_EQ(px.at(x, rail.top - 1), back) << "rail style " << c.style;
    }
    // Style 99 draws the rail picture at (2, (height - picture height) / 2).
    s.SetRailPicture(px::test::MakeBitmapPicture(150, 5, [](int, int) { return 0x00FF00u; }));
    s.SetRailStyle(99);
    ClientPixels px(s.hwnd());
    EXPECT_EQ(px.at(2, 8), RGB(0, 255, 0));
    EXPECT_EQ(px.at(2, 12), RGB(0, 255, 0));
    EXPECT_EQ(px.at(2, 13), back);
    EXPECT_EQ(px.at(1, 10), back);
    s.SetRailStyle(5);
    EXPECT_EQ(s.RailStyle(), 99) << "styles 5..98 do not exist";
}

TEST(crkSlider, ValueTipFrameAndSize) {
    TestHost host;
    crkSlider s;
    ASSERT_TRUE(s.Create(host.hwnd(), L"sliderV", 300, 100, 21, 150));
    s.SetValue(7);
    ::SendMessageW(s.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(10, s.ThumbRect().top + 3));
    HWND tip = frmValueTip::Instance().hwnd();
    ASSERT_TRUE(::IsWindowVisible(tip));
    EXPECT_EQ(frmValueTip::Instance().lblTip(), L"7");
    EXPECT_TRUE(::GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    px::Size text = frmValueTip::Instance().TextSize(L"7");
    RECT tr;
    ::GetWindowRect(tip, &tr);
    EXPECT_EQ(tr.right - tr.left, text.cx + 4);
    EXPECT_EQ(tr.bottom - tr.top, text.cy + 3);
    POINT origin{0, 0};
    ::ClientToScreen(s.hwnd(), &origin);
    EXPECT_EQ(tr.right, origin.x + s.ThumbRect().left - 2) << "left of a vertical slider's thumb";
    ClientPixels px(tip);
    EXPECT_EQ(px.at(0, 0), ::GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(px.at(0, px.height() - 2), ::GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(px.at(px.width() - 1, px.height() - 1), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(px.at(px.width() - 1, 1), ::GetSysColor(COLOR_3DDKSHADOW));
    ::SendMessageW(s.hwnd(), WM_LBUTTONUP, 0, ClientLParam(10, 5));
    EXPECT_FALSE(::IsWindowVisible(tip));
    s.SetShowValueTip(false);
    ::SendMessageW(s.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(10, 5));
    EXPECT_FALSE(::IsWindowVisible(tip));
    ::SendMessageW(s.hwnd(), WM_LBUTTONUP, 0, ClientLParam(10, 5));
}

TEST(crkSlider, PropertiesLoadAndSave) {
    TestHost host;
    PropertyBag bag{{"Orientation", 0}, {"Min", 50}, {"Max", 200}, {"Value", 100},
                    {"RailStyle", 2},   {"ShowValueTip", false}, {"BackColor", 0x9C8E85u}};
    crkSlider s;
    ASSERT_TRUE(s.Create(host.hwnd(), L"sliderGrid", RECT{10, 10, 210, 40}, bag));
    EXPECT_EQ(s.Min(), 50);
    EXPECT_EQ(s.Max(), 200);
    EXPECT_EQ(s.Value(), 100);
    EXPECT_EQ(s.RailStyle(), 2);
    EXPECT_FALSE(s.ShowValueTip());
    s.SetValue(120);
    PropertyBag saved = s.WriteProperties();
    EXPECT_EQ(saved.ReadInt("Value", 0), 120);
    crkSlider copy;
    ASSERT_TRUE(copy.Create(host.hwnd(), L"copy", RECT{10, 50, 210, 80}, saved));
    EXPECT_EQ(copy.WriteProperties(), saved);
    EXPECT_GT(s.TwipsPerPixelX(), 0);
}

}  // namespace
