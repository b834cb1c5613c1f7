#pragma once
// The zoom tool: a small always-on-top window that keeps showing, magnified,
// the screen area right of and below the mouse cursor, wherever it is.
#include <windows.h>

#include <memory>
#include <string>

#include "controls/PictureBox.h"
#include "base/win/Form.h"
#include "base/win/ScopedWin.h"
#include "controls/NativeControls.h"
#include "controls/uxButtons_H.h"

namespace px {

class zoom : public win::Form {
public:
    // Child window identities (for GetDlgItem).
    enum ControlId : int { IdZoom = 301, IdHScroll1, IdText1, IdCmdReset, IdCmdExit };
    static constexpr UINT_PTR kTimer1Id = 1;
    static constexpr UINT kTimer1Interval = 10;
    // SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW
    static constexpr UINT kTopMostFlags = 0x53;

    static zoom& Get();

    int ScrollValue() const;
    int SourceSize() const noexcept { return sourceSize_; }
    std::wstring Readout() const;
    // The magnified display (the picture box `zoom`).
    const win::PictureBox& Display() const { return c_->zoom; }
    // Sets the scroll bar as the user would; a new value raises its change.
    void SetScrollValue(int v);

private:
    zoom() = default;
    void CreateFormWindow() override;
    void Form_Load() override;
    void Form_Unload() override;
    void Form_DpiChanged(UINT dpi) override { LayOut(dpi); }
    void LayOut(UINT dpi);  // the bar, read-out and buttons in 96-DPI units; the display stays in pixels
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    void Form_Activate();
    void HScroll1_Change();
    void cmdReset_Click();  // "Reset Zoom"
    void cmdExit_Click();   // "X"
    void Timer1_Timer();
    void ShowOneToOne();

    struct Controls {
        win::PictureBox zoom;  // 200 x 200 display
        win::NativeScrollBar HScroll1;
        win::NativeEdit Text1;
        win::NativeControlRouter router;
        win::uxButtons_H cmdReset, cmdExit;
    };
    std::unique_ptr<Controls> c_;  // made afresh for every load; see Form1
    win::ScopedTimer Timer1_;
    win::ScopedFont font_;  // the dialog font at the window's DPI
    int sourceSize_ = 200;
};

}  // namespace px
