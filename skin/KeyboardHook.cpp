#include "skin/KeyboardHook.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "skin/core/NCFrameGeometry.h"

namespace veltrim {

namespace {

struct ThreadHook {
    HHOOK hook = nullptr;
    std::vector<AcceleratorTarget> managers;  // registration order, no duplicates
};
thread_local ThreadHook* t_hook = nullptr;

LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp) {
    ThreadHook* state = t_hook;
    HHOOK hook = state ? state->hook : nullptr;
    bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    if (state && core::IsAltAccelerator(code, static_cast<uint32_t>(lp), static_cast<int>(wp), ctrl)) {
        for (const AcceleratorTarget& m : state->managers) {
            if (!m.isActive()) continue;
            // The answer may unregister the manager and so destroy its entry: call a copy.
            const std::function<long(long)> altKey = m.altKey;
            if (altKey(static_cast<long>(wp)) != 0) return 1;
            break;
        }
    }
    return ::CallNextHookEx(hook, code, wp, lp);
}

}  // namespace

void RegisterAcceleratorTarget(AcceleratorTarget target) {
    if (!target.id || !target.isActive || !target.altKey) return;
    if (!t_hook) t_hook = new ThreadHook();
    auto& list = t_hook->managers;
    const void* id = target.id;
    if (std::any_of(list.begin(), list.end(), [id](const AcceleratorTarget& t) { return t.id == id; })) return;
    list.push_back(std::move(target));
    if (!t_hook->hook) t_hook->hook = ::SetWindowsHookExW(WH_KEYBOARD, &KeyboardProc, nullptr, ::GetCurrentThreadId());
}

void UnregisterAcceleratorTarget(const void* id) {
    if (!t_hook) return;
    auto& list = t_hook->managers;
    list.erase(std::remove_if(list.begin(), list.end(), [id](const AcceleratorTarget& t) { return t.id == id; }),
               list.end());
    if (list.empty()) {
        if (t_hook->hook) ::UnhookWindowsHookEx(t_hook->hook);
        delete t_hook;
        t_hook = nullptr;
    }
}

bool KeyboardHookInstalled() { return t_hook && t_hook->hook; }
size_t AcceleratorTargetCount() { return t_hook ? t_hook->managers.size() : 0; }

}  // namespace veltrim
