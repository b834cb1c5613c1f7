// The one owner of the current capture under the platform: Replace writes the
// scratch file before it swaps and raises Changed exactly once; a file that
// cannot be written keeps the old picture and reports why; ReloadFromScratch
// takes back what another writer put there.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/win/SavePicture.h"
#include "capture/CurrentCapture.h"
#include "tests/win/support/GdiCount.h"

namespace px {
namespace {

std::filesystem::path Folder() {
    wchar_t buf[MAX_PATH];
    ::GetTempPathW(MAX_PATH, buf);
    auto dir = std::filesystem::path(buf) / L"pixtrel-current-capture";
    std::filesystem::create_directories(dir);
    return dir;
}

win::ScopedBitmap Solid(int w, int h, COLORREF c) {
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap bmp(::CreateCompatibleBitmap(screen, w, h));
    win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    win::ScopedSelectObject sel(dc.get(), bmp.get());
    win::ScopedBrush brush(::CreateSolidBrush(c));
    RECT r{0, 0, w, h};
    ::FillRect(dc.get(), &r, brush.get());
    return bmp;
}

COLORREF PixelOf(HBITMAP bmp) {
    win::ScopedGetDC screen(nullptr);
    win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    win::ScopedSelectObject sel(dc.get(), bmp);
    return ::GetPixel(dc.get(), 0, 0);
}

// The picture a bitmap file holds, read straight from the file.
COLORREF FilePixel(const std::filesystem::path& path, SIZE* size = nullptr) {
    win::ScopedBitmap b(static_cast<HBITMAP>(
        ::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!b) return CLR_INVALID;
    BITMAP bm{};
    ::GetObjectW(b.get(), sizeof(bm), &bm);
    if (size) *size = {bm.bmWidth, std::abs(bm.bmHeight)};
    return PixelOf(b.get());
}

struct Fixture : ::testing::Test {
    void SetUp() override {
        path = Folder() / L"temp.bmp";
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
        capture = std::make_unique<CurrentCapture>(path.wstring());
        capture->Changed.connect([this] { ++changed; });
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
    std::unique_ptr<CurrentCapture> capture;
    int changed = 0;
};

using CurrentCaptureTest = Fixture;

TEST_F(CurrentCaptureTest, BeforeTheFirstCaptureThereIsNothing) {
    EXPECT_FALSE(capture->HasPicture());
    EXPECT_EQ(capture->Picture(), nullptr);
    EXPECT_EQ(capture->Size().cx, 0);
    EXPECT_EQ(capture->Size().cy, 0);
    std::wstring error;
    EXPECT_FALSE(capture->Replace(win::ScopedBitmap{}, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(capture->ReloadFromScratch()) << "no scratch file yet";
    EXPECT_EQ(changed, 0);
}

TEST_F(CurrentCaptureTest, ReplaceWritesTheFileThenSwapsAndRaisesChangedOnce) {
    struct Step {
        int w, h;
        COLORREF c;
    } steps[] = {{30, 20, RGB(255, 0, 0)}, {64, 48, RGB(0, 128, 255)}, {1, 1, RGB(9, 9, 9)}};
    int n = 0;
    for (const Step& s : steps) {
        win::ScopedBitmap picture = Solid(s.w, s.h, s.c);
        const HBITMAP handle = picture.get();
        // At Changed the file must already hold the new picture: listeners read it.
        COLORREF seenInFile = CLR_INVALID;
        capture->Changed.connect([&, expect = ++n] {
            if (changed == expect) seenInFile = FilePixel(path);
        });
        ASSERT_TRUE(capture->Replace(std::move(picture)));
        EXPECT_EQ(changed, n) << "exactly one Changed per Replace";
        EXPECT_EQ(capture->Picture(), handle) << "the picture given is the one kept";
        EXPECT_EQ(capture->Size().cx, s.w);
        EXPECT_EQ(capture->Size().cy, s.h);
        EXPECT_EQ(seenInFile, s.c);
        SIZE fileSize{};
        EXPECT_EQ(FilePixel(path, &fileSize), s.c);
        EXPECT_EQ(fileSize.cx, s.w);
        EXPECT_EQ(fileSize.cy, s.h);
    }
}

TEST_F(CurrentCaptureTest, AFileThatCannotBeWrittenKeepsTheOldPictureAndSaysWhy) {
    ASSERT_TRUE(capture->Replace(Solid(10, 10, RGB(0, 255, 0))));
    const HBITMAP before = capture->Picture();
    changed = 0;
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);  // a folder where the file should go
    std::wstring error;
    EXPECT_FALSE(capture->Replace(Solid(20, 20, RGB(255, 0, 0)), &error));
    EXPECT_FALSE(error.empty()) << "the reason is given";
    EXPECT_EQ(changed, 0) << "nothing changed, nothing raised";
    EXPECT_EQ(capture->Picture(), before);
    EXPECT_EQ(PixelOf(capture->Picture()), RGB(0, 255, 0));
    EXPECT_EQ(capture->Size().cx, 10);
}

TEST_F(CurrentCaptureTest, ReloadTakesBackWhatAnotherWriterPutInTheScratchFile) {
    ASSERT_TRUE(capture->Replace(Solid(10, 10, RGB(0, 0, 255))));
    changed = 0;
    win::ScopedBitmap other = Solid(33, 17, RGB(200, 100, 50));
    ASSERT_TRUE(SUCCEEDED(win::SavePictureAsBitmapFile(other.get(), path.wstring())));
    ASSERT_TRUE(capture->ReloadFromScratch());
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(capture->Size().cx, 33);
    EXPECT_EQ(PixelOf(capture->Picture()), RGB(200, 100, 50));

    // A scratch file gone: nothing changes.
    const HBITMAP kept = capture->Picture();
    std::filesystem::remove(path);
    EXPECT_FALSE(capture->ReloadFromScratch());
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(capture->Picture(), kept);
}

TEST_F(CurrentCaptureTest, ManyReplacementsLeaveNoGdiObjectsBehind) {
    ASSERT_TRUE(capture->Replace(Solid(50, 50, RGB(1, 2, 3))));
    const long before = test::GdiObjectCount();
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(capture->Replace(Solid(50 + i % 3, 50, RGB(i, 2, 3))));
        if (i % 10 == 0) ASSERT_TRUE(capture->ReloadFromScratch());
    }
    capture->Replace(Solid(50, 50, RGB(1, 2, 3)));
    EXPECT_EQ(test::GdiObjectCount(), before);
}

}  // namespace
}  // namespace px
