#include "base/win/OlePicture.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace px::win {

OlePicture OlePicture::FromMemory(const void* data, size_t size) {
    OlePicture p;
    if (!data || size == 0) return p;
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!mem) return p;
    if (void* dst = ::GlobalLock(mem)) {
        memcpy(dst, data, size);
        ::GlobalUnlock(mem);
    }
    ScopedComPtr<IStream> stream;
    // The stream owns the memory from here on (fDeleteOnRelease).
    if (FAILED(::CreateStreamOnHGlobal(mem, TRUE, stream.put()))) {
        ::GlobalFree(mem);
        return p;
    }
    ::OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                     reinterpret_cast<void**>(p.pic_.put()));
    return p;
}

OlePicture OlePicture::FromFile(const std::wstring& path) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    ScopedHandle file(f);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(f, &size) || size.QuadPart <= 0 || size.QuadPart > (1ll << 30)) return {};
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!::ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size())
        return {};
    return FromMemory(bytes.data(), bytes.size());
}

OlePicture OlePicture::FromResource(HMODULE module, int id, const wchar_t* type) {
    HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!res) return {};
    HGLOBAL h = ::LoadResource(module, res);
    if (!h) return {};
    return FromMemory(::LockResource(h), ::SizeofResource(module, res));
}

SIZE OlePicture::PixelSize() const {
    SIZE s{0, 0};
    if (!pic_) return s;
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    pic_->get_Width(&w);
    pic_->get_Height(&h);
    ScopedGetDC screen(nullptr);
    // HIMETRIC is 1/100 mm: pixels = himetric * dpi / 2540, rounded.
    s.cx = ::MulDiv(w, ::GetDeviceCaps(screen, LOGPIXELSX), 2540);
    s.cy = ::MulDiv(h, ::GetDeviceCaps(screen, LOGPIXELSY), 2540);
    return s;
}

void OlePicture::Render(HDC hdc, const RECT& dest) const {
    if (!pic_) return;
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    pic_->get_Width(&w);
    pic_->get_Height(&h);
    // Source rectangle in HIMETRIC, bottom-up as IPicture::Render expects.
    pic_->Render(hdc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, 0, h, w, -h, nullptr);
}

}  // namespace px::win
