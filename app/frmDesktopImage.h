#pragma once
// The main capture window: the buttons of the capture commands, the options
// the overlay reads, the view picMV of the current capture, and the tray icon.
// It owns the current capture and the capture commands and opens the other
// windows with a reference to the capture; they say they are gone through
// their Closed event.
//
// A window opened from here (the files of this class: frmDesktopImage.cpp,
// ...Layout.cpp for the controls, ...Menus.cpp for the menu and tray commands):
//   - its command handler shows it with the owner and the capture it needs:
//         void frmDesktopImage::mnuFileSaveGIF_Click() { fMain::Get().Show(hwnd(), Capture()); }
//   - WireSatelliteWindows connects its Closed event once (this window comes back);
//   - RegisterShutdown puts its Unload into the fixed shutdown order;
//   - it never includes this header: it reads the capture through CurrentCapture
//     (Picture, Size, Changed) and changes it through Replace.
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/CaptureHotkey.h"
#include "app/MainWindowSkin.h"
#include "app/OptionPanel.h"
#include "base/win/Form.h"
#include "base/win/ScopedWin.h"
#include "capture/CaptureCommands.h"
#include "capture/CurrentCapture.h"
#include "capture/Desktop.h"
#include "controls/NativeControls.h"
#include "controls/PictureView.h"
#include "controls/TrayIcon.h"
#include "controls/crkSlider.h"
#include "controls/uxButtons_H.h"
#include "help/HTMLHelp.h"

namespace px {

enum class TrayCommand;

class frmDesktopImage : public win::Form {
public:
    static frmDesktopImage& Get();

    // The current capture: the windows opened from here get a reference to it.
    px::CurrentCapture& Capture();
    bool HasCapture() const noexcept { return capture_ && capture_->HasPicture(); }
    // Shows the window in its normal state (end of captures, "Show Window", Apply in other windows).
    void ShowNormal();

    CaptureCommands& Commands();
    // The options the overlay reads, as the controls show them.
    CaptureOptions OverlayOptions() const;
    win::PictureView& picMV() noexcept { return picMV_; }
    // The caption painter and its skin (attached at load unless the library is missing).
    MainWindowSkin& Skin() noexcept { return skin_; }
    // Creates and attaches the skin (load steps 2-3) and gives the window its first size in it.
    void AttachSkin();

    // Menu and control identities (WM_COMMAND and GetDlgCtrlID).
    enum CommandId : int {
        IdMnuFileSave = 100,
        IdMnuFileSaveJPEG,
        IdMnuFileSaveGIF,
        IdMnuPrint,
        IdMnuFileExit,
        IdMnuEditCap,
        IdMnuEntire,
        IdMnuEditCopy,
        IdMnuZoom,
        IdMnuHide,
        IdContents,
        IdOrdering,
        IdLicense,
        IdAbout1,
        IdMnuFileSavePNG,
        IdMnuCaptureKey,
        IdChkGrid = 200,
        IdChkDetails,
        IdChkAutoMagnifier,
        IdScrActive,
        IdLblActive,
        IdLblZoomLevel,
        IdPicLassoColor,
        IdPicSelBackColor,
        IdPicMV,
        IdLblCaptureSize,
    };

private:
    frmDesktopImage() = default;
    void CreateFormWindow() override;
    void Form_Load() override;
    void Form_Unload() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    // --- building the window ---
    // (frmDesktopImageLayout.cpp: the controls built from a table in 96-dpi units.)
    enum class RowKind { Header, Label, Check, Swatch, Button };
    struct Row {
        RowKind kind;
        win::NativeLabel frmDesktopImage::*label;  // Header, Label, Swatch
        win::NativeCheckBox frmDesktopImage::*check;
        win::uxButtons_H frmDesktopImage::*button;
        const wchar_t *name, *text, *tip;
        int icon, id;
        DWORD style;
        RECT at;  // 96-dpi units
    };
    static const Row kRows[];
    struct Placed {
        HWND hwnd;
        RECT at;   // in 96-dpi units of its parent's client area
        int font;  // 0 uiFont_, 1 headerFont_, -1 its own
    };
    void CreateMenuBar();
    void CreateControls();
    void CreateOptionButtons();
    void ConnectControls();
    void CreateFonts();
    win::uxButtons_H& MakeButton(win::uxButtons_H& b, HWND parent, const wchar_t* name, const wchar_t* caption,
                                 const wchar_t* tip, int iconId, bool onSide);
    void MakeStatic(win::NativeLabel& label, const wchar_t* text, int id, DWORD style, HFONT font);
    void AddToolTip(HWND control, const wchar_t* text);
    RECT ScaleRect(const RECT& units96) const;
    void LayoutControls();
    void Form_DpiChanged(UINT dpi) override;
    void BuildTrayMenu();
    // The outer size of the window for a client area given in 96-dpi units: the
    // skin's frame when it is attached, else the system frame; no larger than the work area.
    SIZE OuterSize(int clientW96, int clientH96) const;
    void RegisterShutdown();

    // --- handlers ---
    void Form_Resize(UINT sizeType);
    bool Form_Command(int id);
    void Form_Paint(HDC dc);
    LRESULT Form_CtlColor(HDC dc, HWND control);

    void mnuFileSave_Click();
    void mnuFileSaveJPEG_Click();
    void mnuFileSaveGIF_Click();
    void mnuFileSavePNG_Click();  // (frmDesktopImageExtras.cpp, as the hotkey)
    void mnuPrint_Click();
    void mnuFileExit_Click();
    void ShowHelpTopic(int topic);
    void About1_Click();

    void cmdCaptureDesktop_Click();
    void cmdEntire_Click();
    void cmdActive_Click();
    void cmdClip_Click();
    void cmdHide_Click();
    void cmdZoom_Click();
    void mnuCaptureKey_Click();  // (frmDesktopImageExtras.cpp, as the hotkey)
    void cmdText1_Click();
    void cmdBC_Click();
    void cmdLassoColor_Click();
    void cmdBackColor_Click();
    void cmdIn_Click();
    void cmdOut_Click();
    void cmdZoomActual_Click();
    void optShape_Click(int index);
    void optDrawStyle_Click(int index);
    void scrActive_Change();
    void TrayIcon1_MenuCommand(long id);
    void TrayIcon1_IconActivated();

    void CaptureHotkey_Pressed();
    void Commands_Ended();
    void Commands_Failed(const std::wstring& text);
    void Clipboard_Failed();

    // --- helpers ---
    void Capture_Changed();
    void WireSatelliteWindows();
    void EnableSaveEntries();
    void EnableZoomButtons();
    void SetZoomLabel(int level);
    void UpdateCaptureSizeLabel();
    // TEST HOOK (frmDesktopImageDump.cpp): subscribes the dump to the events after which it is written.
    void SubscribeTestDump();
    void WriteTestDump();

    struct ColorChooser {
        COLORREF color = RGB(0, 0, 0);
        COLORREF custom[16] = {};
    };
    void PickColor(ColorChooser& dialog, HWND swatch);

    // --- controls ---
    HMENU menuBar_ = nullptr;  // owned by the window
    HMENU mnuFile_ = nullptr;
    win::uxButtons_H cmdCaptureDesktop_, cmdEntire_, cmdActive_, cmdClip_, cmdHide_, Command1_, cmdZoom_,
        cmdText1_, cmdBC_, cmdLassoColor_, cmdBackColor_, cmdIn_, cmdOut_, cmdZoomActual_;
    OptionPanel shapePanel_;  // container of optShape
    OptionPanel Frame1_;      // container of optDrawStyle
    std::array<win::uxButtons_H, 4> optShape_;
    std::array<win::uxButtons_H, 4> optDrawStyle_;
    win::crkSlider sliderGrid_;
    win::NativeCheckBox chkGrid_, chkDetails_, chkAutoMagnifier_;
    win::NativeScrollBar scrActive_;
    win::NativeLabel lblActive_, Label3_, lblDelay_, Label1_, Label2_, lblCapture_, lblColors_, lblOverlay_;
    win::NativeLabel lblLasso_, lblBack_, lblGridSpacing_, lblZoomLevel_, lblCaptureSize_;
    win::NativeLabel picLassoColor_, picSelBackColor_;  // colour swatches
    win::NativeControlRouter router_;  // their notifications
    win::ScopedHwnd toolTips_;
    win::PictureView picMV_;
    std::unique_ptr<px::CurrentCapture> capture_;  // made on first use
    win::TrayIcon TrayIcon1_;
    std::array<win::ScopedIcon, 9> imlTrayMenu_;
    win::ScopedIcon trayIcon_;

    std::unique_ptr<CaptureCommands> commands_;  // made with the capture
    MainWindowSkin skin_;                        // caption, frame and menu band
    std::unique_ptr<HTMLHelp> help_;             // made by the first help command, kept until unload
    double firstHelpMs_ = -1;                    // the first help command until its window was back
    std::vector<Placed> placed_;                 // every control of the table, for re-layout
    CaptureHotkey hotkey_;                       // the key that starts "Capture Selection"

    // --- state ---
    int16_t DrStyle_ = 0;
    ColorChooser CommonDialog1_;  // back colour of ellipse and circle captures
    ColorChooser CommonDialog2_;  // lasso colour
    bool unloading_ = false;
    // From the window's creation to the end of Form_Load: a new size must not show the window yet.
    bool loading_ = false;
    // While the skin goes on, a new client size only marks the controls for placing, once, after it.
    bool layoutDeferred_ = false, layoutPending_ = false;

    // --- look ---
    win::ScopedFont uiFont_, headerFont_, zoomFont_;
    win::ScopedBrush sideBrush_, mainBrush_, lineBrush_, lassoBrush_, backBrush_;
};

}  // namespace px
