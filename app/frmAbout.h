#pragma once
// The About window: product and maker names, the program's pictures, a link
// to the maker's web page and "Close". It is modeless; when it has unloaded it
// raises Closed (as every form does), and the main window shows itself again.
#include <windows.h>

#include <functional>
#include <string>

#include "base/win/Form.h"
#include "base/win/OlePicture.h"
#include "base/win/ScopedWin.h"
#include "controls/NativeControls.h"
#include "controls/uxButtons_H.h"

namespace px {

class frmAbout : public win::Form {
public:
    static frmAbout& Get();

    static constexpr wchar_t kCaption[] = L"  About Orvo Pixtrel 4.0";
    static constexpr wchar_t kMakerAddress[] = L"https://www.example.com/pixtrel/";

    // Opens an address in a new browser window; replaceable so that tests see the address.
    using BrowserLauncher = std::function<void(const std::wstring& address)>;
    void SetBrowserLauncher(BrowserLauncher launcher) { launcher_ = std::move(launcher); }

    // For tests: the link label and the "Close" button.
    HWND lblURL() const noexcept { return lblURL_.hwnd(); }
    win::uxButtons_H& cmdExit() noexcept { return cmdExit_; }

    enum ControlId : int { IdLblProduct = 10, IdLblMaker, IdLblURL, IdCmdExit };

private:
    frmAbout();
    void CreateFormWindow() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    void lblURL_Click();
    void cmdExit_Click();
    void Form_Paint();
    void MakeLabel(win::NativeLabel& label, const wchar_t* text, int id);
    // Fonts, icon and places from 96-DPI units for `dpi`; again on a DPI change.
    void LayOut(UINT dpi);
    void Form_DpiChanged(UINT dpi) override { LayOut(dpi); }
    int S(int units96) const;  // 96-DPI units at the laid-out DPI

    BrowserLauncher launcher_;
    win::NativeLabel lblProduct_, lblMaker_, lblURL_;
    win::NativeControlRouter router_;
    win::uxButtons_H cmdExit_;
    win::OlePicture picBanner_;
    win::ScopedIcon picIcon_;
    win::ScopedFont textFont_, productFont_, linkFont_;
    UINT dpi_ = 96;
};

// The platform's way to open an address in the user's default browser, in a new window.
void OpenInDefaultBrowser(const std::wstring& address);

}  // namespace px
