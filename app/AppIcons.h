#pragma once
// The program's small icons, kept as .ico data in the resources: as picture
// objects for the buttons and as icon handles for menus and the tray.
#include <windows.h>

#include "base/win/OlePicture.h"
#include "base/win/ScopedWin.h"

namespace px {

win::OlePicture IconPicture(int resourceId);
// The entry of the .ico data closest to `size` pixels, as an icon handle.
win::ScopedIcon IconHandle(int resourceId, int size = 16);

}  // namespace px
