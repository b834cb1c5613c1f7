// The selection overlay driven in-process: a full-screen window paints a known
// pattern, the overlay freezes the screen, mouse messages mark a region and
// the picture handed to the capture callback is compared with the pattern.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/win/ScopedWin.h"
#include "base/Text.h"
#include "base/win/Window.h"
#include "capture/Desktop.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"

namespace px {

// Reaches into the overlay for what the screen cannot show reliably: the
// canvas it presents, and a frame drawn from scratch for comparison.
struct DesktopTestAccess {
    static std::vector<uint32_t> Canvas() {
        ::GdiFlush();
        auto v = Desktop::Get().canvas_.constPixels();
        std::vector<uint32_t> out(v.data(), v.data() + v.width() * v.height());
        for (auto& p : out) p &= 0xFFFFFFu;
        return out;
    }
    static void RedrawFully() {
        SetFullRedraw(true);
        Desktop::Get().Render();
        SetFullRedraw(false);
    }
    static std::wstring CoordinatesText() { return Desktop::Get().coordinatesText_; }
    // Every frame from a full copy of the frozen desktop, for timing beside the incremental frames.
    static void SetFullRedraw(bool full) { Desktop::Get().fullRedraw_ = full; }
};

}  // namespace px

namespace {

using px::CaptureOptions;
using px::Desktop;
using px::test::PumpUntil;

int ScreenW() { return ::GetSystemMetrics(SM_CXSCREEN); }
int ScreenH() { return ::GetSystemMetrics(SM_CYSCREEN); }

// 0x00RRGGBB as the DIB pixels hold it.
uint32_t Rgb(int r, int g, int b) { return static_cast<uint32_t>(r << 16 | g << 8 | b); }
uint32_t FromColorRef(COLORREF c) { return Rgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Every pixel of the screen distinct from its neighbours, so an off-by-one shows.
uint32_t PatternAt(int x, int y) {
    return Rgb(x & 255, y & 255, 0x80 | ((x >> 8) & 7) << 4 | ((y >> 8) & 15));
}

using PatternFn = uint32_t (*)(int, int);
uint32_t WhiteAt(int, int) { return Rgb(255, 255, 255); }

// A full-screen window showing a pattern, below the overlay (which is created later, also topmost).
class PatternWindow : public px::win::Window {
public:
    explicit PatternWindow(PatternFn fn) : fn_(fn) {
        const int w = ScreenW(), h = ScreenH();
        pixels_.resize(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) pixels_[static_cast<size_t>(y) * w + x] = fn(x, y);
        RegisterClassOnce(L"PxOverlayPattern", 0, nullptr);
        CreateWindowObject(L"PxOverlayPattern", L"Overlay pattern", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, 0, 0, w, h,
                           nullptr, nullptr);
        ::UpdateWindow(hwnd());
    }
    // Waits until the screen shows the pattern.
    bool WaitShown() const;
    PatternFn fn() const { return fn_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_ERASEBKGND) return 1;
        if (msg == WM_PAINT) {
            px::win::ScopedPaint paint(hwnd());
            BITMAPINFO bi{};
            bi.bmiHeader = {sizeof(BITMAPINFOHEADER), ScreenW(), -ScreenH(), 1, 32, BI_RGB};
            ::SetDIBitsToDevice(paint, 0, 0, ScreenW(), ScreenH(), 0, 0, 0, ScreenH(), pixels_.data(), &bi,
                                DIB_RGB_COLORS);
            return 0;
        }
        return DefaultProc(msg, wp, lp);
    }

private:
    PatternFn fn_;
    std::vector<uint32_t> pixels_;
};

// The whole screen as 0x00RRGGBB, top row first.
std::vector<uint32_t> ReadScreen() {
    const int w = ScreenW(), h = ScreenH();
    std::vector<uint32_t> out(static_cast<size_t>(w) * h);
    px::win::ScopedGetDC screen(nullptr);
    px::win::AutoDeleteDC mem(::CreateCompatibleDC(screen));
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    px::win::ScopedBitmap dib(::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        px::win::ScopedSelectObject sel(mem.get(), dib.get());
        ::BitBlt(mem.get(), 0, 0, w, h, screen, 0, 0, SRCCOPY);
        ::GdiFlush();
        const auto* p = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < out.size(); ++i) out[i] = p[i] & 0xFFFFFFu;
    }
    return out;
}

bool PatternWindow::WaitShown() const {
    return PumpUntil(
        [&] {
            auto s = ReadScreen();
            const int w = ScreenW(), h = ScreenH();
            for (int y = 0; y < h; y += 37)
                for (int x = 0; x < w; x += 41)
                    if (s[static_cast<size_t>(y) * w + x] != fn_(x, y)) return false;
            return true;
        },
        10000);
}

struct Picture {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

Picture ReadBitmap(HBITMAP bmp) {
    Picture p;
    BITMAP bm{};
    if (!::GetObjectW(bmp, sizeof(bm), &bm)) return p;
    p.w = bm.bmWidth;
    p.h = bm.bmHeight;
    p.px.resize(static_cast<size_t>(p.w) * p.h);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), p.w, -p.h, 1, 32, BI_RGB};
    px::win::ScopedGetDC screen(nullptr);
    ::GetDIBits(screen, bmp, 0, static_cast<UINT>(p.h), p.px.data(), &bi, DIB_RGB_COLORS);
    for (auto& v : p.px) v &= 0xFFFFFFu;
    return p;
}

// Mouse messages as the overlay receives them; the overlay covers the screen
// from (0, 0), so client and screen coordinates are the same. The real pointer
// goes along: the moves the system itself reports (a window appearing under
// it) then carry the same position instead of dragging the band elsewhere.
void Mouse(UINT msg, int x, int y) {
    ::SetCursorPos(x, y);
    ::SendMessageW(Desktop::Get().hwnd(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
}
void Down(int x, int y) { Mouse(WM_LBUTTONDOWN, x, y); }
void Move(int x, int y) { Mouse(WM_MOUSEMOVE, x, y); }
void Up(int x, int y) { Mouse(WM_LBUTTONUP, x, y); }

void Drag(int x0, int y0, int x1, int y1, int steps = 6) {
    Down(x0, y0);
    for (int i = 1; i <= steps; ++i) Move(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    Up(x1, y1);
}

class DesktopTest : public ::testing::Test {
protected:
    void TearDown() override {
        Desktop::Get().Unload();
        px::test::PumpPending();
    }

    // Shows the pattern, then the overlay over it. The capture callback does
    // what the main window's CaptureFinish ends with: it unloads the overlay.
    void Begin(CaptureOptions options, PatternFn pattern = PatternAt) {
        pattern_.emplace(pattern);
        ASSERT_TRUE(pattern_->WaitShown()) << "the pattern never reached the screen";
        captures_ = cancels_ = 0;
        picture_ = {};
        Desktop::Get().Begin(
            options,
            [this](px::win::ScopedBitmap bmp) {
                ++captures_;
                picture_ = ReadBitmap(bmp.get());
                Desktop::Get().Unload();
            },
            [this] { ++cancels_; });
        ASSERT_TRUE(Desktop::Get().IsLoaded());
        // The first paint is done, so what follows reaches the screen only through the overlay's own updates.
        ASSERT_TRUE(WaitScreenShowsCanvas());
    }

    // Waits until the window shows the overlay's canvas.
    ::testing::AssertionResult WaitScreenShowsCanvas() {
        if (PumpUntil([&] { return ReadScreen() == px::DesktopTestAccess::Canvas(); }, 5000))
            return ::testing::AssertionSuccess();
        auto screen = ReadScreen(), canvas = px::DesktopTestAccess::Canvas();
        const int w = ScreenW();
        RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        size_t n = 0;
        for (size_t i = 0; i < screen.size(); ++i)
            if (screen[i] != canvas[i]) {
                ++n;
                const int x = static_cast<int>(i % w), y = static_cast<int>(i / w);
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                       std::max<LONG>(box.bottom, y + 1)};
            }
        return ::testing::AssertionFailure() << n << " pixels of the screen differ from the canvas, within ("
                                             << box.left << "," << box.top << ")-(" << box.right << "," << box.bottom
                                             << ")";
    }

    void ExpectPictureIsPattern(int left, int top, int w, int h) {
        ASSERT_EQ(captures_, 1);
        ASSERT_EQ(picture_.w, w);
        ASSERT_EQ(picture_.h, h);
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (picture_.at(x, y) != pattern_->fn()(left + x, top + y) && wrong++ < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << picture_.at(x, y);
        EXPECT_EQ(wrong, 0);
    }

    std::optional<PatternWindow> pattern_;
    int captures_ = 0, cancels_ = 0;
    Picture picture_;
};

CaptureOptions Options(const wchar_t* shape = L"Rectangle") {
    CaptureOptions o;
    o.shape = px::capture::ParseShape(shape);
    return o;
}

TEST_F(DesktopTest, CoversTheScreenWithTheFrozenDesktop) {
    Begin(Options());
    RECT r{};
    ::GetWindowRect(Desktop::Get().hwnd(), &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, ScreenW());
    EXPECT_EQ(r.bottom, ScreenH());
    // The desktop underneath changes; the overlay keeps showing the copy.
    pattern_.reset();
    ASSERT_TRUE(WaitScreenShowsCanvas());
    auto screen = ReadScreen();
    EXPECT_EQ(screen[static_cast<size_t>(300) * ScreenW() + 400], PatternAt(400, 300));
}

// The overlay spans every monitor the platform lists (here the one Wine
// shows), and the read-out gives screen coordinates.
TEST_F(DesktopTest, CoversTheVirtualScreenAndReadsOutScreenCoordinates) {
    Begin(Options());
    RECT r{};
    ::GetWindowRect(Desktop::Get().hwnd(), &r);
    const int vx = ::GetSystemMetrics(SM_XVIRTUALSCREEN), vy = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    EXPECT_EQ(r.left, vx);
    EXPECT_EQ(r.top, vy);
    EXPECT_EQ(r.right - r.left, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(r.bottom - r.top, ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    Down(100, 120);
    Move(260, 230);
    EXPECT_EQ(px::DesktopTestAccess::CoordinatesText(),
              L" X : Y " + std::to_wstring(260 + vx) + L"," + std::to_wstring(230 + vy));
    Up(260, 230);
    ExpectPictureIsPattern(100 + vx, 120 + vy, 160, 110);
}

TEST_F(DesktopTest, DraggingARectangleCapturesExactlyThosePixels) {
    Begin(Options());
    Drag(200, 150, 420, 330);
    ExpectPictureIsPattern(200, 150, 220, 180);
    EXPECT_FALSE(Desktop::Get().IsLoaded());
}

TEST_F(DesktopTest, EveryDragDirectionGivesTheSamePicture) {
    struct {
        int x0, y0, x1, y1;
    } drags[] = {{300, 200, 450, 290}, {450, 290, 300, 200}, {450, 200, 300, 290}, {300, 290, 450, 200}};
    for (auto& d : drags) {
        SCOPED_TRACE(std::to_string(d.x0) + "," + std::to_string(d.y0) + " -> " + std::to_string(d.x1) + "," +
                     std::to_string(d.y1));
        Begin(Options());
        Drag(d.x0, d.y0, d.x1, d.y1);
        ExpectPictureIsPattern(300, 200, 150, 90);
    }
}

TEST_F(DesktopTest, OnePixelDragGivesAOnePixelPicture) {
    Begin(Options());
    Drag(301, 302, 302, 303, 1);
    ExpectPictureIsPattern(301, 302, 1, 1);
}

TEST_F(DesktopTest, ZeroSizeReleasesCaptureNothingAndTheOverlayWaitsForAnotherTry) {
    Begin(Options());
    Down(250, 250);
    Up(250, 250);  // a click
    Drag(250, 250, 250, 400);  // no width
    Drag(250, 250, 400, 250);  // no height
    EXPECT_EQ(captures_, 0);
    EXPECT_EQ(cancels_, 0);
    ASSERT_TRUE(Desktop::Get().IsLoaded());
    // The band of the last attempt is gone from the screen.
    ASSERT_TRUE(WaitScreenShowsCanvas());
    auto screen = ReadScreen();
    for (int x = 250; x < 400; ++x) ASSERT_EQ(screen[static_cast<size_t>(250) * ScreenW() + x], PatternAt(x, 250));
    // A release without a press on the overlay has no start point and is ignored.
    Up(500, 500);
    EXPECT_EQ(captures_, 0);
    Drag(260, 270, 300, 330);
    ExpectPictureIsPattern(260, 270, 40, 60);
}

TEST_F(DesktopTest, SquareAndCircleTakeTheHeightFromTheHorizontalDistance) {
    // Right and up: the square hangs below the start point.
    Begin(Options(L"Square"));
    Drag(300, 400, 380, 350);
    ExpectPictureIsPattern(300, 400, 80, 80);
    // Left and far down: the square sits above and left of the start point.
    Begin(Options(L"Square"));
    Drag(500, 300, 440, 520);
    ExpectPictureIsPattern(440, 240, 60, 60);

    Begin(Options(L"Circle"));
    Drag(500, 300, 440, 520);
    ASSERT_EQ(captures_, 1);
    EXPECT_EQ(picture_.w, 60);
    EXPECT_EQ(picture_.h, 60);
    EXPECT_EQ(picture_.at(0, 0), 0u);  // outside the circle: the back colour
    EXPECT_EQ(picture_.at(30, 30), PatternAt(440 + 30, 240 + 30));
}

TEST_F(DesktopTest, EllipseOnWhiteHasBackColourCornersAndAnUntouchedInside) {
    struct {
        COLORREF back;
        int x0, y0, x1, y1;
    } cases[] = {
        {RGB(0, 0, 0), 200, 150, 500, 350},
        {RGB(0, 0, 0), 500, 350, 200, 150},
        {RGB(200, 30, 40), 100, 100, 160, 400},
        {RGB(0, 0, 0), 0, 0, ScreenW() - 1, ScreenH() - 1},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x1) + "," + std::to_string(c.y1));
        CaptureOptions o = Options(L"Ellipse");
        o.backColor = c.back;
        o.lassoColor = RGB(255, 0, 0);
        Begin(o, WhiteAt);
        Drag(c.x0, c.y0, c.x1, c.y1);
        ASSERT_EQ(captures_, 1);
        const int w = std::abs(c.x1 - c.x0), h = std::abs(c.y1 - c.y0);
        ASSERT_EQ(picture_.w, w);
        ASSERT_EQ(picture_.h, h);
        const double cx = w / 2.0, cy = h / 2.0;
        int inside = 0, outside = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double d = std::pow((x + 0.5 - cx) / cx, 2) + std::pow((y + 0.5 - cy) / cy, 2);
                if (d < 0.9) {
                    ++inside;
                    ASSERT_EQ(picture_.at(x, y), Rgb(255, 255, 255)) << x << "," << y;
                } else if (d > 1.1) {
                    ++outside;
                    ASSERT_EQ(picture_.at(x, y), FromColorRef(c.back)) << x << "," << y;
                }
            }
        EXPECT_GT(inside, 0);
        EXPECT_GT(outside, 0);
    }
}

// Pixels of the screen that differ from the frozen pattern.
std::vector<POINT> ChangedPixels(const std::vector<uint32_t>& screen) {
    std::vector<POINT> changed;
    const int w = ScreenW(), h = ScreenH();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (screen[static_cast<size_t>(y) * w + x] != PatternAt(x, y)) changed.push_back({x, y});
    return changed;
}

TEST_F(DesktopTest, WithoutDetailsAndMagnifierOnlyTheBandIsDrawn) {
    struct {
        int drStyle;
        bool gaps;
    } styles[] = {{0, false}, {1, true}, {2, true}, {3, true}};
    for (auto& s : styles) {
        SCOPED_TRACE(s.drStyle);
        CaptureOptions o = Options();
        o.details = o.magnifier = false;
        o.drStyle = s.drStyle;
        o.lassoColor = RGB(255, 0, 255);
        Begin(o);
        Down(300, 200);
        Move(350, 260);
        Move(500, 400);
        ASSERT_TRUE(WaitScreenShowsCanvas());
        auto changed = ChangedPixels(ReadScreen());
        auto screen = ReadScreen();
        int onTop = 0;
        for (POINT p : changed) {
            const bool onBand = ((p.y == 200 || p.y == 400) && p.x >= 300 && p.x <= 500) ||
                                ((p.x == 300 || p.x == 500) && p.y >= 200 && p.y <= 400);
            ASSERT_TRUE(onBand) << p.x << "," << p.y;
            ASSERT_EQ(screen[static_cast<size_t>(p.y) * ScreenW() + p.x], Rgb(255, 0, 255));
            if (p.y == 200) ++onTop;
        }
        if (s.gaps) {
            EXPECT_GT(onTop, 20);
            EXPECT_LT(onTop, 190);
        } else {
            EXPECT_EQ(onTop, 201);  // both corners on the line
        }
        Desktop::Get().Unload();
    }
}

TEST_F(DesktopTest, ReadoutsAndMagnifierFollowTheBandCorner) {
    CaptureOptions o = Options();
    o.lassoColor = RGB(255, 0, 255);
    Begin(o);
    Down(300, 200);
    Move(520, 420);
    ASSERT_TRUE(WaitScreenShowsCanvas());
    auto screen = ReadScreen();
    auto at = [&](int x, int y) { return screen[static_cast<size_t>(y) * ScreenW() + x]; };
    // The magnifier: PictureZ at (mx + 40, my - 40) shows the 20 x 20 pixels
    // round the cursor five times enlarged, the band included.
    const int px0 = 560, py0 = 380;
    for (int j = 0; j < 50; ++j)
        for (int i = 0; i < 50; ++i) ASSERT_EQ(at(px0 + i, py0 + j), PatternAt(510 + i / 5, 410 + j / 5)) << i << "," << j;
    for (int j = 0; j < 50; j += 5) EXPECT_EQ(at(px0 + 50 + 2, py0 + j), Rgb(255, 0, 255)) << j;  // the band's right edge
    // The read-outs below the corner show text on a plain label: many pixels differ from the desktop.
    int labelPixels = 0;
    for (int y = 420 + 65; y < 420 + 82 + 28; ++y)
        for (int x = 520 + 38; x < 520 + 38 + 60; ++x) labelPixels += at(x, y) != PatternAt(x, y);
    EXPECT_GT(labelPixels, 60 * 40 * 9 / 10);
    // Nothing of this reaches the picture.
    Up(520, 420);
    ExpectPictureIsPattern(300, 200, 220, 220);
}

TEST_F(DesktopTest, GridIsOnTheScreenWhileDraggingAndNotInThePicture) {
    CaptureOptions o = Options();
    o.grid = true;
    o.gridSpacing = 100;
    Begin(o);
    Down(150, 150);
    Move(260, 260);
    Move(380, 330);
    const int w = ScreenW();
    auto gridShown = [&] {
        auto s = ReadScreen();
        for (int x = 0; x < w; x += 3)
            if (s[static_cast<size_t>(700) * w + x] != Rgb(224, 224, 224)) return false;
        for (int y = 0; y < ScreenH(); y += 3)
            if (s[static_cast<size_t>(y) * w + 1100] != Rgb(224, 224, 224)) return false;
        return s[static_cast<size_t>(250) * w + 200] == Rgb(224, 224, 224);  // inside the band too
    };
    ASSERT_TRUE(PumpUntil(gridShown, 5000));
    auto s = ReadScreen();
    EXPECT_EQ(s[static_cast<size_t>(750) * w + 1050], PatternAt(1050, 750));  // between the lines
    Up(380, 330);
    ExpectPictureIsPattern(150, 150, 230, 180);
}

TEST_F(DesktopTest, EntireScreenTakesTheWholeFrozenDesktop) {
    CaptureOptions o = Options(L"Entire");
    o.grid = true;
    Begin(o);
    Drag(100, 100, 200, 200);  // ignored: the timer takes the whole screen
    ASSERT_TRUE(PumpUntil([&] { return captures_ > 0; }, 5000));
    ExpectPictureIsPattern(0, 0, ScreenW(), ScreenH());
}

TEST_F(DesktopTest, EscapeClosesTheOverlayWithoutACapture) {
    Begin(Options());
    Down(100, 100);
    Move(200, 200);
    ::SendMessageW(Desktop::Get().hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Desktop::Get().IsLoaded());
    EXPECT_EQ(cancels_, 1);
    EXPECT_EQ(captures_, 0);
}

TEST_F(DesktopTest, ClosingFromOutsideCancelsLikeEscape) {
    Begin(Options());
    Down(100, 100);
    ::SendMessageW(Desktop::Get().hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(Desktop::Get().IsLoaded());
    EXPECT_EQ(cancels_, 1);
    EXPECT_EQ(captures_, 0);
}

TEST_F(DesktopTest, AnyMouseButtonMarksTheRegion) {
    Begin(Options());
    ::SetCursorPos(320, 240);
    ::SendMessageW(Desktop::Get().hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(320, 240));
    Move(350, 300);
    ::SendMessageW(Desktop::Get().hwnd(), WM_MBUTTONUP, 0, MAKELPARAM(380, 290));
    ExpectPictureIsPattern(320, 240, 60, 50);
}

TEST_F(DesktopTest, ASecondBeginWhileLoadedStartsOverWithTheNewCallbacks) {
    Begin(Options());
    Down(100, 100);
    Move(300, 300);
    const long gdi = px::test::GdiObjectCount();
    int firstCaptures = captures_;
    // The main window starting another capture while the overlay is up (from the tray).
    Desktop::Get().Begin(
        Options(L"Square"),
        [this](px::win::ScopedBitmap bmp) {
            captures_ += 10;
            picture_ = ReadBitmap(bmp.get());
            Desktop::Get().Unload();
        },
        [] {});
    EXPECT_EQ(px::test::GdiObjectCount(), gdi);  // the same surfaces, re-made pens only
    Up(300, 300);  // the press belonged to the previous selection
    EXPECT_TRUE(Desktop::Get().IsLoaded());
    Drag(200, 200, 240, 150);
    EXPECT_EQ(captures_, firstCaptures + 10);
    EXPECT_EQ(picture_.w, 40);
    EXPECT_EQ(picture_.h, 40);
    EXPECT_EQ(picture_.at(5, 7), PatternAt(205, 207));
}

TEST_F(DesktopTest, IncrementalFramesEqualFullRedraws) {
    for (const wchar_t* shape : {L"Rectangle", L"Ellipse", L"Circle", L"Square"}) {
        SCOPED_TRACE(px::Narrow(shape));
        CaptureOptions o = Options(shape);
        o.grid = true;
        o.gridSpacing = 60;
        o.drStyle = 3;
        Begin(o);
        const POINT path[] = {{400, 300}, {420, 330}, {700, 600}, {100, 50}, {402, 302}, {ScreenW() - 1, 10},
                              {0, ScreenH() - 1}, {650, 310}, {390, 290}};
        Down(400, 300);
        int step = 0;
        for (POINT p : path) {
            Move(p.x, p.y);
            if (step++ % 3 == 1) {  // let a grid tick land between some moves
                const auto before = px::DesktopTestAccess::Canvas();
                PumpUntil([&] { return px::DesktopTestAccess::Canvas() != before; }, 1000);
            }
            ASSERT_TRUE(WaitScreenShowsCanvas()) << "the screen misses part of the frame after " << p.x << "," << p.y;
            auto incremental = px::DesktopTestAccess::Canvas();
            px::DesktopTestAccess::RedrawFully();
            ASSERT_TRUE(incremental == px::DesktopTestAccess::Canvas()) << "after the move to " << p.x << "," << p.y;
        }
        Desktop::Get().Unload();
    }
}

TEST_F(DesktopTest, HundredCaptureCyclesLeaveTheGdiCountUnchanged) {
    auto cycle = [&](int i) {
        CaptureOptions o = Options(i % 2 ? L"Ellipse" : L"Rectangle");
        o.grid = i % 3 == 0;
        captures_ = 0;
        Desktop::Get().Begin(
            o, [this](px::win::ScopedBitmap) { ++captures_, Desktop::Get().Unload(); }, [] {});
        Down(100 + i, 100);
        Move(200, 180 + i);
        Move(300, 250 + i);
        Up(300, 250 + i);
        return captures_ == 1 && !Desktop::Get().IsLoaded();
    };
    pattern_.emplace(PatternAt);
    ASSERT_TRUE(pattern_->WaitShown());
    ASSERT_TRUE(cycle(0));  // first use registers the class
    px::test::PumpPending();
    const long before = px::test::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 1; i <= 100; ++i) ASSERT_TRUE(cycle(i)) << i;
    px::test::PumpPending();
    EXPECT_EQ(px::test::GdiObjectCount(), before);
}

// How long one rubber-band move takes (restore, band, read-outs, magnifier,
// copy to the window) at this screen's size. Printed, not asserted: speed is
// a benchmark's business.
TEST_F(DesktopTest, MoveTimings) {
    for (const wchar_t* shape : {L"Rectangle", L"Ellipse"})
        for (bool full : {false, true}) {
            CaptureOptions o = Options(shape);
            o.drStyle = 1;
            Begin(o);
            px::DesktopTestAccess::SetFullRedraw(full);
            const int w = ScreenW(), h = ScreenH();
            Down(5, 5);
            std::vector<double> ms;
            LARGE_INTEGER f, t0, t1;
            ::QueryPerformanceFrequency(&f);
            for (int i = 0; i < 300; ++i) {
                // Large bands sweeping most of the screen: the worst case for a redraw.
                const int x = w - 10 - (i % 50) * 3, y = h - 10 - (i % 40) * 2;
                ::SetCursorPos(x, y);
                ::QueryPerformanceCounter(&t0);
                ::SendMessageW(Desktop::Get().hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
                ::QueryPerformanceCounter(&t1);
                ms.push_back(1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) /
                             static_cast<double>(f.QuadPart));
            }
            px::DesktopTestAccess::SetFullRedraw(false);
            double mean = 0;
            for (double v : ms) mean += v;
            mean /= static_cast<double>(ms.size());
            std::sort(ms.begin(), ms.end());
            auto pct = [&](double p) { return ms[static_cast<size_t>(p * static_cast<double>(ms.size() - 1))]; };
            std::printf("[ overlay  ] %ls move (%s) at %dx%d over %zu moves: mean %.3f ms, median %.3f, p95 %.3f, "
                        "max %.3f\n",
                        shape, full ? "full redraw" : "incremental", w, h, ms.size(), mean, pct(0.5), pct(0.95),
                        ms.back());
            RecordProperty(px::Narrow(std::wstring(shape) + (full ? L"FullMoveMedianMs" : L"MoveMedianMs")),
                           std::to_string(pct(0.5)));
            EXPECT_EQ(captures_, 0);
            Desktop::Get().Unload();
        }
}

}  // namespace
