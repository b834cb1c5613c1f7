#include "base/win/ImageEncoder.h"

#include <gdiplus.h>

#include <vector>

namespace px::win {

int32_t FindEncoder(const std::wstring& mimeType, CLSID& classId) {
    UINT count = 0, size = 0;
    if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0 || count == 0)
        return -1;
    // The records come first, the strings they point to after them in the same block.
    std::vector<uint64_t> block((size + sizeof(uint64_t) - 1) / sizeof(uint64_t));
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.data());
    if (Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok) return -1;
    for (UINT i = 0; i < count; ++i) {
        const wchar_t* mime = codecs[i].MimeType;
        if (mime && ::CompareStringOrdinal(mime, -1, mimeType.c_str(), -1, TRUE) == CSTR_EQUAL) {
            classId = codecs[i].Clsid;
            return static_cast<int32_t>(i) + 1;
        }
    }
    return -1;
}

}  // namespace px::win
