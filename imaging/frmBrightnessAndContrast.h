#pragma once
// The brightness and contrast window. It copies the current capture into a
// source buffer, shows a live full-size preview while the two scroll bars
// move, and on "Apply" writes the result to the scratch bitmap and hands it
// to the main window; "Cancel" changes nothing.
//
// How the main window uses it (its "Image Adjustments" button):
//
//     frmBrightnessAndContrast::Get().Show(hwnd(), currentCaptureBitmap, paths.ScratchBitmapPath(),
//         [this](const std::wstring& scratchPath, const px::cDIBSection& result) {
//             // the file at scratchPath now holds `result`: reload picMV and picSelImage from it,
//             // then show this window in the normal state
//         },
//         [this] { /* Cancel or the close box: show this window again */ });
//
// `capture` is only read during Show (a bitmap the caller keeps; null means
// there is no picture and the previews stay blank). The window is modeless and
// single: showing it again while loaded brings it up without reloading. When
// the scratch file cannot be written, "Apply" says so in a message box and
// the window stays open with the capture unchanged. The main window calls
// Unload() when it unloads itself; no handler runs then.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/win/Form.h"
#include "controls/uxButtons_H.h"
#include "imaging/cDIBSection.h"
#include "imaging/core/BrightnessContrast.h"
#include "controls/core/ScrollGeometry.h"

namespace px {

class frmBrightnessAndContrast : public win::Form {
public:
    using AppliedHandler = std::function<void(const std::wstring& scratchBitmapPath, const cDIBSection& result)>;
    using CancelledHandler = std::function<void()>;

    static frmBrightnessAndContrast& Get();
    ~frmBrightnessAndContrast() override;

    using win::Form::Show;
    void Show(HWND owner, HBITMAP capture, std::wstring scratchBitmapPath, AppliedHandler onApplied,
              CancelledHandler onCancelled);

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
    HWND picResult() const noexcept;
    HWND ScrollingArea() const noexcept;

    frmBrightnessAndContrast();  // single instance through Get(); public for tests

private:
    void CreateFormWindow() override;
    void Form_Load() override;
    void Form_Unload() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    void hscBrightness_Change() { UpdatePreview(); }
    void hscBrightness_Scroll() { UpdatePreview(); }
    void hscContrast_Change() { UpdatePreview(); }
    void hscContrast_Scroll() { UpdatePreview(); }
    void cmdApply_Click();
    void cmdCancel_Click();
    void OnScrollBar(HWND bar, WPARAM request);

    double ContrastFromSlider() const { return px::ContrastFromSlider(contrastBar_.Value()); }
    int32_t BrightnessFromSlider() const { return px::BrightnessFromSlider(brightnessBar_.Value()); }
    void UpdatePreview();
    void LoadSourceImage();
    void LayOutPicture();

    // Set by Show for the next load.
    HWND owner_ = nullptr;
    HBITMAP capture_ = nullptr;
    std::wstring scratchPath_;
    AppliedHandler onApplied_;
    CancelledHandler onCancelled_;

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
    class PictureBox;   // a child that paints through a callback
    class ScrollFrame;  // the scrolling area that holds PictureC
    std::unique_ptr<PictureBox> picCaption_;
    std::unique_ptr<PictureBox> picSource_;
    std::unique_ptr<ScrollFrame> scrollFrame_;
    std::unique_ptr<PictureBox> pictureC_;
    std::unique_ptr<PictureBox> picResult_;
    win::uxButtons_H cmdApply_;
    win::uxButtons_H cmdCancel_;
};

}  // namespace px
