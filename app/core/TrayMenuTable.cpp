#include "app/core/TrayMenuTable.h"

namespace px {

std::optional<TrayCommand> TrayCommandFromId(long id) {
    for (size_t i = 0; i < kTrayMenu.size(); ++i)
        if (TrayCommandId(static_cast<int>(i) + 1) == id) return kTrayMenu[i].command;
    return std::nullopt;
}

}  // namespace px
