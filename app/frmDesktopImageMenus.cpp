// The main window's commands from its menu bar (the File menu's own handlers
// among them) and from the tray icon's menu.
#include "app/frmDesktopImage.h"

#include <commdlg.h>

#include <vector>

#include "app/AppIcons.h"
#include "app/Application.h"
#include "app/PrintPicture.h"
#include "app/Resources.h"
#include "app/core/TrayMenuTable.h"
#include "app/frmAbout.h"
#include "app/frmDesktopImageLook.h"
#include "base/win/SavePicture.h"
#include "base/win/StagedFile.h"
#include "export/SaveJPEG.h"
#include "export/fMain.h"

namespace px {

namespace {
std::wstring WindowText(HWND h) { return win::GetWindowTextString(h); }
}  // namespace

bool frmDesktopImage::Form_Command(int id) {
    switch (id) {
    case IdMnuFileSave: mnuFileSave_Click(); return true;
    case IdMnuFileSaveJPEG: mnuFileSaveJPEG_Click(); return true;
    case IdMnuFileSaveGIF: mnuFileSaveGIF_Click(); return true;
    case IdMnuFileSavePNG: mnuFileSavePNG_Click(); return true;
    case IdMnuPrint: mnuPrint_Click(); return true;
    case IdMnuFileExit: mnuFileExit_Click(); return true;
    case IdMnuEditCap: cmdCaptureDesktop_Click(); return true;
    case IdMnuEntire: cmdEntire_Click(); return true;
    case IdMnuEditCopy: cmdClip_Click(); return true;
    case IdMnuZoom: cmdZoom_Click(); return true;
    case IdMnuCaptureKey: mnuCaptureKey_Click(); return true;
    case IdMnuHide: cmdHide_Click(); return true;
    case IdContents: ShowHelpTopic(1); return true;
    case IdOrdering: ShowHelpTopic(6); return true;
    case IdLicense: ShowHelpTopic(7); return true;
    case IdAbout1: About1_Click(); return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// File menu

void frmDesktopImage::mnuFileSave_Click() {
    if (!HasCapture()) return;
    // Room for the longest path the platform takes: a long name is saved, not silently dropped.
    std::vector<wchar_t> buffer(32768, L'\0');
    wchar_t* const file = buffer.data();
    const std::wstring title = WindowText(hwnd());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hwnd();
    ofn.lpstrFilter = L"Bitmap Files (*.bmp)\0*.bmp\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = title.c_str();
    // The read-only box stays hidden; a file to save to need not exist yet.
    ofn.Flags = OFN_HIDEREADONLY;
    if (!::GetSaveFileNameW(&ofn) || file[0] == L'\0') return;

    if (::GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES &&
        ::MessageBoxW(hwnd(), L"File already exists ! Overwrite ?", title.c_str(), MB_OKCANCEL | MB_ICONQUESTION) !=
            IDOK)
        return;
    if (const HRESULT hr = win::SavePictureAsBitmapFile(Capture().Picture(), file); FAILED(hr)) {
        std::wstring text = std::wstring(L"The picture could not be saved to '") + file + L"'.";
        if (const std::wstring reason = win::FileErrorText(hr); !reason.empty()) text += L"\r\n\r\n" + reason;
        ::MessageBoxW(hwnd(), text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
    }
}

void frmDesktopImage::mnuFileSaveJPEG_Click() { SaveJPEG::Get().Show(hwnd(), Capture()); }

// Opened again while it is open, the GIF window reloads the capture: the export is never of an older picture.
void frmDesktopImage::mnuFileSaveGIF_Click() {
    if (Capture().HasPicture()) fMain::Get().Show(hwnd(), Capture());
}

void frmDesktopImage::mnuPrint_Click() {
    if (!HasCapture()) return;
    switch (PrintPictureCentred(Capture().Picture(), L"Orvo Pixtrel capture")) {
    case PrintResult::Printed: break;
    case PrintResult::NoDefaultPrinter:
        ::MessageBoxW(hwnd(),
                      L"There is no default printer.\r\nInstall a printer and make it the default printer to print "
                      L"captures.",
                      look::kCaption, MB_OK | MB_ICONINFORMATION);
        break;
    case PrintResult::Failed:
        ::MessageBoxW(hwnd(), L"The capture could not be printed.", look::kCaption, MB_OK | MB_ICONWARNING);
        break;
    }
}

void frmDesktopImage::mnuFileExit_Click() { Unload(); }

// One help object for the life of the window; its windows close at unload.
void frmDesktopImage::ShowHelpTopic(int topic) {
    LARGE_INTEGER start, end, freq;
    ::QueryPerformanceCounter(&start);
    if (!help_) {
        help_ = std::make_unique<HTMLHelp>(Application::Get().Paths().folder);
        Application::Get().Shutdown().Register(ShutdownSlot::HelpWindows, [this] {
            help_->HHClose();
            help_.reset();
        });
    }
    help_->SetCHMFile(Application::Get().Paths().HelpFilePath());
    help_->SetHHTopicID(topic);
    help_->SetHHWindow(L"Main");
    // This window owns the help's messages only; the help window itself stays unowned.
    help_->HHDisplayTopicID(hwnd());
    if (firstHelpMs_ < 0 && help_->LastWindow()) {
        ::QueryPerformanceCounter(&end);
        ::QueryPerformanceFrequency(&freq);
        firstHelpMs_ = static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
    }
    WriteTestDump();
}

void frmDesktopImage::About1_Click() { frmAbout::Get().Show(SW_SHOWNORMAL); }

// ---------------------------------------------------------------------------
// Tray

void frmDesktopImage::TrayIcon1_MenuCommand(long id) {
    const auto command = TrayCommandFromId(id);
    if (!command) return;
    switch (*command) {
    case TrayCommand::CaptureSelection: cmdCaptureDesktop_Click(); break;
    case TrayCommand::CaptureScreen: cmdEntire_Click(); break;
    case TrayCommand::CaptureActive: cmdActive_Click(); break;
    case TrayCommand::ShowWindow: ShowNormal(); break;
    case TrayCommand::CopyToClipboard: cmdClip_Click(); break;
    case TrayCommand::ZoomTool: cmdZoom_Click(); break;
    case TrayCommand::HowToUse: ShowHelpTopic(1); break;
    case TrayCommand::OrderingInformation: ShowHelpTopic(6); break;
    case TrayCommand::LicenseAgreement: ShowHelpTopic(7); break;
    case TrayCommand::About: About1_Click(); break;
    case TrayCommand::Exit: Unload(); break;
    }
}

void frmDesktopImage::TrayIcon1_IconActivated() { ShowNormal(); }

void frmDesktopImage::BuildTrayMenu() {
    static constexpr int kTrayIcons[] = {IDR_ICON_CAPTURE_SELECTION, IDR_ICON_CAPTURE_SCREEN, IDR_ICON_CAPTURE_ACTIVE,
                                         IDR_ICON_SHOW_WINDOW,       IDR_ICON_COPY,           IDR_ICON_ZOOM_TOOL,
                                         IDR_ICON_HELP,              IDR_ICON_ABOUT,          IDR_ICON_EXIT};
    for (size_t i = 0; i < imlTrayMenu_.size(); ++i) imlTrayMenu_[i] = IconHandle(kTrayIcons[i], 16);
    auto& menus = TrayIcon1_.Menus();
    for (const TrayMenuEntry& e : kTrayMenu) menus.Add(e.kind, std::wstring(e.caption));
    for (int pos = 1; pos <= menus.Count(); ++pos) {
        const int icon = kTrayMenu[static_cast<size_t>(pos - 1)].icon;
        if (icon) menus.Item(pos).SetPicture(imlTrayMenu_[static_cast<size_t>(icon - 1)].get());
    }
    TrayIcon1_.SetToolTipText(look::kTrayTip);
    trayIcon_.reset(static_cast<HICON>(::LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                    ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                    LR_DEFAULTCOLOR)));
    TrayIcon1_.Show(trayIcon_.get());
}

}  // namespace px
