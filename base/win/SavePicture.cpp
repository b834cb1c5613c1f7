#include "base/win/SavePicture.h"

#include <vector>

#include "base/win/ScopedWin.h"
#include "base/win/StagedFile.h"

namespace px::win {

namespace {

HRESULT LastError() {
    DWORD e = ::GetLastError();
    return e ? HRESULT_FROM_WIN32(e) : E_FAIL;
}

}  // namespace

HRESULT SavePictureAsBitmapFile(HBITMAP bitmap, const std::wstring& path) {
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return E_INVALIDARG;

    const WORD bits = bm.bmBitsPixel * bm.bmPlanes <= 8 ? 8 : 24;
    const DWORD colours = bits == 8 ? 256 : 0;
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    auto* bih = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    bih->biSize = sizeof(BITMAPINFOHEADER);
    bih->biWidth = bm.bmWidth;
    bih->biHeight = bm.bmHeight;  // positive: rows bottom-up
    bih->biPlanes = 1;
    bih->biBitCount = bits;
    bih->biCompression = BI_RGB;
    const uint64_t stride = ((static_cast<uint64_t>(bm.bmWidth) * bits + 31) / 32) * 4;
    const uint64_t imageSize = stride * static_cast<uint64_t>(bm.bmHeight);
    if (imageSize > 0x7FFFFFFF) return E_OUTOFMEMORY;
    bih->biSizeImage = static_cast<DWORD>(imageSize);
    std::vector<BYTE> pixels(static_cast<size_t>(imageSize));

    {
        ScopedGetDC screen(nullptr);
        if (::GetDIBits(screen, bitmap, 0, static_cast<UINT>(bm.bmHeight), pixels.data(),
                        reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS) != bm.bmHeight)
            return E_FAIL;
    }
    bih->biClrUsed = colours;

    BITMAPFILEHEADER bf{};
    bf.bfType = 0x4D42;  // "BM"
    bf.bfOffBits = static_cast<DWORD>(sizeof(bf) + info.size());
    bf.bfSize = static_cast<DWORD>(bf.bfOffBits + pixels.size());

    // Written under a temporary name and moved over the target when complete:
    // a failure never truncates or removes the file the target held before.
    StagedFile file(path);
    if (!file.Ready()) return HRESULT_FROM_WIN32(file.Error());
    const HANDLE h = file.Handle();
    DWORD written = 0;
    bool ok = ::WriteFile(h, &bf, sizeof(bf), &written, nullptr) && written == sizeof(bf) &&
              ::WriteFile(h, info.data(), static_cast<DWORD>(info.size()), &written, nullptr) &&
              written == info.size() &&
              ::WriteFile(h, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr) &&
              written == pixels.size();
    if (!ok) return LastError();
    if (const DWORD e = file.Commit()) return HRESULT_FROM_WIN32(e);
    return S_OK;
}

}  // namespace px::win
