// The scratch file and "Save As Bitmap" go through the platform's picture save.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/win/SavePicture.h"
#include "base/win/ScopedWin.h"
#include "tests/win/support/GdiCount.h"

namespace {

// A 3 x 2 screen-compatible bitmap with known colours.
px::win::ScopedBitmap KnownBitmap() {
    px::win::ScopedGetDC screen(nullptr);
    px::win::ScopedBitmap bmp(::CreateCompatibleBitmap(screen, 3, 2));
    px::win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    px::win::ScopedSelectObject sel(dc.get(), bmp.get());
    const COLORREF colours[2][3] = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
                                    {RGB(1, 2, 3), RGB(250, 251, 252), RGB(128, 64, 32)}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) ::SetPixelV(dc.get(), x, y, colours[y][x]);
    return bmp;
}

}  // namespace

TEST(SavePicture, WritesAStandardBitmapFileWithThePixels) {
    auto bmp = KnownBitmap();
    std::filesystem::path path = std::filesystem::temp_directory_path() / "pixtrel-savepicture.bmp";
    ASSERT_EQ(px::win::SavePictureAsBitmapFile(bmp.get(), path.wstring()), S_OK);

    std::ifstream f(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(f)), {});
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    auto u32 = [&](size_t o) { return bytes[o] | bytes[o + 1] << 8 | bytes[o + 2] << 16 | uint32_t(bytes[o + 3]) << 24; };
    auto i32 = [&](size_t o) { return static_cast<int32_t>(u32(o)); };
    EXPECT_EQ(u32(2), bytes.size());
    EXPECT_EQ(i32(18), 3);
    EXPECT_EQ(i32(22), 2);  // positive height: rows bottom-up
    int bits = bytes[28];
    ASSERT_EQ(bits, 24);
    size_t off = u32(10), bpp = bits / 8, stride = (3 * bpp + 3) & ~size_t(3);
    // Top-left pixel (red) lives in the last row of the file.
    const unsigned char* topLeft = &bytes[off + stride];
    EXPECT_EQ(topLeft[2], 255);
    EXPECT_EQ(topLeft[1], 0);
    EXPECT_EQ(topLeft[0], 0);
    const unsigned char* bottomRight = &bytes[off + 2 * bpp];
    EXPECT_EQ(bottomRight[2], 128);
    EXPECT_EQ(bottomRight[1], 64);
    EXPECT_EQ(bottomRight[0], 32);
    f.close();
    std::filesystem::remove(path);
}

TEST(SavePicture, AMissingFolderFailsAndWritesNothing) {
    auto bmp = KnownBitmap();
    std::wstring path = L"C:\\no-such-folder-pixtrel\\x.bmp";
    HRESULT hr = px::win::SavePictureAsBitmapFile(bmp.get(), path);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(SavePicture, RepeatedSavesLeakNoGdiObjects) {
    auto bmp = KnownBitmap();
    std::filesystem::path path = std::filesystem::temp_directory_path() / "pixtrel-savepicture-leak.bmp";
    long before = px::test::GdiObjectCount();
    for (int i = 0; i < 200; ++i) ASSERT_EQ(px::win::SavePictureAsBitmapFile(bmp.get(), path.wstring()), S_OK);
    EXPECT_EQ(px::test::GdiObjectCount(), before);
    std::filesystem::remove(path);
}
