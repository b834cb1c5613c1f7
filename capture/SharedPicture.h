#pragma once
// A picture several owners read and none changes: the current capture, and the
// same pixels kept by the clipboard's owner for the formats it has offered but
// not made yet. Sharing it spares a copy of every capture on the hot path.
#include <memory>

#include "base/win/ScopedWin.h"

namespace px {

using SharedPicture = std::shared_ptr<const win::ScopedBitmap>;

inline SharedPicture Share(win::ScopedBitmap picture) {
    return picture ? std::make_shared<const win::ScopedBitmap>(std::move(picture)) : SharedPicture{};
}

}  // namespace px
