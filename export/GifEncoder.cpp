#include "export/GifEncoder.h"

#include <gdiplus.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/win/ScopedWin.h"
#include "export/cDither8bpp.h"
#include "export/cPalette8bpp.h"
#include "export/core/GifPaletteRecord.h"
#include "export/core/GifTransparency.h"
#include "imaging/cDIB32.h"

namespace px {

namespace {

std::wstring SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n ? std::wstring(text, n) : L"Error " + std::to_wstring(code);
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return message;
}

bool Fail(std::wstring* reason, std::wstring text) {
    if (reason) *reason = std::move(text);
    return false;
}

// The folder part of a path ("." for a bare name).
std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

// The platform's encoder may not mark the transparent entry: mark it in the file.
bool MarkTransparency(const std::wstring& file, uint8_t entry, std::wstring* reason) {
    std::vector<uint8_t> bytes;
    {
        std::ifstream in(std::filesystem::path(file), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) return Fail(reason, L"The written file could not be read back.");
    }
    const GifTransparencyOutcome outcome = MarkGifTransparentIndex(bytes, entry);
    if (outcome == GifTransparencyOutcome::Malformed)
        return Fail(reason, L"The GIF encoder wrote a file that is not a readable GIF image.");
    if (outcome == GifTransparencyOutcome::AlreadyMarked) return true;
    std::ofstream out(std::filesystem::path(file), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return Fail(reason, L"The transparent entry could not be written.");
    return true;
}

// A temporary file next to the target; removed unless released.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::wstring& folder) {
        wchar_t name[MAX_PATH + 1] = {};
        if (::GetTempFileNameW(folder.c_str(), L"gif", 0, name)) path_ = name;
        else error_ = ::GetLastError();
    }
    ~TemporaryFile() { if (!path_.empty()) ::DeleteFileW(path_.c_str()); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::wstring& path() const noexcept { return path_; }
    DWORD error() const noexcept { return error_; }
    void release() { path_.clear(); }

private:
    std::wstring path_;
    DWORD error_ = 0;
};

}  // namespace

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

bool SaveGIF(const cDIB32& picture, const cPalette8bpp& palette, cDither8bpp& ditherer, int32_t transparentEntry,
             const std::wstring& fileName, std::wstring* reason) {
    const int32_t width = picture.Width(), height = picture.Height();
    uint8_t* ids = ditherer.PalIDPtr();
    if (!picture.hDIB() || !ids || palette.MaxCount() <= 0)
        return Fail(reason, L"There is no dithered picture to write.");
    CLSID gif{};
    if (FindEncoder(L"image/gif", gif) < 0) return Fail(reason, L"No GIF encoder is available on this system.");

    Gdiplus::GpBitmap* raw = nullptr;
    Gdiplus::GpStatus status = Gdiplus::DllExports::GdipCreateBitmapFromScan0(
        width, height, ditherer.PalIDRowLength(), PixelFormat8bppIndexed, ids, &raw);
    win::ScopedGdipImage bitmap(raw);
    if (status != Gdiplus::Ok) return Fail(reason, L"The picture could not be handed to the GIF encoder.");

    const GifPaletteRecord record = MakeGifPaletteRecord(palette.PalettePtr(), palette.MaxCount(), transparentEntry);
    static_assert(sizeof(GifPaletteRecord) == 8 + 256 * 4);
    status = Gdiplus::DllExports::GdipSetImagePalette(bitmap.get(),
                                                      reinterpret_cast<const Gdiplus::ColorPalette*>(&record));
    if (status != Gdiplus::Ok) return Fail(reason, L"The palette could not be handed to the GIF encoder.");

    TemporaryFile temporary(FolderOf(fileName));
    if (temporary.path().empty()) return Fail(reason, SystemMessage(temporary.error()));
    Gdiplus::EncoderParameters none{};
    none.Count = 0;
    status = Gdiplus::DllExports::GdipSaveImageToFile(bitmap.get(), temporary.path().c_str(), &gif, &none);
    if (status != Gdiplus::Ok)
        return Fail(reason, L"The GIF encoder could not write the file (status " + std::to_wstring(status) + L").");
    if (transparentEntry >= 0 && transparentEntry <= 255 &&
        !MarkTransparency(temporary.path(), static_cast<uint8_t>(transparentEntry), reason))
        return false;
    if (!::MoveFileExW(temporary.path().c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Fail(reason, SystemMessage(::GetLastError()));
    temporary.release();
    return true;
}

}  // namespace px
