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

frmAbout::frmAbout() : launcher_(OpenInDefaultBrowser) {}

void frmAbout::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.frmAbout";
    RegisterClassOnce(cls, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                      ::LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_APP)));
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const SIZE outer = OuterSizeForClient(kClientW, kClientH, style, WS_EX_APPWINDOW);
    const POINT at = CentredOnScreen(outer);
    CreateWindowObject(cls, kCaption, style, WS_EX_APPWINDOW, at.x, at.y, outer.cx, outer.cy, nullptr, nullptr);
    if (!hwnd()) return;

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

    lblProduct_ = MakeLabel(kProductName, IdLblProduct, RECT{kTextX, 180, kClientW - kMargin, 204}, productFont_.get());
    lblMaker_ = MakeLabel(kMakerName, IdLblMaker, RECT{kTextX, 206, kClientW - kMargin, 224}, textFont_.get());
    // The link is exactly as wide as its text, so only the address itself is a target.
    SIZE ext{};
    {
        win::ScopedGetDC dc(hwnd());
        win::ScopedSelectObject font(dc, linkFont_.get());
        ::GetTextExtentPoint32W(dc, kMakerAddress, static_cast<int>(wcslen(kMakerAddress)), &ext);
    }
    lblURL_ = MakeLabel(kMakerAddress, IdLblURL, RECT{kTextX, 228, kTextX + ext.cx + 2, 246}, linkFont_.get());

    cmdExit_.Create(hwnd(), L"cmdExit", kClientW - kMargin - kButtonW, kClientH - kMargin - kButtonH, kButtonW,
                    kButtonH, IdCmdExit);
    ::SendMessageW(cmdExit_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), FALSE);
    cmdExit_.SetCaption(L"Close");
    cmdExit_.Click.connect([this] { cmdExit_Click(); });
}

HWND frmAbout::MakeLabel(const wchar_t* text, int id, const RECT& r, HFONT font) {
    HWND h = ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_NOTIFY | SS_LEFT, r.left,
                               r.top, r.right - r.left, r.bottom - r.top, hwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return h;
}

void frmAbout::Form_Unload() { raiseClosed_ = true; }

// Closed goes out once the window is gone, so a handler may show or load other windows freely.
void frmAbout::OnFinalDestroy() {
    Form::OnFinalDestroy();
    if (raiseClosed_) {
        raiseClosed_ = false;
        Closed();
    }
}

LRESULT frmAbout::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IdLblURL && HIWORD(wp) == STN_CLICKED) {
            lblURL_Click();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) == lblURL_) {
            HDC dc = reinterpret_cast<HDC>(wp);
            ::SetTextColor(dc, kLinkColor);
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == lblURL_) {
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
