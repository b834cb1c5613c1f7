#include "skin/KeyboardHook.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "skin/cNCCalcSize.h"
#include "skin/core/NCFrameGeometry.h"

namespace veltrim {

namespace {

struct ThreadHook {
    HHOOK hook = nullptr;
    std::vector<cNCCalcSize*> managers;  // registration order, no duplicates
};
thread_local ThreadHook* t_hook = nullptr;

LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp) {
    ThreadHook* state = t_hook;
    HHOOK hook = state ? state->hook : nullptr;
    bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    if (state && core::IsAltAccelerator(code, static_cast<uint32_t>(lp), static_cast<int>(wp), ctrl)) {
        for (cNCCalcSize* m : state->managers) {
            if (!m->IsWindowActive()) continue;
            // The answer may detach (and release) the manager: hold it for the call.
            m->AddRef();
            long answer = m->AltKeyAccelerator(static_cast<long>(wp));
            m->Release();
            if (answer != 0) return 1;
            break;
        }
    }
    return ::CallNextHookEx(hook, code, wp, lp);
}

}  // namespace

void RegisterAcceleratorTarget(cNCCalcSize* manager) {
    if (!t_hook) t_hook = new ThreadHook();
    auto& list = t_hook->managers;
    if (std::find(list.begin(), list.end(), manager) != list.end()) return;
    list.push_back(manager);
    if (!t_hook->hook) t_hook->hook = ::SetWindowsHookExW(WH_KEYBOARD, &KeyboardProc, nullptr, ::GetCurrentThreadId());
}

void UnregisterAcceleratorTarget(cNCCalcSize* manager) {
    if (!t_hook) return;
    auto& list = t_hook->managers;
    list.erase(std::remove(list.begin(), list.end(), manager), list.end());
    if (list.empty()) {
        if (t_hook->hook) ::UnhookWindowsHookEx(t_hook->hook);
        delete t_hook;
        t_hook = nullptr;
    }
}

bool KeyboardHookInstalled() { return t_hook && t_hook->hook; }
size_t AcceleratorTargetCount() { return t_hook ? t_hook->managers.size() : 0; }

}  // namespace veltrim
