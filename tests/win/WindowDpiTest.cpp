// The program's smaller windows at the DPI the platform gives them: each lays
// out from 96-DPI units, no control's text is wider or taller than the control
// (measured in the control's own font), a screenshot of each goes into the
// artefacts, and each lays out again, without leaking, when told its DPI
// changed. scripts/test.sh runs these with the prefix at 96 and at 144 dpi.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "app/frmAbout.h"
#include "app/zoom.h"
#include "base/Dpi.h"
#include "base/Text.h"
#include "capture/CurrentCapture.h"
#include "export/SaveJPEG.h"
#include "export/fMain.h"
#include "imaging/frmBrightnessAndContrast.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/DpiCheck.h"
#include "tests/win/support/GdiCount.h"

namespace px {
namespace {

using test::PumpPending;

// A capture larger than the brightness window's scrolling area, in stripes.
win::ScopedBitmap StripedPicture(int w, int h) {
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap bmp(::CreateCompatibleBitmap(screen, w, h));
    win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    win::ScopedSelectObject sel(dc.get(), bmp.get());
    for (int x = 0; x < w; x += 40) {
        RECT r{x, 0, x + 20, h};
        win::ScopedBrush b(::CreateSolidBrush(RGB((x * 7) % 256, 120, 200)));
        ::FillRect(dc.get(), &r, b.get());
    }
    return bmp;
}

// One window under test: how to open and close it, and one control whose
// 96-DPI width tells whether the window laid itself out for a DPI.
struct Subject {
    const wchar_t* name;
    std::function<win::Form&()> open;
    SIZE client96;  // {0, 0}: the client is not a plain 96-DPI size
    const wchar_t* probeClass;
    const wchar_t* probeText;
    int probeWidth96;
};

class DpiScalingWindows : public ::testing::Test {
protected:
    void SetUp() override {
        test::UsePerMonitorDpi();
        wchar_t tmp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, tmp);
        dir_ = std::filesystem::path(tmp) / L"pixtrel-window-dpi";
        std::filesystem::create_directories(dir_);
        capture_ = std::make_unique<CurrentCapture>((dir_ / L"scratch.bmp").wstring());
        ASSERT_TRUE(capture_->Replace(StripedPicture(900, 700)));
        owner_ = std::make_unique<test::TestHost>(0, 0, 200, 100);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::vector<Subject> Subjects() {
        HWND owner = owner_->hwnd();
        CurrentCapture& c = *capture_;
        return {
            {L"BrightnessAndContrast",
             [owner, &c]() -> win::Form& {
                 frmBrightnessAndContrast::Get().Show(owner, c);
                 return frmBrightnessAndContrast::Get();
             },
             {720, 620}, L"uxButtons_H", L"Apply", 100},
            {L"Zoom", []() -> win::Form& {
                 zoom::Get().Show();
                 return zoom::Get();
             },
             {0, 0}, L"uxButtons_H", L"Reset Zoom", 96},
            {L"SaveJPEG",
             [owner, &c]() -> win::Form& {
                 SaveJPEG::Get().Show(owner, c);
                 return SaveJPEG::Get();
             },
             {380, 172}, L"Static", L"Low Quality", 130},
            {L"Annotation", [&c]() -> win::Form& {
                 Form1::Get().Show(c);
                 return Form1::Get();
             },
             {0, 0}, L"uxButtons_H", L"Apply", 80},
            {L"GifOptions",
             [owner, &c]() -> win::Form& {
                 fMain::Get().Show(owner, c);
                 return fMain::Get();
             },
             {720, 504}, L"Button", L"Dithering Options", 272},
            {L"About", []() -> win::Form& {
                 frmAbout::Get().Show(SW_SHOWNORMAL);
                 return frmAbout::Get();
             },
             {420, 300}, L"uxButtons_H", L"Close", 96},
        };
    }

    static int ProbeWidth(HWND form, const Subject& s) {
        HWND probe = ::FindWindowExW(form, nullptr, s.probeClass, s.probeText);
        RECT r{};
        if (probe) ::GetWindowRect(probe, &r);
        return probe ? r.right - r.left : -1;
    }

    static void TellDpi(HWND form, UINT dpi) {
        RECT r;
        ::GetWindowRect(form, &r);
        ::SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
        PumpPending();
    }

    std::filesystem::path dir_;
    std::unique_ptr<CurrentCapture> capture_;
    std::unique_ptr<test::TestHost> owner_;
};

TEST_F(DpiScalingWindows, EveryWindowFitsItsTextAtTheSystemDpiAndLeavesAScreenshot) {
    win::ScopedGetDC screen(nullptr);
    const int systemDpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    for (const Subject& s : Subjects()) {
        SCOPED_TRACE(px::Narrow(s.name));
        win::Form& form = s.open();
        ASSERT_TRUE(form.IsLoaded());
        PumpPending();
        const int dpi = static_cast<int>(form.Dpi());
        EXPECT_EQ(dpi, systemDpi) << "the window lays itself out for the DPI of its monitor";
        RECT client, frame, work{};
        ::GetClientRect(form.hwnd(), &client);
        ::GetWindowRect(form.hwnd(), &frame);
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_LE(frame.bottom - frame.top, work.bottom - work.top) << "no taller than the work area";
        EXPECT_GE(frame.top, work.top) << "its caption on the screen";
        if (s.client96.cx) {
            EXPECT_EQ(client.right, ScaleForDpi(s.client96.cx, dpi));
            // Only a window that had to fit the work area may be shorter.
            if (frame.bottom - frame.top < work.bottom - work.top) {
                EXPECT_EQ(client.bottom, ScaleForDpi(s.client96.cy, dpi));
            } else {
                EXPECT_LE(client.bottom, ScaleForDpi(s.client96.cy, dpi));
            }
        }
        EXPECT_EQ(ProbeWidth(form.hwnd(), s), ScaleForDpi(s.probeWidth96, dpi)) << px::Narrow(s.probeText);
        // Nothing lies beyond the client area (a button below the window's edge cannot be pressed).
        for (HWND c = ::GetWindow(form.hwnd(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            RECT r;
            ::GetWindowRect(c, &r);
            ::MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&r), 2);
            if (!::IsWindowVisible(c)) continue;
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
                << px::Narrow(win::GetWindowTextString(c)) << " at " << r.left << "," << r.top << " " << r.right << ","
                << r.bottom;
        }
        int measured = 0;
        for (const test::Misfit& m : test::TextThatDoesNotFit(form.hwnd(), dpi, measured))
            ADD_FAILURE() << px::Narrow(m.text) << ": needs " << m.need.cx << " x " << m.need.cy << ", has "
                          << m.have.cx << " x " << m.have.cy << " at " << dpi << " dpi";
        EXPECT_GE(measured, 2) << "the window's text controls were found";
        EXPECT_TRUE(test::SaveWindowShot(form.hwnd(), s.name, form.Dpi()));
        form.Unload();
        PumpPending();
    }
}

// Pictures keep one screen pixel per picture pixel at every DPI: the zoom
// tool's display and the brightness window's preview do not grow.
TEST_F(DpiScalingWindows, MagnifiedDisplayAndPreviewStayInPixels) {
    zoom& z = zoom::Get();
    z.Show();
    ASSERT_TRUE(z.IsLoaded());
    RECT display, client;
    ::GetClientRect(z.Display().hwnd(), &display);
    ::GetClientRect(z.hwnd(), &client);
    EXPECT_EQ(display.right, 200);
    EXPECT_EQ(display.bottom, 200);
    const int dpi = static_cast<int>(z.Dpi());
    // The row of read-out and buttons (208 units) or the display with its margins, whichever is wider.
    EXPECT_EQ(client.right, std::max(200 + 2 * ScaleForDpi(4, dpi), ScaleForDpi(208, dpi)));
    RECT bar;
    ::GetWindowRect(::GetDlgItem(z.hwnd(), zoom::IdHScroll1), &bar);
    EXPECT_EQ(bar.bottom - bar.top, ScaleForDpi(17, dpi));
    z.Unload();

    frmBrightnessAndContrast& bc = frmBrightnessAndContrast::Get();
    bc.Show(owner_->hwnd(), *capture_);
    ASSERT_TRUE(bc.IsLoaded());
    RECT pic;
    ::GetClientRect(bc.picResult(), &pic);
    EXPECT_EQ(pic.right, 900);
    EXPECT_EQ(pic.bottom, 700);
    bc.Unload();
    PumpPending();
}

// WM_DPICHANGED: every window moves its controls to the new DPI and back, and
// the fonts it makes for each DPI do not pile up.
TEST_F(DpiScalingWindows, EveryWindowLaysOutAgainOnADpiChangeWithoutLeaking) {
    for (const Subject& s : Subjects()) {
        SCOPED_TRACE(px::Narrow(s.name));
        win::Form& form = s.open();
        ASSERT_TRUE(form.IsLoaded());
        PumpPending();
        const UINT dpi = form.Dpi();
        const UINT other = dpi == 192 ? 96 : 192;
        TellDpi(form.hwnd(), other);
        EXPECT_EQ(ProbeWidth(form.hwnd(), s), ScaleForDpi(s.probeWidth96, static_cast<int>(other)));
        int measured = 0;
        EXPECT_TRUE(test::TextThatDoesNotFit(form.hwnd(), static_cast<int>(other), measured).empty());
        TellDpi(form.hwnd(), dpi);
        EXPECT_EQ(ProbeWidth(form.hwnd(), s), ScaleForDpi(s.probeWidth96, static_cast<int>(dpi)));
        const long before = test::GdiObjectCount();
        for (int i = 0; i < 5; ++i) {
            TellDpi(form.hwnd(), other);
            TellDpi(form.hwnd(), dpi);
        }
        EXPECT_EQ(test::GdiObjectCount(), before);
        form.Unload();
        PumpPending();
    }
}

}  // namespace
}  // namespace px
