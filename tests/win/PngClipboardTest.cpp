// PNG through the platform's encoder and the clipboard's three picture
// formats, each decoded back (PNG by the platform's decoder, CF_DIBV5 by its
// header, CF_BITMAP by GetDIBits) and compared pixel for pixel with the
// capture; failures that leave the target as it was; GDI balance.
#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/Text.h"
#include "base/win/PngPicture.h"
#include "base/win/ScopedWin.h"
#include "capture/ClipboardBitmap.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"

namespace {

namespace fs = std::filesystem;

// 0x00RRGGBB, top row first.
using Pixels = std::vector<uint32_t>;

COLORREF Pattern(int x, int y) { return RGB((x * 37 + y) % 256, (y * 11) % 256, (x ^ (y * 3)) % 256); }

// An odd-sized capture in the display's format, so rows need padding in every layout.
constexpr int kW = 37, kH = 23;
px::win::ScopedBitmap MakeCapture() {
    px::win::ScopedGetDC screen(nullptr);
    px::win::ScopedBitmap bmp(::CreateCompatibleBitmap(screen, kW, kH));
    px::win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    px::win::ScopedSelectObject sel(dc.get(), bmp.get());
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) ::SetPixelV(dc.get(), x, y, Pattern(x, y));
    return bmp;
}

Pixels Expected() {
    Pixels p;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const COLORREF c = Pattern(x, y);
            p.push_back(static_cast<uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c));
        }
    return p;
}

Pixels BitmapPixels(HBITMAP bmp, int& w, int& h) {
    BITMAP bm{};
    if (!::GetObjectW(bmp, sizeof(bm), &bm)) return {};
    w = bm.bmWidth;
    h = std::abs(bm.bmHeight);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    Pixels p(static_cast<size_t>(w * h));
    px::win::ScopedGetDC screen(nullptr);
    ::GetDIBits(screen, bmp, 0, static_cast<UINT>(h), p.data(), &bi, DIB_RGB_COLORS);
    for (uint32_t& v : p) v &= 0xFFFFFF;
    return p;
}

// Decodes PNG bytes with the platform's decoder; alphaAll is false if any pixel is not opaque.
Pixels DecodePng(const std::vector<uint8_t>& png, int& w, int& h, bool& opaque) {
    px::win::ScopedGdiplus gdiplus(true);
    px::win::ScopedComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return {};
    ULONG written = 0;
    stream->Write(png.data(), static_cast<ULONG>(png.size()), &written);
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    Gdiplus::GpBitmap* raw = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromStream(stream.get(), &raw) != Gdiplus::Ok) return {};
    px::win::ScopedGdipImage bitmap(raw);
    UINT uw = 0, uh = 0;
    Gdiplus::DllExports::GdipGetImageWidth(bitmap.get(), &uw);
    Gdiplus::DllExports::GdipGetImageHeight(bitmap.get(), &uh);
    w = static_cast<int>(uw);
    h = static_cast<int>(uh);
    Gdiplus::BitmapData data{};
    Gdiplus::GpRect all(0, 0, w, h);
    if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap.get(), &all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                                                &data) != Gdiplus::Ok)
        return {};
    Pixels p;
    opaque = true;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < w; ++x) {
            opaque = opaque && (row[x] >> 24) == 0xFF;
            p.push_back(row[x] & 0xFFFFFF);
        }
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap.get(), &data);
    return p;
}

std::vector<uint8_t> GlobalBytes(HANDLE h) {
    std::vector<uint8_t> bytes;
    const void* at = h ? ::GlobalLock(h) : nullptr;
    if (!at) return bytes;
    bytes.assign(static_cast<const uint8_t*>(at), static_cast<const uint8_t*>(at) + ::GlobalSize(h));
    ::GlobalUnlock(h);
    return bytes;
}

std::vector<uint8_t> FileBytes(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// The pixels of CF_DIBV5 data as its header describes them.
Pixels DecodeDibV5(const std::vector<uint8_t>& bytes, int& w, int& h, bool& opaque) {
    BITMAPV5HEADER v5{};
    if (bytes.size() < sizeof(v5)) return {};
    std::memcpy(&v5, bytes.data(), sizeof(v5));
    EXPECT_EQ(v5.bV5Size, sizeof(BITMAPV5HEADER));
    EXPECT_EQ(v5.bV5BitCount, 32);
    EXPECT_EQ(v5.bV5Compression, static_cast<DWORD>(BI_BITFIELDS));
    EXPECT_EQ(v5.bV5RedMask, 0x00FF0000u);
    EXPECT_EQ(v5.bV5GreenMask, 0x0000FF00u);
    EXPECT_EQ(v5.bV5BlueMask, 0x000000FFu);
    EXPECT_EQ(v5.bV5AlphaMask, 0xFF000000u);
    EXPECT_EQ(v5.bV5CSType, static_cast<DWORD>(0x73524742));  // sRGB
    w = v5.bV5Width;
    h = std::abs(v5.bV5Height);
    const bool bottomUp = v5.bV5Height > 0;
    const size_t offset = v5.bV5Size;  // the masks are inside a version-5 header
    if (bytes.size() < offset + static_cast<size_t>(w * h) * 4) return {};
    Pixels p;
    opaque = true;
    for (int y = 0; y < h; ++y) {
        const int row = bottomUp ? h - 1 - y : y;
        for (int x = 0; x < w; ++x) {
            uint32_t v;
            std::memcpy(&v, bytes.data() + offset + (static_cast<size_t>(row) * w + x) * 4, 4);
            opaque = opaque && (v >> 24) == 0xFF;
            p.push_back(v & 0xFFFFFF);
        }
    }
    return p;
}

class Clipboard {
public:
    explicit Clipboard(HWND owner) : open_(px::test::PumpUntil([&] { return ::OpenClipboard(owner) != FALSE; })) {}
    ~Clipboard() { if (open_) ::CloseClipboard(); }
    bool open() const { return open_; }

private:
    bool open_;
};

}  // namespace

TEST(PngPicture, EncodesThePixelsExactly) {
    auto capture = MakeCapture();
    std::wstring reason;
    const auto png = px::win::EncodePicturePng(capture.get(), &reason);
    ASSERT_FALSE(png.empty()) << px::Narrow(reason);
    const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GE(png.size(), sizeof(signature));
    EXPECT_EQ(std::memcmp(png.data(), signature, sizeof(signature)), 0);
    int w = 0, h = 0;
    bool opaque = false;
    EXPECT_EQ(DecodePng(png, w, h, opaque), Expected());
    EXPECT_EQ(w, kW);
    EXPECT_EQ(h, kH);
    EXPECT_TRUE(opaque);
}

TEST(PngPicture, SavesThroughATemporaryFileAndReplacesTheTarget) {
    auto capture = MakeCapture();
    const fs::path folder = fs::temp_directory_path() / "pixtrel-png-save";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path target = folder / "shot.png";
    { std::ofstream(target, std::ios::binary) << "previous"; }

    std::wstring reason;
    ASSERT_TRUE(px::win::SavePictureAsPngFile(capture.get(), target.wstring(), &reason)) << px::Narrow(reason);
    int w = 0, h = 0;
    bool opaque = false;
    EXPECT_EQ(DecodePng(FileBytes(target), w, h, opaque), Expected());
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 1)
        << "no temporary file stays behind";

    // A target that cannot be replaced (a folder of that name): false, a reason, nothing changed or left.
    const fs::path blocked = folder / "blocked.png";
    fs::create_directory(blocked);
    fs::create_directory(blocked / "inside");
    reason.clear();
    EXPECT_FALSE(px::win::SavePictureAsPngFile(capture.get(), blocked.wstring(), &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 2);

    // A missing folder: false, nothing written.
    EXPECT_FALSE(px::win::SavePictureAsPngFile(capture.get(), (folder / "missing" / "x.png").wstring(), &reason));
    EXPECT_FALSE(fs::exists(folder / "missing"));
    // No picture at all.
    EXPECT_FALSE(px::win::SavePictureAsPngFile(nullptr, target.wstring(), &reason));
    EXPECT_EQ(DecodePng(FileBytes(target), w, h, opaque), Expected()) << "the earlier file is kept";
    fs::remove_all(folder);
}

TEST(ClipboardFormats, ACaptureGoesOnAsBitmapDibV5AndPngEachWithItsPixels) {
    px::test::TestHost owner;
    auto capture = MakeCapture();
    ASSERT_TRUE(px::PutBitmapOnClipboard(owner.hwnd(), capture.get()));
    ASSERT_NE(px::PngClipboardFormat(), 0u);

    Clipboard clipboard(owner.hwnd());
    ASSERT_TRUE(clipboard.open());
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_DIBV5));
    EXPECT_TRUE(::IsClipboardFormatAvailable(px::PngClipboardFormat()));
    wchar_t name[32] = {};
    ::GetClipboardFormatNameW(px::PngClipboardFormat(), name, 32);
    EXPECT_STREQ(name, L"PNG");

    int w = 0, h = 0;
    bool opaque = false;
    auto* bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_NE(bitmap, capture.get()) << "the clipboard owns a copy";
    EXPECT_EQ(BitmapPixels(bitmap, w, h), Expected());
    EXPECT_EQ(w, kW);

    w = h = 0;
    EXPECT_EQ(DecodeDibV5(GlobalBytes(::GetClipboardData(CF_DIBV5)), w, h, opaque), Expected());
    EXPECT_EQ(w, kW);
    EXPECT_EQ(h, kH);
    EXPECT_TRUE(opaque);

    w = h = 0;
    opaque = false;
    auto png = GlobalBytes(::GetClipboardData(px::PngClipboardFormat()));
    EXPECT_EQ(DecodePng(png, w, h, opaque), Expected());
    EXPECT_EQ(w, kW);
    EXPECT_EQ(h, kH);
    EXPECT_TRUE(opaque);
}

TEST(ClipboardFormats, CopyBackReadsTheBitmapAndRepeatedPutsLeakNothing) {
    px::test::TestHost owner;
    auto capture = MakeCapture();
    ASSERT_TRUE(px::PutBitmapOnClipboard(owner.hwnd(), capture.get()));
    int w = 0, h = 0;
    auto back = px::CopyBitmapFromClipboard(owner.hwnd());
    EXPECT_EQ(BitmapPixels(back.get(), w, h), Expected());
    back.reset();

    // The clipboard keeps one set of copies at a time: the count settles after the first put.
    const long before = px::test::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(px::PutBitmapOnClipboard(owner.hwnd(), capture.get()));
    EXPECT_EQ(px::test::GdiObjectCount(), before);
}
