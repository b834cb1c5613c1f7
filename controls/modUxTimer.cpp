#include "controls/modUxTimer.h"

namespace px::win::modUxTimer {

UINT HoverTickMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"ux_HoverTick");
    return message;
}

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
    auto target = static_cast<HWND>(::GetPropW(hwnd, kClassIdProp));
    auto storedId = reinterpret_cast<UINT_PTR>(::GetPropW(hwnd, kTimerIdProp));
    // Nobody to ask, or nobody answers: a timer without its owner would tick forever.
    if (!target || storedId != timerId || !::IsWindow(target) ||
        ::SendMessageW(target, HoverTickMessage(), storedId, 0) == 0)
        ::KillTimer(hwnd, timerId);
}

}  // namespace px::win::modUxTimer
