// What a finished capture costs on the clipboard under the real platform (Wine
// here), on a 1920 x 1080 screenshot-like picture: the bitmap alone (the
// anchor: what every capture did before), the three formats together (bitmap,
// CF_DIBV5, PNG), and their parts (the DIBV5 copy, the platform's PNG encoder,
// "Save As PNG" to a file). Prints the median CPU and wall times of several runs.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/win/PngPicture.h"
#include "base/win/ScopedWin.h"
#include "bench/ScreenshotPicture.h"
#include "bench/win/BenchTiming.h"
#include "capture/ClipboardBitmap.h"

namespace {

constexpr int kW = 1920, kH = 1080, kRuns = 7;

void Median(const char* name, const std::function<void()>& work) {
    const px::bench::Figure f = px::bench::MedianTimes(kRuns, work);
    std::printf("%-44s cpu %8.1f ms   wall %8.1f ms   (median of %d)\n", name, f.cpuMs, f.wallMs, kRuns);
}

// The screenshot as a bitmap in the display's format, as captures are.
px::win::ScopedBitmap MakeCapture() {
    const px::bench::Screenshot32 shot = px::bench::MakeScreenshot(kW, kH);
    px::win::ScopedGetDC screen(nullptr);
    px::win::ScopedBitmap bmp(::CreateCompatibleBitmap(screen, kW, kH));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = kW;
    bi.bmiHeader.biHeight = -kH;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    ::SetDIBits(screen, bmp.get(), 0, kH, shot.bgra.data(), &bi, DIB_RGB_COLORS);
    return bmp;
}

}  // namespace

int wmain() {
    const px::win::ScopedBitmap capture = MakeCapture();
    bool ok = true;
    Median("anchor: bitmap alone on the clipboard", [&] {
        px::win::ScopedBitmap copy = px::CopyBitmap(capture.get());
        ok &= ::OpenClipboard(nullptr) != FALSE;
        ::EmptyClipboard();
        if (::SetClipboardData(CF_BITMAP, copy.get())) copy.release();
        ::CloseClipboard();
    });
    Median("bitmap, CF_DIBV5 and PNG on the clipboard", [&] { ok &= px::PutBitmapOnClipboard(nullptr, capture.get()); });
    Median("  of which the CF_DIBV5 copy", [&] { ok &= static_cast<bool>(px::MakeDibV5(capture.get())); });
    size_t pngBytes = 0;
    Median("  of which the platform PNG encoder", [&] {
        pngBytes = px::win::EncodePicturePng(capture.get()).size();
        ok &= pngBytes > 0;
    });
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring file = std::wstring(folder) + L"pixtrel-png-bench.png";
    Median("Save As PNG (encoder, temporary file, rename)", [&] { ok &= px::win::SavePictureAsPngFile(capture.get(), file); });
    ::DeleteFileW(file.c_str());
    std::printf("PNG: %zu bytes for %d x %d%s\n", pngBytes, kW, kH, ok ? "" : ", A STEP FAILED");
    return ok ? 0 : 1;
}
