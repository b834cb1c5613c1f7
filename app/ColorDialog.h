#pragma once
// The platform's colour chooser as the annotation windows open it.
#include <windows.h>

#include <optional>

namespace px::win {

// Shows the colour dialog over `owner` with `initial` preselected, opened fully
// when asked. The chosen colour, or nothing when the user cancels.
std::optional<COLORREF> ChooseColorDialog(HWND owner, COLORREF initial, bool fullOpen, COLORREF (&customColors)[16]);

}  // namespace px::win
