#include "export/core/JpegTables.h"

#include <algorithm>

namespace px::jpeg {

const std::array<uint8_t, 64> kLuminanceQuant = {
    16, 11, 10, 16, 24,  40,  51,  61,   //
    12, 12, 14, 19, 26,  58,  60,  55,   //
    14, 13, 16, 24, 40,  57,  69,  56,   //
    14, 17, 22, 29, 51,  87,  80,  62,   //
    18, 22, 37, 56, 68,  109, 103, 77,   //
    24, 35, 55, 64, 81,  104, 113, 92,   //
    49, 64, 78, 87, 103, 121, 120, 101,  //
    72, 92, 95, 98, 112, 100, 103, 99,
};

const std::array<uint8_t, 64> kChrominanceQuant = {
    17, 18, 24, 47, 99, 99, 99, 99,  //
    18, 21, 26, 66, 99, 99, 99, 99,  //
    24, 26, 56, 99, 99, 99, 99, 99,  //
    47, 66, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99,
};

int QualityScale(int quality) {
    quality = std::clamp(quality, 1, 100);
    return quality < 50 ? 5000 / quality : 200 - 2 * quality;
}

std::array<uint8_t, 64> ScaledQuantTable(const std::array<uint8_t, 64>& base, int quality) {
    const int scale = QualityScale(quality);
    std::array<uint8_t, 64> table{};
    for (size_t i = 0; i < 64; ++i) {
        const int q = (base[i] * scale + 50) / 100;
        table[i] = static_cast<uint8_t>(std::clamp(q, 1, 255));
    }
    return table;
}

std::array<float, 64> KeepThresholds(const std::array<uint8_t, 64>& quant) {
    std::array<float, 64> keep{};
    for (size_t i = 0; i < 64; ++i) {
        const float step = quant[i];
        keep[i] = std::min(0.55f, 0.5f + 8.0f / (step * step));
    }
    return keep;
}

}  // namespace px::jpeg
