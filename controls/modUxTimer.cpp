#include "controls/modUxTimer.h"

#include "controls/uxButtons_H.h"

namespace px::win::modUxTimer {

bool StartHoverTimer(HWND hwnd, UINT_PTR timerId) {
    ::SetPropW(hwnd, kClassIdProp, reinterpret_cast<HANDLE>(hwnd));
    ::SetPropW(hwnd, kTimerIdProp, reinterpret_cast<HANDLE>(timerId));
    return ::SetTimer(hwnd, timerId, kIntervalMs, &TimerProc) != 0;
}

void StopHoverTimer(HWND hwnd) {
    auto timerId = reinterpret_cast<UINT_PTR>(::GetPropW(hwnd, kTimerIdProp));
    if (timerId) ::KillTimer(hwnd, timerId);
    ::RemovePropW(hwnd, kClassIdProp);
    ::RemovePropW(hwnd, kTimerIdProp);
}

void CALLBACK TimerProc(HWND hwnd, UINT, UINT_PTR timerId, DWORD) {
    auto* button = uxButtons_H::FromHandle(static_cast<HWND>(::GetPropW(hwnd, kClassIdProp)));
    auto storedId = reinterpret_cast<UINT_PTR>(::GetPropW(hwnd, kTimerIdProp));
    if (!button || storedId != timerId) {
        // Nobody to ask: a timer without its owner would tick forever.
        ::KillTimer(hwnd, timerId);
        return;
    }
    button->HoverTimerTick(storedId);
}

}  // namespace px::win::modUxTimer
