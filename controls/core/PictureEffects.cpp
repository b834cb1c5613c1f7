#include "controls/core/PictureEffects.h"

namespace px::controls {

namespace {
inline uint32_t Pack(int r, int g, int b) {
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
}
// Toward `to` by weight/255, truncating.
inline int Toward(int c, int to, int weight) { return (c * (255 - weight) + to * weight) / 255; }
}  // namespace

uint32_t EffectOnPixel(uint32_t p, PixelEffect effect) {
    int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    switch (effect) {
    case PixelEffect::Darken: return Pack(Toward(r, 0, 64), Toward(g, 0, 64), Toward(b, 0, 64));
    case PixelEffect::Lighten: return Pack(Toward(r, 255, 80), Toward(g, 255, 80), Toward(b, 255, 80));
    case PixelEffect::Invert: return Pack(255 - r, 255 - g, 255 - b);
    case PixelEffect::Grey: {
        int y = (r * 30 + g * 59 + b * 11) / 100;
        return Pack(y, y, y);
    }
    case PixelEffect::Disabled: {
        // Greyed and washed out toward white, as disabled pictures look.
        int y = Toward((r * 30 + g * 59 + b * 11) / 100, 255, 128);
        return Pack(y, y, y);
    }
    default: return p & 0xFFFFFFu;
    }
}

void ApplyPixelEffect(const View2D<uint32_t>& pixels, PixelEffect effect, std::optional<uint32_t> key) {
    if (effect == PixelEffect::None) return;
    for (size_t y = 0; y < pixels.height(); ++y) {
        for (uint32_t& p : pixels.row(y)) {
            if (key && (p & 0xFFFFFFu) == (*key & 0xFFFFFFu)) continue;
            p = EffectOnPixel(p, effect);
        }
    }
}

}  // namespace px::controls
