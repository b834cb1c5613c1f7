#include "capture/CurrentCapture.h"

#include <cstdlib>
#include <utility>

#include "base/win/SavePicture.h"
#include "base/win/StagedFile.h"
#include "capture/ClipboardBitmap.h"

namespace px {

namespace {
// A bitmap file as a picture in the display's format, as the capture is held.
win::ScopedBitmap LoadBitmapFile(const std::wstring& path) {
    win::ScopedBitmap dib(static_cast<HBITMAP>(
        ::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    return dib ? CopyBitmap(dib.get()) : win::ScopedBitmap{};
}

}  // namespace

CurrentCapture::CurrentCapture(std::wstring scratchPath) : scratchPath_(std::move(scratchPath)) {}

SIZE CurrentCapture::Size() const {
    BITMAP bm{};
    if (!::GetObjectW(Picture(), sizeof(bm), &bm)) return {0, 0};
    return {bm.bmWidth, std::abs(bm.bmHeight)};
}

bool CurrentCapture::Replace(win::ScopedBitmap picture, std::wstring* error) {
    return Replace(Share(std::move(picture)), error);
}

bool CurrentCapture::Replace(SharedPicture picture, std::wstring* error) {
    if (!picture || !*picture) {
        if (error) *error = L"There is no picture.";
        return false;
    }
    const HRESULT hr = win::SavePictureAsBitmapFile(picture->get(), scratchPath_);
    if (FAILED(hr)) {
        if (error) *error = win::FileErrorText(hr);
        return false;
    }
    picture_ = std::move(picture);
    Changed();
    return true;
}

bool CurrentCapture::ReloadFromScratch() {
    win::ScopedBitmap loaded = LoadBitmapFile(scratchPath_);
    if (!loaded) return false;
    picture_ = Share(std::move(loaded));
    Changed();
    return true;
}

}  // namespace px
