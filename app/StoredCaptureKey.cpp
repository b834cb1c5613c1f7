#include "app/StoredCaptureKey.h"

#include "base/win/UserRegistryValue.h"

namespace px {

namespace {
win::UserRegistryValue Value() { return {kSettingsRegistryKey, kCaptureKeyValueName}; }
}  // namespace

std::optional<CaptureKey> LoadStoredCaptureKey() {
    const auto raw = Value().ReadDword();
    return raw ? DecodeStoredCaptureKey(*raw) : std::nullopt;
}

bool StoreCaptureKey(CaptureKey key) { return Value().WriteDword(EncodeStoredCaptureKey(key)); }

bool ForgetStoredCaptureKey() { return Value().Erase(); }

}  // namespace px
