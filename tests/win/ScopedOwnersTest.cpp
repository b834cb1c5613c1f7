// The owners added for memory bitmaps, GDI+ start-up and dropped files: each
// gives back exactly what it took, also when moved.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "base/win/ScopedWin.h"
#include "tests/win/support/GdiCount.h"

using namespace px::win;
using px::test::GdiObjectCount;

namespace {
ScopedBitmap MakeBitmap(int w, int h) {
    ScopedGetDC screen(nullptr);
    return ScopedBitmap(::CreateCompatibleBitmap(screen, w, h));
}
}  // namespace

TEST(MemoryBitmapDC, KeepsTheBitmapSelectedAndDrawsIntoIt) {
    MemoryBitmapDC mem(nullptr, MakeBitmap(8, 6));
    ASSERT_TRUE(mem);
    EXPECT_EQ(::GetCurrentObject(mem.dc(), OBJ_BITMAP), mem.bitmap());
    ::SetPixel(mem.dc(), 3, 2, RGB(10, 200, 30));
    EXPECT_EQ(::GetPixel(mem.dc(), 3, 2), RGB(10, 200, 30));
}

TEST(MemoryBitmapDC, DetachDeselectsSoTheBitmapCanBeUsedElsewhere) {
    long before = GdiObjectCount();
    {
        MemoryBitmapDC mem(nullptr, MakeBitmap(4, 4));
        ::SetPixel(mem.dc(), 1, 1, RGB(255, 0, 0));
        ScopedBitmap out = mem.Detach();
        EXPECT_FALSE(mem);
        ASSERT_TRUE(out);
        // Selectable into another DC only because it was deselected.
        MemoryBitmapDC again(nullptr, std::move(out));
        ASSERT_TRUE(again);
        EXPECT_EQ(::GetPixel(again.dc(), 1, 1), RGB(255, 0, 0));
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(MemoryBitmapDC, RepeatedMovesAndResetsLeaveNoObjectBehind) {
    long before = GdiObjectCount();
    for (int i = 0; i < 100; ++i) {
        std::vector<MemoryBitmapDC> v;
        v.emplace_back(nullptr, MakeBitmap(16, 16));
        MemoryBitmapDC moved(std::move(v.back()));
        EXPECT_FALSE(v.back());
        MemoryBitmapDC other(nullptr, MakeBitmap(2, 2));
        other = std::move(moved);  // the 2x2 pair is released here
        EXPECT_TRUE(other);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(MemoryBitmapDC, EmptyBitmapGivesAnEmptyOwner) {
    long before = GdiObjectCount();
    MemoryBitmapDC mem(nullptr, ScopedBitmap{});
    EXPECT_FALSE(mem);
    EXPECT_EQ(mem.dc(), nullptr);
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(ScopedGdiplus, StartsWhenAskedAndShutsDownItsOwnStartUp) {
    ScopedGdiplus none;
    EXPECT_FALSE(none.ok());
    ScopedGdiplus off(false);
    EXPECT_FALSE(off.ok());
    {
        ScopedGdiplus a(true);
        ASSERT_TRUE(a.ok());
        EXPECT_EQ(a.status(), Gdiplus::Ok);
        ScopedGdiplus b(std::move(a));
        EXPECT_FALSE(a.ok());
        EXPECT_TRUE(b.ok());
        // GDI+ works while an owner holds it.
        Gdiplus::Bitmap bmp(4, 4, PixelFormat32bppARGB);
        EXPECT_EQ(bmp.GetLastStatus(), Gdiplus::Ok);
    }
    ScopedGdiplus again(true);
    EXPECT_TRUE(again.ok());
}

TEST(ScopedDrop, FinishesAnAllocatedDropOnce) {
    // A DROPFILES block as a drag source would hand it over.
    const wchar_t file[] = L"C:\\a.bmp\0";
    HGLOBAL mem = ::GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof(file) + sizeof(wchar_t));
    ASSERT_NE(mem, nullptr);
    auto* df = static_cast<DROPFILES*>(::GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), file, sizeof(file));
    ::GlobalUnlock(mem);
    ScopedDrop drop(static_cast<HDROP>(mem));
    EXPECT_EQ(::DragQueryFileW(drop.get(), 0xFFFFFFFF, nullptr, 0), 1u);
    ScopedDrop moved(std::move(drop));
    EXPECT_FALSE(drop);
    wchar_t name[MAX_PATH]{};
    ::DragQueryFileW(moved.get(), 0, name, MAX_PATH);
    EXPECT_STREQ(name, L"C:\\a.bmp");
}
