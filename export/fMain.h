#pragma once
// fMain, the "  GIF Palette Options" window: turns the current capture into a
// GIF. It previews the picture on a ucCanvas, builds a palette of the chosen
// kind, dithers against it (optionally with noise first), shows the result
// and its estimated size, lets the user pick one entry as transparent on the
// preview, and saves through export/GifEncoder.
//
// The main window opens it modeless with its "Save As GIF" command:
//
//     fMain::Get().Show(hwnd(), capture_);
//
// Every Show reloads the capture, so the export is never of an older picture.
// The file name prompt and the message box are the saving windows' shared,
// replaceable hooks (export/SavePrompts.h).
#include <windows.h>
#include <commdlg.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "base/win/DpiLayout.h"
#include "base/win/Form.h"
#include "base/win/ScopedWin.h"
#include "controls/NativeControls.h"
#include "export/SavePrompts.h"
#include "export/cDither8bpp.h"
#include "export/cPalette8bpp.h"
#include "export/ucCanvas.h"
#include "imaging/cDIB32.h"
#include "imaging/cDIB32Filter.h"

namespace px {

class CurrentCapture;
namespace win {
class uxButtons_H;
}

class fMain : public win::Form {
public:
    static constexpr wchar_t kCaption[] = L"  GIF Palette Options - Orvo Pixtrel 4.0";
    static constexpr wchar_t kFilter[] = L"GIF Image (*.gif)|*.gif|";
    // Read-only box hidden; a save dialog must not insist that the file exists.
    static constexpr DWORD kDialogFlags = OFN_HIDEREADONLY;

    static fMain& Get();
    ~fMain() override;

    // Loads the window if needed, owned by `owner`, (re)loads the picture
    // `capture` holds now and shows it.
    void Show(HWND owner, CurrentCapture& capture);
    using win::Form::Show;

    void SetPathPrompt(SavePathPrompt prompt);
    void SetMessageBox(MessageBoxFunction messageBox);

    // Controls and state, for tests and automation.
    static constexpr int kPerceptualOption = 6;  // after the octree: built on the whole picture
    enum Control {
        kOptPalette0 = 200,  // ..206; 206 is the perceptual palette
        kSbHalftoneLevels = 210, kTxtHalftoneLevels, kTxtOptimalEntries, kSbOptimalEntries, kSbOptimalEntriesFast,
        kTxtRGBWeight0 = 220,  // ..222
        kFraDither = 230, kChkDiffuseError, kChkNoise, kSbNoise, kTxtNoise, kChkCountUniqueColors, kLblUniqueColors,
        kChkPickColor = 240, kChkUseTransparent, kIPalette,
        kLblDimensions = 250, kLblbpp, kLblBitmapSize, kLblFileSize, kLblFileSizeT, kSbZoom, kLblZoom,
        kLblDefaultWeights = 260, kLblResetWeights,
    };
    HWND Item(int id) const { return ::GetDlgItem(hwnd(), id); }
    std::wstring Text(int id) const;
    win::uxButtons_H& CmdDither() { return *cmdDither_; }
    win::uxButtons_H& CmdSaveGIF() { return *cmdSaveGIF_; }
    win::uxButtons_H& CmdExit() { return *cmdExit_; }
    win::uxButtons_H& CmdUseDefaultWeights() { return *cmdUseDefaultWeights_; }
    win::uxButtons_H& CmdResetWeights() { return *cmdResetWeights_; }
    ucCanvas& Preview() { return ucPreview_; }
    const cPalette8bpp& Palette() const { return palette_; }
    const cDither8bpp& Ditherer() const { return ditherer_; }
    uint8_t VirtualColorDepth() const noexcept { return depth_; }
    bool MarkerVisible() const noexcept { return markerVisible_; }
    int32_t MarkerEntry() const noexcept { return markerEntry_; }

private:
    fMain();
    void CreateFormWindow() override;
    void Form_Load() override;
    void Form_Unload() override;
    void Form_DpiChanged(UINT dpi) override;  // every control to its place at the new DPI
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void ConnectHandlers();
    void CreateControls();
    void CreatePaletteControls();
    void CreateDitherControls();
    void CreateStatusControls();
    template <typename T>
    T& Add(T& control);

    // Handlers, in the order a user meets them.
    void optPalette_Click(int option);
    void sbHalftoneLevels_Change();
    void sbOptimalEntries_Change();
    void sbOptimalEntriesFast_Change();
    void txtOptimalEntries_Change();
    void txtRGBWeight_Change(int index);
    void cmdUseDefaultWeights_Click();
    void cmdResetWeights_Click();
    void chkDiffuseError_Click();
    void chkNoise_Click();
    void sbNoise_Change();
    void cmdDither_Click();
    void chkCountUniqueColors_Click();
    void chkPickColor_Click();
    void ucPreview_MouseDown(int button, int shift, int32_t x, int32_t y);
    void ucPreview_MouseMove(int button, int shift, int32_t x, int32_t y);
    void sbZoom_Change();
    void cmdSaveGIF_Click();
    void cmdExit_Click();
    void Form_Paint();
    void iPalette_Draw(const DRAWITEMSTRUCT& item);

    // Steps of the window.
    void ResetPalette();                 // R
    void LoadPicture(HBITMAP picture);   // L
    void CountColoursIntoLabel();
    void PickAt(int32_t x, int32_t y);
    void MoveMarker(int32_t entry, bool visible);
    void SetOption(int option, bool selected);
    // A number field's value clamped to lo..hi, written back when it differs.
    int32_t Value(win::NativeEdit& field, int32_t lo, int32_t hi);
    // Text the window writes itself: no change handler runs for it.
    void SetQuietly(win::NativeEdit& field, const std::wstring& text);

    HWND owner_ = nullptr;
    CurrentCapture* capture_ = nullptr;
    SavePathPrompt pathPrompt_;
    MessageBoxFunction messageBox_;
    win::ScopedGdiplus gdiplus_;
    win::ScopedBrush checker_;
    ucCanvas ucPreview_;
    cDIB32 source_;
    cPalette8bpp palette_;
    cDither8bpp ditherer_;
    cDIB32Filter filter_;
    int option_ = -1;
    uint8_t depth_ = 0;
    int32_t markerEntry_ = 0;
    bool markerVisible_ = false;
    bool quiet_ = false;  // a text written back by the window itself: no change handler

    win::NativeControlRouter router_;
    win::DpiLayout layout_;  // every control at its 96-DPI place, and the labels' font
    std::array<win::NativeButton, 7> optPalette_;
    win::NativeScrollBar sbHalftoneLevels_, sbOptimalEntries_, sbOptimalEntriesFast_, sbNoise_, sbZoom_;
    win::NativeEdit txtHalftoneLevels_, txtOptimalEntries_, txtNoise_;
    std::array<win::NativeEdit, 3> txtRGBWeight_;
    win::NativeCheckBox chkDiffuseError_, chkNoise_, chkCountUniqueColors_, chkPickColor_, chkUseTransparent_;
    win::NativeButton fraDither_;
    win::NativeLabel iPalette_, lblEntries_, lblWeights_, lblDefaultWeights_, lblResetWeights_, lblUniqueColors_;
    win::NativeLabel lblDimensions_, lblbpp_, lblBitmapSize_, lblFileSizeT_, lblFileSize_, lblZoom_;
    std::unique_ptr<win::uxButtons_H> cmdDither_, cmdSaveGIF_, cmdExit_, cmdUseDefaultWeights_, cmdResetWeights_;
};

}  // namespace px
