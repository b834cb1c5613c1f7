#pragma once
// The brightness and contrast window. It copies the current capture into a
// source buffer and shows a live full-size preview while the two scroll bars
// move. "Apply" replaces the current capture with the result (which writes
// the scratch bitmap; when that fails the window says so and stays open with
// the capture unchanged); "Cancel" and the close box change nothing. Every
// way out unloads the window and raises Closed.
//
// How the main window uses it (its "Image Adjustments" button):
//
//     frmBrightnessAndContrast::Get().Show(hwnd(), capture_);
//     // once, when it builds itself: frmBrightnessAndContrast::Get().Closed.connect(... show again ...);
//
// The capture is only read during Show (null picture: the previews stay
// blank and Apply changes nothing). The window is modeless and single: showing
// it again while loaded brings it up without reloading. It lays out in 96-DPI
// units and again when it moves to a monitor of another DPI; the pictures
// stay at one screen pixel per picture pixel.
#include <windows.h>

#include <string>

#include "base/win/DpiLayout.h"
#include "base/win/Form.h"
#include "base/win/ScopedWin.h"
#include "capture/CurrentCapture.h"
#include "controls/PictureBox.h"
#include "controls/ScrollFrame.h"
#include "controls/uxButtons_H.h"
#include "imaging/cDIBSection.h"
#include "imaging/core/BrightnessContrast.h"
#include "controls/core/ScrollGeometry.h"

namespace px {

class frmBrightnessAndContrast : public win::Form {
public:
    static frmBrightnessAndContrast& Get();
    ~frmBrightnessAndContrast() override;

    using win::Form::Show;
    void Show(HWND owner, CurrentCapture& capture);

    // What the window shows, for the tests and the main window.
    int32_t BrightnessBarValue() const noexcept { return brightnessBar_.Value(); }
    int32_t ContrastBarValue() const noexcept { return contrastBar_.Value(); }
    std::wstring BrightnessAmountText() const;
    std::wstring ContrastAmountText() const;
    const cDIBSection& SourceBuffer() const noexcept { return source_; }
    const cDIBSection& ResultBuffer() const noexcept { return result_; }
    HWND hscBrightness() const noexcept { return hscBrightness_; }
    HWND hscContrast() const noexcept { return hscContrast_; }
    HWND cmdApply() const noexcept { return cmdApply_.hwnd(); }
    HWND cmdCancel() const noexcept { return cmdCancel_.hwnd(); }
    HWND picResult() const noexcept { return picResult_.hwnd(); }
    HWND picSource() const noexcept { return picSource_.hwnd(); }
    HWND ScrollingArea() const noexcept { return scrollFrame_.hwnd(); }

    frmBrightnessAndContrast();  // single instance through Get(); public for tests

private:
    void CreateFormWindow() override;
    void Form_Load() override;
    void Form_Unload() override;
    void Form_DpiChanged(UINT dpi) override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    void hscBrightness_Change() { UpdatePreview(); }
    void hscBrightness_Scroll() { UpdatePreview(); }
    void hscContrast_Change() { UpdatePreview(); }
    void hscContrast_Scroll() { UpdatePreview(); }
    void cmdApply_Click();
    void cmdCancel_Click();
    win::ScopedBitmap ResultPicture() const;
    void OnScrollBar(HWND bar, WPARAM request);

    double ContrastFromSlider() const { return px::ContrastFromSlider(contrastBar_.Value()); }
    int32_t BrightnessFromSlider() const { return px::BrightnessFromSlider(brightnessBar_.Value()); }
    void UpdatePreview();
    void LoadSourceImage();
    void LayOutPicture();
    void CreateChildren();
    void FitToWorkArea(UINT dpi);
    void PaintCaption();
    void CopyToSurface(win::PictureBox& box, const cDIBSection& picture);

    // Set by Show for the next load.
    HWND owner_ = nullptr;
    CurrentCapture* capture_ = nullptr;  // given by Show

    cDIBSectionBC source_;
    cDIBSectionBC result_;
    cBrightnessContrast processor_;
    controls::ScrollBarModel brightnessBar_{0, 510, 255, 32, 64};
    controls::ScrollBarModel contrastBar_{0, 200, 100, 10, 40};

    HWND hscBrightness_ = nullptr;
    HWND hscContrast_ = nullptr;
    HWND lblBrightness_ = nullptr;
    HWND lblContrast_ = nullptr;
    HWND lblBrightnessAmount_ = nullptr;
    HWND lblContrastAmount_ = nullptr;
    win::PictureBox picCaption_;
    win::PictureBox picSource_;       // the source from its top-left corner, unscaled
    win::ScrollFrame scrollFrame_;    // scrolls picResult_ when it is larger than the frame
    win::PictureBox picResult_;       // the preview at full size
    win::DpiLayout layout_;           // every child in 96-DPI units, and the labels' font
    win::uxButtons_H cmdApply_;
    win::uxButtons_H cmdCancel_;
};

}  // namespace px
