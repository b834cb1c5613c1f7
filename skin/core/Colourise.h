#pragma once
// Recolouring of a skin: colours and 24-bit pixels get a new hue and
// saturation while keeping their lightness, or have their red, green and blue
// channels scaled. Colours are 0x00BBGGRR values as the platform's colour
// translation gives them (-1 when it failed); the key colour (the skin's
// transparent colour, translated) is never changed. HLS values are single
// precision, hue in sextant units (red 0, yellow 1, green 2, cyan 3, blue 4,
// magenta 5).
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/core/Dib24.h"

namespace px {

struct Hls {
    float h = 0.0f;
    float l = 0.0f;
    float s = 0.0f;
};

struct Rgb8 {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb8&) const = default;
};

// Channel bytes of a 0x00BBGGRR value (the high byte is ignored).
constexpr Rgb8 ColourBytes(int32_t colour) noexcept {
    const auto c = static_cast<uint32_t>(colour);
    return {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>((c >> 8) & 0xFF), static_cast<uint8_t>((c >> 16) & 0xFF)};
}
constexpr int32_t ColourValue(Rgb8 c) noexcept {
    return static_cast<int32_t>(uint32_t{c.r} | uint32_t{c.g} << 8 | uint32_t{c.b} << 16);
}

// Lightness of a colour whose largest and smallest channel bytes are given:
// the one expression both conversions and the pixel tables share.
inline float LightnessOf(uint8_t maxByte, uint8_t minByte) noexcept {
    return (static_cast<float>(maxByte) / 255.0f + static_cast<float>(minByte) / 255.0f) / 2.0f;
}

Hls RgbToHls(Rgb8 c) noexcept;
// Hue above 5 is taken as hue - 6 (the same colour; the direct formula runs
// past the channel range there). Channels are rounded ties to even and
// clamped to 0..255, so any hue, saturation or lightness (also NaN) gives a
// valid colour.
Rgb8 HlsToRgb(float h, float l, float s) noexcept;

// One channel scaled by (1 + percent) in single precision, the product taken
// exactly, rounded ties to even and clamped to 0..255.
uint8_t AdjustChannel(uint8_t value, float percent) noexcept;

// The colour members: nullopt when the colour equals the key, which leaves
// the caller's colour as it was; otherwise the new 0x00BBGGRR value.
std::optional<int32_t> ColouriseColour(int32_t colour, int32_t key, float hue, float saturation) noexcept;
std::optional<int32_t> AdjustRGBColour(int32_t colour, int32_t key, float percentRed, float percentGreen,
                                       float percentBlue) noexcept;

// The pixel passes over a 24-bit buffer, in place. A pixel whose three bytes
// equal the key's three low bytes is skipped: with no key (-1) that is pure
// white, which skin bitmaps use as their cut-out colour.
void ColouriseBits(const Dib24Bits& bits, int32_t key, float hue, float saturation);
void AdjustRGBBits(const Dib24Bits& bits, int32_t key, float percentRed, float percentGreen, float percentBlue);

// The results of the colourise rule with one hue and saturation, by the
// largest and smallest channel byte of the source pixel (lightness depends on
// nothing else), so a pass does one lookup per pixel. Entries are computed
// on first use: a caption-sized bitmap needs a few hundred of the 32,896.
class ColouriseTable {
public:
    ColouriseTable(float hue, float saturation);
    Rgb8 operator()(uint8_t maxByte, uint8_t minByte) noexcept {
        uint32_t& e = entries_[static_cast<size_t>(maxByte) << 8 | minByte];
        if (e == kNotYet) e = Pack(HlsToRgb(hue_, LightnessOf(maxByte, minByte), saturation_));
        return {static_cast<uint8_t>(e), static_cast<uint8_t>(e >> 8), static_cast<uint8_t>(e >> 16)};
    }

private:
    static constexpr uint32_t kNotYet = 0xFFFFFFFFu;
    static uint32_t Pack(Rgb8 c) noexcept { return uint32_t{c.r} | uint32_t{c.g} << 8 | uint32_t{c.b} << 16; }
    float hue_;
    float saturation_;
    std::vector<uint32_t> entries_;  // index max * 256 + min
};

// Two shades of a colour for drawn edges: its saturation times 0.9 and the
// lightness moved by the fixed steps (down on light colours, up on dark ones).
struct EdgeColours {
    int32_t lighter = 0;
    int32_t darker = 0;
};
EdgeColours GetEdgeColors(int32_t colour) noexcept;

}  // namespace px
