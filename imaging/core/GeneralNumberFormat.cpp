#include "imaging/core/GeneralNumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace px {

namespace {

constexpr int kSignificantDigits = 15;

}  // namespace

std::string FormatGeneralNumber(double value, const std::string& decimalSeparator) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0.0) return "0";  // no "-0"

    // The shortest digits that give the value back, then 15 significant digits
    // rounded half away from zero: 1 / 1.04 (0.9615384615384615) shows as
    // 0.961538461538462. to_chars is used because it ignores the C locale.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    const std::string text(buf, res.ptr);  // d.ddddde[+-]xx
    const size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + (e > 1 ? text.substr(2, e - 2) : std::string());
    int exponent = std::atoi(text.c_str() + e + 1);
    if (static_cast<int>(digits.size()) > kSignificantDigits) {
        const bool up = digits[kSignificantDigits] >= '5';
        digits.resize(kSignificantDigits);
        if (up) {
            int i = kSignificantDigits - 1;
            while (i >= 0 && digits[static_cast<size_t>(i)] == '9') digits[static_cast<size_t>(i--)] = '0';
            if (i >= 0) {
                ++digits[static_cast<size_t>(i)];
            } else {
                digits.insert(digits.begin(), '1');
                digits.pop_back();
                ++exponent;
            }
        }
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = value < 0 ? "-" : "";
    if (exponent < -4 || exponent >= kSignificantDigits) {
        out += digits.substr(0, 1);
        if (digits.size() > 1) out += decimalSeparator + digits.substr(1);
        const int a = std::abs(exponent);
        out += exponent < 0 ? "E-" : "E+";
        if (a < 10) out += '0';
        out += std::to_string(a);
    } else if (exponent < 0) {
        out += "0" + decimalSeparator + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
        const size_t intDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits + std::string(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits) + decimalSeparator + digits.substr(intDigits);
        }
    }
    return out;
}

}  // namespace px
