// The capture key against the platform's real hotkey table: the first free
// key is taken without a question; a key another window holds is named and the
// next one offered; declining leaves none; every key held is given back.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <vector>

#include "app/Application.h"
#include "app/CaptureHotkey.h"
#include "app/frmDesktopImage.h"
#include "base/Text.h"
#include "app/core/CaptureHotkeyChoice.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/HotkeyProbe.h"

using px::CaptureHotkey;
using px::kCaptureHotkeys;
using px::test::KeyHolder;

namespace {

bool KeyIsFree(size_t index) { return px::test::KeyIsFree(kCaptureHotkeys[index]); }

class CaptureHotkeyTest : public ::testing::Test {
protected:
    // The main window, when an earlier test loaded it, holds Print Screen: lent to these tests.
    void SetUp() override {
        px::frmDesktopImage& main = px::frmDesktopImage::Get();
        mainHeld_ = main.IsLoaded() && ::UnregisterHotKey(main.hwnd(), CaptureHotkey::kId);
        for (size_t i = 0; i < std::size(kCaptureHotkeys); ++i)
            ASSERT_TRUE(KeyIsFree(i)) << "another window of this process holds "
                                      << px::Narrow(px::CaptureKeyName(kCaptureHotkeys[i]));
    }
    void TearDown() override {
        if (mainHeld_)
            ::RegisterHotKey(px::frmDesktopImage::Get().hwnd(), CaptureHotkey::kId, kCaptureHotkeys[0].modifiers,
                             kCaptureHotkeys[0].virtualKey);
    }
    // Records each question and answers it.
    CaptureHotkey::Question Answer(bool yes) {
        return [this, yes](HWND owner, size_t taken) {
            EXPECT_EQ(owner, owner_.hwnd()) << "the question is owned by the window";
            asked_.push_back(taken);
            return yes;
        };
    }
    px::test::TestHost owner_{40, 40, 50, 50};
    std::vector<size_t> asked_;
    bool mainHeld_ = false;
};

}  // namespace

TEST_F(CaptureHotkeyTest, PrintScreenWhenFreeWithoutAQuestionAndGivenBack) {
    {
        CaptureHotkey hotkey;
        EXPECT_TRUE(hotkey.Register(owner_.hwnd(), Answer(true)));
        EXPECT_EQ(hotkey.Current(), kCaptureHotkeys[0]);
        EXPECT_TRUE(asked_.empty());
        EXPECT_FALSE(KeyIsFree(0)) << "Print Screen is held";
        EXPECT_TRUE(KeyIsFree(1));
        hotkey.Unregister();
        EXPECT_TRUE(KeyIsFree(0));
        EXPECT_FALSE(hotkey.Current());
        EXPECT_TRUE(hotkey.Register(owner_.hwnd(), Answer(true)));
    }
    EXPECT_TRUE(KeyIsFree(0)) << "the owner gives the key back when it goes";
}

TEST_F(CaptureHotkeyTest, TakenKeyIsNamedAndTheNextOneTakenWhenAccepted) {
    KeyHolder other{kCaptureHotkeys[0]};
    CaptureHotkey hotkey;
    EXPECT_TRUE(hotkey.Register(owner_.hwnd(), Answer(true)));
    EXPECT_EQ(asked_, (std::vector<size_t>{0}));
    EXPECT_EQ(hotkey.Current(), kCaptureHotkeys[1]);
    EXPECT_FALSE(KeyIsFree(1)) << "Ctrl+Print Screen is held now";
}

TEST_F(CaptureHotkeyTest, DecliningLeavesNoKey) {
    KeyHolder other{kCaptureHotkeys[0]};
    CaptureHotkey hotkey;
    EXPECT_FALSE(hotkey.Register(owner_.hwnd(), Answer(false)));
    EXPECT_EQ(asked_, (std::vector<size_t>{0}));
    EXPECT_FALSE(hotkey.Current());
    EXPECT_TRUE(KeyIsFree(1)) << "nothing was taken after the refusal";
}

TEST_F(CaptureHotkeyTest, EveryKeyTakenAsksForEachAndEndsWithout) {
    KeyHolder other{kCaptureHotkeys[0], kCaptureHotkeys[1], kCaptureHotkeys[2]};
    CaptureHotkey hotkey;
    EXPECT_FALSE(hotkey.Register(owner_.hwnd(), Answer(true)));
    EXPECT_EQ(asked_, (std::vector<size_t>{0, 1, 2}));
    EXPECT_FALSE(hotkey.Current());
}

TEST_F(CaptureHotkeyTest, SecondChoiceAlsoTakenGoesOnToTheThird) {
    KeyHolder other{kCaptureHotkeys[0], kCaptureHotkeys[1]};
    CaptureHotkey hotkey;
    EXPECT_TRUE(hotkey.Register(owner_.hwnd(), Answer(true)));
    EXPECT_EQ(asked_, (std::vector<size_t>{0, 1}));
    EXPECT_EQ(hotkey.Current(), kCaptureHotkeys[2]);
}

TEST_F(CaptureHotkeyTest, APreferredKeyComesFirstAndWhenTakenTheChainFollows) {
    const px::CaptureKey kept{px::kHotkeyCtrl | px::kHotkeyAlt, 'K'};
    {
        CaptureHotkey hotkey;
        EXPECT_TRUE(hotkey.RegisterPreferred(owner_.hwnd(), kept, Answer(true)));
        EXPECT_EQ(hotkey.Current(), kept);
        EXPECT_TRUE(KeyIsFree(0)) << "Print Screen is not taken as well";
    }
    KeyHolder other{kept};
    CaptureHotkey hotkey;
    EXPECT_TRUE(hotkey.RegisterPreferred(owner_.hwnd(), kept, Answer(true)));
    EXPECT_EQ(hotkey.Current(), kCaptureHotkeys[0]) << "a kept key that is taken gives way to Print Screen";
    EXPECT_TRUE(asked_.empty()) << "without a question";
}

TEST_F(CaptureHotkeyTest, ChangeSwapsTheKeyOrKeepsTheOldOneWhenTheNewIsTaken) {
    const px::CaptureKey wanted{px::kHotkeyCtrl | px::kHotkeyShift, 0x78};  // Ctrl+Shift+F9
    CaptureHotkey hotkey;
    EXPECT_FALSE(hotkey.Change(wanted)) << "no owner yet";
    KeyHolder other{kCaptureHotkeys[0]};  // Print Screen: the chain ends on Ctrl+Print Screen, so a key is held
    ASSERT_TRUE(hotkey.Register(owner_.hwnd(), Answer(true)));
    ASSERT_EQ(hotkey.Current(), kCaptureHotkeys[1]);
    EXPECT_TRUE(hotkey.Change(wanted));
    EXPECT_EQ(hotkey.Current(), wanted);
    EXPECT_TRUE(KeyIsFree(1)) << "the old key was given back";
    EXPECT_FALSE(hotkey.Change(kCaptureHotkeys[0])) << "held by the other window";
    EXPECT_EQ(hotkey.Current(), wanted) << "the old key is taken back";
    EXPECT_FALSE(px::test::KeyIsFree(wanted)) << "and registered";
    EXPECT_TRUE(hotkey.Change(kCaptureHotkeys[2]));
    EXPECT_EQ(hotkey.Current(), kCaptureHotkeys[2]);
}

// The main window's key: WM_HOTKEY with the capture key's identity starts "Capture Selection".
TEST(MainWindowHotkey, TheKeyStartsCaptureSelectionAndOtherHotkeysDoNot) {
    const std::wstring data = px::Application::Get().Paths().folder + L"\\Data";
    ::CreateDirectoryW(data.c_str(), nullptr);
    px::frmDesktopImage& main = px::frmDesktopImage::Get();
    main.ShowNormal();
    ASSERT_TRUE(px::test::PumpUntil([&] { return ::IsWindowVisible(main.hwnd()) != FALSE; }));
    ASSERT_FALSE(main.Commands().Busy());
    ::PostMessageW(main.hwnd(), WM_HOTKEY, CaptureHotkey::kId + 1, MAKELPARAM(0, px::kVkSnapshot));
    px::test::PumpPending();
    EXPECT_FALSE(main.Commands().Busy()) << "not our key";
    EXPECT_TRUE(::IsWindowVisible(main.hwnd()));
    ::PostMessageW(main.hwnd(), WM_HOTKEY, CaptureHotkey::kId, MAKELPARAM(0, px::kVkSnapshot));
    px::test::PumpPending();
    EXPECT_TRUE(main.Commands().Busy()) << "waiting to show the overlay";
    EXPECT_FALSE(::IsWindowVisible(main.hwnd())) << "the window steps aside as for the button";
    main.Commands().Stop();
    main.ShowNormal();
    main.Hide();
    px::test::PumpPending();
}
