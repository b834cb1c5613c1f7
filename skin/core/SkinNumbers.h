#pragma once
// Values in stored skin text, independent of the user's regional settings:
// integers and colours as signed decimals, single-precision numbers and font
// sizes with "." as the decimal separator, booleans as "yes"/"no". The
// platform's variant conversions follow the locale (with "," as separator
// "2.5" would read as 25), so nothing here goes through them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace px {

std::string FormatInteger(int32_t value);
// Shortest text that reads back as the same float, never with an exponent.
std::string FormatSingle(float value);
std::string FormatBoolean(bool value);
// A font size kept as the font object keeps it (points x 10000) written as
// points: 82500 -> "8.25", 100000 -> "10".
std::string FormatFontSize(int64_t sizeTenThousandths);

// Each parse takes the text with surrounding spaces, tabs and line breaks
// and gives nullopt when it is not a finite number in range. Integers accept
// a decimal fraction, rounded ties to even ("12.5" -> 12).
std::optional<int32_t> ParseInteger(std::string_view text);
std::optional<float> ParseSingle(std::string_view text);
// True exactly when the text, trimmed of spaces and upper-cased, is "YES".
bool ParseBoolean(std::string_view text);
// Points to points x 10000; negative sizes and sizes past 2^31 points fail.
std::optional<int64_t> ParseFontSize(std::string_view text);

}  // namespace px
