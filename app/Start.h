#pragma once
// The start-up window: refuses a second instance, otherwise offers
// "Continue" (opens the main window) and "Cancel" (ends the program). It is
// laid out in 96-DPI units scaled to its DPI, again when the DPI changes.
#include "app/SingleInstance.h"
#include "base/win/DpiLayout.h"
#include "base/win/Form.h"
#include "base/win/OlePicture.h"

namespace px {

class Start : public win::Form {
public:
    static Start& Get();

    // Runs the single-instance test and shows the window. Returns false when
    // another instance runs: the message has been shown and the caller ends.
    bool Startup();

private:
    Start() = default;
    void CreateFormWindow() override;
    void Form_DpiChanged(UINT dpi) override;
    bool UsesDialogNavigation() const override { return true; }
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    void Command1_Click();  // "Continue"
    void Command2_Click();  // "Cancel"
    void Form_Paint();

    SingleInstance instance_;
    win::OlePicture image2_;
    HWND command1_ = nullptr;
    HWND command2_ = nullptr;
    win::DpiLayout layout_;
};

}  // namespace px
