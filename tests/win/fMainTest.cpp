// The "  GIF Palette Options" window on a real capture: its labels, the
// palettes each option builds, dithering, the number fields, picking the
// transparent entry on the preview and writing it, saves that fail, the
// window without a picture, reloading, and no GDI objects left after cycles.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "capture/CurrentCapture.h"
#include "controls/uxButtons_H.h"
#include "export/core/GifTransparency.h"
#include "export/fMain.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"

namespace px {
namespace {

std::filesystem::path TempDir() {
    wchar_t buf[MAX_PATH];
    ::GetTempPathW(MAX_PATH, buf);
    auto dir = std::filesystem::path(buf) / L"pixtrel-fmain-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// A capture in the display's format: left half red, right half a grey ramp.
win::ScopedBitmap MakeCapture(int w, int h) {
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap bmp(::CreateCompatibleBitmap(screen, w, h));
    win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    win::ScopedSelectObject select(dc.get(), bmp.get());
    for (int x = 0; x < w; ++x) {
        const COLORREF c = x < w / 2 ? RGB(255, 0, 0) : RGB(x * 255 / w, x * 255 / w, x * 255 / w);
        win::ScopedBrush brush(::CreateSolidBrush(c));
        RECT column{x, 0, x + 1, h};
        ::FillRect(dc.get(), &column, brush.get());
    }
    return bmp;
}

class fMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = TempDir();
        capture_ = std::make_unique<CurrentCapture>((dir_ / L"temp.bmp").wstring());
        ASSERT_TRUE(capture_->Replace(MakeCapture(100, 50)));
        mainWindow_ = std::make_unique<test::TestHost>(20, 20, 300, 200);
        form().SetMessageBox([this](HWND owner, const std::wstring& text, UINT) {
            messages_.push_back(text);
            owners_.push_back(owner);
            return answer_;
        });
        form().SetPathPrompt([this](const SaveDialogRequest& request) {
            request_ = request;
            return path_;
        });
    }
    void TearDown() override {
        form().Unload();
        form().SetMessageBox(nullptr);
        form().SetPathPrompt(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    static fMain& form() { return fMain::Get(); }
    void Open() {
        form().Show(mainWindow_->hwnd(), *capture_);
        ASSERT_TRUE(form().IsLoaded());
    }
    void Click(int id) { ::SendMessageW(form().Item(id), BM_CLICK, 0, 0); }
    void Scroll(int id, int value) {
        ::SendMessageW(form().hwnd(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, value),
                       reinterpret_cast<LPARAM>(form().Item(id)));
    }
    void Type(int id, const wchar_t* text) { ::SetWindowTextW(form().Item(id), text); }
    void Press(win::uxButtons_H& button) {
        ASSERT_TRUE(button.Enabled());
        button.Click();
    }
    std::wstring Text(int id) { return form().Text(id); }
    static std::vector<uint8_t> Bytes(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::filesystem::path dir_;
    std::unique_ptr<CurrentCapture> capture_;
    std::unique_ptr<test::TestHost> mainWindow_;
    std::vector<std::wstring> messages_;
    std::vector<HWND> owners_;
    std::wstring path_;
    int answer_ = IDOK;
    SaveDialogRequest request_;
};

TEST_F(fMainTest, OpeningShowsTheCapturesSizeDepthAndEstimate) {
    Open();
    EXPECT_EQ(win::GetWindowTextString(form().hwnd()), L"  GIF Palette Options - Orvo Pixtrel 4.0");
    EXPECT_EQ(Text(fMain::kLblDimensions), L"100 x 50");
    EXPECT_EQ(Text(fMain::kLblbpp), L"32 bpp (memory DIB)");
    EXPECT_EQ(Text(fMain::kLblBitmapSize), L"15,054 bytes (24 bpp)");
    EXPECT_EQ(Text(fMain::kTxtHalftoneLevels), L"125");
    EXPECT_EQ(Text(fMain::kLblZoom), L"100%");
    EXPECT_FALSE(form().CmdDither().Enabled());
    EXPECT_FALSE(form().CmdSaveGIF().Enabled());
    EXPECT_FALSE(::IsWindowEnabled(form().Item(fMain::kChkPickColor)));
}

TEST_F(fMainTest, EachPaletteOptionBuildsItsTable) {
    Open();
    const struct {
        int option;
        int count;
    } cases[] = {{0, 2}, {1, 16}, {2, 256}, {3, 125}, {4, 256}, {5, 0}};
    for (const auto& c : cases) {
        Click(fMain::kOptPalette0 + c.option);
        if (c.option != 5) {
            EXPECT_EQ(form().Palette().MaxCount(), c.count) << c.option;
        }
        EXPECT_TRUE(form().CmdDither().Enabled()) << c.option;
        EXPECT_FALSE(form().CmdSaveGIF().Enabled()) << c.option;
    }
    EXPECT_GE(form().Palette().MaxCount(), 2);  // optimal: the red and the grey ramp
    const struct {
        int levels;
        const wchar_t* text;
        int count;
    } halftone[] = {{2, L"8", 8}, {3, L"27", 27}, {4, L"64", 64}, {6, L"216", 216}, {5, L"125", 125}};
    for (const auto& h : halftone) {
        Scroll(fMain::kSbHalftoneLevels, h.levels);
        EXPECT_EQ(Text(fMain::kTxtHalftoneLevels), h.text);
        EXPECT_EQ(form().Palette().MaxCount(), h.count) << h.levels;
        EXPECT_EQ(::SendMessageW(form().Item(fMain::kOptPalette0 + 3), BM_GETCHECK, 0, 0), BST_CHECKED);
    }
    // The optimal table keeps to the wanted entries; the two bars stay equal.
    Scroll(fMain::kSbOptimalEntriesFast, 10);
    EXPECT_EQ(Text(fMain::kTxtOptimalEntries), L"10");
    EXPECT_EQ(::GetScrollPos(form().Item(fMain::kSbOptimalEntries), SB_CTL), 10);
    EXPECT_FALSE(form().CmdDither().Enabled());  // the entries changed: back to the first state
    Click(fMain::kOptPalette0 + 5);
    EXPECT_GE(form().Palette().MaxCount(), 1);
    EXPECT_LE(form().Palette().MaxCount(), 10);
}

TEST_F(fMainTest, BlackAndWhiteDitheringGivesOneBitAndItsEstimate) {
    Open();
    Click(fMain::kOptPalette0);
    Press(form().CmdDither());
    EXPECT_EQ(form().VirtualColorDepth(), 1);
    EXPECT_EQ(Text(fMain::kLblbpp), L"1 bpp (virtual color depth)");
    EXPECT_EQ(Text(fMain::kLblBitmapSize), L"862 bytes (1 bpp)");
    EXPECT_TRUE(form().CmdSaveGIF().Enabled());
    EXPECT_TRUE(::IsWindowEnabled(form().Item(fMain::kChkPickColor)));
    EXPECT_TRUE(form().MarkerVisible());
    EXPECT_EQ(form().MarkerEntry(), 0);
    Click(fMain::kChkDiffuseError);  // a changed option needs a new dithering
    EXPECT_FALSE(form().CmdSaveGIF().Enabled());
    Click(fMain::kOptPalette0 + 1);
    Press(form().CmdDither());
    EXPECT_EQ(form().VirtualColorDepth(), 4);
    Click(fMain::kChkCountUniqueColors);
    EXPECT_FALSE(Text(fMain::kLblUniqueColors).empty());
    Click(fMain::kChkCountUniqueColors);
    EXPECT_EQ(Text(fMain::kLblUniqueColors), L"");
}

TEST_F(fMainTest, NumberFieldsKeepDigitsAndStayInRange) {
    Open();
    Type(fMain::kTxtRGBWeight0, L"2000");
    EXPECT_EQ(Text(fMain::kTxtRGBWeight0), L"1000");
    Type(fMain::kTxtRGBWeight0 + 1, L"12abc");  // pasted text keeps its leading digits
    EXPECT_EQ(Text(fMain::kTxtRGBWeight0 + 1), L"12");
    Type(fMain::kTxtRGBWeight0 + 2, L"99999999999999999999");
    EXPECT_EQ(Text(fMain::kTxtRGBWeight0 + 2), L"1000");
    Press(form().CmdUseDefaultWeights());
    EXPECT_EQ(Text(fMain::kTxtRGBWeight0), L"360");
    EXPECT_EQ(Text(fMain::kTxtRGBWeight0 + 1), L"436");
    EXPECT_EQ(Text(fMain::kTxtRGBWeight0 + 2), L"341");
    Press(form().CmdResetWeights());
    EXPECT_EQ(Text(fMain::kTxtRGBWeight0 + 1), L"1000");
    // Typed values outside the bars' ranges are brought into them when used, not fatal.
    Type(fMain::kTxtOptimalEntries, L"5000");
    Click(fMain::kOptPalette0 + 5);
    EXPECT_EQ(Text(fMain::kTxtOptimalEntries), L"256");
    Type(fMain::kTxtOptimalEntries, L"3");
    Click(fMain::kOptPalette0 + 5);
    EXPECT_EQ(Text(fMain::kTxtOptimalEntries), L"8");
    Click(fMain::kChkNoise);
    Type(fMain::kTxtNoise, L"300");
    Press(form().CmdDither());
    EXPECT_EQ(Text(fMain::kTxtNoise), L"25");
    EXPECT_TRUE(form().CmdSaveGIF().Enabled());
    // The keyboard gives digits and backspace only: '/' and ':' (47, 58) stay out.
    HWND weight = form().Item(fMain::kTxtRGBWeight0);
    Type(fMain::kTxtRGBWeight0, L"");
    for (wchar_t c : {L'/', L'4', L':', L'2', L'a', L'\b', L'7'}) ::SendMessageW(weight, WM_CHAR, c, 0);
    EXPECT_EQ(Text(fMain::kTxtRGBWeight0), L"47");
}

TEST_F(fMainTest, APickMovesTheMarkerAndTheSaveWritesThatEntryAsTransparent) {
    Open();
    Click(fMain::kOptPalette0 + 4);  // websafe: red is entry 249
    Press(form().CmdDither());
    Click(fMain::kChkPickColor);
    EXPECT_EQ(form().Preview().ShownCursor(), CanvasCursor::PickColor);
    // The preview shows the 100 x 50 picture at zoom 1 centred; pixel (10, 10) is red.
    ::SendMessageW(form().Preview().Surface(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ::SendMessageW(form().Preview().Surface(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(form().MarkerEntry(), 249);
    const int grey = form().Ditherer().PalID(90, 10);
    ::SendMessageW(form().Preview().Surface(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(90, 10));
    EXPECT_EQ(form().MarkerEntry(), grey);
    ::SendMessageW(form().Preview().Surface(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ::SendMessageW(form().Preview().Surface(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    Click(fMain::kChkUseTransparent);
    path_ = (dir_ / L"picked.gif").wstring();
    Press(form().CmdSaveGIF());
    EXPECT_EQ(request_.filter, L"GIF Image (*.gif)|*.gif|");
    EXPECT_EQ(request_.flags, static_cast<DWORD>(OFN_HIDEREADONLY));
    EXPECT_EQ(request_.title, fMain::kCaption);
    EXPECT_TRUE(messages_.empty());
    const auto bytes = Bytes(path_);
    EXPECT_EQ(GifTransparentIndex(bytes), 249);
    std::wstring size = Text(fMain::kLblFileSize);
    std::erase(size, L',');
    EXPECT_EQ(size, std::to_wstring(bytes.size()) + L" bytes");
}

TEST_F(fMainTest, AFailedSaveSaysSoNamingThePathAndShowsNoSize) {
    Open();
    Click(fMain::kOptPalette0);
    Press(form().CmdDither());
    path_ = (dir_ / L"missing" / L"x.gif").wstring();
    Press(form().CmdSaveGIF());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find(path_), std::wstring::npos);
    EXPECT_EQ(owners_[0], form().hwnd());
    EXPECT_EQ(Text(fMain::kLblFileSize), L"");
    EXPECT_FALSE(std::filesystem::exists(path_));
    // Overwrite refused: the old file stays.
    path_ = (dir_ / L"old.gif").wstring();
    std::ofstream(std::filesystem::path(path_)) << "old";
    answer_ = IDCANCEL;
    Press(form().CmdSaveGIF());
    EXPECT_EQ(messages_.back(), L"File already exists ! Overwrite ?");
    EXPECT_EQ(Bytes(path_).size(), 3u);
}

TEST_F(fMainTest, TheCloseButtonUnloadsAndRaisesClosedOnce) {
    int closed = 0;
    form().Closed.connect([&closed] { ++closed; });
    Open();
    Press(form().CmdExit());
    EXPECT_FALSE(form().IsLoaded());
    EXPECT_EQ(closed, 1);
    form().Closed.clear();
}

TEST_F(fMainTest, WithoutAPictureNothingCanBeBuiltOrDithered) {
    CurrentCapture empty((dir_ / L"none.bmp").wstring());
    form().Show(mainWindow_->hwnd(), empty);
    EXPECT_EQ(form().VirtualColorDepth(), 0);
    EXPECT_EQ(Text(fMain::kLblDimensions), L"0 x 0");
    EXPECT_EQ(Text(fMain::kLblbpp), L"0 bpp (memory DIB)");
    EXPECT_FALSE(::IsWindowEnabled(form().Item(fMain::kOptPalette0 + 4)));
    EXPECT_FALSE(::IsWindowEnabled(form().Item(fMain::kFraDither)));
    EXPECT_FALSE(form().CmdDither().Enabled());
}

TEST_F(fMainTest, ShowingItAgainReloadsTheCurrentCapture) {
    Open();
    Click(fMain::kOptPalette0);
    Press(form().CmdDither());
    ASSERT_TRUE(capture_->Replace(MakeCapture(64, 32)));
    Open();
    EXPECT_EQ(Text(fMain::kLblDimensions), L"64 x 32");
    EXPECT_EQ(Text(fMain::kLblbpp), L"32 bpp (memory DIB)");
    EXPECT_FALSE(form().CmdSaveGIF().Enabled());
    EXPECT_EQ(form().Preview().DIB().Width(), 64);
}

TEST_F(fMainTest, OpenDitherSaveCloseCyclesLeaveNoGdiObjects) {
    const auto cycle = [this](int i) {
        Open();
        Click(fMain::kOptPalette0 + 4);
        Click(fMain::kChkDiffuseError);
        Press(form().CmdDither());
        path_ = (dir_ / (L"cycle" + std::to_wstring(i % 2) + L".gif")).wstring();
        Press(form().CmdSaveGIF());
        Scroll(fMain::kSbZoom, 1 + i % 3);
        test::PumpPending();
        form().Unload();
        test::PumpPending();
    };
    cycle(0);
    cycle(1);
    const long before = test::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 20; ++i) cycle(i);
    EXPECT_EQ(test::GdiObjectCount(), before);
    // Only the overwrite question, once a cycle: every save succeeded.
    EXPECT_EQ(std::count(messages_.begin(), messages_.end(), L"File already exists ! Overwrite ?"), 20);
    EXPECT_EQ(messages_.size(), 20u);
}

// The window object outlives its loads: reloading must not connect its controls' handlers again (each
// user action would run once more per load, and the routing table would grow with every save).
TEST_F(fMainTest, ReloadingKeepsOneHandlerPerEventAndTheOptionsStillWork) {
    for (int i = 0; i < 6; ++i) {
        Open();
        form().Unload();
        test::PumpPending();
    }
    Open();
    EXPECT_EQ(form().Preview().MouseDown.count(), 1u);
    EXPECT_EQ(form().Preview().MouseMove.count(), 1u);
    Click(fMain::kOptPalette0 + 4);
    EXPECT_EQ(form().Palette().MaxCount(), 256);  // websafe
    Scroll(fMain::kSbZoom, 3);
    EXPECT_EQ(Text(fMain::kLblZoom), L"300%");
    Press(form().CmdDither());
    EXPECT_TRUE(form().CmdSaveGIF().Enabled());
}

}  // namespace
}  // namespace px
