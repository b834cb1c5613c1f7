// The leak tests of every window class rest on this count being right.
#include <gtest/gtest.h>

#include <vector>

#include "base/win/ScopedWin.h"
#include "tests/win/support/GdiCount.h"

using px::test::GdiObjectCount;

TEST(GdiCount, MovesByExactlyTheObjectsCreatedAndDeleted) {
    long before = GdiObjectCount();
    ASSERT_GT(before, 0);
    {
        std::vector<px::win::ScopedBrush> brushes;
        for (int i = 0; i < 25; ++i) brushes.emplace_back(::CreateSolidBrush(RGB(i, 2 * i, 3 * i)));
        EXPECT_EQ(GdiObjectCount(), before + 25);
        px::win::AutoDeleteDC dc(::CreateCompatibleDC(nullptr));
        px::win::ScopedBitmap bmp(::CreateBitmap(4, 4, 1, 1, nullptr));
        EXPECT_EQ(GdiObjectCount(), before + 27);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(GdiCount, SelectionIsPutBackBeforeTheDcGoes) {
    long before = GdiObjectCount();
    for (int i = 0; i < 200; ++i) {
        px::win::AutoDeleteDC dc(::CreateCompatibleDC(nullptr));
        px::win::ScopedBitmap bmp(::CreateBitmap(8, 8, 1, 32, nullptr));
        px::win::ScopedSelectObject sel(dc.get(), bmp.get());
        px::win::ScopedPen pen(::CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
        px::win::ScopedSelectObject selPen(dc.get(), pen.get());
        ::MoveToEx(dc.get(), 0, 0, nullptr);
        ::LineTo(dc.get(), 7, 7);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}
