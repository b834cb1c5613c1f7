#pragma once
// Brightness and contrast over a 24-bit buffer: every colour byte s becomes
// (s - 128) x Contrast + 128 + Brightness, clamped to 0..255 and rounded
// ties to even. Portable so the arithmetic is tested natively.
#include <array>
#include <cstdint>
#include <string>

#include "imaging/core/Dib24.h"

namespace px {

class cBrightnessContrast {
public:
    int32_t Brightness() const noexcept { return brightness_; }
    void Brightness(int32_t value) noexcept { brightness_ = value; }
    double Contrast() const noexcept { return contrast_; }
    void Contrast(double value) noexcept { contrast_ = value; }

    // Source unchanged; the destination needs at least the source's
    // BytesPerScanLine and Height, otherwise SubscriptOutOfRange (9) is raised
    // with the bytes before the failing one already written (column by column).
    // Row padding is processed like colour bytes wherever a whole step of 3 fits.
    void process(const Dib24Bits& src, const Dib24Bits& dst) const;

    // The exact per-byte arithmetic, in double precision.
    static uint8_t MapByte(uint8_t s, double contrast, int32_t brightness);
    // MapByte for all 256 values; process uses it so each byte is one lookup.
    static std::array<uint8_t, 256> MakeTable(double contrast, int32_t brightness);

private:
    int32_t brightness_ = 0;
    double contrast_ = 0.0;
};

// out[i] = table[in[i]] for `count` bytes (AVX2 when the processor has it).
void MapBytes(const uint8_t* in, uint8_t* out, size_t count, const std::array<uint8_t, 256>& table);

// Slider mappings of the brightness and contrast window.
double ContrastFromSlider(int32_t value);    // 0 -> 0.2, 100 -> 1, 200 -> 5
int32_t BrightnessFromSlider(int32_t value);  // value - 255

}  // namespace px
