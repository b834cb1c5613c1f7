#pragma once
// The capture key the user asked to keep for every start: a DWORD under the
// user's own registry key (app/core/CaptureKey says how it is written). Without
// one, or with one that does not hold a usable key, the start takes Print Screen.
#include <optional>

#include "app/core/CaptureKey.h"

namespace px {

std::optional<CaptureKey> LoadStoredCaptureKey();
bool StoreCaptureKey(CaptureKey key);
// Deletes the value; true when there is none afterwards.
bool ForgetStoredCaptureKey();

}  // namespace px
