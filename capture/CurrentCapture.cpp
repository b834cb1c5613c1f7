#include "capture/CurrentCapture.h"

#include <cstdlib>
#include <utility>

#include "base/win/SavePicture.h"
#include "capture/ClipboardBitmap.h"

namespace px {

namespace {
// A bitmap file as a picture in the display's format, as the capture is held.
win::ScopedBitmap LoadBitmapFile(const std::wstring& path) {
    win::ScopedBitmap dib(static_cast<HBITMAP>(
        ::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    return dib ? CopyBitmap(dib.get()) : win::ScopedBitmap{};
}

std::wstring SystemMessage(HRESULT hr) {
    // File errors come wrapped; the system's text is that of the plain error code.
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32) hr = HRESULT_CODE(hr);
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring s = n ? std::wstring(text, n) : std::wstring();
    if (text) ::LocalFree(text);
    while (!s.empty() && (s.back() == L'\n' || s.back() == L'\r' || s.back() == L' ')) s.pop_back();
    return s;
}
}  // namespace

CurrentCapture::CurrentCapture(std::wstring scratchPath) : scratchPath_(std::move(scratchPath)) {}

SIZE CurrentCapture::Size() const {
    BITMAP bm{};
    if (!picture_ || !::GetObjectW(picture_.get(), sizeof(bm), &bm)) return {0, 0};
    return {bm.bmWidth, std::abs(bm.bmHeight)};
}

bool CurrentCapture::Replace(win::ScopedBitmap picture, std::wstring* error) {
    if (!picture) {
        if (error) *error = L"There is no picture.";
        return false;
    }
    const HRESULT hr = win::SavePictureAsBitmapFile(picture.get(), scratchPath_);
    if (FAILED(hr)) {
        if (error) *error = SystemMessage(hr);
        return false;
    }
    picture_ = std::move(picture);
    Changed();
    return true;
}

bool CurrentCapture::ReloadFromScratch() {
    win::ScopedBitmap loaded = LoadBitmapFile(scratchPath_);
    if (!loaded) return false;
    picture_ = std::move(loaded);
    Changed();
    return true;
}

}  // namespace px
