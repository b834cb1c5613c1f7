// The GIF window's perceptual palette on real captures: it comes last among
// the palette options, builds its table from the whole capture (every exact
// colour when there are few), dithers through its own nearest-entry map, and
// the saved file decodes to the preview's pixels.
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <vector>

#include "base/win/ScopedWin.h"
#include "capture/CurrentCapture.h"
#include "controls/uxButtons_H.h"
#include "export/fMain.h"
#include "tests/win/ControlTestHost.h"

namespace px {
namespace {

using ColourAt = std::function<COLORREF(int x, int y)>;

// A capture in the display's format with the given pixels.
win::ScopedBitmap MakeCapture(int w, int h, const ColourAt& colour) {
    std::vector<uint32_t> bits(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = colour(x, y);
            bits[static_cast<size_t>(y) * w + x] = uint32_t{GetRValue(c)} << 16 | uint32_t{GetGValue(c)} << 8 | GetBValue(c);
        }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap bmp(::CreateCompatibleBitmap(screen, w, h));
    ::SetDIBits(screen, bmp.get(), 0, static_cast<UINT>(h), bits.data(), &info, DIB_RGB_COLORS);
    return bmp;
}

// Every pixel of a GIF as the platform decodes it, 0x00RRGGBB, top-down.
std::vector<uint32_t> DecodeRgb(const std::filesystem::path& file, int& w, int& h) {
    std::vector<uint32_t> out;
    Gdiplus::GpBitmap* raw = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromFile(file.c_str(), &raw) != Gdiplus::Ok) return out;
    win::ScopedGdipImage bitmap(raw);
    UINT uw = 0, uh = 0;
    Gdiplus::DllExports::GdipGetImageWidth(bitmap.get(), &uw);
    Gdiplus::DllExports::GdipGetImageHeight(bitmap.get(), &uh);
    Gdiplus::Rect all(0, 0, static_cast<INT>(uw), static_cast<INT>(uh));
    Gdiplus::BitmapData data{};
    if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap.get(), &all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB,
                                                &data) != Gdiplus::Ok)
        return out;
    for (UINT y = 0; y < uh; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(data.Scan0) +
                                                            static_cast<ptrdiff_t>(y) * data.Stride);
        for (UINT x = 0; x < uw; ++x) out.push_back(row[x] & 0xFFFFFF);
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap.get(), &data);
    w = static_cast<int>(uw);
    h = static_cast<int>(uh);
    return out;
}

class fMainPerceptualTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t buf[MAX_PATH];
        ::GetTempPathW(MAX_PATH, buf);
        dir_ = std::filesystem::path(buf) / L"pixtrel-fmain-perceptual-test";
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        capture_ = std::make_unique<CurrentCapture>((dir_ / L"temp.bmp").wstring());
        host_ = std::make_unique<test::TestHost>(20, 20, 300, 200);
        form().SetMessageBox([this](HWND, const std::wstring& text, UINT) {
            messages_.push_back(text);
            return IDOK;
        });
        form().SetPathPrompt([this](const SaveDialogRequest&) { return path_; });
    }
    void TearDown() override {
        form().Unload();
        form().SetMessageBox(nullptr);
        form().SetPathPrompt(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    static fMain& form() { return fMain::Get(); }
    void Click(int id) { ::SendMessageW(form().Item(id), BM_CLICK, 0, 0); }
    bool Checked(int id) { return ::SendMessageW(form().Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    // Opens the window on a w x h capture, builds the perceptual palette,
    // dithers, saves, and gives the decoded file and the preview's pixels.
    void SaveWithPerceptualPalette(int w, int h, const ColourAt& colour, std::vector<uint32_t>& decoded,
                                   std::vector<uint32_t>& preview) {
        ASSERT_TRUE(capture_->Replace(MakeCapture(w, h, colour)));
        form().Show(host_->hwnd(), *capture_);
        ASSERT_TRUE(form().IsLoaded());
        Click(fMain::kOptPalette0 + fMain::kPerceptualOption);
        ASSERT_TRUE(Checked(fMain::kOptPalette0 + fMain::kPerceptualOption));
        for (int i = 0; i < fMain::kPerceptualOption; ++i) EXPECT_FALSE(Checked(fMain::kOptPalette0 + i)) << i;
        ASSERT_TRUE(form().CmdDither().Enabled());
        form().CmdDither().Click();
        ASSERT_TRUE(form().CmdSaveGIF().Enabled());
        path_ = (dir_ / L"perceptual.gif").wstring();
        form().CmdSaveGIF().Click();
        ASSERT_TRUE(messages_.empty()) << std::string(messages_[0].begin(), messages_[0].end());
        int dw = 0, dh = 0;
        decoded = DecodeRgb(path_, dw, dh);
        ASSERT_EQ(dw, w);
        ASSERT_EQ(dh, h);
        const Pixels32 p = form().Preview().DIB().Pixels();
        ASSERT_EQ(p.width, w);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* q = p.bits + (static_cast<size_t>(y) * w + x) * 4;
                preview.push_back(uint32_t{q[2]} << 16 | uint32_t{q[1]} << 8 | q[0]);
            }
    }

    std::filesystem::path dir_;
    std::unique_ptr<CurrentCapture> capture_;
    std::unique_ptr<test::TestHost> host_;
    std::vector<std::wstring> messages_;
    std::wstring path_;
};

TEST_F(fMainPerceptualTest, TheOptionComesLastAfterTheOctree) {
    ASSERT_TRUE(capture_->Replace(MakeCapture(10, 10, [](int, int) { return RGB(1, 2, 3); })));
    form().Show(host_->hwnd(), *capture_);
    EXPECT_EQ(form().Text(fMain::kOptPalette0 + 5), L"Optimal (Octree):");
    EXPECT_EQ(form().Text(fMain::kOptPalette0 + fMain::kPerceptualOption), L"Optimal (Perceptual)");
    EXPECT_EQ(::GetDlgItem(form().hwnd(), fMain::kOptPalette0 + fMain::kPerceptualOption + 1), nullptr);
}

TEST_F(fMainPerceptualTest, FewColoursAreSavedExactly) {
    // 40 colours in stripes: the whole capture's colours, every one kept.
    const auto colour = [](int x, int y) {
        const int k = (x / 5 + 8 * (y / 10)) % 40;
        return RGB(k * 6, 255 - k * 5, (k * 37) % 256);
    };
    std::vector<uint32_t> decoded, preview;
    SaveWithPerceptualPalette(100, 50, colour, decoded, preview);
    EXPECT_EQ(form().Palette().MaxCount(), 40);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) {
            const COLORREF c = colour(x, y);
            const uint32_t want = uint32_t{GetRValue(c)} << 16 | uint32_t{GetGValue(c)} << 8 | GetBValue(c);
            ASSERT_EQ(decoded[static_cast<size_t>(y) * 100 + x], want) << x << "," << y;
        }
}

TEST_F(fMainPerceptualTest, ManyColoursDecodeToThePreviewAndStayClose) {
    // A smooth field of 200 x 150 colours, far more than a palette holds.
    const auto colour = [](int x, int y) { return RGB(x * 255 / 199, y * 255 / 149, (x + 2 * y) % 256); };
    std::vector<uint32_t> decoded, preview;
    SaveWithPerceptualPalette(200, 150, colour, decoded, preview);
    EXPECT_EQ(form().Palette().MaxCount(), 256);
    EXPECT_EQ(decoded, preview);
    std::set<uint32_t> used(decoded.begin(), decoded.end());
    EXPECT_GT(used.size(), 200u);  // the palette is used, not a few entries of it
    double error = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            const COLORREF c = colour(x, y);
            const uint32_t d = decoded[static_cast<size_t>(y) * 200 + x];
            error += std::abs(static_cast<int>(d >> 16) - GetRValue(c)) +
                     std::abs(static_cast<int>((d >> 8) & 0xFF) - GetGValue(c)) +
                     std::abs(static_cast<int>(d & 0xFF) - GetBValue(c));
        }
    EXPECT_LT(error / (3.0 * 200 * 150), 5.0);  // 4.3 as measured natively
}

}  // namespace
}  // namespace px
