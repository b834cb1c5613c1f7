#include "app/Application.h"

#include <windows.h>

#include <vector>

namespace px {

namespace {
std::wstring ModuleFileName() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) return std::wstring(buf.data(), n);
        buf.resize(buf.size() * 2);  // long paths: grow until it fits
    }
}
}  // namespace

Application& Application::Get() {
    static Application app;
    return app;
}

Application::Application() { paths_.folder = FolderOfModulePath(ModuleFileName()); }

}  // namespace px
