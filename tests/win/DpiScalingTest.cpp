// The owner-drawn controls and the small windows at the DPI the platform
// gives them: a button's glyph square and its own font, the slider's thumb and
// the start-up window's buttons grow with the DPI, and no caption is wider
// than its control. scripts/test.sh runs these once more in a process of its
// own with the prefix at 144 dpi (150 %); at 96 dpi they hold as the identity.
#include <gtest/gtest.h>

#include <string>

#include "app/Start.h"
#include "base/Dpi.h"
#include "base/win/DpiLayout.h"
#include "controls/crkSlider.h"
#include "controls/uxButtons_H.h"
#include "tests/win/ControlTestHost.h"

namespace px {
namespace {

constexpr COLORREF kGlyph = RGB(0, 200, 0);

// The extent of the glyph colour on the button's face.
RECT GlyphBounds(HDC face, int w, int h) {
    RECT b{w, h, -1, -1};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (::GetPixel(face, x, y) == kGlyph) {
                b.left = std::min<LONG>(b.left, x);
                b.top = std::min<LONG>(b.top, y);
                b.right = std::max<LONG>(b.right, x + 1);
                b.bottom = std::max<LONG>(b.bottom, y + 1);
            }
    return b;
}

TEST(DpiScaling, ButtonGlyphAndOwnFontFollowTheButtonsDpi) {
    test::TestHost host;
    win::uxButtons_H b;
    ASSERT_TRUE(b.Create(host.hwnd(), L"cmdGlyph", 10, 10, 200, 90));
    const int dpi = static_cast<int>(b.Dpi());
    b.SetCaption(L"Apply");
    b.SetFont(FontDescription{L"Arial", 10.0, 0});
    b.SetPicture(test::MakeIconPicture(16, [](int, int) -> uint32_t { return 0xFF00C800u; }));
    for (int size : {0, 1}) {  // the 16 and 24 squares
        b.SetPictureSize(size);
        b.Refresh();
        test::PumpPending();
        const RECT g = GlyphBounds(b.hDC(), 200, 90);
        const int side = ScaleForDpi(size == 0 ? 16 : 24, dpi);
        EXPECT_EQ(g.right - g.left, side) << "PictureSize " << size << " at " << dpi << " dpi";
        EXPECT_EQ(g.bottom - g.top, side) << "PictureSize " << size << " at " << dpi << " dpi";
    }
    LOGFONTW lf{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(b.hwnd(), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, -RoundHalfEven<LONG>(10.0 * dpi / 72.0)) << "10 points at " << dpi << " dpi";
}

TEST(DpiScaling, SliderThumbFollowsTheSlidersDpi) {
    test::TestHost host;
    win::crkSlider s;
    ASSERT_TRUE(s.Create(host.hwnd(), L"sliderDpi", 10, 10, 200, 10));
    const int dpi = static_cast<int>(s.Dpi());
    const RECT t = s.ThumbRect();
    const LONG w = t.right - t.left, h = t.bottom - t.top;
    // 11 along the rail, 21 across it, whichever way the slider lies.
    EXPECT_EQ(std::min(w, h), ScaleForDpi(11, dpi));
    EXPECT_EQ(std::max(w, h), ScaleForDpi(21, dpi));
    RECT rc;
    ::GetClientRect(s.hwnd(), &rc);
    EXPECT_EQ(w < h ? rc.bottom : rc.right, ScaleForDpi(21, dpi)) << "the control is as thick as its thumb";
}

TEST(DpiScaling, StartWindowLaysOutInUnitsOf96AndItsCaptionsFit) {
    Start& start = Start::Get();
    start.Show(SW_SHOWNORMAL);
    ASSERT_TRUE(start.IsLoaded());
    const UINT dpi = start.Dpi();
    RECT client;
    ::GetClientRect(start.hwnd(), &client);
    EXPECT_EQ(client.right, ScaleForDpi(400, static_cast<int>(dpi)));
    for (const wchar_t* caption : {L"Continue", L"Cancel"}) {
        HWND button = ::FindWindowExW(start.hwnd(), nullptr, L"Button", caption);
        ASSERT_NE(button, nullptr) << caption;
        RECT rc;
        ::GetClientRect(button, &rc);
        EXPECT_EQ(rc.right, ScaleForDpi(96, static_cast<int>(dpi))) << caption;
        EXPECT_EQ(rc.bottom, ScaleForDpi(28, static_cast<int>(dpi))) << caption;
        // The caption in the button's own font, which is made for the window's DPI.
        HFONT font = reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr) << caption;
        LOGFONTW lf{};
        ::GetObjectW(font, sizeof(lf), &lf);
        EXPECT_EQ(lf.lfHeight, -::MulDiv(8, static_cast<int>(dpi), 72)) << caption;
        win::ScopedGetDC dc(button);
        win::ScopedSelectObject sel(dc, font);
        SIZE need{};
        ::GetTextExtentPoint32W(dc, caption, static_cast<int>(wcslen(caption)), &need);
        EXPECT_LT(need.cx, rc.right) << caption;
        EXPECT_LT(need.cy, rc.bottom) << caption;
    }
    start.Unload();
    test::PumpPending();
}

TEST(DpiScaling, LayoutScalesEdgesSoNeighboursStillTouch) {
    // Two boxes side by side at 96 dpi share an edge at every DPI.
    for (UINT dpi : {96u, 120u, 144u, 168u, 192u}) {
        const RECT a = win::DpiLayout::Scaled({10, 5, 33, 17}, dpi), b = win::DpiLayout::Scaled({43, 5, 33, 17}, dpi);
        EXPECT_EQ(a.right, b.left) << dpi;
        EXPECT_EQ(a.left, ScaleForDpi(10, static_cast<int>(dpi))) << dpi;
        EXPECT_EQ(a.bottom, ScaleForDpi(22, static_cast<int>(dpi))) << dpi;
    }
}

// A window that makes its children at their 96-DPI places adopts them all;
// native text controls with the stock font take the layout's, others keep theirs.
TEST(DpiScaling, AdoptedChildrenScaleAndOnlyStockFontedTextControlsTakeTheFont) {
    test::TestHost host;
    const UINT dpi = 144;
    auto make = [&](const wchar_t* cls, int x, int y, int w, int h) {
        return ::CreateWindowExW(0, cls, L"text", WS_CHILD | WS_VISIBLE, x, y, w, h, host.hwnd(), nullptr, nullptr,
                                 nullptr);
    };
    HWND stock = make(L"STATIC", 10, 20, 100, 16);
    ::SendMessageW(stock, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    HWND plain = make(L"EDIT", 10, 40, 60, 20);  // no font at all
    HWND own = make(L"BUTTON", 120, 20, 80, 24);
    win::ScopedFont ownFont(::CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    ::SendMessageW(own, WM_SETFONT, reinterpret_cast<WPARAM>(ownFont.get()), FALSE);
    HWND skipped = make(L"STATIC", 0, 100, 50, 50);
    win::uxButtons_H ours;
    ASSERT_TRUE(ours.Create(host.hwnd(), L"cmdOurs", 200, 60, 90, 30));
    const HFONT oursBefore = reinterpret_cast<HFONT>(::SendMessageW(ours.hwnd(), WM_GETFONT, 0, 0));

    win::DpiLayout layout;
    layout.AddChildren(host.hwnd(), {skipped});
    layout.AddChildren(host.hwnd(), {skipped});  // a second pass adds nobody twice
    EXPECT_EQ(layout.Count(), 4u);
    layout.Apply(dpi);
    auto rectOf = [&](HWND h) {
        RECT r;
        ::GetWindowRect(h, &r);
        ::MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const struct {
        HWND h;
        win::DpiLayout::Units96 at;
    } placed[] = {{stock, {10, 20, 100, 16}}, {plain, {10, 40, 60, 20}}, {own, {120, 20, 80, 24}},
                  {ours.hwnd(), {200, 60, 90, 30}}};
    for (const auto& p : placed) {
        const RECT want = win::DpiLayout::Scaled(p.at, dpi), got = rectOf(p.h);
        EXPECT_TRUE(::EqualRect(&want, &got)) << got.left << "," << got.top << " " << got.right << "," << got.bottom;
    }
    const RECT still = rectOf(skipped);
    EXPECT_EQ(still.right, 50) << "the excepted child stays where it is";
    auto fontOf = [](HWND h) { return reinterpret_cast<HFONT>(::SendMessageW(h, WM_GETFONT, 0, 0)); };
    EXPECT_EQ(fontOf(stock), layout.Font());
    EXPECT_EQ(fontOf(plain), layout.Font());
    EXPECT_EQ(fontOf(own), ownFont.get());
    EXPECT_EQ(fontOf(ours.hwnd()), oursBefore);
}

// A window created again at the same DPI: its new children get the font although the DPI did not change.
TEST(DpiScaling, ChildrenAddedAfterAClearTakeTheFontAtAnUnchangedDpi) {
    test::TestHost host;
    win::DpiLayout layout;
    HWND first = ::CreateWindowExW(0, L"STATIC", L"a", WS_CHILD, 0, 0, 10, 10, host.hwnd(), nullptr, nullptr, nullptr);
    layout.Add(first, {0, 0, 10, 10});
    layout.Apply(120);
    const HFONT font = layout.Font();
    ASSERT_NE(font, nullptr);
    layout.Clear();
    HWND second = ::CreateWindowExW(0, L"STATIC", L"b", WS_CHILD, 0, 0, 10, 10, host.hwnd(), nullptr, nullptr, nullptr);
    layout.Add(second, {5, 5, 20, 20});
    layout.Apply(120);
    EXPECT_EQ(layout.Font(), font) << "the same DPI keeps the font";
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(second, WM_GETFONT, 0, 0)), font);
    LOGFONTW lf{};
    ::GetObjectW(font, sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, -::MulDiv(8, 120, 72));
}

}  // namespace
}  // namespace px
