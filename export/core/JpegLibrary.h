#pragma once
// The JPEG library as the saving code drives it: the caller zero-fills a
// parameter block (JPEG_CORE_PROPERTIES), jpgInit puts the library's defaults
// in it, the caller fills in the picture and the file, jpgWrite writes the
// file and jpgFree releases what the library holds for the block. Each call
// returns JPG_OK (0) or one of the distinct JPG_ERR_ statuses below.
#include <cstddef>
#include <cstdint>

namespace px {

// Statuses.
inline constexpr int32_t JPG_OK = 0;
inline constexpr int32_t JPG_ERR_BAD_ARGUMENT = -1;     // no block, or a field out of range
inline constexpr int32_t JPG_ERR_NOT_INITIALISED = -2;  // the block did not go through jpgInit
inline constexpr int32_t JPG_ERR_BAD_MODE = -3;         // jpgWrite mode other than JFILE_WRITEWHOLEIMAGE
inline constexpr int32_t JPG_ERR_CREATE_FILE = -4;      // the file could not be created
inline constexpr int32_t JPG_ERR_WRITE_FILE = -5;       // writing failed; the partial file is removed
inline constexpr int32_t JPG_ERR_OUT_OF_MEMORY = -6;

// jpgWrite modes.
inline constexpr int32_t JFILE_WRITEWHOLEIMAGE = 8;

// Colour layouts.
inline constexpr int32_t JPG_COLOR_BGR = 1;    // DIBColor: blue, green, red bytes per pixel
inline constexpr int32_t JPG_COLOR_YCBCR = 2;  // JPGColor: JFIF Y, Cb, Cr

// Colour resolution in the file.
inline constexpr int32_t JPG_SUBSAMPLING_AUTO = 0;  // 4:4:4 from JPG_AUTO_444_QUALITY on, else 4:2:0
inline constexpr int32_t JPG_SUBSAMPLING_420 = 1;   // colour at half width and height
inline constexpr int32_t JPG_SUBSAMPLING_444 = 2;   // colour at full resolution
// Screenshots are full of coloured text and thin coloured lines that 4:2:0
// smears; from this quality on the extra file size of 4:4:4 (about 5%) buys
// far more fidelity than spending it on finer quantisation could.
inline constexpr int32_t JPG_AUTO_444_QUALITY = 90;

struct JPEG_CORE_PROPERTIES {
    // The picture in memory (defaults: 3 channels, JPG_COLOR_BGR).
    int32_t DIBWidth;
    int32_t DIBHeight;       // negative: rows lie bottom-up, the first row in memory is the bottom one
    const uint8_t* DIBBytes;  // first byte of the first row in memory
    int32_t DIBPadBytes;     // bytes after the 3 * DIBWidth pixel bytes of each row
    int32_t DIBChannels;
    int32_t DIBColor;
    // The file (defaults: 3 channels, JPG_COLOR_YCBCR, JPG_SUBSAMPLING_AUTO,
    // quality 75, no density unit with a 1:1 pixel aspect).
    int32_t JPGChannels;
    const char* JPGFile;  // full path, UTF-8, zero-terminated
    int32_t JPGWidth;     // must equal DIBWidth (no scaling)
    int32_t JPGHeight;    // must equal |DIBHeight|
    int32_t JPGColor;
    int32_t JPGSubsampling;
    int32_t jquality;          // 1..100, higher: better fidelity, bigger file
    int32_t JPGDensityUnit;    // 0: aspect ratio only, 1: dots per inch, 2: dots per centimetre
    int32_t JPGXDensity;       // 1..65535
    int32_t JPGYDensity;       // 1..65535
    uint32_t JPGSizeBytes;     // out: bytes written by the last jpgWrite (saturates at 0xFFFFFFFF)
    int32_t JPGReserved[4];    // zero; keeps the public part at 21 fields (84 bytes in a 32-bit build)
    // The library's working area.
    uint8_t jprops[20000];
};

// 64-bit layout: the two pointers take 8 bytes each and the block is padded
// to the pointer alignment; a 32-bit build gives 84 + 20000 bytes.
static_assert(offsetof(JPEG_CORE_PROPERTIES, DIBBytes) == 8);
static_assert(offsetof(JPEG_CORE_PROPERTIES, JPGFile) == (sizeof(void*) == 8 ? 32 : 28));
static_assert(offsetof(JPEG_CORE_PROPERTIES, jprops) == (sizeof(void*) == 8 ? 92 : 84));
static_assert(sizeof(JPEG_CORE_PROPERTIES) == (sizeof(void*) == 8 ? 20096 : 20084));

int32_t jpgInit(JPEG_CORE_PROPERTIES* props);
int32_t jpgWrite(JPEG_CORE_PROPERTIES* props, int32_t mode);
int32_t jpgFree(JPEG_CORE_PROPERTIES* props);

}  // namespace px
