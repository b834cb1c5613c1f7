#include "app/core/ProgramPaths.h"

namespace px {

std::wstring FolderOfModulePath(const std::wstring& modulePath) {
    auto pos = modulePath.find_last_of(L"\\/");
    if (pos == std::wstring::npos) return L".";
    // A module at a drive's root ("C:\x.exe") has the folder "C:" so that "C:" + "\Data\" is right.
    return modulePath.substr(0, pos);
}

}  // namespace px
