#include "app/Start.h"

#include "app/Resources.h"
#include "app/frmDesktopImage.h"

namespace px {

namespace {
constexpr int kIdContinue = 1;  // IDOK: Enter continues
constexpr int kIdCancel = 2;    // IDCANCEL: Escape cancels
constexpr int kPictureW = 400, kPictureH = 160;
constexpr int kButtonW = 96, kButtonH = 28, kMargin = 12;
}  // namespace

Start& Start::Get() {
    static Start form;
    return form;
}

bool Start::Startup() {
    if (!instance_.Acquire()) {
        ::MessageBoxW(nullptr, L"Orvo Pixtrel is Already Started !", L"Orvo Pixtrel", MB_OK);
        return false;
    }
    Show(SW_SHOWNORMAL);
    return IsLoaded();
}

void Start::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.Start";
    RegisterClassOnce(cls, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                      ::LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_APP)));
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    // Sizes are 96-DPI units, scaled to the DPI the window opens at.
    const SIZE outer =
        OuterSizeForClient(Scale(kPictureW), Scale(kPictureH + kButtonH + 2 * kMargin), style, WS_EX_APPWINDOW);
    const POINT at = CentredOnScreen(outer);
    CreateWindowObject(cls, L"Orvo Pixtrel", style, WS_EX_APPWINDOW, at.x, at.y, outer.cx, outer.cy, nullptr, nullptr);
    if (!hwnd()) return;
    image2_ = win::OlePicture::FromResource(Instance(), IDR_START_PICTURE);
    command1_ = ::CreateWindowExW(0, L"BUTTON", L"Continue", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                  0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(kIdContinue), Instance(), nullptr);
    command2_ = ::CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                  0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(kIdCancel), Instance(), nullptr);
    const int by = kPictureH + kMargin;
    layout_.Clear();
    layout_.Add(command1_, {kPictureW - 2 * (kButtonW + kMargin), by, kButtonW, kButtonH});
    layout_.Add(command2_, {kPictureW - (kButtonW + kMargin), by, kButtonW, kButtonH});
    layout_.Apply(Dpi());
}

void Start::Form_DpiChanged(UINT dpi) {
    layout_.Apply(dpi);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT Start::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case kIdContinue: Command1_Click(); return 0;
        case kIdCancel: Command2_Click(); return 0;
        }
        break;
    case WM_PAINT: Form_Paint(); return 0;
    case WM_CLOSE: Command2_Click(); return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}

void Start::Command1_Click() {
    Unload();
    frmDesktopImage::Get().Show(SW_SHOWNORMAL);
}

// With no other window loaded, unloading ends the program.
void Start::Command2_Click() { Unload(); }

void Start::Form_Paint() {
    win::ScopedPaint dc(hwnd());
    RECT pic{0, 0, Scale(kPictureW), Scale(kPictureH)};
    image2_.Render(dc, pic);
}

}  // namespace px
