#include "base/win/StagedFile.h"

#include <atomic>
#include <cwchar>

namespace px::win {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The folder part of `path` including its last separator; empty for a bare name.
std::wstring FolderWithSeparator(const std::wstring& path) {
    for (size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1]) || (i == 2 && path[1] == L':')) return path.substr(0, i);
    return {};
}

std::wstring TemporaryName(const std::wstring& folder, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    wchar_t name[64];
    std::swprintf(name, 64, L"~px%04lx%08llx%02x.tmp", ::GetCurrentProcessId() & 0xFFFF,
                  static_cast<unsigned long long>(::GetTickCount64()) + counter++, attempt & 0xFF);
    return folder + name;
}

}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& path) {
    if (path.size() < MAX_PATH) return path;
    if (path.rfind(L"\\\\?\\", 0) == 0) return path;
    std::wstring p = path;
    for (wchar_t& c : p)
        if (c == L'/') c = L'\\';
    const bool drive = p.size() > 2 && p[1] == L':' && p[2] == L'\\';
    const bool unc = p.rfind(L"\\\\", 0) == 0;
    if (drive) return L"\\\\?\\" + p;
    if (unc) return L"\\\\?\\UNC\\" + p.substr(2);
    return path;
}

namespace {
std::wstring UnknownErrorText(DWORD code) {
    wchar_t text[32];
    if (code <= 0xFFFF)
        std::swprintf(text, 32, L"Error %lu", static_cast<unsigned long>(code));
    else
        std::swprintf(text, 32, L"Error 0x%08lX", static_cast<unsigned long>(code));
    return text;
}
}  // namespace

std::wstring FileErrorText(HRESULT error) {
    if (HRESULT_FACILITY(error) == FACILITY_WIN32) error = HRESULT_CODE(error);
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    // A code the system has no text for still gets a reason the user can quote.
    std::wstring s = n ? std::wstring(text, n) : UnknownErrorText(static_cast<DWORD>(error));
    if (text) ::LocalFree(text);
    while (!s.empty() && (s.back() == L'\n' || s.back() == L'\r' || s.back() == L' ')) s.pop_back();
    return s;
}

StagedFile::StagedFile(const std::wstring& target) : target_(ExtendedLengthPath(target)) {
    const std::wstring folder = FolderWithSeparator(target_);
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        const std::wstring name = TemporaryName(folder, attempt);
        const HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            handle_ = h;
            temporary_ = name;
            error_ = 0;
            return;
        }
        error_ = ::GetLastError();
        if (error_ != ERROR_FILE_EXISTS && error_ != ERROR_ALREADY_EXISTS) return;
    }
}

StagedFile::~StagedFile() {
    CloseHandle();
    if (!temporary_.empty()) ::DeleteFileW(temporary_.c_str());
}

void StagedFile::CloseHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

DWORD StagedFile::Commit() {
    if (temporary_.empty()) return error_ ? error_ : ERROR_INVALID_HANDLE;
    if (handle_ != INVALID_HANDLE_VALUE && !::FlushFileBuffers(handle_)) {
        error_ = ::GetLastError();
        return error_;
    }
    CloseHandle();
    if (!::MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error_ = ::GetLastError();
        return error_ ? error_ : ERROR_WRITE_FAULT;
    }
    temporary_.clear();
    return 0;
}

}  // namespace px::win
