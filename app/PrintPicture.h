#pragma once
// Prints a picture on the default printer: scaled from the screen's
// resolution to the printer's, centred on the page, with a black outline.
#include <windows.h>

#include <string>

namespace px {

enum class PrintResult { Printed, NoDefaultPrinter, Failed };

PrintResult PrintPictureCentred(HBITMAP picture, const std::wstring& documentName);

}  // namespace px
