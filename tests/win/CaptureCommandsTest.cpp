// The capture commands under the platform: the active-window capture of a
// window on the screen, of one off every monitor (the user is told, by the
// main window, which comes back), and the main window's reaction to each.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/Application.h"
#include "app/frmDesktopImage.h"
#include "capture/CaptureCommands.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/ModalScript.h"

namespace px {
namespace {

using test::FindThreadDialog;
using test::ModalScript;
using test::PumpPending;
using test::PumpUntil;
using test::TestHost;

std::filesystem::path Scratch() {
    wchar_t buf[MAX_PATH];
    ::GetTempPathW(MAX_PATH, buf);
    auto dir = std::filesystem::path(buf) / L"pixtrel-capture-commands";
    std::filesystem::create_directories(dir);
    return dir / L"temp.bmp";
}

struct Counts {
    int finished = 0, cancelled = 0, failed = 0, changed = 0;
    std::wstring text;
};

void Watch(CaptureCommands& commands, CurrentCapture& capture, Counts& n) {
    commands.Finished.connect([&n] { ++n.finished; });
    commands.Cancelled.connect([&n] { ++n.cancelled; });
    commands.Failed.connect([&n](const std::wstring& t) {
        ++n.failed;
        n.text = t;
    });
    capture.Changed.connect([&n] { ++n.changed; });
}

TEST(CaptureCommands, TheActiveWindowOnTheScreenBecomesTheCapture) {
    CurrentCapture capture(Scratch().wstring());
    CaptureCommands commands(capture);
    Counts n;
    Watch(commands, capture, n);
    TestHost owner(20, 20, 100, 100);
    TestHost target(200, 150, 240, 130, RGB(10, 160, 90));
    ::SetForegroundWindow(target.hwnd());
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == target.hwnd(); }));
    PumpPending();
    commands.SetOwner(owner.hwnd());
    commands.CaptureActiveWindow(1);
    EXPECT_TRUE(commands.ActiveTimerRunning());
    ASSERT_TRUE(PumpUntil([&] { return n.finished + n.failed + n.cancelled > 0 || !commands.ActiveTimerRunning(); }));
    PumpPending();
    EXPECT_EQ(n.failed, 0) << std::string(n.text.begin(), n.text.end());
    EXPECT_EQ(n.finished, 1);
    EXPECT_EQ(n.changed, 1);
    EXPECT_EQ(commands.Captures(), 1);
    EXPECT_EQ(capture.Size().cx, 240);
    EXPECT_EQ(capture.Size().cy, 130);
    EXPECT_FALSE(::IsWindowVisible(owner.hwnd())) << "the owner stepped aside; showing it again is its own part";
}

// A window wholly off every monitor: nothing can be taken, and that is said
// instead of ending with the owner hidden and no word.
TEST(CaptureCommands, AnActiveWindowOffEveryMonitorFailsWithAReason) {
    CurrentCapture capture(Scratch().wstring());
    CaptureCommands commands(capture);
    Counts n;
    Watch(commands, capture, n);
    TestHost owner(20, 20, 100, 100);
    const int right = ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    TestHost away(right + 400, 100, 200, 100);
    ::SetForegroundWindow(away.hwnd());
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == away.hwnd(); }));
    commands.SetOwner(owner.hwnd());
    commands.CaptureActiveWindow(1);
    ASSERT_TRUE(PumpUntil([&] { return n.failed > 0; }));
    EXPECT_EQ(n.text, CaptureCommands::kOffScreenText);
    EXPECT_EQ(n.finished, 0);
    EXPECT_EQ(n.changed, 0);
    EXPECT_FALSE(capture.HasPicture());
}

// The same through the main window: its own message box says so, and it is visible again.
TEST(CaptureCommands, TheMainWindowSaysSoAndComesBack) {
    const std::wstring data = Application::Get().Paths().folder + L"\\Data";
    ::CreateDirectoryW(data.c_str(), nullptr);
    frmDesktopImage& main = frmDesktopImage::Get();
    main.Load();
    const int right = ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    TestHost away(right + 400, 100, 200, 100);
    ::SetForegroundWindow(away.hwnd());
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == away.hwnd(); }));
    const int capturesBefore = main.Commands().Captures();
    std::wstring text;
    HWND owner = nullptr;
    ModalScript closer;
    closer.Then([] { return FindThreadDialog() != nullptr; },
                [&] {
                    HWND box = FindThreadDialog();
                    owner = ::GetWindow(box, GW_OWNER);
                    text = win::GetWindowTextString(::GetDlgItem(box, 0xFFFF));
                    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                });
    closer.Start();
    main.Commands().CaptureActiveWindow(1);
    ASSERT_TRUE(PumpUntil([&] { return closer.Done() && !FindThreadDialog(); }, 5000));
    EXPECT_EQ(text, CaptureCommands::kOffScreenText);
    EXPECT_EQ(owner, main.hwnd()) << "the main window owns the message";
    EXPECT_TRUE(::IsWindowVisible(main.hwnd()));
    EXPECT_FALSE(::IsIconic(main.hwnd()));
    EXPECT_EQ(main.Commands().Captures(), capturesBefore);
    main.Hide();
    PumpPending();
}

}  // namespace
}  // namespace px
