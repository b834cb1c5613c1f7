#pragma once
// What the JPEG encoder is given (the picture, the settings) and where its
// bytes go, apart from the encoder so that its internal parts share them.
#include <cstddef>
#include <cstdint>

namespace px::jpeg {

enum class Subsampling : int32_t {
    Chroma420 = 0,  // Cb and Cr at half width and half height
    Chroma444 = 1,  // full-resolution colour
};

struct Picture {
    const uint8_t* bits = nullptr;  // blue-green-red pixels
    int32_t width = 0;
    int32_t height = 0;
    ptrdiff_t stride = 0;  // bytes from one row in memory to the next, >= 3 * width
    bool bottomUp = false;  // first row in memory is the bottom row of the picture
};

struct Settings {
    int32_t quality = 75;  // 1..100, higher is better fidelity and bigger files
    Subsampling subsampling = Subsampling::Chroma420;
    // JFIF density: unit 0 (aspect ratio only), 1 (per inch) or 2 (per cm); 1..65535 each way.
    int32_t densityUnit = 0;
    int32_t xDensity = 1;
    int32_t yDensity = 1;
    // Bytes the coefficient store may take; 0: as many as the picture's pixels (3 per pixel).
    size_t memoryLimit = 0;
    // Threads coding bands of the picture side by side, each band a restart
    // interval; 0: one per processor on pictures of a megapixel and more,
    // else 1 (the file is then the same on every machine).
    int32_t threads = 0;
};

// Where the encoded bytes go, in order, in pieces of up to 64 KiB.
class Sink {
public:
    virtual ~Sink() = default;
    virtual bool Write(const uint8_t* data, size_t size) = 0;
};

}  // namespace px::jpeg
