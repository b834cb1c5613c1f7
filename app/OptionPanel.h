#pragma once
// A plain child window that holds one group of option buttons: the buttons
// form their group per container, so every group of the main window needs a
// container of its own. It paints its back colour and nothing else.
#include <windows.h>

#include "base/win/ScopedWin.h"
#include "base/win/Window.h"

namespace px {

class OptionPanel : public win::Window {
public:
    bool Create(HWND parent, int x, int y, int w, int h, COLORREF back);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    win::ScopedBrush back_;
};

}  // namespace px
