#pragma once
// Fixed tables of baseline JPEG: the zig-zag scan and the example quantisation
// tables of the standard, scaled by a 1..100 quality the way the common
// encoders do, so a quality means the same file size and fidelity here as
// elsewhere.
#include <array>
#include <cstdint>

namespace px::jpeg {

// kZigzag[k] is the row-major index (row = vertical frequency) of the k-th
// coefficient in scan order.
inline constexpr std::array<uint8_t, 64> kZigzag = [] {
    std::array<uint8_t, 64> order{};
    int row = 0, col = 0;
    for (int k = 0; k < 64; ++k) {
        order[k] = static_cast<uint8_t>(row * 8 + col);
        if ((row + col) % 2 == 0) {  // moving up and to the right
            if (col == 7) ++row;
            else if (row == 0) ++col;
            else { --row; ++col; }
        } else {  // moving down and to the left
            if (row == 7) ++col;
            else if (col == 0) ++row;
            else { ++row; --col; }
        }
    }
    return order;
}();

// Example tables of the standard (luminance, chrominance), row-major.
extern const std::array<uint8_t, 64> kLuminanceQuant;
extern const std::array<uint8_t, 64> kChrominanceQuant;

// Percentage applied to the example tables for a quality of 1..100:
// 5000/q below 50, 200 - 2q from 50 on (50 keeps the tables as they are).
int QualityScale(int quality);

// The example table scaled for `quality`, each entry limited to 1..255 so the
// table fits the 8-bit precision of baseline files. Row-major.
std::array<uint8_t, 64> ScaledQuantTable(const std::array<uint8_t, 64>& base, int quality);

// Smallest AC coefficient, in quantisation steps, worth keeping for each
// entry of `quant` (row-major). Zeroing a coefficient just over half a step
// costs (2x - 1) step^2 of squared error but saves its whole code (often 5 to
// 10 bits), so where steps are small it pays to zero a little more than plain
// rounding does: 0.5 + 8 / step^2, at most 0.55 (measured on screenshots: a
// bigger margin saves more bytes but costs fidelity at high qualities).
std::array<float, 64> KeepThresholds(const std::array<uint8_t, 64>& quant);

}  // namespace px::jpeg
