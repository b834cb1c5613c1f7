#pragma once
// A picture decoded by the platform's picture objects (bitmap, GIF, icon,
// JPEG), as the program's windows and picture boxes hold them.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "base/win/ScopedWin.h"

namespace px::win {

class OlePicture {
public:
    OlePicture() = default;
    static OlePicture FromFile(const std::wstring& path);
    static OlePicture FromResource(HMODULE module, int id, const wchar_t* type = RT_RCDATA);
    static OlePicture FromMemory(const void* data, size_t size);

    explicit operator bool() const noexcept { return static_cast<bool>(pic_); }
    SIZE PixelSize() const;  // in screen pixels
    // Draws the whole picture into dest (stretched to it).
    void Render(HDC hdc, const RECT& dest) const;
    IPicture* get() const noexcept { return pic_.get(); }

private:
    ScopedComPtr<IPicture> pic_;
};

}  // namespace px::win
