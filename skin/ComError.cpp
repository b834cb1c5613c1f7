#include "skin/ComError.h"

#include "base/win/ScopedWin.h"

namespace veltrim {

std::wstring ErrorSource(std::wstring_view className) {
    // The process's own module: the client, not this DLL.
    wchar_t path[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring name = path;
    if (auto slash = name.find_last_of(L"\\/"); slash != std::wstring::npos) name.erase(0, slash + 1);
    if (auto dot = name.find_last_of(L'.'); dot != std::wstring::npos) name.erase(dot);
    return name + L"." + std::wstring(className);
}

HRESULT RaiseError(std::wstring_view className, REFIID iid, std::wstring_view description, HRESULT number) {
    px::win::ScopedComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(::CreateErrorInfo(create.put()))) {
        std::wstring source = ErrorSource(className);
        std::wstring text(description);
        create->SetGUID(iid);
        create->SetSource(source.data());
        create->SetDescription(text.data());
        px::win::ScopedComPtr<IErrorInfo> info;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.put()))))
            ::SetErrorInfo(0, info.get());
    }
    return number;
}

HRESULT NotImplemented(std::wstring_view className, REFIID iid, std::wstring_view member) {
    return RaiseError(className, iid, std::wstring(member) + L" is not available in this version of the library.",
                      E_NOTIMPL);
}

}  // namespace veltrim
