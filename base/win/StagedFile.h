#pragma once
// A file written beside its target under a temporary name and moved over the
// target only when complete. A failed or abandoned write removes the temporary
// file and leaves whatever the target held before untouched; no half-written
// picture is ever left under the user's name.
#include <windows.h>

#include <string>

namespace px::win {

// `path` in the form the wide file calls accept at any length: an absolute
// drive or network path of MAX_PATH characters or more gets the "\\?\" prefix
// (with "/" turned into "\"); anything else is returned as it is.
std::wstring ExtendedLengthPath(const std::wstring& path);

// The system's one-line text for an error (a Win32 code, or an HRESULT,
// perhaps wrapping one), without the trailing line break; "Error N" (an
// HRESULT in hexadecimal) when the system has no text for it, never empty.
std::wstring FileErrorText(HRESULT error);

class StagedFile {
public:
    // Creates the temporary file in the target's folder. When that fails
    // (missing or read-only folder, full disk) Ready() is false and Error()
    // holds the platform's error code.
    explicit StagedFile(const std::wstring& target);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    bool Ready() const noexcept { return !temporary_.empty(); }
    DWORD Error() const noexcept { return error_; }
    // The open handle (write access, no sharing), or INVALID_HANDLE_VALUE.
    HANDLE Handle() const noexcept { return handle_; }
    // The temporary file's name, for writers that open the file themselves
    // (after CloseHandle).
    const std::wstring& TemporaryPath() const noexcept { return temporary_; }
    void CloseHandle();
    // Closes the file and moves it over the target. 0 on success; otherwise the
    // error code, the temporary file is removed and the target is untouched.
    DWORD Commit();

private:
    std::wstring target_;
    std::wstring temporary_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    DWORD error_ = 0;
};

}  // namespace px::win
