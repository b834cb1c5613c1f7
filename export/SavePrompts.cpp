#include "export/SavePrompts.h"

#include <commdlg.h>

#include <vector>

namespace px {

int ShowMessageBox(HWND owner, const std::wstring& text, UINT type) {
    return ::MessageBoxW(owner, text.c_str(), kMessageBoxTitle, type);
}

std::wstring ShowSaveAsDialog(const SaveDialogRequest& request) {
    // "text|pattern|" pairs become the dialog's NUL-separated list.
    std::wstring filter = request.filter;
    for (wchar_t& c : filter) {
        if (c == L'|') c = L'\0';
    }
    filter.push_back(L'\0');
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = request.owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    ofn.Flags = request.flags | OFN_EXPLORER;
    if (!::GetSaveFileNameW(&ofn)) return {};
    return file.data();
}

}  // namespace px
