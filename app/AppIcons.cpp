#include "app/AppIcons.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/win/Window.h"

namespace px {

win::OlePicture IconPicture(int resourceId) {
    return win::OlePicture::FromResource(win::Window::Instance(), resourceId);
}

win::ScopedIcon IconHandle(int resourceId, int size) {
    HMODULE module = win::Window::Instance();
    HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    if (!res) return {};
    HGLOBAL h = ::LoadResource(module, res);
    const auto* data = static_cast<const uint8_t*>(h ? ::LockResource(h) : nullptr);
    const DWORD total = ::SizeofResource(module, res);
    if (!data || total < 6) return {};
    auto u16 = [&](size_t at) { return static_cast<uint32_t>(data[at] | data[at + 1] << 8); };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    // ICONDIR: reserved, type 1, count; then 16-byte entries.
    const uint32_t count = u16(4);
    if (u16(2) != 1 || 6 + 16ull * count > total) return {};
    int best = -1, bestDiff = INT32_MAX;
    for (uint32_t i = 0; i < count; ++i) {
        int w = data[6 + 16 * i] ? data[6 + 16 * i] : 256;
        int diff = std::abs(w - size);
        if (diff < bestDiff) best = static_cast<int>(i), bestDiff = diff;
    }
    if (best < 0) return {};
    const size_t entry = 6 + 16 * static_cast<size_t>(best);
    const uint32_t bytes = u32(entry + 8), offset = u32(entry + 12);
    if (offset > total || bytes > total - offset) return {};
    return win::ScopedIcon(::CreateIconFromResourceEx(const_cast<uint8_t*>(data + offset), bytes, TRUE,
                                                      0x00030000, size, size, LR_DEFAULTCOLOR));
}

}  // namespace px
