// The capture key window against the platform's real hotkey table and the
// test prefix's registry: OK registers the key chosen in the hotkey control
// and gives the old one back; a key another window holds is named in a message
// owned by the window and the old key stays; a plain letter is refused; the
// box "Use this key at every start" writes or deletes the stored value.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/CaptureHotkey.h"
#include "app/StoredCaptureKey.h"
#include "app/core/CaptureKey.h"
#include "app/frmCaptureKey.h"
#include "base/Text.h"
#include "base/win/UserRegistryValue.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/HotkeyProbe.h"
#include "tests/win/ModalScript.h"

using px::CaptureHotkey;
using px::CaptureKey;
using px::frmCaptureKey;
using px::test::FindThreadDialog;
using px::test::KeyHolder;
using px::test::KeyIsFree;
using px::test::ModalScript;

namespace {

constexpr CaptureKey kStart{px::kHotkeyCtrl | px::kHotkeyAlt, 0x79};     // Ctrl+Alt+F10
constexpr CaptureKey kChosen{px::kHotkeyCtrl | px::kHotkeyShift, 0x78};  // Ctrl+Shift+F9

px::win::UserRegistryValue StoredValue() { return {px::kSettingsRegistryKey, px::kCaptureKeyValueName}; }

HWND Child(int id) { return ::GetDlgItem(frmCaptureKey::Get().hwnd(), id); }
uint16_t ShownWord() { return static_cast<uint16_t>(::SendMessageW(Child(frmCaptureKey::IdHotkey), HKM_GETHOTKEY, 0, 0)); }
bool BoxChecked() { return ::SendMessageW(Child(frmCaptureKey::IdChkEveryStart), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Choose(CaptureKey key) {
    ::SendMessageW(Child(frmCaptureKey::IdHotkey), HKM_SETHOTKEY, px::HotkeyControlWord(key), 0);
}
void Press(int id) {
    ::PostMessageW(frmCaptureKey::Get().hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Child(id)));
}
bool WindowUp() { return frmCaptureKey::Get().IsVisible(); }
HWND Message() { return frmCaptureKey::Get().IsLoaded() ? FindThreadDialog(frmCaptureKey::Get().hwnd()) : nullptr; }

class frmCaptureKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StoredValue().Erase());
        ASSERT_TRUE(KeyIsFree(kStart) && KeyIsFree(kChosen)) << "another window of this process holds a test key";
        ASSERT_TRUE(hotkey_.RegisterPreferred(owner_.hwnd(), kStart));
    }
    void TearDown() override { EXPECT_TRUE(StoredValue().Erase()); }

    // Opens the window modally while `script` drives it. A script that stalls
    // closes the window when the watchdog fires: the test fails instead of hanging.
    void Run(ModalScript& script) {
        script.Start();
        const UINT_PTR watchdog = ::SetTimer(nullptr, 0, 20000, [](HWND, UINT, UINT_PTR id, DWORD) {
            ::KillTimer(nullptr, id);
            frmCaptureKey::Get().Unload();
        });
        frmCaptureKey::Get().ShowModal(owner_.hwnd(), hotkey_);
        ::KillTimer(nullptr, watchdog);
        script.Stop();
        ASSERT_TRUE(script.Done()) << "the script stopped after step " << script.StepsDone();
        EXPECT_FALSE(frmCaptureKey::Get().IsLoaded());
        EXPECT_TRUE(::IsWindowEnabled(owner_.hwnd())) << "the owner is enabled again";
    }

    px::test::TestHost owner_{40, 40, 50, 50};
    CaptureHotkey hotkey_;
};

}  // namespace

TEST_F(frmCaptureKeyTest, OkRegistersTheChosenKeyAndGivesTheOldOneBack) {
    uint16_t shown = 0;
    bool checked = true;
    ModalScript script;
    script.Then(WindowUp, [&] {
        shown = ShownWord();
        checked = BoxChecked();
        Choose(kChosen);
        Press(IDOK);
    });
    Run(script);
    EXPECT_EQ(shown, px::HotkeyControlWord(kStart)) << "the control shows the key held";
    EXPECT_FALSE(checked) << "unchecked while no key is stored";
    EXPECT_EQ(hotkey_.Current(), kChosen);
    EXPECT_FALSE(KeyIsFree(kChosen)) << "the chosen key is registered";
    EXPECT_TRUE(KeyIsFree(kStart)) << "the old key was given back";
    EXPECT_FALSE(StoredValue().ReadDword()) << "nothing is stored unless the box is checked";
}

TEST_F(frmCaptureKeyTest, CheckedBoxStoresTheKeyAndUncheckingDeletesIt) {
    ModalScript keep;
    keep.Then(WindowUp, [] {
        Choose(kChosen);
        ::SendMessageW(Child(frmCaptureKey::IdChkEveryStart), BM_SETCHECK, BST_CHECKED, 0);
        Press(IDOK);
    });
    Run(keep);
    EXPECT_EQ(StoredValue().ReadDword(), 0x0678u) << "low byte F9, next byte Ctrl and Shift";
    EXPECT_EQ(px::LoadStoredCaptureKey(), kChosen);

    bool checked = false;
    ModalScript forget;
    forget.Then(WindowUp, [&] {
        checked = BoxChecked();
        ::SendMessageW(Child(frmCaptureKey::IdChkEveryStart), BM_SETCHECK, BST_UNCHECKED, 0);
        Press(IDOK);  // the same key: nothing to register again, only the stored value changes
    });
    Run(forget);
    EXPECT_TRUE(checked) << "checked while a key is stored";
    EXPECT_FALSE(StoredValue().ReadDword());
    EXPECT_EQ(hotkey_.Current(), kChosen);
    EXPECT_FALSE(KeyIsFree(kChosen));
}

TEST_F(frmCaptureKeyTest, TakenKeyIsNamedInAMessageAndTheOldKeyStays) {
    KeyHolder other{kChosen};
    std::wstring texts, title;
    bool stillOpen = false, oldKeyHeld = false;
    ModalScript script;
    script.Then(WindowUp, [] {
              Choose(kChosen);
              ::SendMessageW(Child(frmCaptureKey::IdChkEveryStart), BM_SETCHECK, BST_CHECKED, 0);
              Press(IDOK);
          })
        .Then([] { return Message() != nullptr; },
              [&] {
                  texts = px::test::DialogStaticTexts(Message());
                  title = px::win::GetWindowTextString(Message());
                  ::PostMessageW(Message(), WM_COMMAND, IDOK, 0);
              })
        .Then([] { return Message() == nullptr; },
              [&] {
                  stillOpen = WindowUp();
                  oldKeyHeld = hotkey_.Current() == kStart && !KeyIsFree(kStart);
                  Press(IDCANCEL);
              });
    Run(script);
    EXPECT_NE(texts.find(L"The key Ctrl+Shift+F9 is already taken by another program"), std::wstring::npos)
        << px::Narrow(texts);
    EXPECT_NE(texts.find(L"The capture key stays Ctrl+Alt+F10."), std::wstring::npos) << px::Narrow(texts);
    EXPECT_EQ(title, frmCaptureKey::kCaption);
    EXPECT_TRUE(stillOpen) << "the window stays open for another choice";
    EXPECT_TRUE(oldKeyHeld) << "the old key was taken back";
    EXPECT_EQ(hotkey_.Current(), kStart);
    EXPECT_FALSE(StoredValue().ReadDword()) << "a key that could not be had is not stored";
}

TEST_F(frmCaptureKeyTest, PlainLetterIsRefusedAndDefaultShowsPrintScreen) {
    std::wstring texts;
    uint16_t afterDefault = 0;
    ModalScript script;
    script.Then(WindowUp, [] {
              Choose(CaptureKey{0, 'A'});
              Press(IDOK);
          })
        .Then([] { return Message() != nullptr; },
              [&] {
                  texts = px::test::DialogStaticTexts(Message());
                  ::PostMessageW(Message(), WM_COMMAND, IDOK, 0);
              })
        .Then([] { return Message() == nullptr && WindowUp(); },
              [&] {
                  ::SendMessageW(frmCaptureKey::Get().hwnd(), WM_COMMAND,
                                 MAKEWPARAM(frmCaptureKey::IdCmdDefault, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(Child(frmCaptureKey::IdCmdDefault)));
                  afterDefault = ShownWord();
                  Press(IDCANCEL);  // Default only fills the control: Cancel keeps the old key
              });
    Run(script);
    EXPECT_NE(texts.find(L"The key A is part of typing"), std::wstring::npos) << px::Narrow(texts);
    EXPECT_TRUE(KeyIsFree(CaptureKey{0, 'A'})) << "the letter was never registered";
    EXPECT_EQ(afterDefault, px::HotkeyControlWord(px::kDefaultCaptureKey));
    EXPECT_EQ(hotkey_.Current(), kStart);
    EXPECT_FALSE(KeyIsFree(kStart));
}

// The stored value as the registry holds it: a value of another type reads as nothing.
TEST(UserRegistryValue, WritesReadsAndErasesADwordAndIgnoresOtherTypes) {
    const px::win::UserRegistryValue value(L"Software\\Orvo Pixtrel Test", L"Number");
    ASSERT_TRUE(value.Erase());
    EXPECT_FALSE(value.ReadDword());
    ASSERT_TRUE(value.WriteDword(0x0678));
    EXPECT_EQ(value.ReadDword(), 0x0678u);
    ASSERT_TRUE(value.Erase());
    EXPECT_FALSE(value.ReadDword());
    EXPECT_TRUE(value.Erase()) << "erasing what is not there succeeds";

    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Orvo Pixtrel Test", 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    px::win::ScopedRegKey owner(key);
    const wchar_t text[] = L"1656";
    ::RegSetValueExW(key, L"Number", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
    EXPECT_FALSE(value.ReadDword()) << "a string";
    const uint64_t wide = 0x0678;
    ::RegSetValueExW(key, L"Number", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&wide), sizeof(wide));
    EXPECT_FALSE(value.ReadDword()) << "a QWORD";
    const BYTE two[2] = {0x78, 0x06};
    ::RegSetValueExW(key, L"Number", 0, REG_DWORD, two, sizeof(two));
    EXPECT_FALSE(value.ReadDword()) << "a DWORD two bytes long";
    EXPECT_TRUE(value.Erase());
    owner.reset();
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Orvo Pixtrel Test");
}
