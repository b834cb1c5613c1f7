// The preview canvas on real windows: what it draws where (every pixel of a
// zoomed, scrolled view), the margin's colour, its cursors, the notifications
// a press, a drag and a release raise with picture coordinates, the pointer
// capture it takes and gives back, a zoom too large to lay out, and no GDI
// objects left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "export/ucCanvas.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"

namespace px {
namespace {

// Every pixel a colour of its own: red x, green y, blue 77.
COLORREF PatternAt(int x, int y) { return RGB(x, y, 77); }

void FillPattern(cDIB32& dib, int w, int h) {
    ASSERT_TRUE(dib.Create(w, h, 0));
    const Pixels32 px = dib.Pixels();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = px.bits + (static_cast<size_t>(y) * w + x) * 4;
            p[0] = 77;
            p[1] = static_cast<uint8_t>(y);
            p[2] = static_cast<uint8_t>(x);
        }
}

class ucCanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = std::make_unique<test::TestHost>(40, 40, 400, 300);
        canvas_.Create(host_->hwnd(), 10, 10, 200, 200);
        canvas_.MouseDown.connect([this](int b, int s, int32_t x, int32_t y) { Log(L"down", b, s, x, y); });
        canvas_.MouseMove.connect([this](int b, int s, int32_t x, int32_t y) { Log(L"move", b, s, x, y); });
        canvas_.MouseUp.connect([this](int b, int s, int32_t x, int32_t y) { Log(L"up", b, s, x, y); });
        canvas_.KeyDown.connect([this](int key, int) { events_.push_back(L"key " + std::to_wstring(key)); });
        canvas_.Scroll.connect([this] { events_.push_back(L"scroll"); });
        canvas_.LaidOut.connect([this] { events_.push_back(L"layout"); });
    }
    void Log(const wchar_t* what, int button, int, int32_t x, int32_t y) {
        events_.push_back(std::wstring(what) + L" " + std::to_wstring(button) + L" " + std::to_wstring(x) + L"," +
                          std::to_wstring(y));
    }
    void Load(int w, int h, int zoom) {
        FillPattern(canvas_.DIB(), w, h);
        canvas_.zoom(zoom);
        canvas_.Resize();
    }
    RECT SurfaceRect() const {
        RECT r;
        ::GetWindowRect(canvas_.Surface(), &r);
        ::MapWindowPoints(nullptr, canvas_.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    LRESULT ToSurface(UINT msg, WPARAM wp, int x, int y) {
        return ::SendMessageW(canvas_.Surface(), msg, wp, MAKELPARAM(x, y));
    }

    std::unique_ptr<test::TestHost> host_;
    ucCanvas canvas_;
    std::vector<std::wstring> events_;
};

TEST_F(ucCanvasTest, AZoomedScrolledViewShowsEveryPixelAsABlock) {
    Load(100, 80, 3);  // 300 x 240 in 200 x 200: offsets 50, 20
    const RECT s = SurfaceRect();
    EXPECT_EQ(s.left, 0);
    EXPECT_EQ(s.top, 0);
    EXPECT_EQ(s.right, 200);
    EXPECT_EQ(s.bottom, 200);
    test::ClientPixels pixels(canvas_.Surface());
    int wrong = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (pixels.at(x, y) != PatternAt((x + 50) / 3, (y + 20) / 3)) ++wrong;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(events_, std::vector<std::wstring>{L"layout"});
}

TEST_F(ucCanvasTest, ASmallPictureIsCentredInTheWorkspaceColour) {
    Load(50, 40, 1);
    const RECT s = SurfaceRect();
    EXPECT_EQ(s.left, 75);
    EXPECT_EQ(s.top, 80);
    EXPECT_EQ(s.right - s.left, 50);
    test::ClientPixels margin(canvas_.hwnd());
    const COLORREF workspace = ::GetSysColor(COLOR_APPWORKSPACE);
    for (POINT p : {POINT{0, 0}, POINT{74, 100}, POINT{125, 100}, POINT{100, 79}, POINT{100, 120}, POINT{199, 199}})
        EXPECT_EQ(margin.at(p.x, p.y), workspace) << p.x << "," << p.y;
    test::ClientPixels picture(canvas_.Surface());
    EXPECT_EQ(picture.at(0, 0), PatternAt(0, 0));
    EXPECT_EQ(picture.at(49, 39), PatternAt(49, 39));
}

TEST_F(ucCanvasTest, ThePreviewCursorsAreResourcesWithTheirHotspots) {
    const struct {
        const wchar_t* name;
        POINT hotspot;
    } cursors[] = {{L"CURSOR_HANDOVER", {10, 7}}, {L"CURSOR_HANDCATCH", {9, 7}}, {L"CURSOR_PICKCOLOR", {0, 15}}};
    for (const auto& c : cursors) {
        HCURSOR cursor = ::LoadCursorW(win::Window::Instance(), c.name);
        ASSERT_NE(cursor, nullptr) << c.name;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(cursor, &info));
        win::ScopedBitmap mask(info.hbmMask), colour(info.hbmColor);
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(static_cast<LONG>(info.xHotspot), c.hotspot.x) << c.name;
        EXPECT_EQ(static_cast<LONG>(info.yHotspot), c.hotspot.y) << c.name;
    }
    Load(100, 80, 3);
    EXPECT_EQ(canvas_.ShownCursor(), CanvasCursor::HandOver);
    ToSurface(WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
    EXPECT_EQ(canvas_.ShownCursor(), CanvasCursor::HandCatch);
    ToSurface(WM_LBUTTONUP, 0, 10, 10);
    EXPECT_EQ(canvas_.ShownCursor(), CanvasCursor::HandOver);
    canvas_.WorkMode(1);
    EXPECT_EQ(canvas_.ShownCursor(), CanvasCursor::PickColor);
    canvas_.WorkMode(0);
    canvas_.FitMode(true);
    canvas_.Resize();
    EXPECT_EQ(canvas_.ShownCursor(), CanvasCursor::Default);
}

TEST_F(ucCanvasTest, PressDragAndReleaseRaiseTheirNotificationsInPictureCoordinates) {
    Load(100, 80, 3);
    events_.clear();
    ToSurface(WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);   // (10 + 50) / 3, (10 + 20) / 3
    EXPECT_EQ(::GetCapture(), canvas_.Surface());
    ToSurface(WM_KEYDOWN, VK_RIGHT, 0, 0);          // not passed on while dragging
    ToSurface(WM_MOUSEMOVE, MK_LBUTTON, 4, 10);     // ox 56
    ToSurface(WM_MOUSEMOVE, MK_LBUTTON, 300, 10);   // clamped at 0
    ToSurface(WM_MOUSEMOVE, MK_LBUTTON, 310, 10);   // nothing moves: no Scroll
    ToSurface(WM_LBUTTONUP, 0, 310, 10);
    EXPECT_EQ(::GetCapture(), nullptr);             // the pointer is given back
    ToSurface(WM_KEYDOWN, VK_RIGHT, 0, 0);
    // The view is drawn and Scroll raised before the move that caused it.
    EXPECT_EQ(events_, (std::vector<std::wstring>{L"down 1 20,10", L"scroll", L"move 1 20,10", L"scroll",
                                                  L"move 1 100,10", L"move 1 103,10", L"up 1 103,10", L"key 39"}));
    EXPECT_EQ(canvas_.Geometry().OffsetX(), 0);
    test::ClientPixels pixels(canvas_.Surface());
    EXPECT_EQ(pixels.at(0, 0), PatternAt(0, (0 + 20) / 3));  // the scrolled view was drawn
}

TEST_F(ucCanvasTest, APressOnTheMarginIsAPressOnTheSurfaceAndTheCaptureEnds) {
    Load(50, 40, 2);  // 100 x 80 at (50, 60)
    events_.clear();
    ::SendMessageW(canvas_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 70));
    EXPECT_EQ(::GetCapture(), canvas_.Surface());
    ToSurface(WM_LBUTTONUP, 0, -10, 10);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(events_, (std::vector<std::wstring>{L"down 1 -5,5", L"up 1 -5,5"}));
}

TEST_F(ucCanvasTest, ADoubleClickIsAPressAtTheLastPosition) {
    Load(100, 80, 3);
    ToSurface(WM_LBUTTONDOWN, MK_LBUTTON, 30, 40);
    ToSurface(WM_LBUTTONUP, 0, 30, 40);
    events_.clear();
    ToSurface(WM_LBUTTONDBLCLK, MK_LBUTTON, 99, 99);
    ToSurface(WM_LBUTTONUP, 0, 30, 40);
    EXPECT_EQ(events_, (std::vector<std::wstring>{L"down 1 26,20", L"up 1 26,20"}));
}

TEST_F(ucCanvasTest, LosingTheCaptureEndsTheDrag) {
    Load(100, 80, 3);
    ToSurface(WM_LBUTTONDOWN, MK_LBUTTON, 100, 100);
    ASSERT_TRUE(canvas_.Geometry().Dragging());
    ::SetCapture(host_->hwnd());
    EXPECT_FALSE(canvas_.Geometry().Dragging());
    ::ReleaseCapture();
    events_.clear();
    ToSurface(WM_MOUSEMOVE, MK_LBUTTON, 0, 0);
    EXPECT_EQ(canvas_.Geometry().OffsetX(), 50);  // no pan without the press
    EXPECT_EQ(events_, std::vector<std::wstring>{L"move 1 16,6"});
}

TEST_F(ucCanvasTest, FitModePicksThroughTheFittedRectangle) {
    canvas_.FitMode(true);
    Load(400, 100, 3);  // fitted to 200 x 50 at (0, 75)
    const RECT s = SurfaceRect();
    EXPECT_EQ(s.top, 75);
    EXPECT_EQ(s.right - s.left, 200);
    events_.clear();
    ToSurface(WM_RBUTTONDOWN, MK_RBUTTON, 100, 25);
    ToSurface(WM_RBUTTONUP, 0, 199, 49);
    EXPECT_EQ(events_, (std::vector<std::wstring>{L"down 2 200,50", L"up 2 398,98"}));
    // Halving drops one of each two pixels; which one is the platform's choice.
    test::ClientPixels pixels(canvas_.Surface());
    for (POINT p : {POINT{0, 0}, POINT{100, 25}, POINT{120, 49}}) {
        const COLORREF c = pixels.at(p.x, p.y);
        EXPECT_EQ(GetRValue(c) / 2, p.x) << p.x;
        EXPECT_EQ(GetGValue(c) / 2, p.y) << p.y;
    }
}

// The error number Resize raises, 0 when it lays out.
int32_t ResizeError(ucCanvas& canvas) {
    try {
        canvas.Resize();
        return 0;
    } catch (const Error& e) {
        return e.number();
    }
}

TEST_F(ucCanvasTest, AZoomPastTheIntegerRangeRaisesOverflowAndKeepsTheLayout) {
    Load(100, 80, 3);
    events_.clear();
    const CanvasGeometry before = canvas_.Geometry();
    const RECT surface = SurfaceRect();
    canvas_.zoom(std::numeric_limits<int32_t>::max() / 99);  // 100 pixels wide: one past the range
    EXPECT_EQ(ResizeError(canvas_), ErrorNumber::Overflow);
    const CanvasGeometry& kept = canvas_.Geometry();
    EXPECT_EQ(kept.Surface(), before.Surface());
    EXPECT_EQ(kept.Blit(), before.Blit());
    EXPECT_EQ(kept.OffsetX(), 50);
    EXPECT_EQ(kept.RangeY(), 40);
    const RECT keptSurface = SurfaceRect();
    EXPECT_TRUE(::EqualRect(&surface, &keptSurface));
    EXPECT_TRUE(events_.empty());  // no layout notification for a refused layout
    // The kept view is drawn and pointers map with its zoom.
    test::ClientPixels pixels(canvas_.Surface());
    for (POINT p : {POINT{0, 0}, POINT{101, 57}, POINT{199, 199}})
        EXPECT_EQ(pixels.at(p.x, p.y), PatternAt((p.x + 50) / 3, (p.y + 20) / 3)) << p.x << "," << p.y;
    ToSurface(WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
    ToSurface(WM_LBUTTONUP, 0, 10, 10);
    EXPECT_EQ(events_, (std::vector<std::wstring>{L"down 1 20,10", L"up 1 20,10"}));

    // The control's own resizing lays out as well: nothing escapes its window procedure.
    ::SetWindowPos(canvas_.hwnd(), nullptr, 0, 0, 300, 250, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(canvas_.Geometry().Surface(), before.Surface());
    test::ClientPixels margin(canvas_.hwnd());
    EXPECT_EQ(margin.at(250, 225), ::GetSysColor(COLOR_APPWORKSPACE));

    // A zoom within the range lays out again: 200 x 160 centred in 300 x 250.
    events_.clear();
    canvas_.zoom(2);
    EXPECT_EQ(ResizeError(canvas_), 0);
    EXPECT_EQ(canvas_.Geometry().Surface(), (CanvasRect{50, 45, 200, 160}));
    EXPECT_EQ(events_, std::vector<std::wstring>{L"layout"});
}

TEST_F(ucCanvasTest, AFirstPictureTooLargeToZoomStaysUnlaid) {
    FillPattern(canvas_.DIB(), 3, 2);
    canvas_.zoom(std::numeric_limits<int32_t>::max() / 2);  // 3 wide overflows, 2 high does not
    EXPECT_EQ(ResizeError(canvas_), ErrorNumber::Overflow);
    EXPECT_FALSE(canvas_.Geometry().HasPicture());
    EXPECT_EQ(SurfaceRect().right - SurfaceRect().left, 0);
    EXPECT_TRUE(events_.empty());
    canvas_.FitMode(true);  // a fitted picture does not use the zoom
    EXPECT_EQ(ResizeError(canvas_), 0);
    EXPECT_TRUE(canvas_.Geometry().HasPicture());
}

TEST_F(ucCanvasTest, RepeatedLayoutsAndDrawingLeaveNoGdiObjects) {
    Load(100, 80, 3);
    const auto cycle = [this](int i) {
        canvas_.zoom(1 + i % 4);
        canvas_.Resize();
        ToSurface(WM_LBUTTONDOWN, MK_LBUTTON, 50, 50);
        ToSurface(WM_MOUSEMOVE, MK_LBUTTON, 40, 45);
        ToSurface(WM_LBUTTONUP, 0, 40, 45);
        ::RedrawWindow(canvas_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    for (int i = 0; i < 4; ++i) cycle(i);  // the platform's first-use objects
    const long before = test::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 50; ++i) cycle(i);
    EXPECT_EQ(test::GdiObjectCount(), before);
}

}  // namespace
}  // namespace px
