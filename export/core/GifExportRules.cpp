#include "export/core/GifExportRules.h"

#include <algorithm>

namespace px {

std::wstring LeadingDigits(std::wstring_view text) {
    size_t n = 0;
    while (n < text.size() && text[n] >= L'0' && text[n] <= L'9') ++n;
    return std::wstring(text.substr(0, n));
}

int32_t DigitsValue(std::wstring_view text, int32_t lo, int32_t hi) {
    const std::wstring digits = LeadingDigits(text);
    if (digits.empty()) return lo;
    int64_t value = 0;
    for (wchar_t c : digits) {
        value = value * 10 + (c - L'0');
        if (value > hi) return hi;  // stops before any overflow
    }
    return static_cast<int32_t>(std::clamp<int64_t>(value, lo, hi));
}

uint8_t VirtualDepth(int32_t maxCount, uint8_t current) noexcept {
    if (maxCount < 3) return 1;
    if (maxCount <= 16) return 4;
    if (maxCount <= 256) return 8;
    return current;
}

int64_t Bitmap24FileSize(int32_t width, int32_t height) noexcept {
    return (int64_t{width} * 24 + 31) / 32 * 4 * height + 54;
}

int64_t PaletteBitmapFileSize(uint8_t depth, int32_t width, int32_t height) noexcept {
    return (int64_t{1} << depth) * 4 + 54 + (int64_t{depth} * width + 31) / 32 * 4 * height;
}

std::wstring FormatThousands(int64_t value) {
    if (value == 0) return {};
    const bool negative = value < 0;
    // The magnitude unsigned: the most negative value has no positive counterpart.
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::wstring digits = std::to_wstring(magnitude);
    std::wstring out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(L',');
        out.push_back(digits[i]);
    }
    return negative ? L"-" + out : out;
}

std::wstring FormatZoom(int32_t factor) { return std::to_wstring(int64_t{factor} * 100) + L"%"; }

}  // namespace px
