// Entry of the Windows tests: the same platform set-up as the program
// (common controls, OLE) so window classes behave as they do in the product.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "base/Error.h"
#include "base/win/ScopedWin.h"

int wmain(int argc, wchar_t** argv) {
    px::SetErrorModuleName("Orvo-Pixtrel");
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    px::win::ScopedOle ole;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
