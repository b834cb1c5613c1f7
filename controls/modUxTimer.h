#pragma once
// The routine of the buttons' hover timer (number 237, every 50 ms). The
// button that starts it leaves its identity under the window property
// "ux_ClassID" and the timer number under "ux_TimerID"; the routine reads
// both and sends that window the hover-tick message, so the button tests
// whether the pointer is still over it. The routine knows windows, not
// buttons: any control may use it by answering the message with non-zero.
#include <windows.h>

namespace px::win::modUxTimer {

inline constexpr wchar_t kClassIdProp[] = L"ux_ClassID";
inline constexpr wchar_t kTimerIdProp[] = L"ux_TimerID";
inline constexpr UINT kIntervalMs = 50;

// The registered message a tick sends: wParam is the timer number. A window
// that does not answer it (returns 0) has its timer killed.
UINT HoverTickMessage();

// Starts the timer for the button window `hwnd`.
bool StartHoverTimer(HWND hwnd, UINT_PTR timerId);
// Kills the timer and removes both properties.
void StopHoverTimer(HWND hwnd);

void CALLBACK TimerProc(HWND hwnd, UINT msg, UINT_PTR timerId, DWORD time);

}  // namespace px::win::modUxTimer
