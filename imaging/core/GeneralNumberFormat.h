#pragma once
// The general number format for values shown to the user: up to 15
// significant digits, no trailing zeros, an exponent ("1E-05", "1E+15") only
// for very small or large values, and the user's decimal separator.
#include <string>

namespace px {

std::string FormatGeneralNumber(double value, const std::string& decimalSeparator = ".");

}  // namespace px
