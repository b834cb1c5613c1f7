#pragma once
// The slider's value tip: a small window with one label (lblTip) showing the
// value as decimal text beside the thumb while the user drags. One instance
// for the whole program, created on first use; it never takes the focus and
// never keeps the program alive (the main window unloads it at the end).
#include <windows.h>

#include <string>

#include "base/win/ScopedWin.h"
#include "base/win/Window.h"
#include "base/Geometry.h"

namespace px::win {

class frmValueTip : public Window {
public:
    static constexpr wchar_t kClassName[] = L"frmValueTip";
    static frmValueTip& Instance();

    void Load();
    bool IsLoaded() const { return IsCreated(); }
    void Unload() { Destroy(); }

    // Sizes and places the tip for `text` beside the thumb (`thumb` in the
    // control's client coordinates, `controlScreen` the control's screen
    // origin) and shows it on top without activating it.
    void ShowTip(const std::wstring& text, int orientation, POINT controlScreen, const RECT& thumb);
    void CloseTip();

    const std::wstring& lblTip() const noexcept { return lblTip_; }
    // Pixel size of `text` in the label's font.
    px::Size TextSize(const std::wstring& text);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    frmValueTip() = default;
    void Form_Paint(HDC dc);

    std::wstring lblTip_;
};

}  // namespace px::win
