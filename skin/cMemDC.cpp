#include "skin/cMemDC.h"

#include <algorithm>

#include "skin/Module.h"

namespace veltrim {

bool cMemDC::Ensure(int width, int height) {
    width = std::max(width, width_);
    height = std::max(height, height_);
    if (mem_ && width == width_ && height == height_) return true;
    if (width < 1 || height < 1) return static_cast<bool>(mem_);
    px::win::ScopedGetDC screen(nullptr);
    px::win::MemoryBitmapDC grown(screen, px::win::ScopedBitmap(::CreateCompatibleBitmap(screen, width, height)));
    if (!grown) return false;
    mem_ = std::move(grown);
    width_ = width;
    height_ = height;
    return true;
}

bool cMemDC::CreateFromPicture(IPictureDisp* picture) {
    if (!picture) return false;
    px::win::ScopedComPtr<IPicture> pic;
    if (FAILED(picture->QueryInterface(IID_IPicture, reinterpret_cast<void**>(pic.put())))) return false;
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (FAILED(pic->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(pic->get_Handle(&handle))) return false;
    HBITMAP bitmap = HandleFrom<HBITMAP>(static_cast<long>(handle));
    BITMAP info{};
    if (!::GetObjectW(bitmap, sizeof info, &info) || info.bmWidth < 1 || info.bmHeight < 1) return false;
    if (!Ensure(info.bmWidth, info.bmHeight)) return false;
    px::win::ScopedGetDC screen(nullptr);
    px::win::AutoDeleteDC source(::CreateCompatibleDC(screen));
    px::win::ScopedSelectObject sel(source.get(), bitmap);
    return ::BitBlt(dc(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY) != FALSE;
}

}  // namespace veltrim
