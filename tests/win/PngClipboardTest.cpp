// PNG through the platform's encoder and the clipboard's three picture
// formats, each decoded back (PNG by the platform's decoder, CF_DIBV5 by its
// header, CF_BITMAP by GetDIBits) and compared pixel for pixel with the
// capture: CF_DIBV5 and PNG made only when asked for, after a second put, and
// after the owner went; failures that leave the target as it was; GDI and
// memory balance.
#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>
#include <vector>

#include "base/Text.h"
#include "base/win/DibInfo.h"
#include "base/win/PngPicture.h"
#include "base/win/ScopedWin.h"
#include "capture/ClipboardBitmap.h"
#include "capture/ClipboardOwner.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"

namespace {

namespace fs = std::filesystem;

// 0x00RRGGBB, top row first.
using Pixels = std::vector<uint32_t>;

// 0x00RRGGBB; `seed` tells captures apart.
uint32_t Pattern(int x, int y, int seed) {
    return static_cast<uint32_t>((x * 37 + y + seed) % 256) << 16 |
           static_cast<uint32_t>((y * 11 + seed * 7) % 256) << 8 | static_cast<uint32_t>((x ^ (y * 3)) % 256);
}

// An odd-sized capture in the display's format, so rows need padding in every layout.
constexpr int kW = 37, kH = 23;
px::win::ScopedBitmap MakeCapture(int seed = 0, int w = kW, int h = kH) {
    Pixels p;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.push_back(Pattern(x, y, seed));
    BITMAPINFO bi = px::win::TopDownDibInfo(w, h);
    px::win::ScopedGetDC screen(nullptr);
    px::win::ScopedBitmap bmp(::CreateCompatibleBitmap(screen, w, h));
    ::SetDIBits(screen, bmp.get(), 0, static_cast<UINT>(h), p.data(), &bi, DIB_RGB_COLORS);
    return bmp;
}

Pixels Expected(int seed = 0) {
    Pixels p;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) p.push_back(Pattern(x, y, seed));
    return p;
}

Pixels BitmapPixels(HBITMAP bmp, int& w, int& h) {
    BITMAP bm{};
    if (!::GetObjectW(bmp, sizeof(bm), &bm)) return {};
    w = bm.bmWidth;
    h = std::abs(bm.bmHeight);
    BITMAPINFO bi = px::win::TopDownDibInfo(w, h);
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

namespace {

// What the clipboard holds in each format, decoded, with the clipboard opened by `reader`
// (asking for CF_DIBV5 and PNG makes their owner render them now).
struct OnClipboard {
    Pixels bitmap, dibV5, png;
    int bitmapW = 0, bitmapH = 0, dibW = 0, dibH = 0, pngW = 0, pngH = 0;
    bool dibOpaque = false, pngOpaque = false;
    HBITMAP bitmapHandle = nullptr;
};

OnClipboard ReadClipboard(HWND reader) {
    OnClipboard r;
    Clipboard clipboard(reader);
    if (!clipboard.open()) {
        ADD_FAILURE() << "the clipboard could not be opened";
        return r;
    }
    r.bitmapHandle = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    if (r.bitmapHandle) r.bitmap = BitmapPixels(r.bitmapHandle, r.bitmapW, r.bitmapH);
    r.dibV5 = DecodeDibV5(GlobalBytes(::GetClipboardData(CF_DIBV5)), r.dibW, r.dibH, r.dibOpaque);
    r.png = DecodePng(GlobalBytes(::GetClipboardData(px::PngClipboardFormat())), r.pngW, r.pngH, r.pngOpaque);
    return r;
}

// All three formats hold the capture of `seed`, pixel for pixel.
void ExpectTheCapture(const OnClipboard& r, int seed, const char* when) {
    SCOPED_TRACE(when);
    EXPECT_EQ(r.bitmap, Expected(seed)) << "CF_BITMAP";
    EXPECT_EQ(r.dibV5, Expected(seed)) << "CF_DIBV5";
    EXPECT_EQ(r.png, Expected(seed)) << "PNG";
    EXPECT_TRUE(r.bitmapW == kW && r.bitmapH == kH && r.dibW == kW && r.dibH == kH && r.pngW == kW && r.pngH == kH);
    EXPECT_TRUE(r.dibOpaque && r.pngOpaque);
}

}  // namespace

TEST(ClipboardOwner, PutsTheBitmapAtOnceAndMakesDibV5AndPngWhenAskedEachWithItsPixels) {
    px::ClipboardOwner owner;
    px::test::TestHost reader;
    const px::SharedPicture capture = px::Share(MakeCapture(1));
    ASSERT_TRUE(owner.Put(capture));
    EXPECT_EQ(owner.Kept(), capture) << "kept for the formats to come: shared, not copied";
    {
        Clipboard clipboard(reader.hwnd());
        ASSERT_TRUE(clipboard.open());
        EXPECT_EQ(::GetClipboardOwner(), owner.hwnd());
        ASSERT_NE(px::PngClipboardFormat(), 0u);
        for (UINT format : {static_cast<UINT>(CF_BITMAP), static_cast<UINT>(CF_DIBV5), px::PngClipboardFormat()})
            EXPECT_TRUE(::IsClipboardFormatAvailable(format)) << format;
        wchar_t name[32] = {};
        ::GetClipboardFormatNameW(px::PngClipboardFormat(), name, 32);
        EXPECT_STREQ(name, L"PNG");

        int w = 0, h = 0;
        bool opaque = false;
        EXPECT_EQ(DecodeDibV5(GlobalBytes(::GetClipboardData(CF_DIBV5)), w, h, opaque), Expected(1));
        EXPECT_TRUE(opaque && w == kW && h == kH);
        EXPECT_EQ(owner.Kept(), capture) << "PNG is still to be made";
    }
    const OnClipboard r = ReadClipboard(reader.hwnd());
    ExpectTheCapture(r, 1, "each format asked for once");
    EXPECT_NE(r.bitmapHandle, capture->get()) << "the clipboard owns a copy of the bitmap";
    EXPECT_EQ(owner.Kept(), nullptr) << "both made: nothing left to make from the picture";
    EXPECT_EQ(capture.use_count(), 1);
    ExpectTheCapture(ReadClipboard(reader.hwnd()), 1, "asked for again: made data kept by the clipboard");
}

TEST(ClipboardOwner, ClosingMakesWhatIsStillOfferedSoAllThreeFormatsOutliveTheOwner) {
    px::test::TestHost reader;
    for (const bool pngAskedFirst : {false, true}) {
        SCOPED_TRACE(pngAskedFirst ? "PNG made before the owner went" : "nothing made before the owner went");
        auto owner = std::make_unique<px::ClipboardOwner>();
        const px::SharedPicture capture = px::Share(MakeCapture(5));
        ASSERT_TRUE(owner->Put(capture));
        if (pngAskedFirst) {
            Clipboard clipboard(reader.hwnd());
            ASSERT_TRUE(clipboard.open());
            EXPECT_NE(::GetClipboardData(px::PngClipboardFormat()), nullptr);
        }
        owner->Close();  // the shutdown order's step: the window goes, WM_RENDERALLFORMATS first
        EXPECT_EQ(owner->hwnd(), nullptr);
        EXPECT_EQ(capture.use_count(), 1) << "the owner let the picture go";
        EXPECT_FALSE(owner->Put(capture)) << "a closed owner puts nothing";
        owner.reset();
        ExpectTheCapture(ReadClipboard(reader.hwnd()), 5, "after the owner was destroyed");
    }
}

TEST(ClipboardOwner, ASecondPutReplacesTheKeptPictureAndNoStalePictureIsMade) {
    px::ClipboardOwner owner;
    px::test::TestHost reader;
    const px::SharedPicture first = px::Share(MakeCapture(1)), second = px::Share(MakeCapture(2));
    ASSERT_TRUE(owner.Put(first));
    ASSERT_TRUE(owner.Put(second));  // neither format of the first was asked for
    EXPECT_EQ(first.use_count(), 1) << "the first picture was dropped when the clipboard was emptied";
    EXPECT_EQ(owner.Kept(), second);
    ExpectTheCapture(ReadClipboard(reader.hwnd()), 2, "after a put over formats never made");

    const px::SharedPicture third = px::Share(MakeCapture(3));
    ASSERT_TRUE(owner.Put(third));  // over formats already made
    ExpectTheCapture(ReadClipboard(reader.hwnd()), 3, "after a put over formats already made");
    EXPECT_EQ(second.use_count(), 1);
}

TEST(ClipboardOwner, AnotherProgramTakingTheClipboardDropsTheKeptPicture) {
    px::ClipboardOwner owner;
    px::test::TestHost other;
    const px::SharedPicture capture = px::Share(MakeCapture(4));
    ASSERT_TRUE(owner.Put(capture));
    {
        Clipboard clipboard(other.hwnd());
        ASSERT_TRUE(clipboard.open());
        ASSERT_TRUE(::EmptyClipboard());  // WM_DESTROYCLIPBOARD to the owner
    }
    EXPECT_EQ(owner.Kept(), nullptr);
    EXPECT_EQ(capture.use_count(), 1);
    owner.Close();  // no longer the owner: it leaves the other's clipboard alone
    Clipboard clipboard(other.hwnd());
    ASSERT_TRUE(clipboard.open());
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_DIBV5));
}

TEST(ClipboardOwner, AClipboardHeldOpenElsewhereRefusesThePutAndKeepsWhatWasThere) {
    px::ClipboardOwner owner;
    px::test::TestHost reader;
    const px::SharedPicture before = px::Share(MakeCapture(6)), refused = px::Share(MakeCapture(7));
    ASSERT_TRUE(owner.Put(before));
    std::atomic<int> holder{0};  // 1 holding, 2 told to let go, 3 gone
    std::thread other([&] {
        const bool opened = ::OpenClipboard(nullptr) != FALSE;
        holder = opened ? 1 : 3;
        if (!opened) return;
        while (holder != 2) std::this_thread::yield();
        ::CloseClipboard();
        holder = 3;
    });
    while (holder == 0) std::this_thread::yield();
    const bool held = holder == 1;
    const bool put = owner.Put(refused);
    if (held) holder = 2;
    other.join();
    ASSERT_TRUE(held) << "the other thread could not open the clipboard";
    EXPECT_FALSE(put);
    EXPECT_EQ(owner.Kept(), before) << "the earlier picture is still the one offered";
    EXPECT_EQ(refused.use_count(), 1);
    ExpectTheCapture(ReadClipboard(reader.hwnd()), 6, "after a refused put");
}

TEST(ClipboardOwner, CopyBackReadsTheBitmap) {
    px::ClipboardOwner owner;
    px::test::TestHost reader;
    ASSERT_TRUE(owner.Put(px::Share(MakeCapture(8))));
    int w = 0, h = 0;
    auto back = px::CopyBitmapFromClipboard(reader.hwnd());
    EXPECT_EQ(BitmapPixels(back.get(), w, h), Expected(8));
}

namespace {
// The process's address space in use: what a leaked picture would add to (Wine leaves the private-bytes count at 0).
uint64_t BytesInUse() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    ::GlobalMemoryStatusEx(&status);
    return status.ullTotalVirtual - status.ullAvailVirtual;
}
}  // namespace

// Each put with a new picture, every other one with both formats made: GDI
// objects exactly as before, memory within a fraction of what one leaked
// picture per put would cost (20 x 1.2 MB for each kind).
TEST(ClipboardOwner, TwentyPutsLeaveGdiAndMemoryFlat) {
    constexpr int w = 640, h = 480;
    px::ClipboardOwner owner;
    px::test::TestHost reader;
    const auto putAndMaybeRead = [&](int i) {
        ASSERT_TRUE(owner.Put(px::Share(MakeCapture(i, w, h))));
        if (i % 2 == 0) return;
        Clipboard clipboard(reader.hwnd());
        ASSERT_TRUE(clipboard.open());
        EXPECT_NE(::GetClipboardData(CF_DIBV5), nullptr);
        EXPECT_NE(::GetClipboardData(px::PngClipboardFormat()), nullptr);
    };
    for (int i = 1; i <= 3; i += 2) putAndMaybeRead(i);  // the heap and the library settle
    const long gdiBefore = px::test::GdiObjectCount();
    const uint64_t bytesBefore = BytesInUse();
    ASSERT_GT(gdiBefore, 0);
    ASSERT_GT(bytesBefore, 0u);
    for (int i = 4; i < 24; ++i) putAndMaybeRead(i);
    EXPECT_EQ(owner.Kept(), nullptr);
    EXPECT_EQ(px::test::GdiObjectCount(), gdiBefore);
    const uint64_t onePicture = uint64_t{w} * h * 4;
    EXPECT_LT(BytesInUse(), bytesBefore + 3 * onePicture);
}
