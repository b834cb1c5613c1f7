// What a finished capture costs on the clipboard under the real platform (Wine
// here), on a 1920 x 1080 screenshot-like picture: the bitmap alone (the
// anchor), the put as captures make it now (the bitmap, CF_DIBV5 and PNG only
// offered), the three formats made all at once as before, and what is made on
// demand later (CF_DIBV5 and PNG when a program asks, both when the owner
// goes), with the parts (the DIBV5 copy, the platform's PNG encoder, "Save As
// PNG" to a file) and the clipboard's memory either way. Prints the median CPU
// and wall times of several runs.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/win/PngPicture.h"
#include "base/win/ScopedWin.h"
#include "bench/ScreenshotPicture.h"
#include "bench/win/BenchTiming.h"
#include "capture/ClipboardBitmap.h"
#include "capture/ClipboardOwner.h"

namespace {

constexpr int kW = 1920, kH = 1080, kRuns = 7;

// `prepare` runs before each timed `work`, outside the timing.
void Median(const char* name, const std::function<void()>& work, const std::function<void()>& prepare = [] {}) {
    std::vector<double> cpu, wall;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        const px::bench::Figure f = px::bench::MedianTimes(1, work);
        cpu.push_back(f.cpuMs);
        wall.push_back(f.wallMs);
    }
    std::printf("%-52s cpu %8.1f ms   wall %8.1f ms   (median of %d)\n", name, px::bench::MedianOf(std::move(cpu)),
                px::bench::MedianOf(std::move(wall)), kRuns);
}

// The put as it was: all three formats made before the clipboard opens.
bool PutAllAtOnce(HBITMAP picture) {
    px::win::ScopedBitmap copy = px::CopyBitmap(picture);
    px::win::ScopedGlobal dibV5 = px::MakeDibV5(copy.get()), png = px::MakePngData(copy.get());
    px::ClipboardSession clipboard(nullptr);
    if (!copy || !clipboard.open()) return false;
    ::EmptyClipboard();
    if (::SetClipboardData(CF_BITMAP, copy.get())) copy.release();
    if (::SetClipboardData(CF_DIBV5, dibV5.get())) dibV5.release();
    if (::SetClipboardData(px::PngClipboardFormat(), png.get())) png.release();
    return !copy && !dibV5 && !png;
}

// Asks for `format` as a program pasting would; the owner makes it now.
bool Ask(UINT format) {
    px::ClipboardSession clipboard(nullptr);
    return clipboard.open() && ::GetClipboardData(format) != nullptr;
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
    const px::SharedPicture capture = px::Share(MakeCapture());
    bool ok = true;
    Median("anchor: bitmap alone on the clipboard", [&] {
        px::win::ScopedBitmap copy = px::CopyBitmap(capture->get());
        ok &= ::OpenClipboard(nullptr) != FALSE;
        ::EmptyClipboard();
        if (::SetClipboardData(CF_BITMAP, copy.get())) copy.release();
        ::CloseClipboard();
    });
    auto owner = std::make_unique<px::ClipboardOwner>();
    Median("put now: bitmap, CF_DIBV5 and PNG offered", [&] { ok &= owner->Put(capture); });
    Median("put before: bitmap, CF_DIBV5 and PNG made at once", [&] { ok &= PutAllAtOnce(capture->get()); });
    const auto putNow = [&] { ok &= owner->Put(capture); };
    Median("on demand: CF_DIBV5 asked for after a put", [&] { ok &= Ask(CF_DIBV5); }, putNow);
    Median("on demand: PNG asked for after a put", [&] { ok &= Ask(px::PngClipboardFormat()); }, putNow);
    Median("on demand: both made as the owner goes", [&] { owner.reset(); }, [&] {
        owner = std::make_unique<px::ClipboardOwner>();
        ok &= owner->Put(capture);
    });
    ok &= Ask(CF_DIBV5) && Ask(px::PngClipboardFormat());
    Median("  of which the CF_DIBV5 copy", [&] { ok &= static_cast<bool>(px::MakeDibV5(capture->get())); });
    size_t pngBytes = 0;
    Median("  of which the platform PNG encoder", [&] {
        pngBytes = px::win::EncodePicturePng(capture->get()).size();
        ok &= pngBytes > 0;
    });
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring file = std::wstring(folder) + L"pixtrel-png-bench.png";
    Median("Save As PNG (encoder, temporary file, rename)", [&] { ok &= px::win::SavePictureAsPngFile(capture->get(), file); });
    ::DeleteFileW(file.c_str());
    // Memory beside the clipboard's bitmap copy (which both ways make).
    const double mb = 1024.0 * 1024.0, picture = static_cast<double>(kW) * kH * 4;
    std::printf("PNG: %zu bytes for %d x %d%s\n", pngBytes, kW, kH, ok ? "" : ", A STEP FAILED");
    std::printf("clipboard memory beside the bitmap copy: before %.1f MB (CF_DIBV5 %.1f + PNG %.1f, always made);\n"
                "  now 0 MB until asked (the capture's own pixels are kept, shared), the same %.1f MB once both are "
                "made,\n  %.1f MB extra only while a newer capture has replaced the kept one before a program asked\n",
                (picture + sizeof(BITMAPV5HEADER) + static_cast<double>(pngBytes)) / mb, picture / mb,
                static_cast<double>(pngBytes) / mb,
                (picture + sizeof(BITMAPV5HEADER) + static_cast<double>(pngBytes)) / mb, picture / mb);
    return ok ? 0 : 1;
}
