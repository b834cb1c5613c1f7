#pragma once
// The annotation window: a copy of the current capture to draw on freehand
// and to print text on (through the text inserter, Form2). "Apply" makes the
// marked-up picture the current capture; "Cancel" leaves the capture alone.
// Either way the window unloads and raises Closed; its owner shows itself again.
// Every stroke and every printed text can be undone (Ctrl+Z) and redone
// (Ctrl+Y): the window keeps the picture it opened on and draws the steps in
// effect on it again (app/core/AnnotationHistory).
#include <windows.h>

#include <memory>

#include "controls/PictureBox.h"
#include "base/win/Form.h"
#include "base/win/ScopedWin.h"
#include "app/core/AnnotationHistory.h"
#include "capture/CurrentCapture.h"
#include "controls/ScrollFrame.h"
#include "controls/uxButtons_H.h"

namespace px {

class Form1 : public win::Form {
public:
    // Child window identities (for GetDlgItem).
    enum ControlId : int {
        IdCmdColor = 101,
        IdCommand3,
        IdCmdApply,
        IdCmdCancel,
        IdPicture51,
        IdPicture50,
        IdFontPro,
        IdFraScroll1,
        IdPictureA,
        IdPicture1,
    };
    static constexpr UINT_PTR kTimer1Id = 1;
    static constexpr UINT kTimer1Interval = 1;

    static Form1& Get();

    // Loads the window on a copy of `capture` and shows it; Apply replaces `capture`.
    void Show(CurrentCapture& capture);
    using win::Form::Show;

    // --- what the text inserter reads and writes ---
    win::PictureBox& Picture1() { return c_->Picture1; }
    win::uxButtons_H& Command3() { return c_->Command3; }
    HWND FontPro() const noexcept { return c_ ? c_->FontPro : nullptr; }
    // Text-placement mode (textposval): on while waiting for the click that places text.
    bool TextPlacementMode() const noexcept { return textposval_; }
    void SetTextPlacementMode(bool on) { textposval_ = on; }
    // Where the text goes (textposx, textposy), in Picture1's pixels.
    POINT TextPosition() const noexcept { return textpos_; }
    // The annotation colour: Picture1's pen colour.
    COLORREF AnnotationColor() const { return c_ ? c_->Picture1.ForeColor() : RGB(0, 0, 0); }
    // Prints `text` on Picture1 at its drawing position in its font and pen colour, as one step to undo.
    void PrintAnnotationText(const std::wstring& text);

    // Ctrl+Z and Ctrl+Y: false when there was nothing to undo or redo.
    bool Undo();
    bool Redo();
    const AnnotationHistory& History() const noexcept { return history_; }

private:
    Form1() = default;
    void CreateFormWindow() override;
    void Form_Load() override;
    void Form_Unload() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool Form_KeyDown(const MSG& msg) override;

    void Form_Resize();
    void Picture1_MouseDown(int button, int shift, int x, int y);
    void Picture1_MouseMove(int button, int shift, int x, int y);
    void Picture1_MouseUp(int button, int shift, int x, int y);
    // Picture1 as opened with the steps in effect drawn on it; the pen and font are kept.
    void RedrawHistory();
    void cmdColor_Click();   // "Text Color"
    void Command3_Click();   // "Add Text"
    void cmdApply_Click();   // "Apply"
    void cmdCancel_Click();  // "Cancel"
    void Timer1_Timer();

    // The window's controls, made afresh for every load. The previous set is
    // kept until then because an unload can start inside one of its handlers.
    struct Controls {
        win::uxButtons_H cmdColor, Command3, cmdApply, cmdCancel;
        win::PictureBox Picture51;  // annotation colour swatch
        win::PictureBox Picture50;  // pen preview
        HWND FontPro = nullptr;         // font listing progress (Form2), hidden
        win::ScrollFrame fraScroll1;
        win::PictureBox PictureA;   // container of Picture1, scrolled by fraScroll1
        win::PictureBox Picture1;   // the picture being annotated
    };
    std::unique_ptr<Controls> c_;
    CurrentCapture* capture_ = nullptr;  // given by Show
    win::ScopedTimer Timer1_;
    bool textposval_ = false;
    POINT textpos_{0, 0};
    COLORREF dlgColor_ = RGB(0, 0, 0);  // Dlg's colour
    COLORREF customColors_[16] = {};
    AnnotationHistory history_;
    win::ScopedBitmap original_;  // Picture1 as loaded, the base of every redraw
};

}  // namespace px
