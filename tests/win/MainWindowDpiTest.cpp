// The main window at the DPI the platform gives it: every label's and check
// box's text fits its control when measured in the control's own font, and a
// screenshot of the window goes into the artefacts. scripts/test.sh runs this
// in processes of its own (the main window's tray icon stays up for the rest
// of a process), with the prefix at 96 and at 144 dpi (150 %).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/frmDesktopImage.h"
#include "base/Text.h"
#include "base/win/SavePicture.h"
#include "tests/win/ControlTestHost.h"

namespace px {
namespace {

using test::PumpPending;

std::wstring ArtefactPath(const std::wstring& name) {
    const char* dir = std::getenv("PIXTREL_ARTEFACTS");
    std::wstring d = dir && *dir ? px::Widen(dir) : L".";
    if (d.back() != L'/' && d.back() != L'\\') d += L'\\';
    return d + name;
}

// The window as the screen shows it (the part on the screen).
win::ScopedBitmap WindowShot(HWND hwnd) {
    RECT w, screenRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}, r;
    ::GetWindowRect(hwnd, &w);
    ::IntersectRect(&r, &w, &screenRect);
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap shot(::CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top));
    win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    win::ScopedSelectObject sel(dc.get(), shot.get());
    ::BitBlt(dc.get(), 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    return shot;
}

struct Misfit {
    std::wstring text;
    SIZE need, have;
};

// Labels and check boxes whose text, in their own font, is wider or taller than they are.
std::vector<Misfit> TextThatDoesNotFit(HWND parent, int dpi, int& measured) {
    struct Ctx {
        int dpi;
        int* measured;
        std::vector<Misfit> misfits;
    } ctx{dpi, &measured, {}};
    ::EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            auto& c = *reinterpret_cast<Ctx*>(lp);
            wchar_t cls[32] = L"";
            ::GetClassNameW(h, cls, 32);
            const std::wstring kind = cls;
            const std::wstring text = win::GetWindowTextString(h);
            if ((kind != L"Static" && kind != L"Button") || text.empty() || !::IsWindowVisible(h)) return TRUE;
            const bool check = kind == L"Button";
            win::ScopedGetDC dc(h);
            HFONT font = reinterpret_cast<HFONT>(::SendMessageW(h, WM_GETFONT, 0, 0));
            win::ScopedSelectObject sel(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
            SIZE need{};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &need);
            if (check) need.cx += ::MulDiv(13 + 4, c.dpi, 96);  // the box and its gap
            RECT rc;
            ::GetClientRect(h, &rc);
            ++*c.measured;
            if (need.cx > rc.right || need.cy > rc.bottom) c.misfits.push_back({text, need, {rc.right, rc.bottom}});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.misfits;
}

TEST(MainWindowDpi, EveryLabelAndCheckBoxFitsItsTextAtTheWindowsDpi) {
    // The program declares per-monitor awareness in its manifest; the test program does so here.
    using SetContextFn = HANDLE(WINAPI*)(HANDLE);
    if (auto fn = reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext"))))
        fn(reinterpret_cast<HANDLE>(-4));  // per monitor, version 2
    const std::wstring data = Application::Get().Paths().folder + L"\\Data";
    ::CreateDirectoryW(data.c_str(), nullptr);
    frmDesktopImage& main = frmDesktopImage::Get();
    main.ShowNormal();
    ::RedrawWindow(main.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
    RECT frame, work{};
    ::GetWindowRect(main.hwnd(), &frame);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(frame.right - frame.left, work.right - work.left) << "no wider than the work area";
    EXPECT_LE(frame.bottom - frame.top, work.bottom - work.top) << "no taller than the work area";
    win::ScopedGetDC screen(nullptr);
    const int systemDpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    EXPECT_EQ(static_cast<int>(main.Dpi()), systemDpi) << "the window lays itself out for the DPI of its monitor";

    int measured = 0;
    const std::vector<Misfit> misfits = TextThatDoesNotFit(main.hwnd(), static_cast<int>(main.Dpi()), measured);
    EXPECT_GE(measured, 12) << "the labels and check boxes were found";
    for (const Misfit& m : misfits)
        ADD_FAILURE() << px::Narrow(m.text) << ": needs " << m.need.cx << " x " << m.need.cy << ", has " << m.have.cx
                      << " x " << m.have.cy << " at " << main.Dpi() << " dpi";

    // The options column grows with the DPI: its last check box still lies above "Hide Main Window".
    RECT lastCheck;
    ::GetWindowRect(::GetDlgItem(main.hwnd(), frmDesktopImage::IdChkAutoMagnifier), &lastCheck);
    EXPECT_EQ(lastCheck.bottom - lastCheck.top, main.Scale(20));

    const win::ScopedBitmap shot = WindowShot(main.hwnd());
    const std::wstring file = ArtefactPath(L"MainWindowAt" + std::to_wstring(main.Dpi()) + L"dpi.bmp");
    EXPECT_TRUE(SUCCEEDED(win::SavePictureAsBitmapFile(shot.get(), file)));
    main.Hide();
    PumpPending();
}

}  // namespace
}  // namespace px
