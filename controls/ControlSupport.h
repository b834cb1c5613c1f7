#pragma once
// Small pieces both controls need: finding the control object behind a
// window handle, and the keyboard shift state their notifications carry.
#include <windows.h>

#include <cwchar>

#include "base/win/Window.h"

namespace px::win {

// The object of class T behind `hwnd` when it is a window of `className` in
// this process; nullptr for any other window.
template <typename T>
T* ControlFromHandle(HWND hwnd, const wchar_t* className) {
    if (!hwnd || !::IsWindow(hwnd)) return nullptr;
    wchar_t cls[64] = {};
    if (!::GetClassNameW(hwnd, cls, 64) || std::wcscmp(cls, className) != 0) return nullptr;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ::GetCurrentProcessId()) return nullptr;
    return dynamic_cast<T*>(reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
}

// 1 shift, 2 ctrl, 4 alt, as the notifications report it.
inline int ShiftState() {
    return (::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

}  // namespace px::win
