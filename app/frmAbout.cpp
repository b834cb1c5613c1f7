#include "app/frmAbout.h"

#include <shellapi.h>

#include "app/Resources.h"
#include "base/Dpi.h"

namespace px {

int frmAbout::S(int units96) const { return ScaleForDpi(units96, static_cast<int>(dpi_)); }

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
    const SIZE outer = OuterSizeForClient(Scale(kClientW), Scale(kClientH), style, WS_EX_APPWINDOW);
    const POINT at = CentredOnScreen(outer);
    CreateWindowObject(cls, kCaption, style, WS_EX_APPWINDOW, at.x, at.y, outer.cx, outer.cy, nullptr, nullptr);
    if (!hwnd()) return;
    router_ = win::NativeControlRouter{};
    picBanner_ = win::OlePicture::FromResource(Instance(), IDR_START_PICTURE);
    MakeLabel(lblProduct_, kProductName, IdLblProduct);
    MakeLabel(lblMaker_, kMakerName, IdLblMaker);
    MakeLabel(lblURL_, kMakerAddress, IdLblURL);
    cmdExit_.Create(hwnd(), L"cmdExit", 0, 0, 0, 0, IdCmdExit);
    cmdExit_.SetCaption(L"Close");
    LayOut(Dpi());
}

// Fonts, icon and places for the window's DPI, from 96-DPI units; again when
// the window moves to a monitor of another DPI.
void frmAbout::LayOut(UINT dpi) {
    dpi_ = dpi;
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    LOGFONTW lf = ncm.lfMessageFont;
    {  // the metrics come at the system's DPI
        win::ScopedGetDC screen(nullptr);
        lf.lfHeight = ::MulDiv(lf.lfHeight, static_cast<int>(dpi), ::GetDeviceCaps(screen, LOGPIXELSY));
    }
    win::ScopedFont text(::CreateFontIndirectW(&lf));
    lf.lfUnderline = TRUE;
    win::ScopedFont link(::CreateFontIndirectW(&lf));
    lf.lfUnderline = FALSE;
    lf.lfWeight = FW_BOLD;
    lf.lfHeight = lf.lfHeight * 4 / 3;
    win::ScopedFont product(::CreateFontIndirectW(&lf));
    const int icon = S(kIconSize);
    picIcon_.reset(static_cast<HICON>(
        ::LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, icon, icon, LR_DEFAULTCOLOR)));

    auto place = [&](HWND h, HFONT font, int x, int y, int w, int hgt) {
        ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::MoveWindow(h, S(x), S(y), w < 0 ? -w : S(x + w) - S(x), S(y + hgt) - S(y), TRUE);
    };
    place(lblProduct_.hwnd(), product.get(), kTextX, 180, kClientW - kMargin - kTextX, 24);
    place(lblMaker_.hwnd(), text.get(), kTextX, 206, kClientW - kMargin - kTextX, 18);
    // The link is exactly as wide as its text, so only the address itself is a target.
    SIZE ext{};
    {
        win::ScopedGetDC dc(hwnd());
        win::ScopedSelectObject font(dc, link.get());
        ::GetTextExtentPoint32W(dc, kMakerAddress, static_cast<int>(wcslen(kMakerAddress)), &ext);
    }
    place(lblURL_.hwnd(), link.get(), kTextX, 228, -(ext.cx + 2), 18);
    place(cmdExit_.hwnd(), text.get(), kClientW - kMargin - kButtonW, kClientH - kMargin - kButtonH, kButtonW,
          kButtonH);
    // The controls hold the new fonts now; the old ones can go.
    textFont_ = std::move(text);
    linkFont_ = std::move(link);
    productFont_ = std::move(product);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void frmAbout::MakeLabel(win::NativeLabel& label, const wchar_t* text, int id) {
    label.Create(hwnd(), id, text, 0, 0, 0, 0, SS_NOPREFIX | SS_NOTIFY);
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
    if (picBanner_)
        picBanner_.Render(dc, RECT{S(kBannerX), S(kBannerY), S(kBannerX + kBannerW),
                                   S(kBannerY + kBannerH)});
    const int icon = S(kIconSize);
    if (picIcon_) ::DrawIconEx(dc, S(kIconX), S(kIconY), picIcon_.get(), icon, icon, 0, nullptr, DI_NORMAL);
}

}  // namespace px
