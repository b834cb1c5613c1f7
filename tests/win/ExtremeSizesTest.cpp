// The smallest and the largest capture the program can hold (1 x 1 and
// 16,384 x 16,384 pixels) through every save (Save As Bitmap, JPEG, GIF, the
// adjustment window's bitmap) and every adjustment (brightness and contrast,
// colourising): each succeeds with a whole, readable file or is refused with
// nothing left on disk; a changed pixel at the far corner proves the work
// reached the end of the picture.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/Error.h"
#include "base/win/SavePicture.h"
#include "base/win/ScopedWin.h"
#include "export/GifEncoder.h"
#include "export/SaveJPEG.h"
#include "export/cDither8bpp.h"
#include "export/cPalette8bpp.h"
#include "imaging/cDIB32.h"
#include "imaging/cDIBSection.h"
#include "imaging/core/BrightnessContrast.h"
#include "skin/SkinColourise.h"

namespace px {
namespace {

constexpr COLORREF kFill = RGB(90, 120, 60);

std::wstring Folder() {
    wchar_t buf[MAX_PATH];
    ::GetTempPathW(MAX_PATH, buf);
    std::wstring dir = std::wstring(buf) + L"pixtrel-extreme-sizes";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

// Size and first and last bytes of a file; size -1 when it does not exist.
struct FileFacts {
    long long size = -1;
    std::string head, tail;
};

FileFacts Facts(const std::wstring& path) {
    FileFacts f;
    win::ScopedHandle h(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (h.get() == INVALID_HANDLE_VALUE) {
        h.release();
        return f;
    }
    LARGE_INTEGER size{};
    ::GetFileSizeEx(h.get(), &size);
    f.size = size.QuadPart;
    char buf[16] = {};
    DWORD n = 0;
    ::ReadFile(h.get(), buf, sizeof buf, &n, nullptr);
    f.head.assign(buf, n);
    LARGE_INTEGER back{};
    back.QuadPart = size.QuadPart >= 2 ? size.QuadPart - 2 : 0;
    ::SetFilePointerEx(h.get(), back, nullptr, FILE_BEGIN);
    ::ReadFile(h.get(), buf, 2, &n, nullptr);
    f.tail.assign(buf, n);
    return f;
}

// Success with a whole file, or refusal with none: never a partial file.
void ExpectWholeOrNothing(bool ok, const std::wstring& path, const std::string& magic, long long exactSize,
                          const char* what) {
    const FileFacts f = Facts(path);
    std::printf("  %s: %s, %lld bytes\n", what, ok ? "written" : "refused", f.size);
    if (!ok) {
        EXPECT_EQ(f.size, -1) << what << ": a refused save left a file";
        return;
    }
    ASSERT_GT(f.size, 0) << what;
    EXPECT_EQ(f.head.substr(0, magic.size()), magic) << what;
    if (exactSize > 0) {
        EXPECT_EQ(f.size, exactSize) << what;
    }
    ::DeleteFileW(path.c_str());
}

class ExtremeSizes : public ::testing::TestWithParam<int> {
protected:
    win::ScopedGdiplus gdiplus_{true};
};

TEST_P(ExtremeSizes, EverySaveAndAdjustmentSucceedsWholeOrRefusesCleanly) {
    const int side = GetParam();
    const std::wstring dir = Folder();
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap picture(::CreateCompatibleBitmap(screen, side, side));
    ASSERT_TRUE(picture) << "the capture itself could not be held";
    {
        win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
        win::ScopedSelectObject keep(dc.get(), picture.get());
        win::ScopedBrush brush(::CreateSolidBrush(kFill));
        RECT all{0, 0, side, side};
        ::FillRect(dc.get(), &all, brush.get());
    }
    const long long stride = ((static_cast<long long>(side) * 24 + 31) / 32) * 4;

    // Save As Bitmap and the scratch file.
    const std::wstring bmp = dir + L"\\picture.bmp";
    ExpectWholeOrNothing(SUCCEEDED(win::SavePictureAsBitmapFile(picture.get(), bmp)), bmp, "BM", 54 + stride * side,
                         "bitmap");

    // JPEG, and the adjustment window's own bitmap writer, from the 24-bit buffer.
    {
        cDIBSectionBC dib;
        dib.CreateFromPicture(picture.get());
        const bool held = dib.hDIB() != nullptr;
        std::printf("  24-bit buffer: %s\n", held ? "made" : "refused");
        if (held) {
            const std::wstring jpg = dir + L"\\picture.jpg";
            int messages = 0;
            const bool ok = SaveJPG(dib, jpg, 90, nullptr, [&messages](HWND, const std::wstring&, UINT) {
                ++messages;
                return IDOK;
            });
            if (ok) {
                EXPECT_EQ(messages, 0) << "a success must not also show a message";
            }
            const FileFacts f = Facts(jpg);
            if (ok) {
                EXPECT_EQ(f.tail, "\xFF\xD9") << "the JPEG ends with its end marker";
            }
            ExpectWholeOrNothing(ok, jpg, "\xFF\xD8\xFF", 0, "JPEG");

            const std::wstring adjusted = dir + L"\\adjusted.bmp";
            bool written = false;
            try {
                written = dib.SavePicture(adjusted);
            } catch (const Error& e) {
                EXPECT_EQ(e.number(), ErrorNumber::CantPerformOperation);
            }
            // This writer's layout ends with a few bytes past the rows; every row must be there.
            if (written) {
                EXPECT_GE(Facts(adjusted).size, 54 + stride * side) << "adjustment bitmap: rows missing";
            }
            ExpectWholeOrNothing(written, adjusted, "BM", 0, "adjustment bitmap");

            // Brightness and contrast into a second buffer: the far corner changes as the table says.
            cDIBSectionBC result;
            if (result.Create(side, side)) {
                cBrightnessContrast processor;
                processor.Contrast(1.0);
                processor.Brightness(40);
                processor.process(dib.Bits(), result.Bits());
                const Dib24Bits out = result.Bits();
                const uint8_t* corner = out.bits + static_cast<size_t>(out.height - 1) * out.bytesPerScanLine +
                                        3 * static_cast<size_t>(out.width - 1);
                EXPECT_EQ(corner[0], cBrightnessContrast::MapByte(GetBValue(kFill), 1.0, 40));
                EXPECT_EQ(corner[2], cBrightnessContrast::MapByte(GetRValue(kFill), 1.0, 40));
                std::printf("  brightness/contrast: done\n");
            } else {
                std::printf("  brightness/contrast: refused (no result buffer)\n");
            }
        }
    }

    // Colourising the picture in place through a DC: done to the far corner, or nothing at all.
    {
        win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
        win::ScopedSelectObject keep(dc.get(), picture.get());
        veltrim::ColouriseDC(dc.get(), side, side, 200.0f, 0.5f, static_cast<OLE_COLOR>(-1));
        const COLORREF first = ::GetPixel(dc.get(), 0, 0), last = ::GetPixel(dc.get(), side - 1, side - 1);
        EXPECT_EQ(first, last) << "colourised part of the picture only";
        std::printf("  colourise: %s\n", first != kFill ? "done" : "refused");
    }

    // GIF through the palette, the ditherer and the platform's encoder.
    {
        cDIB32 dib32;
        dib32.CreateFromStdPicture(picture.get());
        const bool held = dib32.hDIB() != nullptr;
        const std::wstring gif = dir + L"\\picture.gif";
        if (held) {
            cPalette8bpp palette;
            palette.CreateWebsafe();
            cDither8bpp ditherer;
            ditherer.DitherToColorPalette(dib32, palette, false);
            std::wstring reason;
            const bool ok = SaveGIF(dib32, palette, ditherer, -1, gif, &reason);
            if (!ok) {
                EXPECT_FALSE(reason.empty()) << "a refused GIF must say why";
            }
            const FileFacts f = Facts(gif);
            if (ok) {
                ASSERT_GE(f.head.size(), 10u);
                EXPECT_EQ(static_cast<uint8_t>(f.head[6]) | static_cast<uint8_t>(f.head[7]) << 8, side);
                EXPECT_EQ(f.tail.substr(1), ";") << "the GIF ends with its trailer";
            }
            ExpectWholeOrNothing(ok, gif, "GIF8", 0, "GIF");
        } else {
            std::printf("  GIF: refused (no 32-bit buffer)\n");
        }
    }
    ::RemoveDirectoryW(dir.c_str());
}

INSTANTIATE_TEST_SUITE_P(Sides, ExtremeSizes, ::testing::Values(1, 16384));

}  // namespace
}  // namespace px
