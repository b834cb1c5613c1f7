#pragma once
// One running instance per logged-on user: a named mutex in the session's
// namespace carrying the user's name.
#include <windows.h>

#include "base/win/ScopedWin.h"

namespace px {

class SingleInstance {
public:
    // True when this process is the first instance for the user; the mutex is
    // then held until this object goes away (at process end).
    bool Acquire();

private:
    win::ScopedHandle mutex_;
};

}  // namespace px
