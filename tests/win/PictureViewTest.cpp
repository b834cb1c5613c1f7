// The picture view under the platform: files decoded by the picture objects,
// what each zoom step puts on screen, scrolling and panning of large
// pictures, a failed load, clean-up, and GDI objects over many loads.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/win/DibInfo.h"
#include "base/win/SavePicture.h"
#include "controls/PictureView.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"

using px::test::ClientPixels;
using px::test::PumpPending;
using px::test::TestHost;
using px::win::PictureView;

namespace {

constexpr COLORREF kBack = 0x9C8E85;

std::wstring TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"pxview-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + name;
}

// Writes a bitmap file whose pixel (x, y) is colour(x, y) (a COLORREF).
std::wstring WriteBitmapFile(const wchar_t* name, int w, int h, const std::function<COLORREF(int, int)>& colour) {
    BITMAPINFO bi = px::win::TopDownDibInfo(w, h);
    void* bits = nullptr;
    px::win::ScopedBitmap dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* p = static_cast<uint32_t*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = colour(x, y);
            p[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    std::wstring path = TempFile(name);
    EXPECT_EQ(px::win::SavePictureAsBitmapFile(dib.get(), path), S_OK);
    return path;
}

// Red, lime, blue, white over black, black, red, red (4 x 2).
const unsigned char kGif4x2[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x02, 0x00, 0xf2, 0x04, 0x00,
                                 0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0xff, 0xff,
                                 0xff, 0xff, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21, 0xf9,
                                 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00,
                                 0x02, 0x00, 0x00, 0x03, 0x06, 0x18, 0x32, 0x04, 0x10, 0x21, 0x01, 0x00, 0x3b};

std::wstring WriteGifFile() {
    std::wstring path = TempFile(L"pattern.gif");
    FILE* f = _wfopen(path.c_str(), L"wb");
    EXPECT_NE(f, nullptr);
    std::fwrite(kGif4x2, 1, sizeof(kGif4x2), f);
    std::fclose(f);
    return path;
}

// A colour per picture pixel that tells every pixel apart.
COLORREF Pattern(int x, int y) { return RGB((x * 37) & 0xFF, (y * 53) & 0xFF, ((x + y) * 11) & 0xFF); }

struct View {
    TestHost host{40, 40, 400, 300};
    PictureView view;
    View(int w = 300, int h = 200) {
        EXPECT_TRUE(view.Create(host.hwnd(), 0, 0, w, h));
        view.SetBackColor(kBack);
        PumpPending();
    }
    ClientPixels Shot() { return ClientPixels(view.hwnd()); }
};

}  // namespace

TEST(PictureView, ShowsABitmapFilePixelForPixelCentredOnTheBackColour) {
    View v;
    std::wstring file = WriteBitmapFile(L"small.bmp", 40, 30, Pattern);
    ASSERT_TRUE(v.view.LoadFile(file));
    EXPECT_EQ(v.view.PictureSize().cx, 40);
    EXPECT_EQ(v.view.PictureSize().cy, 30);
    ClientPixels shot = v.Shot();
    const int ox = (shot.width() - 40) / 2, oy = (shot.height() - 30) / 2;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(shot.at(ox + x, oy + y), Pattern(x, y)) << x << "," << y;
    EXPECT_EQ(shot.at(ox - 1, oy), kBack);
    EXPECT_EQ(shot.at(ox + 40, oy + 29), kBack);
    EXPECT_EQ(shot.at(0, 0), kBack);
    ::DeleteFileW(file.c_str());
}

TEST(PictureView, ShowsAGifFile) {
    View v;
    std::wstring file = WriteGifFile();
    ASSERT_TRUE(v.view.LoadFile(file));
    v.view.SetZoom(500);  // 4 x 2 becomes 20 x 10
    ClientPixels shot = v.Shot();
    const int ox = (shot.width() - 20) / 2, oy = (shot.height() - 10) / 2;
    const COLORREF want[2][4] = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)},
                                 {RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 0, 0), RGB(255, 0, 0)}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(shot.at(ox + x * 5 + 2, oy + y * 5 + 2), want[y][x]) << x << "," << y;
    ::DeleteFileW(file.c_str());
}

TEST(PictureView, EveryZoomStepShowsEachPicturePixelAsABlock) {
    View v(320, 240);
    std::wstring file = WriteBitmapFile(L"zoom.bmp", 20, 12, Pattern);
    ASSERT_TRUE(v.view.LoadFile(file));
    for (int zoom : {10, 50, 90, 100, 110, 200, 300, 500}) {
        v.view.SetZoom(zoom);
        ASSERT_EQ(v.view.Zoom(), zoom);
        const auto& l = v.view.Layout();
        const int dw = 20 * zoom / 100 ? 20 * zoom / 100 : 1, dh = 12 * zoom / 100 ? 12 * zoom / 100 : 1;
        EXPECT_EQ(l.displayW, dw) << zoom;
        EXPECT_EQ(l.displayH, dh) << zoom;
        ClientPixels shot = v.Shot();
        if (zoom % 100 == 0) {
            // Whole factors: each picture pixel is a block of exactly that pixel.
            const int k = zoom / 100;
            for (int vy = 0; vy < dh; ++vy)
                for (int vx = 0; vx < dw; ++vx)
                    ASSERT_EQ(shot.at(l.originX + vx, l.originY + vy), Pattern(vx / k, vy / k))
                        << zoom << " " << vx << "," << vy;
        } else {
            // Other steps: each view pixel shows a picture pixel at (or, where the scaler rounds
            // the other way, next to) the one it stands for.
            for (int vy = 0; vy < dh; ++vy)
                for (int vx = 0; vx < dw; ++vx) {
                    COLORREF got = shot.at(l.originX + vx, l.originY + vy);
                    bool found = false;
                    for (int sy = vy * 12 / dh - 1; sy <= (vy + 1) * 12 / dh + 1 && !found; ++sy)
                        for (int sx = vx * 20 / dw - 1; sx <= (vx + 1) * 20 / dw + 1 && !found; ++sx)
                            found = sx >= 0 && sy >= 0 && sx < 20 && sy < 12 && got == Pattern(sx, sy);
                    ASSERT_TRUE(found) << zoom << " " << vx << "," << vy;
                }
        }
        EXPECT_EQ(shot.at(l.originX - 1, l.originY), kBack) << zoom;
        EXPECT_EQ(shot.at(l.originX + dw, l.originY + dh - 1), kBack) << zoom;
    }
    ::DeleteFileW(file.c_str());
}

TEST(PictureView, LargePicturesScrollAndPanByDragging) {
    View v(200, 150);
    std::wstring file = WriteBitmapFile(L"large.bmp", 600, 400, Pattern);
    ASSERT_TRUE(v.view.LoadFile(file));
    const auto& l = v.view.Layout();
    ASSERT_GT(l.maxScrollX, 0);
    ASSERT_GT(l.maxScrollY, 0);
    EXPECT_EQ(l.originX, 0);
    EXPECT_EQ(::GetWindowLongW(v.view.hwnd(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
    EXPECT_EQ(v.Shot().at(0, 0), Pattern(0, 0));

    // Scroll bar: a page to the right.
    ::SendMessageW(v.view.hwnd(), WM_HSCROLL, SB_PAGERIGHT, 0);
    RECT rc;
    ::GetClientRect(v.view.hwnd(), &rc);
    EXPECT_EQ(v.view.ScrollPosition().x, rc.right);
    EXPECT_EQ(v.Shot().at(0, 0), Pattern(rc.right, 0));

    // Dragging left and up by (30, 20) moves the picture with the pointer.
    const POINT before = v.view.ScrollPosition();
    ::SendMessageW(v.view.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    ::SendMessageW(v.view.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(85, 90));
    ::SendMessageW(v.view.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(70, 80));
    ::SendMessageW(v.view.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(70, 80));
    EXPECT_EQ(v.view.ScrollPosition().x, before.x + 30);
    EXPECT_EQ(v.view.ScrollPosition().y, before.y + 20);
    EXPECT_EQ(v.Shot().at(5, 7), Pattern(before.x + 30 + 5, before.y + 20 + 7));
    EXPECT_EQ(::GetCapture(), nullptr);

    // Dragging past the end stops at the edge.
    ::SendMessageW(v.view.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    ::SendMessageW(v.view.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-2000, -2000));
    ::SendMessageW(v.view.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(-2000, -2000));
    EXPECT_EQ(v.view.ScrollPosition().x, v.view.Layout().maxScrollX);
    EXPECT_EQ(v.view.ScrollPosition().y, v.view.Layout().maxScrollY);
    ClientPixels end = v.Shot();
    EXPECT_EQ(end.at(rc.right - 1, rc.bottom - 1), Pattern(599, 399));

    // A picture that fits again loses the scroll bars.
    v.view.SetZoom(10);
    EXPECT_EQ(v.view.Layout().maxScrollX, 0);
    EXPECT_EQ(v.view.Layout().maxScrollY, 0);
    EXPECT_EQ(::GetWindowLongW(v.view.hwnd(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
    ::DeleteFileW(file.c_str());
}

TEST(PictureView, AFileThatCannotBeReadKeepsThePreviousPicture) {
    View v;
    std::wstring good = WriteBitmapFile(L"good.bmp", 10, 10, [](int, int) { return RGB(200, 10, 10); });
    ASSERT_TRUE(v.view.LoadFile(good));
    std::wstring junk = TempFile(L"junk.bmp");
    FILE* f = _wfopen(junk.c_str(), L"wb");
    std::fputs("not a picture at all", f);
    std::fclose(f);
    for (const std::wstring& bad : {junk, TempFile(L"missing.bmp"), std::wstring()}) {
        EXPECT_FALSE(v.view.LoadFile(bad));
        EXPECT_TRUE(v.view.HasPicture());
        EXPECT_EQ(v.view.PictureSize().cx, 10);
    }
    ClientPixels shot = v.Shot();
    EXPECT_EQ(shot.at(shot.width() / 2, shot.height() / 2), RGB(200, 10, 10));
    ::DeleteFileW(good.c_str());
    ::DeleteFileW(junk.c_str());
}

TEST(PictureView, ZoomIsKeptWhenANewPictureLoadsAndCleanUpLeavesTheBackground) {
    View v;
    std::wstring file = WriteBitmapFile(L"keep.bmp", 30, 20, Pattern);
    ASSERT_TRUE(v.view.LoadFile(file));
    v.view.SetZoom(250);
    ASSERT_TRUE(v.view.LoadFile(file));
    EXPECT_EQ(v.view.Zoom(), 250);
    EXPECT_EQ(v.view.Layout().displayW, 75);

    v.view.CleanUp();
    EXPECT_FALSE(v.view.HasPicture());
    ClientPixels shot = v.Shot();
    for (int y = 0; y < shot.height(); y += 7)
        for (int x = 0; x < shot.width(); x += 7) ASSERT_EQ(shot.at(x, y), kBack);
    ::DeleteFileW(file.c_str());
}

TEST(PictureView, ManyLoadsAndZoomsLeaveTheGdiObjectsWhereTheyWere) {
    std::wstring a = WriteBitmapFile(L"gdi-a.bmp", 300, 200, Pattern);
    std::wstring b = WriteGifFile();
    View v;
    ASSERT_TRUE(v.view.LoadFile(a));
    v.Shot();
    const long before = px::test::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 60; ++i) {
        ASSERT_TRUE(v.view.LoadFile(i % 2 ? b : a));
        v.view.SetZoom(10 + (i * 30) % 490);
        ::UpdateWindow(v.view.hwnd());
        v.Shot();
    }
    ASSERT_TRUE(v.view.LoadFile(a));
    EXPECT_EQ(px::test::GdiObjectCount(), before);
    v.view.CleanUp();
    EXPECT_LT(px::test::GdiObjectCount(), before);  // the picture and its DC are gone
    ::DeleteFileW(a.c_str());
    ::DeleteFileW(b.c_str());
}
