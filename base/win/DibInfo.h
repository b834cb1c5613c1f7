#pragma once
// The header every pixel buffer of ours is described by: uncompressed rows,
// the top row first (a negative height), as the buffers hold them in memory.
#include <windows.h>

namespace px::win {

inline BITMAPINFO TopDownDibInfo(int width, int height, WORD bitCount = 32) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = bitCount;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

}  // namespace px::win
