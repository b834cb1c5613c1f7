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

}  // namespace
}  // namespace px
