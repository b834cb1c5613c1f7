// The zoom tool under the platform: the read-out and source size for every
// scroll value, activation and "Reset Zoom", the magnified copy of a known
// pattern under the cursor, and the cost and GDI balance of the refresh.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "controls/PictureBox.h"
#include "app/core/ZoomTable.h"
#include "app/zoom.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/ModalScript.h"
#include "tests/win/support/GdiCount.h"

using px::zoom;
using px::test::ClientPixels;
using px::test::PumpPending;
using px::test::PumpUntil;
using px::test::TestHost;

namespace {

HWND Child(int id) { return ::GetDlgItem(zoom::Get().hwnd(), id); }
std::wstring ReadoutText() { return px::win::GetWindowTextString(Child(zoom::IdText1)); }

void Scroll(WORD code, int thumb = 0) {
    ::SendMessageW(zoom::Get().hwnd(), WM_HSCROLL, MAKEWPARAM(code, thumb),
                   reinterpret_cast<LPARAM>(Child(zoom::IdHScroll1)));
}

void Refresh() { ::SendMessageW(zoom::Get().hwnd(), WM_TIMER, zoom::kTimer1Id, 0); }

struct ZoomWindow {
    ZoomWindow() {
        zoom::Get().Show();
        EXPECT_TRUE(PumpUntil([] { return zoom::Get().IsVisible(); }));
        PumpPending();
    }
    ~ZoomWindow() { zoom::Get().Unload(); }
};

bool MoveCursorTo(int x, int y) {
    ::SetCursorPos(x, y);
    return PumpUntil([&] {
        POINT p;
        return ::GetCursorPos(&p) && p.x == x && p.y == y;
    });
}

// A window at a fixed screen place showing 10-pixel cells, each of its own colour.
class PatternWindow {
public:
    static constexpr int kX = 40, kY = 40, kSize = 300, kCell = 10;
    static COLORREF CellColor(int i, int j) { return RGB(i * 8, j * 8, ((i + j) & 1) ? 200 : 60); }
    static COLORREF At(int px, int py) { return CellColor(px / kCell, py / kCell); }

    PatternWindow() : host_(kX, kY, kSize, kSize) {
        picture_.Create(host_.hwnd(), 1, 0, 0, kSize, kSize);
        for (int j = 0; j < kSize / kCell; ++j)
            for (int i = 0; i < kSize / kCell; ++i) {
                RECT r{i * kCell, j * kCell, (i + 1) * kCell, (j + 1) * kCell};
                px::win::ScopedBrush b(::CreateSolidBrush(CellColor(i, j)));
                ::FillRect(picture_.SurfaceDC(), &r, b.get());
            }
        picture_.RefreshNow();
    }
    // The pattern has reached the screen that the desktop DC reads.
    bool OnScreen() const {
        px::win::ScopedGetDC screen(::GetDesktopWindow());
        return ::GetPixel(screen, kX + 15, kY + 15) == At(15, 15) &&
               ::GetPixel(screen, kX + kSize - 5, kY + kSize - 5) == At(kSize - 5, kSize - 5);
    }

private:
    TestHost host_;
    px::win::PictureBox picture_;
};

}  // namespace

TEST(zoom, ReadoutAndSourceFollowTheTableForEveryScrollValue) {
    ZoomWindow w;
    // The table itself is checked value by value in the native ZoomTable tests.
    for (int v = 10; v >= 1; --v) {
        Scroll(SB_THUMBPOSITION, v);
        const px::ZoomToolStep expected = px::ZoomToolStepFor(v);
        EXPECT_EQ(zoom::Get().ScrollValue(), v);
        EXPECT_EQ(ReadoutText(), expected.readout) << "v=" << v;
        EXPECT_EQ(zoom::Get().SourceSize(), expected.sourceSize) << "v=" << v;
    }
    // Arrows and pages move one step and stop at the ends.
    struct Move {
        WORD code;
        int v;
        const wchar_t* readout;
    } moves[] = {{SB_LINELEFT, 1, L"75%"},    {SB_LINERIGHT, 2, L"200%"}, {SB_PAGERIGHT, 3, L"300%"},
                 {SB_RIGHT, 10, L"1000%"},    {SB_LINERIGHT, 10, L"1000%"}, {SB_LINELEFT, 9, L"900%"},
                 {SB_PAGELEFT, 8, L"800%"},   {SB_LEFT, 1, L"75%"}};
    for (auto& m : moves) {
        Scroll(m.code);
        EXPECT_EQ(zoom::Get().ScrollValue(), m.v) << "code " << m.code;
        EXPECT_EQ(ReadoutText(), m.readout) << "code " << m.code;
    }
}

TEST(zoom, ResetZoomShowsOneToOneWithTheBarAtTwo) {
    ZoomWindow w;
    Scroll(SB_THUMBPOSITION, 6);
    ASSERT_EQ(ReadoutText(), L"600%");
    px::test::PostLeftClick(Child(zoom::IdCmdReset), 10, 10);
    PumpPending();
    EXPECT_EQ(zoom::Get().ScrollValue(), 2);
    EXPECT_EQ(zoom::Get().SourceSize(), 200);
    EXPECT_EQ(ReadoutText(), L"100%");
    Scroll(SB_LINERIGHT);
    EXPECT_EQ(ReadoutText(), L"300%");
    EXPECT_EQ(zoom::Get().SourceSize(), 67);

    // Reset while the bar already stands at 2: no change event, still 1:1.
    Scroll(SB_THUMBPOSITION, 2);
    ASSERT_EQ(ReadoutText(), L"200%");
    px::test::PostLeftClick(Child(zoom::IdCmdReset), 10, 10);
    PumpPending();
    EXPECT_EQ(ReadoutText(), L"100%");
    EXPECT_EQ(zoom::Get().SourceSize(), 200);
}

TEST(zoom, ActivationMakesItTopMostAndResets) {
    TestHost other(400, 400, 200, 100);
    ZoomWindow w;
    EXPECT_TRUE(::GetWindowLongPtrW(zoom::Get().hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(ReadoutText(), L"100%");
    EXPECT_EQ(zoom::Get().ScrollValue(), 2);

    Scroll(SB_THUMBPOSITION, 7);
    ASSERT_EQ(ReadoutText(), L"700%");
    ::SetForegroundWindow(other.hwnd());
    ASSERT_TRUE(PumpUntil([&] { return ::GetActiveWindow() == other.hwnd(); }));
    EXPECT_EQ(ReadoutText(), L"700%") << "losing the activation changes nothing";
    ::SetForegroundWindow(zoom::Get().hwnd());
    ASSERT_TRUE(PumpUntil([] { return ::GetActiveWindow() == zoom::Get().hwnd(); }));
    EXPECT_EQ(zoom::Get().ScrollValue(), 2);
    EXPECT_EQ(zoom::Get().SourceSize(), 200);
    EXPECT_EQ(ReadoutText(), L"100%");
    EXPECT_TRUE(::GetWindowLongPtrW(zoom::Get().hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(::IsWindowVisible(zoom::Get().hwnd()));
}

TEST(zoom, ThePatternUnderTheCursorIsShownMagnified) {
    PatternWindow pattern;
    ZoomWindow w;
    ASSERT_TRUE(PumpUntil([&] { return pattern.OnScreen(); })) << "the pattern never reached the screen";
    // The copied area starts at the cursor: here 5 right of and 7 below the pattern's corner.
    const int ox = 5, oy = 7;
    ASSERT_TRUE(MoveCursorTo(PatternWindow::kX + ox, PatternWindow::kY + oy));

    struct Case {
        int v;  // 0: after "Reset Zoom"
        int source;
    } cases[] = {{0, 200}, {1, 210}, {2, 100}, {3, 67}, {4, 50}, {7, 29}, {10, 20}};
    for (auto& c : cases) {
        if (c.v == 0) {
            px::test::PostLeftClick(Child(zoom::IdCmdReset), 10, 10);
            PumpPending();
        } else {
            Scroll(SB_THUMBPOSITION, c.v);
        }
        ASSERT_EQ(zoom::Get().SourceSize(), c.source);
        Refresh();
        ClientPixels shown(zoom::Get().Display().hwnd());
        ASSERT_EQ(shown.width(), 200);
        ASSERT_EQ(shown.height(), 200);
        const int s = c.source;
        // The display cell of a source cell, away from its edges (one display
        // pixel either side), must show exactly that cell's colour.
        auto cellOf = [&](int d, int origin) {
            int lo = origin + (d - 1) * s / 200, hi = origin + ((d + 2) * s - 1) / 200;
            int a = lo / PatternWindow::kCell, b = hi / PatternWindow::kCell;
            return d > 0 && d < 199 && a == b ? a : -1;
        };
        int checked = 0, wrong = 0;
        for (int dy = 0; dy < 200; ++dy) {
            int j = cellOf(dy, oy);
            if (j < 0) continue;
            for (int dx = 0; dx < 200; ++dx) {
                int i = cellOf(dx, ox);
                if (i < 0) continue;
                ++checked;
                if (shown.at(dx, dy) != PatternWindow::CellColor(i, j)) ++wrong;
            }
        }
        EXPECT_GT(checked, 200 * 200 / 3) << "v=" << c.v;
        EXPECT_EQ(wrong, 0) << "v=" << c.v << " source " << s;
        if (s == 200) {  // one to one: every pixel
            int diff = 0;
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 200; ++x) diff += shown.at(x, y) != PatternWindow::At(ox + x, oy + y);
            EXPECT_EQ(diff, 0);
        }
    }
}

// At the screen's bottom-right corner most of the copied square lies off the
// screen: the part on it is still shown at its place, the rest is black.
TEST(zoom, AtTheScreenEdgeTheVisiblePartIsShownAndTheRestIsBlack) {
    const int sw = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), sh = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const COLORREF kPaint = RGB(200, 40, 90);
    TestHost corner(sw - 60, sh - 60, 60, 60);
    px::win::PictureBox picture;
    picture.Create(corner.hwnd(), 1, 0, 0, 60, 60);
    px::win::ScopedBrush brush(::CreateSolidBrush(kPaint));
    RECT all{0, 0, 60, 60};
    ::FillRect(picture.SurfaceDC(), &all, brush.get());
    picture.RefreshNow();
    ZoomWindow w;
    ASSERT_TRUE(PumpUntil([&] {
        px::win::ScopedGetDC screen(::GetDesktopWindow());
        return ::GetPixel(screen, sw - 30, sh - 30) == kPaint;
    }));
    // 40 x 40 of the 200 x 200 square (1:1) lies on the screen.
    ASSERT_TRUE(MoveCursorTo(sw - 40, sh - 40));
    px::test::PostLeftClick(Child(zoom::IdCmdReset), 10, 10);
    PumpPending();
    ASSERT_EQ(zoom::Get().SourceSize(), 200);
    Refresh();
    ClientPixels shown(zoom::Get().Display().hwnd());
    int painted = 0, black = 0, other = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const COLORREF c = shown.at(x, y);
            const bool onScreen = x < 40 && y < 40;
            if (onScreen)
                painted += c == kPaint;
            else if (c == RGB(0, 0, 0))
                ++black;
            else
                ++other;
        }
    EXPECT_EQ(painted, 40 * 40) << "the part on the screen is shown";
    EXPECT_EQ(black, 200 * 200 - 40 * 40);
    EXPECT_EQ(other, 0);
}

// One refresh must stay well inside the 10 ms tick; the figure is printed, not asserted.
TEST(zoom, TenThousandRefreshesLeaveGdiCountsUnchanged) {
    ZoomWindow w;
    Scroll(SB_THUMBPOSITION, 1);  // the largest copy: 210 x 210 into 200 x 200
    ASSERT_EQ(zoom::Get().SourceSize(), 210);
    MoveCursorTo(300, 300);
    for (int i = 0; i < 50; ++i) Refresh();
    const long before = px::test::GdiObjectCount();
    constexpr int kRefreshes = 10000;
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kRefreshes; ++i) Refresh();
    auto us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_EQ(px::test::GdiObjectCount(), before);
    std::printf("[ info ] zoom refresh (cursor, desktop DC, 210->200 stretch, paint): %.1f us each over %d\n",
                us / kRefreshes, kRefreshes);
    // The bottom-right corner: the area reaches past the screen; the refresh still works.
    MoveCursorTo(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    for (int i = 0; i < 20; ++i) Refresh();
    EXPECT_EQ(px::test::GdiObjectCount(), before);
}

TEST(zoom, ExitUnloadsAndStopsTheRefresh) {
    ZoomWindow w;
    HWND h = zoom::Get().hwnd();
    px::test::PostLeftClick(Child(zoom::IdCmdExit), 10, 10);
    PumpPending();
    EXPECT_FALSE(zoom::Get().IsLoaded());
    EXPECT_FALSE(::IsWindow(h));
    // Shown again, it starts over.
    zoom::Get().Show();
    ASSERT_TRUE(PumpUntil([] { return zoom::Get().IsVisible(); }));
    EXPECT_EQ(ReadoutText(), L"100%");
}
