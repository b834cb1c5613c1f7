#pragma once
// Alt+key menu accelerators for managed windows: one WH_KEYBOARD hook per
// thread, installed while any frame manager of the thread is registered. The
// first registered manager whose window is active gets the key; a non-zero
// answer swallows it. Managers are held weakly: each unregisters in Detach.
#include <cstddef>

namespace veltrim {

class cNCCalcSize;

void RegisterAcceleratorTarget(cNCCalcSize* manager);
void UnregisterAcceleratorTarget(cNCCalcSize* manager);

// For leak tests: hooks and registered managers of the calling thread.
bool KeyboardHookInstalled();
size_t AcceleratorTargetCount();

}  // namespace veltrim
