// GIF writing through the platform's image library: the encoder lookup, the
// written file read back (indices, colours, the transparent entry in the
// file's own extension), and failed writes that must say so and leave the
// user's file as it was.
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/win/ImageEncoder.h"
#include "base/win/ScopedWin.h"
#include "export/GifEncoder.h"
#include "export/cDither8bpp.h"
#include "export/cPalette8bpp.h"
#include "export/core/GifTransparency.h"
#include "imaging/cDIB32.h"

namespace px {
namespace {

constexpr int kW = 203, kH = 117;

std::vector<uint8_t> ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::filesystem::path TempDir(const wchar_t* name) {
    wchar_t buf[MAX_PATH];
    ::GetTempPathW(MAX_PATH, buf);
    auto dir = std::filesystem::path(buf) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::vector<std::wstring> FilesIn(const std::filesystem::path& dir) {
    std::vector<std::wstring> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().wstring());
    return names;
}

// A 203 x 117 picture of gradients and panels, dithered against the websafe table.
struct Dithered {
    cDIB32 picture;
    cPalette8bpp palette;
    cDither8bpp ditherer;
    Dithered() {
        picture.Create(kW, kH, 0);
        const Pixels32 px = picture.Pixels();
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                uint8_t* p = px.bits + (static_cast<size_t>(y) * kW + x) * 4;
                p[0] = static_cast<uint8_t>(y * 2);
                p[1] = static_cast<uint8_t>(x);
                p[2] = static_cast<uint8_t>(x < 100 ? 255 - x : 40);
            }
        palette.CreateWebsafe();
        ditherer.DitherToColorPalette(picture, palette, true);
    }
};

// Index, palette and transparency of a GIF as the platform decodes it.
struct Decoded {
    int width = 0, height = 0;
    std::vector<uint8_t> ids;  // top-down, width per row
    std::vector<uint32_t> palette;
};

Decoded DecodeIndexed(const std::filesystem::path& file) {
    Decoded d;
    Gdiplus::GpBitmap* raw = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromFile(file.c_str(), &raw) != Gdiplus::Ok) return d;
    win::ScopedGdipImage bitmap(raw);
    UINT w = 0, h = 0;
    Gdiplus::DllExports::GdipGetImageWidth(bitmap.get(), &w);
    Gdiplus::DllExports::GdipGetImageHeight(bitmap.get(), &h);
    INT size = 0;
    Gdiplus::DllExports::GdipGetImagePaletteSize(bitmap.get(), &size);
    std::vector<uint8_t> block(static_cast<size_t>(size));
    auto* pal = reinterpret_cast<Gdiplus::ColorPalette*>(block.data());
    if (Gdiplus::DllExports::GdipGetImagePalette(bitmap.get(), pal, size) != Gdiplus::Ok) return d;
    d.palette.assign(pal->Entries, pal->Entries + pal->Count);
    Gdiplus::Rect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
    Gdiplus::BitmapData data{};
    if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap.get(), &all, Gdiplus::ImageLockModeRead,
                                                PixelFormat8bppIndexed, &data) != Gdiplus::Ok)
        return d;
    d.width = static_cast<int>(w);
    d.height = static_cast<int>(h);
    for (UINT y = 0; y < h; ++y) {
        const auto* row = static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
        d.ids.insert(d.ids.end(), row, row + w);
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap.get(), &data);
    return d;
}

class GifEncoderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gdiplus_.ok());
        dir_ = TempDir(L"pixtrel-gif-test");
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    win::ScopedGdiplus gdiplus_{true};
    std::filesystem::path dir_;
};

TEST_F(GifEncoderTest, FindEncoderMatchesTheMimeTypeWithoutRegardToCase) {
    CLSID gif{}, upper{}, mixed{}, png{};
    const int32_t at = win::FindEncoder(L"image/gif", gif);
    ASSERT_GT(at, 0);
    EXPECT_EQ(win::FindEncoder(L"IMAGE/GIF", upper), at);
    EXPECT_EQ(win::FindEncoder(L"Image/Gif", mixed), at);
    EXPECT_TRUE(::IsEqualGUID(gif, upper) && ::IsEqualGUID(gif, mixed));
    const int32_t pngAt = win::FindEncoder(L"image/png", png);
    EXPECT_GT(pngAt, 0);
    EXPECT_NE(pngAt, at);
    EXPECT_FALSE(::IsEqualGUID(gif, png));
    const CLSID marker{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    for (const wchar_t* unknown : {L"image/x-unknown", L"image/gi", L"image/gif ", L""}) {
        CLSID id = marker;
        EXPECT_EQ(win::FindEncoder(unknown, id), -1) << unknown;
        EXPECT_TRUE(::IsEqualGUID(id, marker)) << unknown;  // left as it was
    }
}

TEST_F(GifEncoderTest, TheFileHoldsTheDitheredIndicesAndColours) {
    Dithered d;
    const auto file = dir_ / L"dither.gif";
    std::wstring reason;
    ASSERT_TRUE(SaveGIF(d.picture, d.palette, d.ditherer, -1, file.wstring(), &reason)) << reason;
    const Decoded decoded = DecodeIndexed(file);
    ASSERT_EQ(decoded.width, kW);
    ASSERT_EQ(decoded.height, kH);
    ASSERT_GE(decoded.palette.size(), 256u);
    int mismatches = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const uint8_t id = decoded.ids[static_cast<size_t>(y) * kW + x];
            if (id != d.ditherer.PalID(x, y)) ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);
    for (int i = 0; i < 256; ++i) {
        const uint32_t rgb = decoded.palette[static_cast<size_t>(i)] & 0xFFFFFF;
        EXPECT_EQ(rgb, uint32_t{d.palette.rgbR(i)} << 16 | uint32_t{d.palette.rgbG(i)} << 8 | d.palette.rgbB(i)) << i;
    }
    EXPECT_EQ(GifTransparentIndex(ReadBytes(file)), -1);
    EXPECT_EQ(FilesIn(dir_), std::vector<std::wstring>{L"dither.gif"});  // no temporary file left
    // Artefact for the file-level checks (ImageMagick, giflib) of the end-to-end layer.
    if (const char* art = std::getenv("PIXTREL_ARTEFACTS")) {
        std::error_code ec;
        std::filesystem::copy_file(file, std::filesystem::path(art) / L"gif-encoder-dither.gif",
                                   std::filesystem::copy_options::overwrite_existing, ec);
    }
}

TEST_F(GifEncoderTest, TheTransparentEntryIsInTheFilesExtension) {
    Dithered d;
    for (int32_t entry : {3, 0, 249}) {
        const auto file = dir_ / (L"transparent-" + std::to_wstring(entry) + L".gif");
        std::wstring reason;
        ASSERT_TRUE(SaveGIF(d.picture, d.palette, d.ditherer, entry, file.wstring(), &reason)) << reason;
        const std::vector<uint8_t> bytes = ReadBytes(file);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
        EXPECT_EQ(GifTransparentIndex(bytes), entry);
        // The picture itself is unchanged by the added extension.
        const Decoded decoded = DecodeIndexed(file);
        ASSERT_EQ(decoded.width, kW);
        EXPECT_EQ(decoded.ids[0], d.ditherer.PalID(0, 0));
        EXPECT_EQ(decoded.ids.back(), d.ditherer.PalID(kW - 1, kH - 1));
        if (const char* art = std::getenv("PIXTREL_ARTEFACTS"); art && entry == 3) {
            std::error_code ec;
            std::filesystem::copy_file(file, std::filesystem::path(art) / L"gif-encoder-transparent3.gif",
                                       std::filesystem::copy_options::overwrite_existing, ec);
        }
    }
}

TEST_F(GifEncoderTest, ABlackAndWhitePaletteWritesTwoColours) {
    cDIB32 picture;
    picture.Create(9, 5, RGB(200, 200, 200));
    cPalette8bpp palette;
    palette.CreateGreyscale(0);
    cDither8bpp ditherer;
    ditherer.DitherToGreyPalette(picture, palette, 0, false);
    EXPECT_EQ(ditherer.PalIDRowLength(), 12);
    const auto file = dir_ / L"bw.gif";
    ASSERT_TRUE(SaveGIF(picture, palette, ditherer, -1, file.wstring()));
    const Decoded decoded = DecodeIndexed(file);
    ASSERT_EQ(decoded.width, 9);
    EXPECT_EQ(decoded.ids, std::vector<uint8_t>(45, 1));
    EXPECT_EQ(decoded.palette[1] & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(GifEncoderTest, FailedWritesSaySoAndKeepTheUsersFile) {
    Dithered d;
    std::wstring reason;
    // A folder that does not exist: false, a reason, no file.
    const auto missing = dir_ / L"no-such-folder" / L"x.gif";
    EXPECT_FALSE(SaveGIF(d.picture, d.palette, d.ditherer, -1, missing.wstring(), &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(std::filesystem::exists(missing));
    // A folder's name as the file name.
    std::filesystem::create_directories(dir_ / L"folder.gif");
    reason.clear();
    EXPECT_FALSE(SaveGIF(d.picture, d.palette, d.ditherer, -1, (dir_ / L"folder.gif").wstring(), &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / L"folder.gif"));
    // A locked file keeps its bytes, and no temporary file stays behind.
    const auto locked = dir_ / L"locked.gif";
    std::ofstream(locked, std::ios::binary) << "the user's old picture";
    {
        win::ScopedHandle lock(::CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
        reason.clear();
        EXPECT_FALSE(SaveGIF(d.picture, d.palette, d.ditherer, 3, locked.wstring(), &reason));
        EXPECT_FALSE(reason.empty());
    }
    const std::vector<uint8_t> kept = ReadBytes(locked);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "the user's old picture");
    std::vector<std::wstring> files = FilesIn(dir_);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::wstring>{L"folder.gif", L"locked.gif"}));
    // Unlocked, the same save replaces it.
    EXPECT_TRUE(SaveGIF(d.picture, d.palette, d.ditherer, 3, locked.wstring(), &reason)) << reason;
    EXPECT_EQ(GifTransparentIndex(ReadBytes(locked)), 3);
}

TEST_F(GifEncoderTest, NothingToWriteIsReportedNotSaved) {
    cDIB32 picture;
    cPalette8bpp palette;
    cDither8bpp ditherer;
    std::wstring reason;
    const auto file = dir_ / L"empty.gif";
    EXPECT_FALSE(SaveGIF(picture, palette, ditherer, -1, file.wstring(), &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace px
