#pragma once
// Colour values of the controls: 0x00BBGGRR, or an OLE system colour
// (0x80000000 | system colour index) that the window side translates.
#include <cstdint>

namespace px::controls {

inline constexpr uint32_t kSysColorFlag = 0x80000000u;
inline constexpr int kMaxSysColorIndex = 30;  // COLOR_MENUBAR

inline constexpr bool IsSystemColor(uint32_t c) { return (c & 0xFF000000u) == kSysColorFlag; }
inline constexpr int SystemColorIndex(uint32_t c) { return static_cast<int>(c & 0xFFu); }
// Plain RGB values and system colours that exist; anything else (palette
// indices, junk in the high byte) is refused by the colour properties.
inline constexpr bool IsValidOleColor(uint32_t c) {
    return (c & 0xFF000000u) == 0 || (IsSystemColor(c) && (c & 0x00FFFF00u) == 0 && SystemColorIndex(c) <= kMaxSysColorIndex);
}

inline constexpr uint32_t Rgb(int r, int g, int b) {
    return static_cast<uint32_t>(r & 0xFF) | (static_cast<uint32_t>(g & 0xFF) << 8) | (static_cast<uint32_t>(b & 0xFF) << 16);
}
inline constexpr int RedOf(uint32_t c) { return static_cast<int>(c & 0xFF); }
inline constexpr int GreenOf(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int BlueOf(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }

// weight of b out of 255; channels truncate like every integer division here.
inline constexpr uint32_t Blend(uint32_t a, uint32_t b, int weight) {
    auto mix = [weight](int x, int y) { return (x * (255 - weight) + y * weight) / 255; };
    return Rgb(mix(RedOf(a), RedOf(b)), mix(GreenOf(a), GreenOf(b)), mix(BlueOf(a), BlueOf(b)));
}
inline constexpr uint32_t Lighten(uint32_t c, int amount) { return Blend(c, 0xFFFFFFu, amount); }
inline constexpr uint32_t Darken(uint32_t c, int amount) { return Blend(c, 0, amount); }

}  // namespace px::controls
