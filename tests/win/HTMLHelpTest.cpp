// HTMLHelp with the help function and the message box replaced, so each case
// sees exactly what would have reached the help control and the user; then a
// few cases against the real help control with the built help file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "help/HTMLHelp.h"

namespace px {
namespace {

using help::MessageIcon;

struct HelpCall {
    HWND caller;
    std::wstring file;
    UINT command;
    DWORD_PTR data;
};

struct ShownMessage {
    HWND owner;
    std::wstring text;
    MessageIcon icon;
};

std::wstring TempFolder(const std::wstring& name) {
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    std::wstring folder = std::wstring(tmp) + name;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteFile(const std::wstring& path, const char* text = "not really a help file") {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(h, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    ::CloseHandle(h);
}

constexpr wchar_t kRegistryKey[] = L"Software\\Microsoft\\Windows\\HTML Help";

void SetRegistered(const std::wstring& name, const std::wstring* folder) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRegistryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (folder)
        ::RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(folder->c_str()),
                         static_cast<DWORD>((folder->size() + 1) * sizeof(wchar_t)));
    else
        ::RegDeleteValueW(key, name.c_str());
    ::RegCloseKey(key);
}

class HTMLHelpInjected : public ::testing::Test {
protected:
    void SetUp() override {
        programFolder = TempFolder(L"pixtrel-help-program");
        otherFolder = TempFolder(L"pixtrel-help-registered");
        existing = programFolder + L"\\Pixtrel.chm";
        WriteFile(existing);
        help.SetHelpFunction([this](HWND caller, const wchar_t* file, UINT command, DWORD_PTR data) {
            calls.push_back({caller, file ? file : L"<null>", command, data});
            return returned;
        });
        help.SetMessageBox([this](HWND owner, const std::wstring& text, MessageIcon icon) {
            messages.push_back({owner, text, icon});
        });
    }
    void TearDown() override {
        SetRegistered(L"PixtrelRegistered.chm", nullptr);
        ::DeleteFileW(existing.c_str());
        ::DeleteFileW((programFolder + L"\\PixtrelRegistered.chm").c_str());
        ::DeleteFileW((otherFolder + L"\\PixtrelRegistered.chm").c_str());
    }

    std::wstring programFolder, otherFolder, existing;
    HTMLHelp help{TempFolder(L"pixtrel-help-program")};
    std::vector<HelpCall> calls;
    std::vector<ShownMessage> messages;
    HWND returned = reinterpret_cast<HWND>(0x1234);
    HWND caller = reinterpret_cast<HWND>(0x5678);
};

TEST_F(HTMLHelpInjected, NameNotEndingInChmIsRefusedWithoutACall) {
    for (const wchar_t* name : {L"C:\\x\\Pixtrel.txt", L"C:\\x\\Pixtrel.chm.bak", L"", L"C:\\x\\Pixtrel.ch"}) {
        messages.clear();
        help.SetCHMFile(name);
        help.HHDisplayTopicID(caller);
        ASSERT_EQ(messages.size(), 1u) << name;
        EXPECT_EQ(messages[0].text, std::wstring(name) + L" is not a valid HTML Help file.");
        EXPECT_EQ(messages[0].icon, MessageIcon::Warning);
        EXPECT_EQ(messages[0].owner, caller);
    }
    EXPECT_TRUE(calls.empty());
}

TEST_F(HTMLHelpInjected, MissingFileNamesTheFullPathWithTheWarningIcon) {
    const std::wstring missing = programFolder + L"\\Help\\Pixtrel.chm";
    help.SetCHMFile(missing);
    help.HHDisplayTopicID(caller);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"The file " + missing +
                                    L" does not exist.\nPlease make sure the correct path and file name have been "
                                    L"specified.");
    EXPECT_EQ(messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(static_cast<unsigned>(messages[0].icon), 48u);
    EXPECT_TRUE(calls.empty());
}

// The old wildcard search accepted any match; only the exact name of a regular file counts.
TEST_F(HTMLHelpInjected, WildcardsAndFoldersAreNotHelpFiles) {
    const std::wstring folderNamedChm = programFolder + L"\\Folder.chm";
    ::CreateDirectoryW(folderNamedChm.c_str(), nullptr);
    for (const std::wstring& name : {programFolder + L"\\*.chm", programFolder + L"\\Pixtrel?chm",
                                     programFolder + L"\\Pix*.chm", folderNamedChm}) {
        std::wstring file = name;
        messages.clear();
        EXPECT_FALSE(help.EnsureFileExists(file)) << name;
        EXPECT_EQ(messages.size(), 1u) << name;
    }
    ::RemoveDirectoryW(folderNamedChm.c_str());
    std::wstring exact = existing;
    EXPECT_TRUE(help.EnsureFileExists(exact));
}

TEST_F(HTMLHelpInjected, TopicCallCarriesTargetCommandAndId) {
    struct Case { const wchar_t* window; std::wstring target; bool onTop; } cases[] = {
        {L"Main", existing + L">Main", false},
        {L"   ", existing, false},  // blanks only: the file's default window
        {L"", existing, false},
        {L" Main ", existing + L">Main", true},
    };
    for (auto& c : cases) {
        calls.clear();
        help.SetCHMFile(existing);
        help.SetHHWindow(c.window);
        help.SetHHTopicID(6);
        help.SetHHShowOnTop(c.onTop);
        help.HHDisplayTopicID(caller);
        ASSERT_EQ(calls.size(), 1u) << c.window;
        EXPECT_EQ(calls[0].file, c.target);
        EXPECT_EQ(calls[0].file.find(L'>') == std::wstring::npos, c.target == existing);
        EXPECT_EQ(calls[0].command, 15u);
        EXPECT_EQ(calls[0].data, 6u);
        EXPECT_EQ(calls[0].caller, c.onTop ? caller : nullptr) << "owner only when shown on top";
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(help.HHWndHandle(), returned);
}

TEST_F(HTMLHelpInjected, DisplayMethodsUseTheirCommandNumbers) {
    help.SetCHMFile(existing);
    help.SetHHKeyword(L"zoom");
    help.SetHHALink(L"capture");
    help.SetHHTopicURL(L"howto.htm");
    help.SetHHPopupText(L"Hello");
    help.HHDisplayTopicURL(nullptr);
    help.HHDisplayContents(nullptr);
    help.HHDisplayIndex(nullptr);
    help.HHDisplaySearch(nullptr);
    help.HHDisplayKeyword(nullptr);
    help.HHDisplayALink(nullptr);
    help.HHDisplayPopup(nullptr);
    help.HHClose();
    std::vector<UINT> commands;
    for (auto& c : calls) commands.push_back(c.command);
    EXPECT_EQ(commands, (std::vector<UINT>{0, 1, 2, 3, 13, 19, 14, 18}));
    EXPECT_EQ(calls.back().file, L"");
    EXPECT_EQ(calls.back().caller, nullptr);
    EXPECT_TRUE(messages.empty());
}

TEST_F(HTMLHelpInjected, BareNameIsFoundThroughTheRegistryThenTheProgramFolder) {
    const std::wstring name = L"PixtrelRegistered.chm";
    WriteFile(otherFolder + L"\\" + name);
    WriteFile(programFolder + L"\\" + name);
    SetRegistered(name, &otherFolder);
    help.SetCHMFile(name);
    help.HHDisplayTopicID(nullptr);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(help.CHMFile(), otherFolder + L"\\" + name) << "the caller's string is rewritten";
    EXPECT_EQ(calls[0].file, otherFolder + L"\\" + name);
    EXPECT_EQ(help.HHRegFileName(), name);
    EXPECT_EQ(help.HHRegFilePath(), otherFolder);
    EXPECT_TRUE(help.HHRegFileExists());

    SetRegistered(name, nullptr);
    help.SetCHMFile(name);
    help.HHDisplayTopicID(nullptr);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(help.CHMFile(), programFolder + L"\\" + name);
    EXPECT_FALSE(help.HHRegFileExists());
    EXPECT_TRUE(messages.empty());
}

TEST_F(HTMLHelpInjected, RegisterAndUnRegister) {
    const std::wstring file = otherFolder + L"\\PixtrelRegistered.chm";
    WriteFile(file);
    EXPECT_TRUE(help.HHRegister(file));
    EXPECT_TRUE(help.HHCheckRegistry(L"PixtrelRegistered.chm"));
    EXPECT_EQ(help.HHRegFilePath(), otherFolder);
    EXPECT_TRUE(messages.empty());
    help.HHRegister(file);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"The file PixtrelRegistered.chm is already registered.  HHRegister will not be run "
                                L"as no action need be taken.");
    EXPECT_EQ(messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(help.HHUnRegister(file));
    EXPECT_FALSE(help.HHCheckRegistry(L"PixtrelRegistered.chm"));
    help.HHUnRegister(file);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, L"The file PixtrelRegistered.chm is not registered.  HHUnRegister will not be run as "
                                L"no action need be taken.");
}

// A write the registry refuses (here a value name past its limit; for a user without
// administrator rights, the machine-wide key) is reported, never taken for success.
TEST_F(HTMLHelpInjected, RefusedRegistryWriteIsReported) {
    const std::wstring name = std::wstring(17000, L'x') + L".chm";
    EXPECT_FALSE(help.HHRegister(otherFolder + L"\\" + name));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"The file " + name +
                                    L" could not be registered.  Registering help files needs administrator rights.");
    EXPECT_EQ(messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(help.HHCheckRegistry(name));
}

TEST_F(HTMLHelpInjected, CloseWithNothingOpenShowsNothing) {
    help.HHClose();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(calls.empty()) << "nothing was displayed, so nothing is closed";
}

TEST_F(HTMLHelpInjected, WindowHandleBeforeAnyDisplayWarns) {
    EXPECT_EQ(help.HHWndHandle(), nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"No HTML Help window handle to retrieve.");
    EXPECT_EQ(messages[0].icon, MessageIcon::Warning);
}

// The help control answers an unknown topic with no window and no word: the user is told.
TEST_F(HTMLHelpInjected, NoWindowForAnExistingFileWarns) {
    returned = nullptr;
    help.SetCHMFile(existing);
    help.SetHHTopicID(42);
    help.HHDisplayTopicID(caller);
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"Topic 42 could not be shown from " + existing + L".");
    EXPECT_EQ(messages[0].icon, MessageIcon::Warning);
}

TEST_F(HTMLHelpInjected, MissingHelpControlIsReportedOnceAndTheProgramGoesOn) {
    int loads = 0;
    help.SetHelpLoader([&] {
        ++loads;
        return HTMLHelp::HelpFunction{};
    });
    help.SetCHMFile(existing);
    help.HHDisplayTopicID(caller);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"Hhctrl.ocx is not registered.  Please install HTML Help.");
    EXPECT_EQ(messages[0].icon, MessageIcon::Error);
    help.HHClose();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(loads, 1);
}

TEST_F(HTMLHelpInjected, HelpFileChoices) {
    EXPECT_EQ(help.HHSetHelpFile(1), programFolder + L"\\Library.chm");
    EXPECT_EQ(help.HHSetHelpFile(2), L"Library.txt");
    EXPECT_EQ(help.HHSetHelpFile(3), L"");
}

// --- the real help control, with the built help file ---

std::wstring TestFolder() {
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.rfind(L'\\'));
}

std::wstring WindowTitle(HWND w) {
    wchar_t t[256] = L"";
    ::GetWindowTextW(w, t, 256);
    return t;
}

class HTMLHelpReal : public ::testing::Test {
protected:
    void SetUp() override {
        builtFile = TestFolder() + L"\\..\\..\\Orvo-Pixtrel\\Help\\Pixtrel.chm";
        ASSERT_NE(::GetFileAttributesW(builtFile.c_str()), INVALID_FILE_ATTRIBUTES);
        help.SetMessageBox([this](HWND, const std::wstring& text, MessageIcon) { messages.push_back(text); });
    }
    void TearDown() override { help.HHClose(); }
    std::wstring builtFile;
    HTMLHelp help;
    std::vector<std::wstring> messages;
};

TEST_F(HTMLHelpReal, TopicsOpenInTheMainWindowTypeAndShareIt) {
    help.SetCHMFile(builtFile);
    help.SetHHWindow(L"Main");
    help.SetHHTopicID(1);
    help.HHDisplayTopicID(nullptr);
    const HWND first = help.HHWndHandle();
    ASSERT_TRUE(::IsWindow(first));
    EXPECT_EQ(WindowTitle(first), L"Orvo Pixtrel Help");
    for (int32_t id : {6, 7, 1}) {
        help.SetHHTopicID(id);
        help.HHDisplayTopicID(nullptr);
        EXPECT_EQ(help.HHWndHandle(), first) << id;
    }
    EXPECT_TRUE(messages.empty());
    help.HHClose();
    EXPECT_FALSE(::IsWindow(first));
}

TEST_F(HTMLHelpReal, UnmappedTopicIsReported) {
    help.SetCHMFile(builtFile);
    help.SetHHWindow(L"Main");
    help.SetHHTopicID(99);
    help.HHDisplayTopicID(nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"Topic 99 could not be shown from " + builtFile + L".");
}

// A program folder outside the ANSI code page still opens its help.
TEST_F(HTMLHelpReal, FolderOutsideTheAnsiCodePage) {
    const std::wstring folder = TempFolder(L"pixtrel-\x0126\x03A9\x4E2D");
    const std::wstring file = folder + L"\\Pixtrel.chm";
    ASSERT_TRUE(::CopyFileW(builtFile.c_str(), file.c_str(), FALSE));
    help.SetCHMFile(file);
    help.SetHHWindow(L"Main");
    help.SetHHTopicID(7);
    help.HHDisplayTopicID(nullptr);
    EXPECT_TRUE(messages.empty()) << (messages.empty() ? L"" : messages[0]).c_str();
    EXPECT_TRUE(::IsWindow(help.HHWndHandle()));
    help.HHClose();
    ::DeleteFileW(file.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

// --- installed components, through the class registrations the version look-ups read ---

class HTMLHelpComponents : public ::testing::Test {
protected:
    static constexpr wchar_t kHh[] = L"CLSID\\{4662DAB0-D393-11D0-9A56-00C04FB68B66}";
    static constexpr wchar_t kIe[] = L"CLSID\\{0A89A860-D7B1-11CE-8350-444553540000}";

    void SetUp() override {
        help.SetMessageBox([this](HWND, const std::wstring& text, MessageIcon icon) {
            messages.push_back(text);
            icons.push_back(icon);
        });
        wchar_t sys[MAX_PATH];
        ::GetSystemDirectoryW(sys, MAX_PATH);
        system = sys;
    }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kHh);
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kIe);
    }
    static void Register(const wchar_t* clsidKey, const std::wstring& file) {
        HKEY key = nullptr;
        const std::wstring sub = std::wstring(clsidKey) + L"\\InprocServer32";
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, sub.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                    nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(file.c_str()),
                         static_cast<DWORD>((file.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }

    HTMLHelp help;
    std::vector<std::wstring> messages;
    std::vector<MessageIcon> icons;
    std::wstring system;
};

TEST_F(HTMLHelpComponents, UnregisteredMovedAndPresentComponents) {
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kHh);
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kIe);
    EXPECT_FALSE(help.HHInstalled());
    EXPECT_EQ(help.HHFriendlyName(), "unknown");
    EXPECT_FALSE(help.HHVerifyMinConfig("1.0", "4.0"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages.back(), L"Hhctrl.ocx is not registered.  Please install HTML Help.");
    EXPECT_EQ(icons.back(), MessageIcon::Error);

    Register(kHh, system + L"\\no-such-hhctrl.ocx");
    EXPECT_FALSE(help.HHVerifyMinConfig("1.0", "4.0"));
    EXPECT_EQ(messages.back(), L"Hhctrl.ocx is not in its registered location.  Please reinstall HTML Help.");

    Register(kHh, system + L"\\hhctrl.ocx");
    EXPECT_FALSE(help.HHVerifyMinConfig("1.0", "4.0"));
    EXPECT_EQ(messages.back(), L"Shdocvw.dll is not registered.  Please install Internet Explorer.");
    Register(kIe, system + L"\\no-such-shdocvw.dll");
    EXPECT_FALSE(help.HHVerifyMinConfig("1.0", "4.0"));
    EXPECT_EQ(messages.back(),
              L"Internet Explorer is not in its registered location.  Please reinstall Internet Explorer.");

    Register(kIe, system + L"\\shdocvw.dll");
    messages.clear();
    EXPECT_TRUE(help.HHInstalled());
    const std::string hh = help.HHVersion(), ie = help.IEVersion();
    ASSERT_FALSE(hh.empty());
    ASSERT_FALSE(ie.empty());
    EXPECT_TRUE(help.HHVerifyMinConfig(hh, ie)) << hh << " / " << ie;
    EXPECT_TRUE(help.HHVerifyMinConfig("1.0", "3.0"));
    EXPECT_FALSE(help.HHVerifyMinConfig("99999", "3.0"));
    EXPECT_FALSE(help.HHVerifyMinConfig("1.0", ie + ".1"));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(help.HHFriendlyName(), help::HHFriendlyName(hh));
}

}  // namespace
}  // namespace px
