#include "app/frmAbout.h"

#include <shellapi.h>

#include "app/Resources.h"

namespace px {

namespace {
constexpr int kClientW = 420, kClientH = 300;
constexpr int kBannerX = 10, kBannerY = 10, kBannerW = 400, kBannerH = 160;
constexpr int kTextX = 62, kIconX = 14, kIconY = 184, kIconSize = 32;
constexpr int kButtonW = 96, kButtonH = 28, kMargin = 12;
constexpr COLORREF kLinkColor = RGB(0, 82, 180);
constexpr wchar_t kProductName[] = L"Orvo Pixtrel 4.0";
constexpr wchar_t kMakerName[] = L"Orvo Software";
}  // namespace

void OpenInDefaultBrowser(const std::wstring& address) {
    ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

frmAbout& frmAbout::Get() {
    static frmAbout form;
    return form;
}

// Handlers are connected once: the controls are created again at every load.
frmAbout::frmAbout() : launcher_(OpenInDefaultBrowser) {
    lblURL_.Click.connect([this] { lblURL_Click(); });
    cmdExit_.Click.connect([this] { cmdExit_Click(); });
}

void frmAbout::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.frmAbout";
    RegisterClassOnce(cls, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                      ::LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_APP)));
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const SIZE outer = OuterSizeForClient(kClientW, kClientH, style, WS_EX_APPWINDOW);
    const POINT at = CentredOnScreen(outer);
    CreateWindowObject(cls, kCaption, style, WS_EX_APPWINDOW, at.x, at.y, outer.cx, outer.cy, nullptr, nullptr);
    if (!hwnd()) return;
    router_ = win::NativeControlRouter{};

    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    LOGFONTW lf = ncm.lfMessageFont;
    textFont_.reset(::CreateFontIndirectW(&lf));
    lf.lfUnderline = TRUE;
    linkFont_.reset(::CreateFontIndirectW(&lf));
    lf.lfUnderline = FALSE;
    lf.lfWeight = FW_BOLD;
    lf.lfHeight = lf.lfHeight * 4 / 3;
    productFont_.reset(::CreateFontIndirectW(&lf));

    picBanner_ = win::OlePicture::FromResource(Instance(), IDR_START_PICTURE);
    picIcon_.reset(static_cast<HICON>(
        ::LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, kIconSize, kIconSize, LR_DEFAULTCOLOR)));

    MakeLabel(lblProduct_, kProductName, IdLblProduct, RECT{kTextX, 180, kClientW - kMargin, 204}, productFont_.get());
    MakeLabel(lblMaker_, kMakerName, IdLblMaker, RECT{kTextX, 206, kClientW - kMargin, 224}, textFont_.get());
    // The link is exactly as wide as its text, so only the address itself is a target.
    SIZE ext{};
    {
        win::ScopedGetDC dc(hwnd());
        win::ScopedSelectObject font(dc, linkFont_.get());
        ::GetTextExtentPoint32W(dc, kMakerAddress, static_cast<int>(wcslen(kMakerAddress)), &ext);
    }
    MakeLabel(lblURL_, kMakerAddress, IdLblURL, RECT{kTextX, 228, kTextX + ext.cx + 2, 246}, linkFont_.get());

    cmdExit_.Create(hwnd(), L"cmdExit", kClientW - kMargin - kButtonW, kClientH - kMargin - kButtonH, kButtonW,
                    kButtonH, IdCmdExit);
    ::SendMessageW(cmdExit_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), FALSE);
    cmdExit_.SetCaption(L"Close");
}

void frmAbout::MakeLabel(win::NativeLabel& label, const wchar_t* text, int id, const RECT& r, HFONT font) {
    label.Create(hwnd(), id, text, r.left, r.top, r.right - r.left, r.bottom - r.top, SS_NOPREFIX | SS_NOTIFY);
    label.SetFont(font);
    router_.Add(label);
}

LRESULT frmAbout::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (router_.Route(msg, wp, lp)) return 0;
        break;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) == lblURL_.hwnd()) {
            HDC dc = reinterpret_cast<HDC>(wp);
            ::SetTextColor(dc, kLinkColor);
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == lblURL_.hwnd()) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_PAINT: Form_Paint(); return 0;
    case WM_CLOSE: cmdExit_Click(); return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}

void frmAbout::lblURL_Click() {
    if (launcher_) launcher_(kMakerAddress);
}

void frmAbout::cmdExit_Click() { Unload(); }

void frmAbout::Form_Paint() {
    win::ScopedPaint dc(hwnd());
    if (picBanner_) picBanner_.Render(dc, RECT{kBannerX, kBannerY, kBannerX + kBannerW, kBannerY + kBannerH});
    if (picIcon_) ::DrawIconEx(dc, kIconX, kIconY, picIcon_.get(), kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
}

}  // namespace px
