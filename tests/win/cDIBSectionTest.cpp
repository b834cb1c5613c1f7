// The 24-bit buffer against the real platform: file writing and its error,
// reading the file back, DrawDib painting, resampling and handle hygiene.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "base/Error.h"
#include "base/Text.h"
#include "base/win/Window.h"
#include "imaging/cDIBSection.h"
#include "tests/win/support/GdiCount.h"

namespace px {
namespace {

std::filesystem::path TempDir() {
    wchar_t buf[MAX_PATH];
    ::GetTempPathW(MAX_PATH, buf);
    auto dir = std::filesystem::path(buf) / L"pixtrel-dib-test";
    std::filesystem::create_directories(dir);
    return dir;
}

std::string SystemText(DWORD code) {
    wchar_t buf[256];
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                                     256, nullptr);
    return px::Narrow(std::wstring(buf, n));
}

// Colour of pixel (x, y), y from the top, as blue | green << 8 | red << 16.
uint32_t PixelAt(const cDIBSection& d, int x, int y) {
    const Dib24Bits b = d.Bits();
    const uint8_t* p = b.bits + static_cast<size_t>(b.height - 1 - y) * b.bytesPerScanLine + 3 * x;
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
}

void FillPattern(cDIBSection& d) {
    const Dib24Bits b = d.Bits();
    for (int row = 0; row < b.height; ++row)
        for (int i = 0; i < b.bytesPerScanLine; ++i)
            b.bits[static_cast<size_t>(row) * b.bytesPerScanLine + i] = static_cast<uint8_t>(row * 31 + i * 7);
}

TEST(cDIBSection, SaveIntoAMissingFolderRaises17WithThePlatformText) {
    cDIBSection plain;
    cDIBSectionBC bc;
    for (cDIBSection* d : {&plain, static_cast<cDIBSection*>(&bc)}) {
        ASSERT_TRUE(d->Create(4, 4));
        const auto path = TempDir() / L"no-such-folder" / L"x.bmp";
        try {
            d->SavePicture(path.wstring());
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::CantPerformOperation);
            EXPECT_EQ(e.description(), SystemText(ERROR_PATH_NOT_FOUND));
            EXPECT_FALSE(e.description().empty());
            EXPECT_EQ(e.source(), "Orvo-Pixtrel." + d->ErrorClassName());
        }
        EXPECT_FALSE(std::filesystem::exists(path.parent_path()));
    }
    EXPECT_EQ(plain.ErrorClassName(), "cDIBSection");
    EXPECT_EQ(bc.ErrorClassName(), "cDIBSectionBC");
}

TEST(cDIBSection, SavedFileHasTheLayoutAndReadsBackWithTheSamePixels) {
    cDIBSection d;
    ASSERT_TRUE(d.Create(7, 5));  // 21 colour bytes + 3 padding a row
    FillPattern(d);
    const auto path = TempDir() / L"saved.bmp";
    ASSERT_TRUE(d.SavePicture(path.wstring()));

    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    ASSERT_EQ(file.size(), 58u + 24u * 5u);
    EXPECT_EQ(file[10], 58);
    for (int i = 54; i < 58; ++i) EXPECT_EQ(file[static_cast<size_t>(i)], 0);
    const Dib24Bits b = d.Bits();
    EXPECT_TRUE(std::equal(b.bits, b.bits + 120, file.begin() + 58)) << "pixel rows, padding included";

    // The platform's own reader sees the same picture.
    win::ScopedBitmap loaded(static_cast<HBITMAP>(
        ::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    ASSERT_TRUE(loaded);
    cDIBSection back;
    back.CreateFromPicture(loaded.get());
    ASSERT_EQ(back.Width(), 7);
    ASSERT_EQ(back.Height(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(PixelAt(back, x, y), PixelAt(d, x, y)) << x << "," << y;
    std::filesystem::remove(path);
}

TEST(cDIBSection, ClearUpKeepsTheSizeAndDropsTheHandles) {
    cDIBSection d;
    ASSERT_TRUE(d.Create(10, 3));
    EXPECT_EQ(d.BytesPerScanLine(), 32);
    EXPECT_NE(d.hDC(), nullptr);
    EXPECT_NE(d.hDIB(), nullptr);
    d.ClearUp();
    EXPECT_EQ(d.Width(), 10);
    EXPECT_EQ(d.Height(), 3);
    EXPECT_EQ(d.hDC(), nullptr);
    EXPECT_EQ(d.hDIB(), nullptr);
    EXPECT_EQ(d.DIBSectionBitsPtr(), nullptr);
    EXPECT_FALSE(d.Create(0, 5));
    EXPECT_EQ(d.hDC(), nullptr);
}

TEST(cDIBSection, NonBitmapPictureLeavesTheBufferEmpty) {
    win::ScopedBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
    cDIBSection d;
    d.CreateFromPicture(reinterpret_cast<HBITMAP>(brush.get()));
    EXPECT_EQ(d.hDIB(), nullptr);
    EXPECT_EQ(d.Width(), 0);
}

TEST(cDIBSection, DrawDibSettingSurvivesCreateAndPaintsTheSamePixels) {
    cDIBSection d;
    d.UseDrawDib(true);
    ASSERT_TRUE(d.Create(9, 6));
    EXPECT_TRUE(d.UseDrawDib());
    FillPattern(d);
    for (bool drawDib : {true, false}) {
        d.UseDrawDib(drawDib);
        EXPECT_EQ(d.UseDrawDib(), drawDib);
        cDIBSection target;
        ASSERT_TRUE(target.Create(9, 6));
        d.PaintPicture(target.hDC());
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 9; ++x) ASSERT_EQ(PixelAt(target, x, y), PixelAt(d, x, y)) << drawDib;
    }
}

TEST(cDIBSection, ResampleCopiesOwnSizeAndRefusesEmptyOrTooSmall) {
    cDIBSection d;
    ASSERT_TRUE(d.Create(6, 4));
    FillPattern(d);
    auto same = d.Resample(4, 6);
    ASSERT_TRUE(same);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(PixelAt(*same, x, y), PixelAt(d, x, y));
    EXPECT_EQ(d.Resample(0, 6), nullptr);
    auto half = d.Resample(2, 3);
    ASSERT_TRUE(half);
    EXPECT_EQ(half->Width(), 3);
    EXPECT_EQ(PixelAt(*half, 0, 1), PixelAt(d, 0, 3)) << "the bottom rows (memory row 0) correspond";

    cDIBSectionBC thin;
    ASSERT_TRUE(thin.Create(1, 8));
    try {
        thin.Resample(4, 4);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::SubscriptOutOfRange);
    }
}

TEST(cDIBSection, RandomiseBitsGreyAndColour) {
    cDIBSection d;
    ASSERT_TRUE(d.Create(5, 5));
    d.RandomiseBits(false);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(d, x, y) & 0xFF, 0u);
    d.RandomiseBits(true);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const uint32_t c = PixelAt(d, x, y);
            EXPECT_EQ(c & 0xFF, (c >> 8) & 0xFF);
            EXPECT_EQ(c & 0xFF, c >> 16);
        }
}

TEST(cDIBSection, ThousandCyclesLeaveTheGdiCountUnchanged) {
    win::ScopedBitmap picture(::CreateBitmap(16, 16, 1, 32, nullptr));
    const long before = px::test::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 1000; ++i) {
        cDIBSectionBC d;
        d.UseDrawDib(i % 2 == 0);
        ASSERT_TRUE(d.Create(16 + i % 5, 8));
        d.CreateFromPicture(picture.get());
        auto r = d.Resample(5, 7);
        ASSERT_TRUE(r);
    }
    EXPECT_EQ(px::test::GdiObjectCount(), before);
}

}  // namespace
}  // namespace px
