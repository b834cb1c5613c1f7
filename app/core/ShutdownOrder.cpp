#include "app/core/ShutdownOrder.h"

#include <utility>

namespace px {

void ShutdownOrder::Register(ShutdownSlot slot, std::function<void()> action) {
    slots_[static_cast<size_t>(slot)].push_back(std::move(action));
}

void ShutdownOrder::Run() {
    for (auto& slot : slots_) {
        auto actions = std::exchange(slot, {});
        for (auto& a : actions) a();
    }
}

bool ShutdownOrder::Empty() const {
    for (auto& s : slots_)
        if (!s.empty()) return false;
    return true;
}

}  // namespace px
