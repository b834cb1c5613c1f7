#include "app/SingleInstance.h"

#include <string>

namespace px {

bool SingleInstance::Acquire() {
    wchar_t user[256] = L"";
    DWORD len = static_cast<DWORD>(std::size(user));
    if (!::GetUserNameW(user, &len)) user[0] = L'\0';
    std::wstring name = L"Local\\OrvoPixtrel.SingleInstance." + std::wstring(user);
    HANDLE h = ::CreateMutexW(nullptr, FALSE, name.c_str());
    DWORD err = ::GetLastError();
    if (!h) return true;  // cannot tell: let the user work rather than refuse to start
    mutex_.reset(h);
    return err != ERROR_ALREADY_EXISTS;
}

}  // namespace px
