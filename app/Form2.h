#pragma once
// The text inserter: a modal dialog over the annotation window in which the
// text, font, size, style and colour are chosen. "OK" prints the text onto the
// annotation window's picture at the point the user clicked.
#include <windows.h>

#include <memory>
#include <string>

#include "controls/PictureBox.h"
#include "base/win/DpiLayout.h"
#include "base/win/Form.h"
#include "base/win/ScopedWin.h"
#include "controls/uxButtons_H.h"

namespace px {

class Form2 : public win::Form {
public:
    // Child window identities (for GetDlgItem).
    enum ControlId : int {
        IdText1 = 201,
        IdCombo1,
        IdText2,
        IdCheck1,  // "Bold"
        IdCheck2,  // "Underline"
        IdCheck3,  // "Italics"
        IdCheck4,  // "Strike Out"
        IdPicture1,
        IdCommand1,
        IdCommand2,
        IdLabelFont,
        IdLabelSize,
    };

    static Form2& Get();

    // The swatch colour, in which the text is printed.
    COLORREF TextColor() const noexcept { return swatchColor_; }

private:
    Form2() = default;
    void CreateFormWindow() override;
    void Form_Load() override;
    bool UsesDialogNavigation() const override { return true; }
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFinalDestroy() override;
    void Form_DpiChanged(UINT dpi) override;  // lays out again in 96-DPI units

    void ListScreenFonts();
    void Check_Click(int index);
    void Combo1_Click();
    void Text2_Change();
    void Picture1_Click();
    void Command1_Click();  // "OK"
    void Command2_Click();  // "Cancel"
    // Text1's font from the three fields below.
    bool ApplyText1Font();

    struct Controls {
        HWND Text1 = nullptr, Combo1 = nullptr, Text2 = nullptr;
        HWND Check[4] = {};
        win::PictureBox Picture1;  // colour swatch
        win::uxButtons_H Command1, Command2;
    };
    std::unique_ptr<Controls> c_;  // made afresh for every load, as in Form1
    win::DpiLayout layout_;         // the children in 96-DPI units, and their font
    std::wstring text1FontName_;
    double text1FontSize_ = 8.0;
    int text1FontStyle_ = 0;
    win::ScopedFont text1Font_;
    COLORREF swatchColor_ = RGB(0, 0, 0);
    COLORREF customColors_[16] = {};
};

}  // namespace px
