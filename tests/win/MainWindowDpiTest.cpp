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
#include "tests/win/support/DpiCheck.h"

namespace px {
namespace {

using test::PumpPending;

TEST(MainWindowDpi, EveryLabelAndCheckBoxFitsItsTextAtTheWindowsDpi) {
    // The program declares per-monitor awareness in its manifest; the test program does so here.
    test::UsePerMonitorDpi();
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
    const std::vector<test::Misfit> misfits =
        test::TextThatDoesNotFit(main.hwnd(), static_cast<int>(main.Dpi()), measured, test::Measured::LabelsAndChecks);
    EXPECT_GE(measured, 12) << "the labels and check boxes were found";
    for (const test::Misfit& m : misfits)
        ADD_FAILURE() << px::Narrow(m.text) << ": needs " << m.need.cx << " x " << m.need.cy << ", has " << m.have.cx
                      << " x " << m.have.cy << " at " << main.Dpi() << " dpi";

    // The options column grows with the DPI: its last check box still lies above "Hide Main Window".
    RECT lastCheck;
    ::GetWindowRect(::GetDlgItem(main.hwnd(), frmDesktopImage::IdChkAutoMagnifier), &lastCheck);
    EXPECT_EQ(lastCheck.bottom - lastCheck.top, main.Scale(20));

    EXPECT_TRUE(test::SaveWindowShot(main.hwnd(), L"MainWindow", main.Dpi()));
    main.Hide();
    PumpPending();
}

}  // namespace
}  // namespace px
