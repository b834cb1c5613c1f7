#include "base/win/UserRegistryValue.h"

#include "base/win/ScopedWin.h"

namespace px::win {

namespace {
ScopedRegKey Open(const std::wstring& subKey, REGSAM access) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return ScopedRegKey(key);
}
}  // namespace

std::optional<uint32_t> UserRegistryValue::ReadDword() const {
    const ScopedRegKey key = Open(subKey_, KEY_QUERY_VALUE);
    if (!key) return std::nullopt;
    DWORD type = REG_NONE, value = 0, size = sizeof(value);
    const LSTATUS status =
        ::RegQueryValueExW(key.get(), name_.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    // A larger value of another type gives ERROR_MORE_DATA: not ours either.
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) return std::nullopt;
    return value;
}

bool UserRegistryValue::WriteDword(uint32_t value) const {
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                          nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    const ScopedRegKey key(raw);
    const DWORD data = value;
    return ::RegSetValueExW(key.get(), name_.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                            sizeof(data)) == ERROR_SUCCESS;
}

bool UserRegistryValue::Erase() const {
    const ScopedRegKey key = Open(subKey_, KEY_SET_VALUE);
    if (!key) return true;  // no key, no value
    const LSTATUS status = ::RegDeleteValueW(key.get(), name_.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace px::win
