#include "imaging/core/BrightnessContrast.h"

#include <cstring>

#include "base/Rounding.h"

namespace px {

uint8_t cBrightnessContrast::MapByte(uint8_t s, double contrast, int32_t brightness) {
    double v = (static_cast<double>(s) - 128.0) * contrast + 128.0;
    v = v + static_cast<double>(brightness);
    if (v > 255.0) v = 255.0;
    if (v < 0.0) v = 0.0;
    return static_cast<uint8_t>(RoundHalfEven(v));
}

std::array<uint8_t, 256> cBrightnessContrast::MakeTable(double contrast, int32_t brightness) {
    std::array<uint8_t, 256> t{};
    for (int s = 0; s < 256; ++s) t[static_cast<size_t>(s)] = MapByte(static_cast<uint8_t>(s), contrast, brightness);
    return t;
}

void cBrightnessContrast::process(const Dib24Bits& src, const Dib24Bits& dst) const {
    if (src.empty()) return;
    const View2D<uint8_t> s = src.view();
    const View2D<uint8_t> d = dst.view();
    const size_t bps = s.width();
    if (bps < 3) return;
    // x = 0, 3, 6, ... while x <= bps - 3: the bytes covered are 0 .. 3 * (bps / 3) - 1.
    const size_t covered = 3 * (bps / 3);
    const size_t rows = s.height();
    const auto table = MakeTable(contrast_, brightness_);

    if (covered <= d.width() && rows <= d.height()) {
        // Every byte is independent, so rows in memory order give the same bytes.
        for (size_t y = 0; y < rows; ++y) {
            const uint8_t* in = s.row(y).data();
            uint8_t* out = d.row(y).data();
            size_t i = 0;
            // Eight bytes a step: one wide load and store around eight lookups.
            for (; i + 8 <= covered; i += 8) {
                uint64_t word;
                std::memcpy(&word, in + i, 8);
                uint64_t mapped = 0;
                for (int k = 0; k < 8; ++k) mapped |= uint64_t{table[(word >> (8 * k)) & 0xFF]} << (8 * k);
                std::memcpy(out + i, &mapped, 8);
            }
            for (; i < covered; ++i) out[i] = table[in[i]];
        }
        return;
    }
    // The destination is too small: go column by column as described, so the
    // error arrives after exactly the bytes that precede it in that order.
    for (size_t x = 0; x + 3 <= bps; x += 3) {
        for (size_t y = 0; y < rows; ++y) {
            for (size_t k = 0; k < 3; ++k) d(y, x + k) = table[s(y, x + k)];
        }
    }
}

double ContrastFromSlider(int32_t value) {
    if (value == 100) return 1.0;
    if (value > 100) return 1.0 + static_cast<double>(value - 100) / 25.0;
    return 1.0 / (5.0 - static_cast<double>(value) / 25.0);
}

int32_t BrightnessFromSlider(int32_t value) { return value - 255; }

}  // namespace px
