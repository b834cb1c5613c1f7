// The 32-bit working picture against the real platform.
#include <gtest/gtest.h>

#include "base/Error.h"
#include "imaging/cDIB32.h"
#include "imaging/cDIB32Filter.h"
#include "tests/win/support/GdiCount.h"

namespace px {
namespace {

uint32_t At(const cDIB32& d, int x, int y) {
    const Pixels32 p = d.Pixels();
    const uint8_t* q = p.bits + (static_cast<size_t>(y) * p.width + x) * 4;
    return uint32_t{q[0]} | uint32_t{q[1]} << 8 | uint32_t{q[2]} << 16;
}

void Number(cDIB32& d) {
    const Pixels32 p = d.Pixels();
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            uint8_t* q = p.bits + (static_cast<size_t>(y) * p.width + x) * 4;
            q[0] = static_cast<uint8_t>(x);
            q[1] = static_cast<uint8_t>(y);
            q[2] = static_cast<uint8_t>(10 * y + x);
        }
}

TEST(cDIB32, CreateClearsToTheBackgroundTopDown) {
    cDIB32 d;
    ASSERT_TRUE(d.Create(3, 2, RGB(255, 0, 0)));
    EXPECT_EQ(d.BytesPerScanLine(), 12);
    EXPECT_EQ(d.Size(), 24);
    const uint8_t* p = d.Pixels().bits;
    EXPECT_EQ(p[0], 0);    // blue
    EXPECT_EQ(p[2], 255);  // red
    // Row 0 is the top: a line drawn along the top lands in the first bytes.
    win::ScopedBrush green(::CreateSolidBrush(RGB(0, 255, 0)));
    const RECT top{0, 0, 3, 1};
    ::FillRect(d.hDIBDC(), &top, green.get());
    EXPECT_EQ(At(d, 1, 0), 0x00FF00u);
    EXPECT_EQ(At(d, 1, 1), 0xFF0000u);
    try {
        d.Create(40000, 40000, 0);
        ADD_FAILURE() << "no overflow";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::Overflow);
    }
    EXPECT_EQ(d.hDIB(), nullptr);
}

TEST(cDIB32, CreateFromStdPictureTakesBitmapsOnly) {
    win::ScopedBitmap bmp(::CreateBitmap(5, 4, 1, 32, nullptr));
    {
        win::AutoDeleteDC dc(::CreateCompatibleDC(nullptr));
        win::ScopedSelectObject sel(dc.get(), bmp.get());
        win::ScopedBrush b(::CreateSolidBrush(RGB(10, 20, 30)));
        const RECT all{0, 0, 5, 4};
        ::FillRect(dc.get(), &all, b.get());
    }
    cDIB32 d;
    EXPECT_EQ(d.CreateFromStdPicture(bmp.get()), 32);
    EXPECT_EQ(d.Width(), 5);
    EXPECT_EQ(d.Height(), 4);
    EXPECT_EQ(At(d, 4, 3), 0x0A141Eu);  // blue 30, green 20, red 10
    win::ScopedBrush brush(::CreateSolidBrush(0));
    cDIB32 e;
    EXPECT_EQ(e.CreateFromStdPicture(reinterpret_cast<HBITMAP>(brush.get())), 0);
    EXPECT_EQ(e.hDIB(), nullptr);
}

TEST(cDIB32, QuarterTurnRecreatesTheBlockAndRaisesProgressEnd) {
    cDIB32 d;
    ASSERT_TRUE(d.Create(3, 2));
    Number(d);
    const uint32_t topRight = At(d, 2, 0), topLeft = At(d, 0, 0);
    int ends = 0;
    d.ProgressEnd.connect([&] { ++ends; });
    d.Orientation(true, false, false);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(d.Width(), 2);
    EXPECT_EQ(d.Height(), 3);
    EXPECT_EQ(At(d, 0, 0), topRight);
    EXPECT_EQ(At(d, 0, 2), topLeft);
    d.Orientation(false, false, false);
    EXPECT_EQ(ends, 2) << "raised also without flags";
}

TEST(cDIB32, BothFlipsAreAHalfTurn) {
    cDIB32 d;
    ASSERT_TRUE(d.Create(4, 3));
    Number(d);
    d.Orientation(false, true, true);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(d, x, y), uint32_t(3 - x) | uint32_t(2 - y) << 8 | uint32_t(10 * (2 - y) + 3 - x) << 16);
}

TEST(cDIB32, LoadDibBltScalesWithoutAveragingAndPaintScales) {
    cDIB32 small;
    ASSERT_TRUE(small.Create(2, 1));
    Number(small);  // (0,0,0) and (1,0,1)
    cDIB32 big;
    ASSERT_TRUE(big.Create(4, 2));
    big.LoadDIBBlt(small);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(big, x, 1), At(small, x / 2, 0)) << x;
    cDIB32 canvas;
    ASSERT_TRUE(canvas.Create(8, 4, RGB(9, 9, 9)));
    small.Paint(canvas.hDIBDC(), 1, 1, 2.0);
    EXPECT_EQ(At(canvas, 0, 0), 0x090909u);
    EXPECT_EQ(At(canvas, 3, 2), At(small, 1, 0));
    EXPECT_EQ(At(canvas, 5, 1), 0x090909u);
}

TEST(cDIB32, BestFitOnlyForAPicture) {
    cDIB32 d;
    int32_t x = -1, y = -1, w = -1, h = -1;
    d.GetBestFitInfo(100, 100, x, y, w, h, false);
    EXPECT_EQ(x, -1) << "empty object: nothing happens";
    ASSERT_TRUE(d.Create(400, 200));
    d.GetBestFitInfo(100, 100, x, y, w, h, false);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 25);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 50);
}

TEST(cDIB32, CopyToClipboardPutsTheBitmapThere) {
    cDIB32 d;
    ASSERT_TRUE(d.Create(6, 3, RGB(200, 100, 50)));
    d.CopyToClipboard();
    ASSERT_TRUE(::OpenClipboard(nullptr));
    const HBITMAP clip = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    ASSERT_NE(clip, nullptr);
    BITMAP bm{};
    ::GetObjectW(clip, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 6);
    EXPECT_EQ(bm.bmHeight, 3);
    cDIB32 back;
    EXPECT_EQ(back.CreateFromStdPicture(clip), 32);
    ::CloseClipboard();
    EXPECT_EQ(At(back, 5, 2), 0xC86432u);  // red 200, green 100, blue 50
}

TEST(cDIB32Filter, NoiseKeepsChannelsTogetherAndRaisesProgressEnd) {
    cDIB32 d;
    ASSERT_TRUE(d.Create(20, 10, RGB(100, 100, 100)));
    cDIB32Filter f;
    int ends = 0;
    f.ProgressEnd.connect([&] { ++ends; });
    f.Noise(d, 30, 1);
    EXPECT_EQ(ends, 1);
    int changed = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const uint32_t c = At(d, x, y);
            const int b = c & 0xFF;
            EXPECT_EQ(b, int((c >> 8) & 0xFF));
            EXPECT_EQ(b, int(c >> 16));
            EXPECT_LE(std::abs(b - 100), 30);
            changed += b != 100;
        }
    EXPECT_GT(changed, 100);
    cDIB32 empty;
    f.Noise(empty, 30, 1);
    EXPECT_EQ(ends, 1) << "nothing happens without a block";
}

void EmptyTheClipboard() {
    if (::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
}

TEST(cDIB32, ThousandCyclesLeaveTheGdiCountUnchanged) {
    win::ScopedBitmap picture(::CreateBitmap(12, 9, 1, 32, nullptr));
    EmptyTheClipboard();  // a bitmap left there by an earlier test would be freed during the count
    const long before = px::test::GdiObjectCount();
    ASSERT_GT(before, 0);
    cDIB32Filter filter;
    for (int i = 0; i < 1000; ++i) {
        cDIB32 d, e;
        ASSERT_TRUE(d.Create(10 + i % 3, 7, RGB(i % 256, 0, 0)));
        ASSERT_EQ(e.CreateFromStdPicture(picture.get()), 32);
        d.LoadDIBBlt(e);
        d.Orientation(i % 2 == 0, true, false);
        filter.Noise(d, 5, 1);
        if (i % 100 == 0) d.CopyToClipboard();  // the clipboard's previous bitmap is freed when it is emptied
    }
    EmptyTheClipboard();
    EXPECT_EQ(px::test::GdiObjectCount(), before);
}

}  // namespace
}  // namespace px
