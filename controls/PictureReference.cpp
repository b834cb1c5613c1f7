#include "controls/PictureReference.h"

#include "base/win/Window.h"

#include <cwchar>

namespace px::win {

namespace {
std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH * 2] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring p(path, n);
    size_t slash = p.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : p.substr(0, slash);
}
}  // namespace

OlePicture LoadPictureReference(const std::wstring& ref) {
    if (ref.empty()) return {};
    if (ref.rfind(L"res:", 0) == 0) {
        wchar_t* end = nullptr;
        long id = std::wcstol(ref.c_str() + 4, &end, 10);
        if (*end != 0 || id <= 0 || id > 0xFFFF) return {};
        return OlePicture::FromResource(Window::Instance(), static_cast<int>(id));
    }
    bool underProgram = ref[0] == L'\\' && (ref.size() < 2 || ref[1] != L'\\');
    return OlePicture::FromFile(underProgram ? ProgramFolder() + ref : ref);
}

}  // namespace px::win
