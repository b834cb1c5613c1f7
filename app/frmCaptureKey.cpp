#include "app/frmCaptureKey.h"

#include <commctrl.h>

#include "app/Application.h"
#include "app/Resources.h"
#include "app/StoredCaptureKey.h"

namespace px {

namespace {
constexpr int kClientW = 300, kClientH = 132;
constexpr int kMargin = 12, kButtonW = 80, kButtonH = 24, kButtonY = 96, kButtonGap = 8;
}  // namespace

frmCaptureKey& frmCaptureKey::Get() {
    static frmCaptureKey form;
    return form;
}

void frmCaptureKey::ShowModal(HWND owner, CaptureHotkey& hotkey) {
    owner_ = owner;
    hotkey_ = &hotkey;
    Form::ShowModal(owner);
}

HWND frmCaptureKey::MakeChild(const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle,
                              win::DpiLayout::Units96 at, int id) {
    HWND child = ::CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    layout_.Add(child, at);
    return child;
}

void frmCaptureKey::CreateFormWindow() {
    // The hotkey control's class is registered on request, not with the other common controls.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_HOTKEY_CLASS};
    ::InitCommonControlsEx(&icc);
    const wchar_t* cls = L"OrvoPixtrel.frmCaptureKey";
    RegisterClassOnce(cls, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                      ::LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_APP)));
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    const SIZE outer = OuterSizeForClient(Scale(kClientW), Scale(kClientH), style, exStyle);
    const POINT at = CentredOnScreen(outer);
    hotkeyBox_ = chkEveryStart_ = nullptr;  // those of an earlier load are gone
    CreateWindowObject(cls, kCaption, style, exStyle, at.x, at.y, outer.cx, outer.cy, owner_, nullptr);
    if (!hwnd()) return;

    layout_.Clear();
    const int w = kClientW - 2 * kMargin;
    MakeChild(L"STATIC", L"Press the key that starts \"Capture Selection\" from anywhere:", SS_LEFT | SS_NOPREFIX, 0,
              {kMargin, 12, w, 16}, IdLblPrompt);
    hotkeyBox_ = MakeChild(HOTKEY_CLASSW, L"", WS_TABSTOP, WS_EX_CLIENTEDGE, {kMargin, 32, w, 22}, IdHotkey);
    chkEveryStart_ = MakeChild(L"BUTTON", L"Use this key at every start", WS_TABSTOP | BS_AUTOCHECKBOX, 0,
                               {kMargin, 62, w, 20}, IdChkEveryStart);
    MakeChild(L"BUTTON", L"Default", WS_TABSTOP | BS_PUSHBUTTON, 0, {kMargin, kButtonY, kButtonW, kButtonH},
              IdCmdDefault);
    const int cancelX = kClientW - kMargin - kButtonW, okX = cancelX - kButtonGap - kButtonW;
    MakeChild(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, {okX, kButtonY, kButtonW, kButtonH}, IdCmdOK);
    MakeChild(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, {cancelX, kButtonY, kButtonW, kButtonH},
              IdCmdCancel);
    layout_.Apply(Dpi());
}

// Every opening shows the key held now and whether one is kept for the next start.
void frmCaptureKey::Form_Load() {
    static bool shutdownRegistered = false;
    if (!shutdownRegistered) {
        shutdownRegistered = true;
        Application::Get().Shutdown().Register(ShutdownSlot::frmCaptureKey, [] { frmCaptureKey::Get().Unload(); });
    }
    const std::optional<CaptureKey> current = hotkey_ ? hotkey_->Current() : std::nullopt;
    ShowKey(current.value_or(CaptureKey{}));
    ::SendMessageW(chkEveryStart_, BM_SETCHECK, LoadStoredCaptureKey() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void frmCaptureKey::ShowKey(CaptureKey key) {
    ::SendMessageW(hotkeyBox_, HKM_SETHOTKEY, HotkeyControlWord(key), 0);
}

void frmCaptureKey::Tell(const std::wstring& text) {
    ::MessageBoxW(hwnd(), text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
}

void frmCaptureKey::cmdDefault_Click() {
    ShowKey(kDefaultCaptureKey);
    ::SetFocus(hotkeyBox_);
}

void frmCaptureKey::cmdOK_Click() {
    if (!hotkey_) return;
    const auto word = static_cast<uint16_t>(::SendMessageW(hotkeyBox_, HKM_GETHOTKEY, 0, 0));
    const CaptureKey key = CaptureKeyFromHotkeyControl(word);
    if (const CaptureKeyVerdict verdict = CheckCaptureKey(key); verdict != CaptureKeyVerdict::Usable) {
        Tell(CaptureKeyRefusalText(key, verdict));
        return;
    }
    if (!hotkey_->Change(key)) {
        Tell(CaptureKeyTakenText(key, hotkey_->Current()));
        return;
    }
    const bool keep = ::SendMessageW(chkEveryStart_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (!(keep ? StoreCaptureKey(key) : ForgetStoredCaptureKey()))
        Tell(L"The key works now, but the choice for the next start could not be saved.");
    Unload();
}

LRESULT frmCaptureKey::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) != BN_CLICKED) break;
        switch (LOWORD(wp)) {
        case IdCmdOK: cmdOK_Click(); return 0;
        case IdCmdCancel: cmdCancel_Click(); return 0;
        case IdCmdDefault: cmdDefault_Click(); return 0;
        }
        break;
    case WM_ACTIVATE:
        // The key box, not the window, takes the keyboard: the user can press the key at once.
        if (LOWORD(wp) != WA_INACTIVE && hotkeyBox_) {
            ::SetFocus(hotkeyBox_);
            return 0;
        }
        break;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(layout_.Font());
    case WM_CLOSE: cmdCancel_Click(); return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}

}  // namespace px
