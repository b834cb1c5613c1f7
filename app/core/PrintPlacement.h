#pragma once
// Where the capture goes on the printed page.

namespace px {

struct PrintPlacement {
    long left, top, width, height;
};

// The capture measured in printer units (its pixels scaled from the screen's
// resolution to the printer's), centred on the printable area.
PrintPlacement CentrePictureOnPage(long pictureW, long pictureH, int screenDpiX, int screenDpiY, int printerDpiX,
                                   int printerDpiY, long scaleLeft, long scaleTop, long scaleW, long scaleH);

}  // namespace px
