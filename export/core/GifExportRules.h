#pragma once
// The GIF export window's arithmetic and text rules, without the window:
// digits typed into its number fields, the virtual colour depth after a
// dithering, the size estimates and the label formats, and the palette grid's
// marker position.
#include <cstdint>
#include <string>
#include <string_view>

namespace px {

// The leading digits of `text` (nothing else is kept), as typed or pasted.
std::wstring LeadingDigits(std::wstring_view text);
// The number the leading digits give, clamped to lo..hi without overflow;
// `lo` when there are none.
int32_t DigitsValue(std::wstring_view text, int32_t lo, int32_t hi);

// Virtual depth from the entries in use: below 3 gives 1, up to 16 gives 4,
// up to 256 gives 8; more leaves `current`.
uint8_t VirtualDepth(int32_t maxCount, uint8_t current) noexcept;
// Uncompressed bitmap file sizes: 24-bit, and with a palette of 2^depth entries.
int64_t Bitmap24FileSize(int32_t width, int32_t height) noexcept;
int64_t PaletteBitmapFileSize(uint8_t depth, int32_t width, int32_t height) noexcept;

// "#,#": thousands separated by commas; 0 shows as nothing.
std::wstring FormatThousands(int64_t value);
// The zoom label: factor 1 is "100%".
std::wstring FormatZoom(int32_t factor);

// The palette grid: 16 cells of 8 x 8 a row; the marker stands at the entry's cell.
struct GridPoint {
    int32_t left = 0;
    int32_t top = 0;
    bool operator==(const GridPoint&) const = default;
};
constexpr GridPoint MarkerPosition(int32_t entry) noexcept { return {8 * (entry % 16), 8 * (entry / 16)}; }
constexpr int32_t EntryAtMarker(GridPoint marker) noexcept { return (marker.top / 8) * 16 + marker.left / 8; }

}  // namespace px
