// Program entry: bring up the platform services the windows rely on, show the
// start window and run the message loop until the last window is unloaded.
#include <windows.h>
#include <commctrl.h>

#include "app/Start.h"
#include "app/TestDump.h"
#include "app/frmAbout.h"
#include "base/Error.h"
#include "base/win/ScopedWin.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    px::SetErrorModuleName("Orvo-Pixtrel");
    ::SetProcessDPIAware();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    px::win::ScopedOle ole;  // picture objects, clipboard, colour and file dialogs

    // TEST HOOK: the end-to-end tests read the address the About link opens.
    if (px::testhook::BrowserRecording()) px::frmAbout::Get().SetBrowserLauncher(px::testhook::RecordBrowserAddress);

    if (!px::Start::Get().Startup()) return 0;
    return px::win::Form::RunMessageLoop();
}
