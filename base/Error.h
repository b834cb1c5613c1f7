#pragma once
// The error every class of the system raises: a number, a source and a
// description. The source is the module's name without extension, a dot and
// the class name; portable code only knows the class, so the module part is
// filled in by the process (SetErrorModuleName) at start-up.
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace px {

namespace ErrorNumber {
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t SubscriptOutOfRange = 9;
inline constexpr int32_t DivisionByZero = 11;
inline constexpr int32_t CantPerformOperation = 17;  // raised with the platform's error text
inline constexpr int32_t InvalidPropertyValue = 380;
inline constexpr int32_t LibraryError = static_cast<int32_t>(0x80040619u);  // veltrim's own errors
}  // namespace ErrorNumber

// Module name used in error sources ("Orvo-Pixtrel", "veltrim"); empty until set.
void SetErrorModuleName(std::string name);
const std::string& ErrorModuleName();

class Error : public std::runtime_error {
public:
    // className may be empty for language-level errors (overflow, division by zero).
    Error(int32_t number, std::string className, std::string description)
        : std::runtime_error(description),
          number_(number),
          className_(std::move(className)),
          description_(std::move(description)) {}

    int32_t number() const noexcept { return number_; }
    const std::string& className() const noexcept { return className_; }
    const std::string& description() const noexcept { return description_; }
    // "<module>.<class>", e.g. "Orvo-Pixtrel.cDIBSection".
    std::string source() const {
        return className_.empty() ? ErrorModuleName() : ErrorModuleName() + "." + className_;
    }

private:
    int32_t number_;
    std::string className_;
    std::string description_;
};

}  // namespace px
