#pragma once
// The " Save JPEG Options" window and SaveJPG, which writes a cDIBSection as
// a JPEG file through the JPEG library layer (export/core/JpegLibrary.h).
//
// The main window opens it with its "Save As JPEG" command:
//
//     SaveJPEG::Get().Show(hwnd(), capture_);
//     // once, when it builds itself: SaveJPEG::Get().Closed.connect(... show again ...);
//
// The window is modeless and single; every load sets the quality slider to
// 90. "Save JPEG" asks for a file name (the Save As dialog, filter
// "JPEG Image (*.jpg)|*.jpg|"), asks before replacing a file, copies the
// capture into a cDIBSection, writes it with SaveJPG at the slider's quality,
// reports a failure (every message box owned by this window), then unloads.
// "Close" and the window's close box unload it too; every unload raises Closed.
//
// The two places the window talks to the user are replaceable, so the main
// window can route the file name through its own common dialog and tests
// can answer without a person: the file name prompt and the message box.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/win/DpiLayout.h"
#include "base/win/Form.h"
#include "base/win/ScopedWin.h"
#include "capture/CurrentCapture.h"
#include "export/SavePrompts.h"

namespace px {

class cDIBSection;
namespace win {
class uxButtons_H;
}

// Caption of the program's message boxes (shared with the other saving windows).
inline constexpr auto& kSaveJpegMessageTitle = kMessageBoxTitle;

// Writes `dib` to `fileName` as a JPEG of the given quality (1..100). False
// when nothing was written; the user has then been told why, in a message box
// owned by `owner`: "Failed to initialise the JPEG library: " and the status,
// or "Failed to save to JPG".
bool SaveJPG(const cDIBSection& dib, const std::wstring& fileName, int quality, HWND owner = nullptr,
             const MessageBoxFunction& messageBox = ShowMessageBox);

class SaveJPEG : public win::Form {
public:
    static SaveJPEG& Get();
    ~SaveJPEG() override;

    // Loads the window if needed (slider at 90), owned by `owner`, and shows
    // it; "Save JPEG" writes the picture `capture` holds at that moment.
    void Show(HWND owner, CurrentCapture& capture);
    using win::Form::Show;

    // Replace the prompts (nullptr restores the real ones).
    void SetPathPrompt(SavePathPrompt prompt);
    void SetMessageBox(MessageBoxFunction messageBox);

    // The quality on the slider.
    int Quality() const;
    // Controls, for tests and keyboard-free automation.
    HWND Slider1() const noexcept { return slider1_; }
    HWND ToolTip() const noexcept { return toolTip_; }
    win::uxButtons_H& SaveJPEGButton() { return *saveJPEG_; }
    win::uxButtons_H& CmdExit() { return *cmdExit_; }

    // The slider's tooltip and the filter and flags of the save dialog.
    static constexpr wchar_t kSliderToolTip[] = L"Set JPEG Quality Compression";
    static constexpr wchar_t kFilter[] = L"JPEG Image (*.jpg)|*.jpg|";
    // Read-only box hidden. Unlike a file-open dialog it must not insist that
    // the file exists, or no new file could ever be named.
    static constexpr DWORD kDialogFlags = OFN_HIDEREADONLY;

private:
    SaveJPEG();
    void CreateFormWindow() override;
    void Form_Load() override;
    void Form_Unload() override;
    void Form_DpiChanged(UINT dpi) override;  // every control to its place at the new DPI
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    void SaveJPEG_Click();
    void cmdExit_Click();
    void Form_Paint();
    void Label5_Draw(const DRAWITEMSTRUCT& item);
    HWND MakeLabel(const wchar_t* text, int x, int y, int w, int h, DWORD align);

    HWND owner_ = nullptr;
    CurrentCapture* capture_ = nullptr;
    SavePathPrompt pathPrompt_;
    MessageBoxFunction messageBox_;
    HWND slider1_ = nullptr;
    HWND toolTip_ = nullptr;
    HWND label5_ = nullptr;
    win::DpiLayout layout_;  // the controls at their 96-DPI places, and the labels' font
    std::unique_ptr<win::uxButtons_H> saveJPEG_;
    std::unique_ptr<win::uxButtons_H> cmdExit_;
    HICON image1_ = nullptr;  // shared icon, not owned
};

}  // namespace px
