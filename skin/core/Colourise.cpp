#include "skin/core/Colourise.h"

#include <algorithm>

#include "base/Rounding.h"
#include "imaging/core/PixelRounding.h"

namespace px {
namespace {

// x * 255 rounded ties to even, clamped; NaN gives 0.
uint8_t ChannelByte(float x) noexcept {
    const float v = x * 255.0f;
    if (!(v > 0.0f)) return 0;
    if (v >= 255.0f) return 255;
    return static_cast<uint8_t>(RoundHalfEvenNonNegative(v));
}

// The three low bytes of the key, compared with a pixel's B, G, R.
struct KeyBytes {
    uint8_t b, g, r;
    explicit KeyBytes(int32_t key) noexcept {
        const Rgb8 c = ColourBytes(key);
        b = c.b;
        g = c.g;
        r = c.r;
    }
    bool matches(const uint8_t* p) const noexcept { return p[0] == b && p[1] == g && p[2] == r; }
};

// Calls f(pixel) for every pixel of the buffer that is not key-coloured.
template <typename F>
void ForEachUnkeyedPixel(const Dib24Bits& bits, int32_t key, F&& f) {
    const View2D<uint8_t> v = bits.view();
    if (!v.data() || bits.width <= 0) return;
    const size_t colourBytes = 3 * static_cast<size_t>(bits.width);
    if (colourBytes > v.width()) throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");
    const KeyBytes k(key);
    for (size_t y = 0; y < v.height(); ++y) {
        uint8_t* p = v.row(y).data();
        uint8_t* const end = p + colourBytes;
        for (; p != end; p += 3)
            if (!k.matches(p)) f(p);
    }
}

}  // namespace

Hls RgbToHls(Rgb8 c) noexcept {
    const float r = static_cast<float>(c.r) / 255.0f;
    const float g = static_cast<float>(c.g) / 255.0f;
    const float b = static_cast<float>(c.b) / 255.0f;
    const float mx = std::max({r, g, b});
    const float mn = std::min({r, g, b});
    Hls out;
    out.l = LightnessOf(std::max({c.r, c.g, c.b}), std::min({c.r, c.g, c.b}));
    if (mx == mn) return out;
    const float d = mx - mn;
    out.s = out.l <= 0.5f ? d / (mx + mn) : d / (2.0f - mx - mn);
    if (r == mx)
        out.h = (g - b) / d;
    else if (g == mx)
        out.h = 2.0f + (b - r) / d;
    else
        out.h = 4.0f + (r - g) / d;
    return out;
}

Rgb8 HlsToRgb(float h, float l, float s) noexcept {
    if (s == 0.0f) {
        const uint8_t v = ChannelByte(l);
        return {v, v, v};
    }
    const float mn = l <= 0.5f ? l * (1.0f - s) : l - s * (1.0f - l);
    const float mx = 2.0f * l - mn;
    const float d = mx - mn;
    if (h > 5.0f) h -= 6.0f;  // magenta to red: the same colours, reached from below 0
    float r, g, b;
    if (h < 1.0f) {
        r = mx;
        if (h < 0.0f) {
            g = mn;
            b = mn - h * d;
        } else {
            b = mn;
            g = mn + h * d;
        }
    } else if (h < 3.0f) {
        g = mx;
        if (h < 2.0f) {
            b = mn;
            r = mn - (h - 2.0f) * d;
        } else {
            r = mn;
            b = mn + (h - 2.0f) * d;
        }
    } else {
        b = mx;
        if (h < 4.0f) {
            r = mn;
            g = mn - (h - 4.0f) * d;
        } else {
            g = mn;
            r = mn + (h - 4.0f) * d;
        }
    }
    return {ChannelByte(r), ChannelByte(g), ChannelByte(b)};
}

uint8_t AdjustChannel(uint8_t value, float percent) noexcept {
    const float factor = 1.0f + percent;
    // A float times a byte fits a double's mantissa: the product is exact.
    const double v = static_cast<double>(factor) * static_cast<double>(value);
    if (!(v > 0.0)) return 0;
    if (v >= 255.0) return 255;
    return static_cast<uint8_t>(RoundHalfEvenF(v));
}

std::optional<int32_t> ColouriseColour(int32_t colour, int32_t key, float hue, float saturation) noexcept {
    if (colour == key) return std::nullopt;
    return ColourValue(HlsToRgb(hue, RgbToHls(ColourBytes(colour)).l, saturation));
}

std::optional<int32_t> AdjustRGBColour(int32_t colour, int32_t key, float percentRed, float percentGreen,
                                       float percentBlue) noexcept {
    if (colour == key) return std::nullopt;
    const Rgb8 c = ColourBytes(colour);
    return ColourValue({AdjustChannel(c.r, percentRed), AdjustChannel(c.g, percentGreen), AdjustChannel(c.b, percentBlue)});
}

ColouriseTable::ColouriseTable(float hue, float saturation)
    : hue_(hue), saturation_(saturation), entries_(256 * 256, kNotYet) {}

void ColouriseBits(const Dib24Bits& bits, int32_t key, float hue, float saturation) {
    if (bits.empty()) return;
    ColouriseTable table(hue, saturation);
    ForEachUnkeyedPixel(bits, key, [&table](uint8_t* p) {
        const Rgb8 c = table(std::max({p[0], p[1], p[2]}), std::min({p[0], p[1], p[2]}));
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
    });
}

void AdjustRGBBits(const Dib24Bits& bits, int32_t key, float percentRed, float percentGreen, float percentBlue) {
    if (bits.empty()) return;
    std::array<uint8_t, 256> red{}, green{}, blue{};
    for (int v = 0; v < 256; ++v) {
        const auto i = static_cast<size_t>(v);
        red[i] = AdjustChannel(static_cast<uint8_t>(v), percentRed);
        green[i] = AdjustChannel(static_cast<uint8_t>(v), percentGreen);
        blue[i] = AdjustChannel(static_cast<uint8_t>(v), percentBlue);
    }
    ForEachUnkeyedPixel(bits, key, [&](uint8_t* p) {
        p[0] = blue[p[0]];
        p[1] = green[p[1]];
        p[2] = red[p[2]];
    });
}

EdgeColours GetEdgeColors(int32_t colour) noexcept {
    const Hls c = RgbToHls(ColourBytes(colour));
    const float s = c.s * 0.9f;
    float lighter, darker;
    if (c.l > 0.85f) {
        lighter = c.l - 0.2f;
        darker = c.l - 0.5f;
    } else if (c.l < 0.2f) {
        darker = c.l + 0.2f;
        lighter = c.l + 0.4f;
    } else {
        darker = std::max(c.l - 0.2f, 0.0f);
        lighter = std::min(c.l + 0.2f, 1.0f);
    }
    return {ColourValue(HlsToRgb(c.h, lighter, s)), ColourValue(HlsToRgb(c.h, darker, s))};
}

}  // namespace px
