#include "app/ColorDialog.h"

#include <commdlg.h>

namespace px::win {

std::optional<COLORREF> ChooseColorDialog(HWND owner, COLORREF initial, bool fullOpen, COLORREF (&customColors)[16]) {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.rgbResult = initial;
    cc.lpCustColors = customColors;
    cc.Flags = CC_RGBINIT | (fullOpen ? CC_FULLOPEN : 0);
    if (!::ChooseColorW(&cc)) return std::nullopt;
    return cc.rgbResult;
}

}  // namespace px::win
