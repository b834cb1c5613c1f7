#include "base/win/PngPicture.h"

#include <cstdlib>

#include "base/win/DibInfo.h"
#include "base/win/ImageEncoder.h"
#include "base/win/ScopedWin.h"
#include "base/win/StagedFile.h"

namespace px::win {

namespace {

bool Fail(std::wstring* reason, std::wstring text) {
    if (reason) *reason = std::move(text);
    return false;
}

// The encoder's output, read back from its memory stream.
bool ReadStream(IStream* stream, std::vector<uint8_t>& bytes) {
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart > 0x7FFFFFFF) return false;
    bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    const LARGE_INTEGER start{};
    return SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) &&
           SUCCEEDED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) && read == bytes.size();
}

}  // namespace

std::vector<uint8_t> EncodePicturePng(HBITMAP picture, std::wstring* reason) {
    BITMAP bm{};
    if (!picture || !::GetObjectW(picture, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight == 0) {
        Fail(reason, L"There is no picture to write.");
        return {};
    }
    const int w = bm.bmWidth, h = std::abs(bm.bmHeight);
    const uint64_t stride = (static_cast<uint64_t>(w) * 3 + 3) & ~uint64_t{3};
    if (stride * static_cast<uint64_t>(h) > 0x7FFFFFFF) {
        Fail(reason, L"The picture is too large.");
        return {};
    }
    std::vector<uint8_t> rows(static_cast<size_t>(stride * static_cast<uint64_t>(h)));
    BITMAPINFO bi = TopDownDibInfo(w, h, 24);
    {
        ScopedGetDC screen(nullptr);
        if (::GetDIBits(screen, picture, 0, static_cast<UINT>(h), rows.data(), &bi, DIB_RGB_COLORS) != h) {
            Fail(reason, L"The picture's pixels could not be read.");
            return {};
        }
    }

    ScopedGdiplus gdiplus(true);
    CLSID png{};
    if (!gdiplus || win::FindEncoder(L"image/png", png) < 0) {
        Fail(reason, L"No PNG encoder is available on this system.");
        return {};
    }
    Gdiplus::GpBitmap* raw = nullptr;
    const Gdiplus::GpStatus made = Gdiplus::DllExports::GdipCreateBitmapFromScan0(
        w, h, static_cast<INT>(stride), PixelFormat24bppRGB, rows.data(), &raw);
    ScopedGdipImage bitmap(raw);
    if (made != Gdiplus::Ok) {
        Fail(reason, L"The picture could not be handed to the PNG encoder.");
        return {};
    }
    ScopedComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) {
        Fail(reason, L"Not enough memory to encode the picture.");
        return {};
    }
    const Gdiplus::GpStatus saved = Gdiplus::DllExports::GdipSaveImageToStream(bitmap.get(), stream.get(), &png, nullptr);
    std::vector<uint8_t> bytes;
    if (saved != Gdiplus::Ok) {
        Fail(reason, L"The PNG encoder failed (status " + std::to_wstring(saved) + L").");
        return {};
    }
    if (!ReadStream(stream.get(), bytes) || bytes.empty()) {
        Fail(reason, L"The encoded picture could not be read.");
        return {};
    }
    return bytes;
}

bool SavePictureAsPngFile(HBITMAP picture, const std::wstring& path, std::wstring* reason) {
    const std::vector<uint8_t> bytes = EncodePicturePng(picture, reason);
    if (bytes.empty()) return false;
    StagedFile file(path);
    if (!file.Ready()) return Fail(reason, FileErrorText(HRESULT_FROM_WIN32(file.Error())));
    DWORD written = 0;
    if (!::WriteFile(file.Handle(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        return Fail(reason, FileErrorText(HRESULT_FROM_WIN32(::GetLastError())));
    if (const DWORD error = file.Commit()) return Fail(reason, FileErrorText(HRESULT_FROM_WIN32(error)));
    return true;
}

}  // namespace px::win
