#pragma once
// The platform image library's (GDI+) encoders, found by MIME type: the PNG
// and GIF writers ask for theirs here. The library must have been started
// (win::ScopedGdiplus) by the caller.
#include <windows.h>

#include <cstdint>
#include <string>

namespace px::win {

// 1-based position of the first encoder whose MIME type equals `mimeType`
// without regard to case, its class identifier in `classId`; -1 when there is
// none (or the library is not started), `classId` then left as it was.
int32_t FindEncoder(const std::wstring& mimeType, CLSID& classId);

}  // namespace px::win
