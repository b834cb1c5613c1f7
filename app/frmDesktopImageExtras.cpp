// The main window's commands beyond its first set: "Save As PNG" and the
// capture key (WM_HOTKEY, registered by CaptureHotkey; chosen in frmCaptureKey).
#include "app/frmDesktopImage.h"

#include <commdlg.h>

#include "app/frmCaptureKey.h"
#include "base/win/PngPicture.h"

namespace px {

// As "Save As Bitmap": the window's caption as the title, the question before
// replacing a file, no extension added.
void frmDesktopImage::mnuFileSavePNG_Click() {
    if (!HasCapture()) return;
    wchar_t file[MAX_PATH * 2] = L"";
    const std::wstring title = win::GetWindowTextString(hwnd());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hwnd();
    ofn.lpstrFilter = L"PNG Files (*.png)\0*.png\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH * 2;
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_HIDEREADONLY;
    if (!::GetSaveFileNameW(&ofn) || file[0] == L'\0') return;

    if (::GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES &&
        ::MessageBoxW(hwnd(), L"File already exists ! Overwrite ?", title.c_str(), MB_OKCANCEL | MB_ICONQUESTION) !=
            IDOK)
        return;
    std::wstring reason;
    if (!win::SavePictureAsPngFile(Capture().Picture(), file, &reason)) {
        const std::wstring text = std::wstring(L"The picture could not be saved to '") + file + L"'.\r\n" + reason;
        ::MessageBoxW(hwnd(), text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
    }
}

// A key held down repeats: a capture already on its way, or its overlay up, is not started again.
// Nor while the key is being chosen: the window that chooses it is up.
void frmDesktopImage::CaptureHotkey_Pressed() {
    if ((commands_ && commands_->Busy()) || Desktop::Get().IsVisible() || frmCaptureKey::Get().IsVisible()) return;
    cmdCaptureDesktop_Click();
}

void frmDesktopImage::mnuCaptureKey_Click() { frmCaptureKey::Get().ShowModal(hwnd(), hotkey_); }

}  // namespace px
