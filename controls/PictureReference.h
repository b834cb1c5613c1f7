#pragma once
// Pictures named in a control's persisted properties: "res:<id>" is an
// RCDATA resource of the program, a path starting with one backslash lies
// under the program folder, anything else is a file path.
#include <string>

#include "base/win/OlePicture.h"

namespace px::win {

OlePicture LoadPictureReference(const std::wstring& reference);

}  // namespace px::win
