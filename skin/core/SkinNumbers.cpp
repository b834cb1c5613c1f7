#include "skin/core/SkinNumbers.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "base/Rounding.h"

namespace px {
namespace {

std::string_view TrimWhitespace(std::string_view s) {
    constexpr std::string_view ws = " \t\r\n";
    const size_t first = s.find_first_not_of(ws);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(ws) - first + 1);
}

// A whole decimal number (no hexadecimal, infinity or NaN), optionally
// signed with "+" or "-", in T's finite range.
template <typename T>
std::optional<T> ParseDecimal(std::string_view text) {
    text = TrimWhitespace(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    T value{};
    const char* const end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

std::string FormatInteger(int32_t value) {
    char buffer[16];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, ptr) : std::string("0");
}

std::string FormatSingle(float value) {
    char buffer[128];  // the longest fixed float (the smallest subnormal) is about 50 characters
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc()) return "0";
    return std::string(buffer, ptr);
}

std::string FormatBoolean(bool value) { return value ? "yes" : "no"; }

std::string FormatFontSize(int64_t size) {
    const bool negative = size < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(size) : static_cast<uint64_t>(size);
    std::string text;
    if (negative) text.push_back('-');
    text += std::to_string(magnitude / 10000);
    uint64_t fraction = magnitude % 10000;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction);
        digits.insert(0, 4 - digits.size(), '0');
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text;
}

std::optional<int32_t> ParseInteger(std::string_view text) {
    const std::optional<double> v = ParseDecimal<double>(text);
    if (!v) return std::nullopt;
    const double r = RoundHalfEvenF(*v);
    if (r < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
        r > static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    return static_cast<int32_t>(r);
}

std::optional<float> ParseSingle(std::string_view text) { return ParseDecimal<float>(text); }

bool ParseBoolean(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.size() != 3) return false;
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return upper(text[0]) == 'Y' && upper(text[1]) == 'E' && upper(text[2]) == 'S';
}

std::optional<int64_t> ParseFontSize(std::string_view text) {
    const std::optional<double> v = ParseDecimal<double>(text);
    if (!v || *v < 0.0 || *v >= 2147483648.0) return std::nullopt;
    return static_cast<int64_t>(RoundHalfEvenF(*v * 10000.0));
}

}  // namespace px
