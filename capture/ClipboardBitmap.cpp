#include "capture/ClipboardBitmap.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/win/PngPicture.h"

namespace px {

namespace {
// Another program may hold the clipboard for a moment (a viewer reading it).
bool OpenClipboardPatiently(HWND owner) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (::OpenClipboard(owner)) return true;
        ::Sleep(10);
    }
    return false;
}
}  // namespace

ClipboardSession::ClipboardSession(HWND owner) : open_(OpenClipboardPatiently(owner)) {}

ClipboardSession::~ClipboardSession() {
    if (open_) ::CloseClipboard();
}

win::ScopedBitmap CopyBitmap(HBITMAP picture) {
    BITMAP bm{};
    if (!picture || !::GetObjectW(picture, sizeof(bm), &bm)) return {};
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap copy(::CreateCompatibleBitmap(screen, bm.bmWidth, std::abs(bm.bmHeight)));
    if (!copy) return {};
    win::AutoDeleteDC src(::CreateCompatibleDC(screen)), dst(::CreateCompatibleDC(screen));
    {
        win::ScopedSelectObject s(src.get(), picture), d(dst.get(), copy.get());
        if (!::BitBlt(dst.get(), 0, 0, bm.bmWidth, std::abs(bm.bmHeight), src.get(), 0, 0, SRCCOPY)) return {};
    }
    return copy;
}

UINT PngClipboardFormat() {
    static const UINT format = ::RegisterClipboardFormatW(L"PNG");
    return format;
}

win::ScopedGlobal MakeDibV5(HBITMAP picture) {
    BITMAP bm{};
    if (!picture || !::GetObjectW(picture, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight == 0) return {};
    const int w = bm.bmWidth, h = std::abs(bm.bmHeight);
    const uint64_t imageSize = static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 4;
    if (imageSize > 0x7FFFFFFF) return {};
    BITMAPV5HEADER v5{};
    v5.bV5Size = sizeof(v5);
    v5.bV5Width = w;
    v5.bV5Height = h;  // rows bottom-up, as most readers expect
    v5.bV5Planes = 1;
    v5.bV5BitCount = 32;
    v5.bV5Compression = BI_BITFIELDS;
    v5.bV5SizeImage = static_cast<DWORD>(imageSize);
    v5.bV5RedMask = 0x00FF0000;
    v5.bV5GreenMask = 0x0000FF00;
    v5.bV5BlueMask = 0x000000FF;
    v5.bV5AlphaMask = 0xFF000000;
    v5.bV5CSType = 0x73524742;  // LCS_sRGB ('sRGB'), spelt out: the header's multi-character constant warns
    v5.bV5Intent = LCS_GM_IMAGES;

    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    {
        win::ScopedGetDC screen(nullptr);
        if (::GetDIBits(screen, picture, 0, static_cast<UINT>(h), pixels.data(), &bi, DIB_RGB_COLORS) != h) return {};
    }
    // The spare byte of the display's pixels holds anything: a capture is opaque.
    for (uint32_t& p : pixels) p |= 0xFF000000u;

    win::ScopedGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, sizeof(v5) + static_cast<size_t>(imageSize)));
    if (!memory) return {};
    void* at = ::GlobalLock(memory.get());
    if (!at) return {};
    std::memcpy(at, &v5, sizeof(v5));
    std::memcpy(static_cast<uint8_t*>(at) + sizeof(v5), pixels.data(), static_cast<size_t>(imageSize));
    ::GlobalUnlock(memory.get());
    return memory;
}

win::ScopedGlobal MakePngData(HBITMAP picture) {
    const std::vector<uint8_t> png = win::EncodePicturePng(picture);
    if (png.empty()) return {};
    win::ScopedGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, png.size()));
    void* at = memory ? ::GlobalLock(memory.get()) : nullptr;
    if (!at) return {};
    std::memcpy(at, png.data(), png.size());
    ::GlobalUnlock(memory.get());
    return memory;
}

win::ScopedBitmap CopyBitmapFromClipboard(HWND owner) {
    ClipboardSession clipboard(owner);
    if (!clipboard.open()) return {};
    auto held = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    return held ? CopyBitmap(held) : win::ScopedBitmap{};
}

}  // namespace px
