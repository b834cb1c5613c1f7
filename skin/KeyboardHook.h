#pragma once
// Alt+key menu accelerators for managed windows: one WH_KEYBOARD hook per
// thread, installed while any frame manager of the thread is registered. The
// first registered manager whose window is active gets the key; a non-zero
// answer swallows it. Managers are held weakly: each unregisters in Detach.
// The hook knows a manager only as an identity and two calls, so it does not
// depend on the manager's class.
#include <cstddef>
#include <functional>

namespace veltrim {

struct AcceleratorTarget {
    const void* id = nullptr;             // the manager; registering it twice keeps the first
    std::function<bool()> isActive;       // is its window the active one?
    std::function<long(long)> altKey;     // the key's answer; non-zero swallows the key
};

void RegisterAcceleratorTarget(AcceleratorTarget target);
void UnregisterAcceleratorTarget(const void* id);

// For leak tests: hooks and registered managers of the calling thread.
bool KeyboardHookInstalled();
size_t AcceleratorTargetCount();

}  // namespace veltrim
