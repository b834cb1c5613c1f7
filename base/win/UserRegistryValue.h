#pragma once
// One DWORD value under a key of the current user (HKEY_CURRENT_USER): read,
// written and deleted with the key opened only for the call. A value that is
// missing, or is not a four-byte DWORD, reads as nothing.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace px::win {

class UserRegistryValue {
public:
    UserRegistryValue(std::wstring subKey, std::wstring name) : subKey_(std::move(subKey)), name_(std::move(name)) {}

    std::optional<uint32_t> ReadDword() const;
    // Creates the key when needed.
    bool WriteDword(uint32_t value) const;
    // True when the value is gone afterwards (also when there was none). The key itself stays.
    bool Erase() const;

private:
    std::wstring subKey_, name_;
};

}  // namespace px::win
