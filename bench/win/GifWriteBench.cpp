// The GIF export's platform path under the real platform (Wine here), on a
// 1920 x 1080 screenshot-like picture: our share of one export with the
// platform's blits and palette queries (restore the source copy, the
// 100 x 100 sample, the optimal palette, Floyd-Steinberg to 256 colours), and
// the platform encoder's write (SaveGIF) without and with a transparent entry.
// Prints the median CPU and wall times of several runs.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/win/ScopedWin.h"
#include "bench/ScreenshotPicture.h"
#include "bench/win/BenchTiming.h"
#include "export/GifEncoder.h"
#include "export/cDither8bpp.h"
#include "export/cPalette8bpp.h"
#include "imaging/cDIB32.h"

namespace {

constexpr int kW = 1920, kH = 1080, kRuns = 7;

using px::bench::Figure;

Figure Median(const char* name, const std::function<void()>& work) {
    const Figure f = px::bench::MedianTimes(kRuns, work);
    std::printf("%-44s cpu %8.1f ms   wall %8.1f ms   (median of %d)\n", name, f.cpuMs, f.wallMs, kRuns);
    return f;
}

}  // namespace

int wmain() {
    px::win::ScopedGdiplus gdiplus(true);
    if (!gdiplus) {
        std::printf("GDI+ did not start\n");
        return 1;
    }
    const px::bench::Screenshot32 shot = px::bench::MakeScreenshot(kW, kH);
    px::cDIB32 source, working;
    source.Create(kW, kH, 0);
    working.Create(kW, kH, 0);
    std::memcpy(source.Pixels().bits, shot.bgra.data(), shot.bgra.size());
    px::cPalette8bpp palette;
    px::cDither8bpp ditherer;

    Median("our share of one export (platform blits)", [&] {
        working.LoadBlt(source.hDIBDC(), 0, 0);
        int32_t x = 0, y = 0, w = 0, h = 0;
        source.GetBestFitInfo(100, 100, x, y, w, h, false);
        px::cDIB32 reduced;
        reduced.Create(w, h, 0);
        reduced.LoadDIBBlt(source);
        palette.CreateOptimal(reduced.Pixels(), 256, 8, 1, 1, 1);
        ditherer.DitherToColorPalette(working, palette, true);
    });
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring file = std::wstring(folder) + L"pixtrel-gif-write-bench.gif";
    std::wstring reason;
    bool ok = true;
    Median("platform GIF write (SaveGIF)", [&] { ok &= px::SaveGIF(working, palette, ditherer, -1, file, &reason); });
    Median("platform GIF write, transparent entry 3", [&] {
        ok &= px::SaveGIF(working, palette, ditherer, 3, file, &reason);
    });
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
    std::printf("file: %lu bytes, %d palette entries%s\n", data.nFileSizeLow, palette.MaxCount(),
                ok ? "" : ", A WRITE FAILED");
    ::DeleteFileW(file.c_str());
    return ok ? 0 : 1;
}
