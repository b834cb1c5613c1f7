#include "export/GifEncoder.h"

#include <gdiplus.h>

#include <vector>

#include "base/win/ImageEncoder.h"
#include "base/win/ScopedWin.h"
#include "base/win/StagedFile.h"
#include "export/cDither8bpp.h"
#include "export/cPalette8bpp.h"
#include "export/core/GifPaletteRecord.h"
#include "export/core/GifTransparency.h"
#include "imaging/cDIB32.h"

namespace px {

namespace {

bool Fail(std::wstring* reason, std::wstring text) {
    if (reason) *reason = std::move(text);
    return false;
}

// The encoder's output, taken from its memory stream.
bool EncodeToMemory(Gdiplus::GpBitmap* bitmap, const CLSID& encoder, std::vector<uint8_t>& bytes,
                    std::wstring* reason) {
    win::ScopedComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put())))
        return Fail(reason, L"Not enough memory to encode the picture.");
    Gdiplus::EncoderParameters none{};
    none.Count = 0;
    const Gdiplus::GpStatus status = Gdiplus::DllExports::GdipSaveImageToStream(bitmap, stream.get(), &encoder, &none);
    if (status != Gdiplus::Ok)
        return Fail(reason, L"The GIF encoder failed (status " + std::to_wstring(status) + L").");
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart > 0x7FFFFFFF)
        return Fail(reason, L"The encoded picture could not be read.");
    bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    const LARGE_INTEGER start{};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) ||
        FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) || read != bytes.size())
        return Fail(reason, L"The encoded picture could not be read.");
    return true;
}

// Writes the encoded bytes, with the transparent entry's extension between
// the two parts of the file when the encoder left it out.
bool WriteEncoded(HANDLE file, std::vector<uint8_t>& bytes, int32_t transparentEntry, std::wstring* reason) {
    GifTransparencyEdit edit;
    if (transparentEntry >= 0 && transparentEntry <= 255) {
        edit = MarkGifTransparentIndexInPlace(bytes, static_cast<uint8_t>(transparentEntry));
        if (edit.outcome == GifTransparencyOutcome::Malformed)
            return Fail(reason, L"The GIF encoder wrote data that is not a readable GIF image.");
    }
    const bool insert = edit.outcome == GifTransparencyOutcome::Inserted;
    const size_t split = insert ? edit.insertAt : bytes.size();
    const struct {
        const uint8_t* data;
        size_t size;
    } parts[] = {{bytes.data(), split}, {edit.extension.data(), insert ? edit.extension.size() : 0},
                 {bytes.data() + split, bytes.size() - split}};
    for (const auto& part : parts) {
        DWORD written = 0;
        if (part.size && (!::WriteFile(file, part.data, static_cast<DWORD>(part.size), &written, nullptr) ||
                          written != part.size))
            return Fail(reason, win::FileErrorText(HRESULT_FROM_WIN32(::GetLastError())));
    }
    return true;
}

}  // namespace

bool SaveGIF(const cDIB32& picture, const cPalette8bpp& palette, cDither8bpp& ditherer, int32_t transparentEntry,
             const std::wstring& fileName, std::wstring* reason) {
    const int32_t width = picture.Width(), height = picture.Height();
    uint8_t* ids = ditherer.PalIDPtr();
    if (!picture.hDIB() || !ids || palette.MaxCount() <= 0)
        return Fail(reason, L"There is no dithered picture to write.");
    CLSID gif{};
    if (win::FindEncoder(L"image/gif", gif) < 0) return Fail(reason, L"No GIF encoder is available on this system.");

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

    std::vector<uint8_t> encoded;
    if (!EncodeToMemory(bitmap.get(), gif, encoded, reason)) return false;
    win::StagedFile file(fileName);
    if (!file.Ready()) return Fail(reason, win::FileErrorText(HRESULT_FROM_WIN32(file.Error())));
    if (!WriteEncoded(file.Handle(), encoded, transparentEntry, reason)) return false;
    if (const DWORD error = file.Commit()) return Fail(reason, win::FileErrorText(HRESULT_FROM_WIN32(error)));
    return true;
}

}  // namespace px
