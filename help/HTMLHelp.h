#pragma once
// The program's access to its compiled HTML help file: properties that say
// what to show, display methods that show it through the platform's help
// control (hhctrl.ocx, HtmlHelpW), the registry and version operations, and
// message boxes of its own with the caption "HTML Help Class".
//
// The help control is loaded at the first call that needs it, so a machine
// without it still runs the program and gets a message instead. The help
// function, its loader and the message box can be replaced (tests).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "help/core/HelpRules.h"

namespace px {

class HTMLHelp {
public:
    // HtmlHelpW's shape.
    using HelpFunction = std::function<HWND(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data)>;
    // Returns an empty function when the help control is not available.
    using HelpLoader = std::function<HelpFunction()>;
    using MessageBoxFunction = std::function<void(HWND owner, const std::wstring& text, help::MessageIcon icon)>;

    // The published command numbers of the help control.
    enum Command : UINT {
        DisplayTopic = 0,
        DisplayToc = 1,
        DisplayIndex = 2,
        DisplaySearch = 3,
        KeywordLookup = 13,
        DisplayTextPopup = 14,
        HelpContext = 15,
        CloseAll = 18,
        ALinkLookup = 19,
    };

    // programFolder: where bare file names are looked for after the registry
    // (empty: the folder of the program file).
    explicit HTMLHelp(std::wstring programFolder = {});
    HTMLHelp(const HTMLHelp&) = delete;
    HTMLHelp& operator=(const HTMLHelp&) = delete;

    void SetHelpLoader(HelpLoader loader);
    void SetHelpFunction(HelpFunction f);
    void SetMessageBox(MessageBoxFunction f);

    // --- properties ---
    const std::wstring& CHMFile() const noexcept { return CHMFile_; }
    void SetCHMFile(std::wstring v) { CHMFile_ = std::move(v); }
    const std::wstring& HHWindow() const noexcept { return HHWindow_; }
    void SetHHWindow(std::wstring v) { HHWindow_ = std::move(v); }
    int32_t HHTopicID() const noexcept { return HHTopicID_; }
    void SetHHTopicID(int32_t v) noexcept { HHTopicID_ = v; }
    const std::wstring& HHTopicURL() const noexcept { return HHTopicURL_; }
    void SetHHTopicURL(std::wstring v) { HHTopicURL_ = std::move(v); }
    const std::wstring& HHKeyword() const noexcept { return HHKeyword_; }
    void SetHHKeyword(std::wstring v) { HHKeyword_ = std::move(v); }
    const std::wstring& HHALink() const noexcept { return HHALink_; }
    void SetHHALink(std::wstring v) { HHALink_ = std::move(v); }
    const std::wstring& HHDefaultURL() const noexcept { return HHDefaultURL_; }
    void SetHHDefaultURL(std::wstring v) { HHDefaultURL_ = std::move(v); }
    const std::wstring& HHMsgTitle() const noexcept { return HHMsgTitle_; }
    void SetHHMsgTitle(std::wstring v) { HHMsgTitle_ = std::move(v); }
    const std::wstring& HHMsgText() const noexcept { return HHMsgText_; }
    void SetHHMsgText(std::wstring v) { HHMsgText_ = std::move(v); }
    bool HHShowOnTop() const noexcept { return HHShowOnTop_; }
    void SetHHShowOnTop(bool v) noexcept { HHShowOnTop_ = v; }
    // The window the last display call returned; warns and yields 0 when there is none.
    HWND HHWndHandle();
    // The same handle without the warning, for callers that only look.
    HWND LastWindow() const noexcept { return HHWndHandle_; }

    // Pop-up properties (write only, as HHDisplayPopup's inputs).
    void SetHHPopupFile(std::wstring v) { popup_.file = std::move(v); }
    void SetHHPopupID(int32_t v) noexcept { popup_.id = v; }
    void SetHHPopupText(std::wstring v) { popup_.text = std::move(v); }
    // 0: the text of HHPopupText; 1: string HHPopupID of the file HHPopupFile.
    void SetHHPopupType(int32_t v) noexcept { popup_.type = v; }
    void SetHHPopupTextColor(COLORREF v) noexcept { popup_.textColor = v; }
    void SetHHPopupBackColor(COLORREF v) noexcept { popup_.backColor = v; }
    void SetHHPopupCustomTextColor(COLORREF v) noexcept { popup_.customTextColor = v; }
    void SetHHPopupCustomBackColor(COLORREF v) noexcept { popup_.customBackColor = v; }
    bool HHPopupCustomColors() const noexcept { return popup_.customColors; }
    void SetHHPopupCustomColors(bool v) noexcept { popup_.customColors = v; }
    void SetHHPopupTextFont(std::wstring v) { popup_.font = std::move(v); }
    void SetHHPopupTextSize(int32_t v) noexcept { popup_.size = v; }
    void SetHHPopupTextBold(bool v) noexcept { popup_.bold = v; }
    void SetHHPopupTextItalic(bool v) noexcept { popup_.italic = v; }
    void SetHHPopupTextUnderline(bool v) noexcept { popup_.underline = v; }

    // Results of the last HHCheckRegistry.
    const std::wstring& HHRegFileName() const noexcept { return HHRegFileName_; }
    const std::wstring& HHRegFilePath() const noexcept { return HHRegFilePath_; }
    bool HHRegFileExists() const noexcept { return HHRegFileExists_; }

    // Facts about the installed help control and browser library.
    bool HHInstalled() const;
    std::string HHVersion() const;
    std::string IEVersion() const;
    std::string HHFriendlyName() const { return help::HHFriendlyName(HHVersion()); }
    std::string IEFriendlyName() const { return help::IEFriendlyName(IEVersion()); }

    // --- display methods; CallingForm owns the help window when HHShowOnTop is true ---
    void HHDisplayTopicID(HWND CallingForm);
    void HHDisplayTopicURL(HWND CallingForm);
    void HHDisplayContents(HWND CallingForm);
    void HHDisplayIndex(HWND CallingForm);
    void HHDisplaySearch(HWND CallingForm);
    void HHDisplayKeyword(HWND CallingForm);
    void HHDisplayALink(HWND CallingForm);
    void HHDisplayPopup(HWND CallingForm);
    // Closes every help window of the process; shows nothing.
    void HHClose();

    // --- other operations ---
    // Whether the help file exists; a bare name is looked up in the registry,
    // then in the program folder, and FileToFind is rewritten to the full path.
    bool EnsureFileExists(std::wstring& FileToFind, HWND owner = nullptr);
    bool HHRegister(const std::wstring& FileToRegister);
    bool HHUnRegister(const std::wstring& FileToUnRegister);
    bool HHCheckRegistry(const std::wstring& FileToCheck);
    bool HHVerifyMinConfig(const std::string& MinHHVersion, const std::string& MinIEVersion);
    std::wstring HHSetHelpFile(int intSelHelpFile) const;
    void HHInvokeWhatsThisHelp(HWND CallingForm);
    void HHDeleteJumpURLSysMenu();

    const std::wstring& ProgramFolder() const noexcept { return programFolder_; }

private:
    struct Popup {
        std::wstring file, text, font;
        int32_t id = 0, type = 0, size = 0;
        COLORREF textColor = 0, backColor = 0, customTextColor = 0, customBackColor = 0;
        bool customColors = false, bold = false, italic = false, underline = false;
    };

    // Checks CHMFile (name, existence) before a display call; false: already reported.
    bool CheckHelpFile(HWND owner);
    // Calls the help function, loading it first; keeps the returned window.
    HWND Call(HWND caller, const std::wstring& file, UINT command, DWORD_PTR data, HWND msgOwner);
    HWND Owner(HWND CallingForm) const { return HHShowOnTop_ ? CallingForm : nullptr; }
    void Message(HWND owner, const std::wstring& text, help::MessageIcon icon) const;
    std::wstring PopupFontSpec() const;

    std::wstring programFolder_;
    HelpLoader loader_;
    HelpFunction help_;
    MessageBoxFunction messageBox_;
    bool called_ = false;  // a display call has reached the help function

    std::wstring CHMFile_, HHWindow_, HHTopicURL_, HHKeyword_, HHALink_, HHDefaultURL_, HHMsgTitle_, HHMsgText_;
    int32_t HHTopicID_ = 0;
    bool HHShowOnTop_ = false;
    HWND HHWndHandle_ = nullptr;
    bool hasWndHandle_ = false;
    Popup popup_;
    std::wstring HHRegFileName_, HHRegFilePath_;
    bool HHRegFileExists_ = false;
};

// The platform help control's HtmlHelpW, loaded once per process (hhctrl.ocx
// stays loaded: its windows run on its code until the process ends).
HTMLHelp::HelpFunction LoadHtmlHelpW();

}  // namespace px
