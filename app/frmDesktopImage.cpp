#include "app/frmDesktopImage.h"

#include "app/Application.h"
#include "app/Resources.h"
#include "base/win/SavePicture.h"

namespace px {

namespace {
constexpr int kWidth = 800, kHeight = 600;
}

frmDesktopImage& frmDesktopImage::Get() {
    static frmDesktopImage form;
    return form;
}

void frmDesktopImage::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.frmDesktopImage";
    RegisterClassOnce(cls, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                      ::LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_APP)));
    CreateWindowObject(cls, L" Orvo Pixtrel 4.5", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_APPWINDOW, 0, 0,
                       kWidth, kHeight, nullptr, nullptr);
}

void frmDesktopImage::Form_Load() {
    // Top of the screen, centred horizontally.
    RECT r;
    ::GetWindowRect(hwnd(), &r);
    int w = r.right - r.left;
    ::SetWindowPos(hwnd(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Hide();
}

// Unloading the main window takes the whole program down, in its fixed order.
void frmDesktopImage::Form_Unload() { Application::Get().Shutdown().Run(); }

LRESULT frmDesktopImage::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: Form_Resize(static_cast<UINT>(wp)); break;
    }
    return Form::HandleMessage(msg, wp, lp);
}

// Minimised, the window lives on only as the tray icon.
void frmDesktopImage::Form_Resize(UINT sizeType) {
    if (sizeType == SIZE_MINIMIZED)
        Hide();
    else if (!::IsWindowVisible(hwnd()))
        ::ShowWindow(hwnd(), SW_SHOW);
}

}  // namespace px

namespace px {

bool frmDesktopImage::ReplaceCapture(win::ScopedBitmap picture) {
    const std::wstring path = Application::Get().Paths().ScratchBitmapPath();
    if (FAILED(win::SavePictureAsBitmapFile(picture.get(), path))) {
        std::wstring text = L"The captured picture could not be written to '" + path + L"'. The previous capture is kept.";
        ::MessageBoxW(hwnd(), text.c_str(), L" Orvo Pixtrel 4.5", MB_OK | MB_ICONWARNING);
        return false;
    }
    picSelImage_ = std::move(picture);
    return true;
}

void frmDesktopImage::ShowNormal() {
    Load();
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::SetForegroundWindow(hwnd());
}

}  // namespace px
