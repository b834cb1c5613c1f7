#pragma once
// "Capture Key": a small modal window over the main window in which the key
// that starts "Capture Selection" from anywhere is chosen with the platform's
// hotkey control. OK registers the key at once (a key another program holds
// is named and the old one kept) and, when "Use this key at every start" is
// checked, stores it for the next start; unchecked, the stored key is deleted.
#include <windows.h>

#include "app/CaptureHotkey.h"
#include "base/win/DpiLayout.h"
#include "base/win/Form.h"

namespace px {

class frmCaptureKey : public win::Form {
public:
    static frmCaptureKey& Get();

    static constexpr wchar_t kCaption[] = L"Capture Key";

    // Modal over `owner`; returns when the window is closed. `hotkey` is the main window's key.
    void ShowModal(HWND owner, CaptureHotkey& hotkey);

    // Child window identities (for GetDlgItem). OK and Cancel answer Enter and Escape.
    enum ControlId : int {
        IdLblPrompt = 10,
        IdHotkey,
        IdChkEveryStart,
        IdCmdDefault,
        IdCmdOK = IDOK,
        IdCmdCancel = IDCANCEL,
    };

private:
    frmCaptureKey() = default;
    void CreateFormWindow() override;
    void Form_Load() override;
    bool UsesDialogNavigation() const override { return true; }
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Form_DpiChanged(UINT dpi) override { layout_.Apply(dpi); }

    void cmdOK_Click();
    void cmdCancel_Click() { Unload(); }
    void cmdDefault_Click();
    HWND MakeChild(const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle,
                   win::DpiLayout::Units96 at, int id);
    void ShowKey(CaptureKey key);
    void Tell(const std::wstring& text);  // a warning owned by this window

    HWND owner_ = nullptr;
    CaptureHotkey* hotkey_ = nullptr;
    HWND hotkeyBox_ = nullptr, chkEveryStart_ = nullptr;  // children: the window owns them
    win::DpiLayout layout_;
};

}  // namespace px
