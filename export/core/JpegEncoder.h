#pragma once
// Baseline sequential JPEG (JFIF) encoder for 24-bit blue-green-red pictures.
//
// Two passes: the first converts, transforms and quantises the picture,
// counts the Huffman symbols and keeps them in a store; the second writes the
// file with Huffman tables made for those counts. Symbols are only kept for
// non-zero coefficients, so the store stays far below the picture's own size
// for ordinary screenshots. It may never grow past that size (noise at high
// qualities would take it there): then it is dropped and the second pass
// transforms the picture again, slower but in the same memory.
#include <cstddef>
#include <cstdint>

#include "export/core/JpegSettings.h"

namespace px::jpeg {

enum class EncodeResult {
    Ok,
    BadArgument,  // no pixels, size out of 1..65535, stride too small, a setting out of range
    OutOfMemory,
    WriteFailed,  // the sink refused bytes
};

// Whether Encode accepts these (it returns BadArgument otherwise).
bool IsValid(const Picture& picture, const Settings& settings);

EncodeResult Encode(const Picture& picture, const Settings& settings, Sink& sink);

}  // namespace px::jpeg
