#pragma once
// Small rules of the main window's capture options and its printout.
#include <string>

namespace px {

// optShape index -> Shape: 0 "Rectangle", 1 "Square", 2 "Ellipse", 3 "Circle";
// any other index keeps "Rectangle".
std::wstring ShapeFromIndex(int index);

// Delay of "Capture Active Window" in milliseconds, read back from lblActive's
// text (whole seconds); text that is not a number gives 0, a stopped timer.
unsigned ActiveDelayMs(const std::wstring& labelText);

struct PrintPlacement {
    long left, top, width, height;
};

// The capture measured in printer units (its pixels scaled from the screen's
// resolution to the printer's), centred on the printable area.
PrintPlacement CentrePictureOnPage(long pictureW, long pictureH, int screenDpiX, int screenDpiY, int printerDpiX,
                                   int printerDpiY, long scaleLeft, long scaleTop, long scaleW, long scaleH);

}  // namespace px
