#pragma once
// The main capture window: hub of every command, owner of the tray icon and
// holder of the current capture (the hidden picture box picSelImage). Its
// view picMV always shows ScratchBitmapPath, the capture as a file.
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/OptionPanel.h"
#include "base/win/Form.h"
#include "base/win/ScopedWin.h"
#include "capture/Desktop.h"
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

    // --- the current capture, for the capture paths and the other windows ---
    // The picture of picSelImage (a bitmap in the display's format), or nullptr before the first capture.
    HBITMAP CurrentCapture() const noexcept { return picSelImage_.get(); }
    bool HasCapture() const noexcept { return static_cast<bool>(picSelImage_); }
    // Replaces the current capture and writes ScratchBitmapPath, then reloads
    // the view from that file. On a file that cannot be written the user is told,
    // the previous capture stays and false is returned.
    bool ReplaceCapture(win::ScopedBitmap picture);
    // Shows the window in its normal state (end of captures, "Show Window", Apply in other windows).
    void ShowNormal();

    // --- capture options, read by the overlay ---
    const std::wstring& Shape() const noexcept { return Shape_; }
    int16_t DrStyle() const noexcept { return DrStyle_; }
    COLORREF LassoColor() const noexcept { return CommonDialog2_.color; }
    COLORREF SelBackColor() const noexcept { return CommonDialog1_.color; }
    CaptureOptions OverlayOptions() const;
    win::PictureView& picMV() noexcept { return picMV_; }

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
    void CreateMenuBar();
    void CreateControls();
    void CreateFonts();
    win::uxButtons_H& MakeButton(win::uxButtons_H& b, HWND parent, const wchar_t* name, const wchar_t* caption,
                                 const wchar_t* tip, int iconId, const RECT& r);
    HWND MakeStatic(const wchar_t* text, const RECT& r, int id = 0, DWORD style = SS_LEFT, HFONT font = nullptr);
    void AddToolTip(HWND control, const wchar_t* text);
    void LayoutControls();
    void BuildTrayMenu();

    // --- handlers ---
    void Form_Resize(UINT sizeType);
    bool Form_Command(int id);
    void Form_Paint(HDC dc);
    LRESULT Form_CtlColor(HDC dc, HWND control);

    void mnuFileSave_Click();
    void mnuFileSaveJPEG_Click();
    void mnuFileSaveGIF_Click();
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
    void cmdText1_Click();
    void cmdBC_Click();
    void cmdLassoColor_Click();
    void cmdBackColor_Click();
    void cmdIn_Click();
    void cmdOut_Click();
    void cmdZoomActual_Click();
    void optShape_Click(int index);
    void optDrawStyle_Click(int index);
    void scrActive_Change(int request);
    void TrayIcon1_MenuCommand(long id);
    void TrayIcon1_IconActivated();

    void tmrDesktop_Timer();
    void TimerC_Timer();
    // The common end of region and entire-screen captures, called by the overlay.
    void CaptureFinish(win::ScopedBitmap picture);
    void CaptureCancelled();

    // --- helpers ---
    // Writes the scratch file and makes `picture` the capture; false (nothing changed) when the file fails.
    bool StoreCapture(win::ScopedBitmap& picture);
    void ReloadView();
    static win::ScopedBitmap LoadBitmapFile(const std::wstring& path);
    void EnableSaveEntries();
    void EnableZoomButtons();
    void SetZoomLabel(int level);
    void SetWaitPointer(bool wait);
    void UpdateCaptureSizeLabel();
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
    HWND chkGrid_ = nullptr, chkDetails_ = nullptr, chkAutoMagnifier_ = nullptr;
    HWND scrActive_ = nullptr, lblActive_ = nullptr, Label3_ = nullptr, lblDelay_ = nullptr;
    HWND Label1_ = nullptr, Label2_ = nullptr, lblCapture_ = nullptr, lblColors_ = nullptr, lblOverlay_ = nullptr;
    HWND lblLasso_ = nullptr, lblBack_ = nullptr, lblGridSpacing_ = nullptr;
    HWND picLassoColor_ = nullptr, picSelBackColor_ = nullptr;
    HWND lblZoomLevel_ = nullptr, lblCaptureSize_ = nullptr;
    win::ScopedHwnd toolTips_;
    win::PictureView picMV_;
    win::ScopedBitmap picSelImage_;  // the current capture
    win::TrayIcon TrayIcon1_;
    std::array<win::ScopedIcon, 9> imlTrayMenu_;
    win::ScopedIcon trayIcon_;

    win::ScopedTimer tmrDesktop_, TimerC_;
    static constexpr UINT_PTR kTmrDesktopId = 1, kTimerCId = 2;

    // --- state ---
    std::wstring Shape_ = L"Rectangle";
    int16_t DrStyle_ = 0;
    int16_t startCounter_ = 0;  // tmrDesktop ticks
    ColorChooser CommonDialog1_;  // back colour of ellipse and circle captures
    ColorChooser CommonDialog2_;  // lasso colour
    bool waitPointer_ = false;
    bool unloading_ = false;
    int captures_ = 0;            // finished captures, for the test hook
    std::unique_ptr<HTMLHelp> help_;  // made by the first help command, kept until unload
    double firstHelpMs_ = -1;         // the first help command until its window was back
    LARGE_INTEGER commandTime_{};  // when the last overlay capture was asked for
    double overlayMs_ = -1;        // from that command until the overlay was up

    // --- look ---
    win::ScopedFont uiFont_, headerFont_, zoomFont_;
    win::ScopedBrush sideBrush_, mainBrush_, lineBrush_, lassoBrush_, backBrush_;
};

}  // namespace px
