// The " Save JPEG Options" window under the real platform: the file it writes
// (read back with GDI+ and compared with the capture), the overwrite
// question, the failure messages, the slider's reset, the real Save As dialog
// and the real message box.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/win/DibInfo.h"
#include "controls/uxButtons_H.h"
#include "base/Text.h"
#include "export/SaveJPEG.h"
#include "capture/ClipboardBitmap.h"
#include "capture/CurrentCapture.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"

namespace px {
namespace {

constexpr int kCaptureW = 203, kCaptureH = 117;  // not multiples of 8 or 16

std::filesystem::path TempDir() {
    wchar_t buf[MAX_PATH];
    ::GetTempPathW(MAX_PATH, buf);
    auto dir = std::filesystem::path(buf) / L"pixtrel-savejpeg-test";
    std::filesystem::create_directories(dir);
    return dir;
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A capture in the display's format: coloured panels, a gradient and text.
win::ScopedBitmap MakeCapture() {
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap bmp(::CreateCompatibleBitmap(screen, kCaptureW, kCaptureH));
    win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    win::ScopedSelectObject select(dc.get(), bmp.get());
    for (int x = 0; x < kCaptureW; ++x) {
        win::ScopedBrush brush(::CreateSolidBrush(RGB(x, 255 - x, 120)));
        RECT column{x, 0, x + 1, 40};
        ::FillRect(dc.get(), &column, brush.get());
    }
    RECT panel{0, 40, kCaptureW, kCaptureH};
    win::ScopedBrush white(::CreateSolidBrush(RGB(250, 250, 250)));
    ::FillRect(dc.get(), &panel, white.get());
    RECT icon{150, 60, 190, 100};
    win::ScopedBrush red(::CreateSolidBrush(RGB(200, 30, 40)));
    ::FillRect(dc.get(), &icon, red.get());
    ::SetBkMode(dc.get(), TRANSPARENT);
    ::TextOutW(dc.get(), 8, 60, L"Orvo Pixtrel 4.5", 16);
    return bmp;
}

// Top-down blue-green-red rows of a bitmap or of a decoded file.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint8_t> bgr;
};

Pixels ReadBitmap(HBITMAP bmp) {
    BITMAPINFO bi = px::win::TopDownDibInfo(kCaptureW, kCaptureH, 24);
    const int stride = (3 * kCaptureW + 3) & ~3;
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * kCaptureH);
    win::ScopedGetDC screen(nullptr);
    ::GetDIBits(screen, bmp, 0, kCaptureH, rows.data(), &bi, DIB_RGB_COLORS);
    Pixels p{kCaptureW, kCaptureH, {}};
    for (int y = 0; y < kCaptureH; ++y) p.bgr.insert(p.bgr.end(), &rows[y * stride], &rows[y * stride] + 3 * kCaptureW);
    return p;
}

// The file decoded by the platform (GDI+).
Pixels DecodeFile(const std::filesystem::path& file) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Pixels p;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return p;
    {
        Gdiplus::Bitmap bitmap(file.c_str());
        if (bitmap.GetLastStatus() == Gdiplus::Ok) {
            Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap.GetWidth()), static_cast<INT>(bitmap.GetHeight()));
            Gdiplus::BitmapData data{};
            if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) == Gdiplus::Ok) {
                p.width = static_cast<int>(data.Width);
                p.height = static_cast<int>(data.Height);
                for (int y = 0; y < p.height; ++y) {
                    const auto* row = static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
                    p.bgr.insert(p.bgr.end(), row, row + 3 * p.width);
                }
                bitmap.UnlockBits(&data);
            }
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return p;
}

double Psnr(const Pixels& a, const Pixels& b) {
    double sum = 0;
    for (size_t i = 0; i < a.bgr.size(); ++i) sum += std::pow(static_cast<double>(a.bgr[i]) - b.bgr[i], 2);
    const double mse = sum / static_cast<double>(a.bgr.size());
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The JPEG's first quantisation table entry (luminance DC step).
int FirstQuantStep(const std::vector<uint8_t>& jpeg) {
    for (size_t i = 0; i + 5 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDB) return jpeg[i + 5];
    }
    return -1;
}

void ClickButton(win::uxButtons_H& button) {
    RECT rc;
    ::GetClientRect(button.hwnd(), &rc);
    const LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom / 2);
    ::PostMessageW(button.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(button.hwnd(), WM_LBUTTONUP, 0, at);
}

struct ShownMessage {
    std::wstring text;
    UINT type;
    HWND owner;
};

class SaveJPEGTest : public ::testing::Test {
protected:
    void SetUp() override {
        capture_ = MakeCapture();
        mainWindow_ = std::make_unique<test::TestHost>(20, 20, 300, 200);
        ::ShowWindow(mainWindow_->hwnd(), SW_HIDE);  // hidden while the saving window is up
        current_ = std::make_unique<CurrentCapture>((TempDir() / L"scratch.bmp").wstring());
        ASSERT_TRUE(current_->Replace(CopyBitmap(capture_.get())));
        // The owner shows itself again when the window says it is gone.
        static HWND owner = nullptr;
        static bool connected = false;
        owner = mainWindow_->hwnd();
        if (!connected) form().Closed.connect([] { ::ShowWindow(owner, SW_SHOW); });
        connected = true;
        form().SetMessageBox([this](HWND owner, const std::wstring& text, UINT type) {
            messages_.push_back({text, type, owner});
            return answer_;
        });
        form().SetPathPrompt([this](const SaveDialogRequest& request) {
            lastRequest_ = request;
            ++prompts_;
            return path_;
        });
        dir_ = TempDir();
    }
    void TearDown() override {
        form().Unload();
        form().SetMessageBox(nullptr);
        form().SetPathPrompt(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    static SaveJPEG& form() { return SaveJPEG::Get(); }
    void Open() {
        form().Show(mainWindow_->hwnd(), *current_);
        ASSERT_TRUE(form().IsLoaded());
    }
    // Clicks "Save JPEG" and waits until the click has been handled.
    void ClickSave() {
        const int before = prompts_;
        ClickButton(form().SaveJPEGButton());
        ASSERT_TRUE(test::PumpUntil([&] { return prompts_ > before; }));
        test::PumpPending();
    }
    bool MainWindowVisible() const { return ::IsWindowVisible(mainWindow_->hwnd()) != FALSE; }

    win::ScopedBitmap capture_;
    std::unique_ptr<CurrentCapture> current_;
    std::unique_ptr<test::TestHost> mainWindow_;
    std::filesystem::path dir_;
    std::wstring path_;
    int answer_ = IDOK;
    int prompts_ = 0;
    SaveDialogRequest lastRequest_;
    std::vector<ShownMessage> messages_;
};

TEST_F(SaveJPEGTest, TheWindowHasItsCaptionLegendAndSliderTip) {
    Open();
    EXPECT_EQ(win::GetWindowTextString(form().hwnd()), L" Save JPEG Options");
    EXPECT_EQ(::SendMessageW(form().Slider1(), TBM_GETRANGEMIN, 0, 0), 1);
    EXPECT_EQ(::SendMessageW(form().Slider1(), TBM_GETRANGEMAX, 0, 0), 100);
    std::vector<std::wstring> labels;
    for (HWND child = ::GetWindow(form().hwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        labels.push_back(win::GetWindowTextString(child));
    for (const wchar_t* text : {L"Low Quality", L"High Compression", L"High Quality", L"Low Compression"})
        EXPECT_NE(std::find(labels.begin(), labels.end(), text), labels.end()) << px::Narrow(text);
    EXPECT_EQ(form().SaveJPEGButton().Caption(), L"Save JPEG");
    EXPECT_EQ(form().CmdExit().Caption(), L"Close");

    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = form().hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(form().Slider1());
    wchar_t text[80] = {};
    tool.lpszText = text;
    ::SendMessageW(form().ToolTip(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"Set JPEG Quality Compression");
}

TEST_F(SaveJPEGTest, SavesTheCaptureAtTheSliderQualityThenClosesAndShowsTheMainWindow) {
    path_ = (dir_ / L"capture.jpg").wstring();
    Open();
    ::SendMessageW(form().Slider1(), TBM_SETPOS, TRUE, 35);
    ClickSave();

    EXPECT_EQ(lastRequest_.filter, L"JPEG Image (*.jpg)|*.jpg|");
    EXPECT_EQ(lastRequest_.flags, static_cast<DWORD>(OFN_HIDEREADONLY));  // no OFN_FILEMUSTEXIST
    EXPECT_TRUE(messages_.empty());
    EXPECT_FALSE(form().IsLoaded());
    EXPECT_TRUE(MainWindowVisible());

    const auto bytes = ReadBytes(path_);
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(FirstQuantStep(bytes), (16 * (5000 / 35) + 50) / 100);  // the table of quality 35
    const Pixels decoded = DecodeFile(path_);
    ASSERT_EQ(decoded.width, kCaptureW);
    ASSERT_EQ(decoded.height, kCaptureH);
    EXPECT_GT(Psnr(ReadBitmap(capture_.get()), decoded), 25.0);
}

TEST_F(SaveJPEGTest, AtTheDefaultQualityTheFileIsAFaithfulCopy) {
    path_ = (dir_ / L"default.jpg").wstring();
    Open();
    EXPECT_EQ(form().Quality(), 90);
    ClickSave();
    const Pixels decoded = DecodeFile(path_);
    ASSERT_EQ(decoded.width, kCaptureW);
    EXPECT_GT(Psnr(ReadBitmap(capture_.get()), decoded), 35.0);
}

TEST_F(SaveJPEGTest, NamesOutsideTheAnsiCodePageAreSaved) {
    path_ = (dir_ / L"Bildschirm \u00fc\u20ac \u65e5\u672c.jpg").wstring();
    Open();
    ClickSave();
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(DecodeFile(path_).width, kCaptureW);
}

TEST_F(SaveJPEGTest, TheSliderReads90EveryTimeTheWindowOpens) {
    path_ = (dir_ / L"again.jpg").wstring();
    Open();
    EXPECT_EQ(form().Quality(), 90);
    ::SendMessageW(form().Slider1(), TBM_SETPOS, TRUE, 12);
    ClickSave();  // closes the window
    ASSERT_FALSE(form().IsLoaded());
    Open();
    EXPECT_EQ(form().Quality(), 90);
    ::SendMessageW(form().Slider1(), TBM_SETPOS, TRUE, 55);
    ClickButton(form().CmdExit());
    ASSERT_TRUE(test::PumpUntil([] { return !SaveJPEG::Get().IsLoaded(); }));
    EXPECT_TRUE(MainWindowVisible());
    Open();
    EXPECT_EQ(form().Quality(), 90);
}

TEST_F(SaveJPEGTest, CancelAtTheOverwriteQuestionWritesNothingAndKeepsTheWindow) {
    path_ = (dir_ / L"existing.jpg").wstring();
    const std::vector<uint8_t> previous(321, 0x42);
    WriteBytes(path_, previous);
    Open();
    answer_ = IDCANCEL;
    ClickSave();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, L"File already exists ! Overwrite ?");
    EXPECT_EQ(messages_[0].type, static_cast<UINT>(MB_OKCANCEL));  // no icon
    EXPECT_EQ(ReadBytes(path_), previous);
    EXPECT_TRUE(form().IsLoaded());
    EXPECT_TRUE(::IsWindowVisible(form().hwnd()));
    EXPECT_FALSE(MainWindowVisible());

    // OK replaces the file.
    answer_ = IDOK;
    ClickSave();
    EXPECT_EQ(messages_.size(), 2u);
    EXPECT_FALSE(form().IsLoaded());
    const auto bytes = ReadBytes(path_);
    ASSERT_GT(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
}

TEST_F(SaveJPEGTest, ACancelledFileDialogKeepsTheWindowWithoutAWord) {
    path_.clear();
    Open();
    ClickSave();
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(form().IsLoaded());
}

TEST_F(SaveJPEGTest, APathInAMissingFolderShowsBothMessagesInOrderAndCloses) {
    path_ = (dir_ / L"no such folder" / L"x.jpg").wstring();
    Open();
    const HWND saving = form().hwnd();
    ClickSave();
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0].text, L"Failed to save to JPG");
    EXPECT_EQ(messages_[0].type, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(messages_[1].text, L"Failed to save the picture to the file: '" + path_ + L"'");
    EXPECT_EQ(messages_[1].type, static_cast<UINT>(MB_ICONWARNING));
    for (const ShownMessage& m : messages_) {
        EXPECT_EQ(m.owner, saving) << "every message has the saving window as owner";
    }
    EXPECT_FALSE(form().IsLoaded());
    EXPECT_TRUE(MainWindowVisible());
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(SaveJPEGTest, SavingLeavesNoGdiObjectsBehind) {
    path_ = (dir_ / L"leak.jpg").wstring();
    Open();  // first load registers classes and caches stock objects
    ClickSave();
    const long before = test::GdiObjectCount();
    if (before < 0) GTEST_SKIP() << "GDI objects cannot be counted here";
    for (int i = 0; i < 3; ++i) {
        Open();
        ClickSave();
    }
    EXPECT_EQ(test::GdiObjectCount(), before);
}

// ---------------------------------------------------------------------------
// The real platform prompts, answered from a thread timer that runs inside
// their modal loops.

struct PromptDriver {
    static PromptDriver* current;
    std::function<bool()> step;  // true when done
    bool done = false;
    UINT_PTR timer = 0;

    explicit PromptDriver(std::function<bool()> s) : step(std::move(s)) {
        current = this;
        timer = ::SetTimer(nullptr, 0, 30, &PromptDriver::Tick);
    }
    ~PromptDriver() {
        ::KillTimer(nullptr, timer);
        current = nullptr;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (current && !current->done) current->done = current->step();
    }
};
PromptDriver* PromptDriver::current = nullptr;

// A visible dialog-class window of this thread whose title is `title`.
HWND FindDialog(const wchar_t* title) {
    HWND found = nullptr;
    struct Search {
        const wchar_t* title;
        HWND* found;
    } search{title, &found};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t cls[16] = {};
            ::GetClassNameW(h, cls, 16);
            if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(h) && win::GetWindowTextString(h) == s->title) {
                *s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return found;
}

std::vector<std::wstring> ChildTexts(HWND parent) {
    std::vector<std::wstring> texts;
    ::EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(win::GetWindowTextString(h));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

TEST_F(SaveJPEGTest, TheRealSaveAsDialogNamesTheFile) {
    form().SetPathPrompt(nullptr);
    const std::wstring target = (dir_ / L"from dialog.jpg").wstring();
    bool sawFilter = false;
    PromptDriver driver([&] {
        HWND dialog = FindDialog(L"Save As");
        if (!dialog) return false;
        // The type list offers the JPEG filter; the name box takes the path.
        HWND types = ::GetDlgItem(dialog, cmb1);
        const LRESULT count = ::SendMessageW(types, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[128] = {};
            ::SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            if (std::wstring(text) == L"JPEG Image (*.jpg)") sawFilter = true;
        }
        HWND name = ::GetDlgItem(dialog, cmb13);
        if (!name) name = ::GetDlgItem(dialog, edt1);
        ::SetWindowTextW(name, target.c_str());
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
        return true;
    });
    Open();
    ClickButton(form().SaveJPEGButton());
    ASSERT_TRUE(test::PumpUntil([] { return !SaveJPEG::Get().IsLoaded(); }, 15000));
    EXPECT_TRUE(driver.done);
    EXPECT_TRUE(sawFilter);
    EXPECT_TRUE(messages_.empty());
    const Pixels decoded = DecodeFile(target);
    EXPECT_EQ(decoded.width, kCaptureW);
    EXPECT_EQ(decoded.height, kCaptureH);
}

TEST_F(SaveJPEGTest, TheRealOverwriteQuestionHasOkAndCancelAndNoIcon) {
    form().SetMessageBox(nullptr);
    path_ = (dir_ / L"asked.jpg").wstring();
    const std::vector<uint8_t> previous(77, 0x13);
    WriteBytes(path_, previous);
    std::vector<std::wstring> texts;
    bool hasIcon = true;
    PromptDriver driver([&] {
        HWND box = FindDialog(kSaveJpegMessageTitle);
        if (!box) return false;
        texts = ChildTexts(box);
        hasIcon = false;
        for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            if ((::GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && ::IsWindowVisible(c) &&
                ::SendMessageW(c, STM_GETICON, 0, 0))
                hasIcon = true;
        }
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    });
    Open();
    ClickSave();
    ASSERT_TRUE(test::PumpUntil([&] { return driver.done; }));
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"File already exists ! Overwrite ?"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"OK"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Cancel"), texts.end());
    EXPECT_FALSE(hasIcon);
    EXPECT_EQ(ReadBytes(path_), previous);
    EXPECT_TRUE(form().IsLoaded());
}

}  // namespace
}  // namespace px
