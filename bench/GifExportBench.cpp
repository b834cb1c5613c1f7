// The GIF export on a 1920 x 1080 screenshot-like picture: our share of one
// export (restore the source copy, the optimal palette from the 100 x 100
// sample, Floyd-Steinberg to 256 colours), in CPU time, beside ImageMagick's
// whole pipeline on the same picture (-dither FloydSteinberg -colors 256) in
// the same run; and the transparency insertion on a file of the shape the
// platform's encoder writes: in place as SaveGIF does it, and into a copy.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/ScreenshotPicture.h"
#include "export/core/Dither8bpp.h"
#include "export/core/GifTransparency.h"
#include "export/core/Palette8bpp.h"

namespace {

using px::bench::Screenshot32;

constexpr int32_t kW = 1920;
constexpr int32_t kH = 1080;

const Screenshot32& Source() {
    static const Screenshot32 s = px::bench::MakeScreenshot(kW, kH);
    return s;
}

// One export as the window runs it, without the platform's blits and queries.
void ExportOnce(Screenshot32& working, px::Palette8bpp& palette, px::IndexBuffer8bpp& ids) {
    std::memcpy(working.bgra.data(), Source().bgra.data(), working.bgra.size());  // restore the source copy
    const px::FitRect fit = px::GetBestFitInfo(kW, kH, 100, 100, false);
    Screenshot32 sample = px::bench::Reduce(Source(), fit.width, fit.height);
    palette.CreateOptimal(px::Pixels32{sample.bgra.data(), fit.width, fit.height}, 256, 8, 1, 1, 1);
    px::PaletteTable table{};
    std::copy_n(palette.PalettePtr(), 1024, table.begin());
    const px::ColorLookupTable lut = px::BuildColorLookupTable(
        [&](uint8_t r, uint8_t g, uint8_t b) { return int64_t{palette.NearestEntry(r, g, b)}; });
    px::DitherToColorPalette(px::Pixels32{working.bgra.data(), kW, kH}, table, lut, true, ids);
}

double ChildCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

std::string ConvertCommand() {
    // The real ImageMagick, not a wrapper that may stand in front of it.
    for (const char* c : {"/usr/bin/convert-im6.q16", "/usr/bin/convert"})
        if (std::filesystem::exists(c)) return c;
    return "convert";
}

void WritePpm(const std::filesystem::path& file, const Screenshot32& s) {
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << s.width << " " << s.height << "\n255\n";
    std::vector<uint8_t> rgb(static_cast<size_t>(s.width) * s.height * 3);
    for (size_t i = 0; i < static_cast<size_t>(s.width) * s.height; ++i) {
        rgb[3 * i] = s.bgra[4 * i + 2];
        rgb[3 * i + 1] = s.bgra[4 * i + 1];
        rgb[3 * i + 2] = s.bgra[4 * i];
    }
    out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
}

void BM_GifExportOurShare1920x1080(benchmark::State& state) {
    Screenshot32 working = Source();
    px::Palette8bpp palette;
    px::IndexBuffer8bpp ids;
    for (auto _ : state) {
        ExportOnce(working, palette, ids);
        benchmark::DoNotOptimize(ids.PalIDPtr());
    }
    state.counters["entries"] = palette.MaxCount();
}
BENCHMARK(BM_GifExportOurShare1920x1080)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// ImageMagick's pipeline and ours, alternating in one run; CPU time of each.
void BM_ImageMagickPipelineSideBySide(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "pixtrel-gif-bench";
    std::filesystem::create_directories(dir);
    const auto in = dir / "in.ppm", out = dir / "out.gif";
    WritePpm(in, Source());
    const std::string command =
        ConvertCommand() + " " + in.string() + " -dither FloydSteinberg -colors 256 " + out.string();
    Screenshot32 working = Source();
    px::Palette8bpp palette;
    px::IndexBuffer8bpp ids;
    double magick = 0, ours = 0;
    int64_t n = 0;
    for (auto _ : state) {
        const double c0 = ChildCpuSeconds();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ImageMagick convert failed");
            break;
        }
        magick += ChildCpuSeconds() - c0;
        const std::clock_t t0 = std::clock();
        ExportOnce(working, palette, ids);
        ours += static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
        ++n;
    }
    if (n == 0) return;
    state.counters["ours_cpu_ms"] = 1000 * ours / static_cast<double>(n);
    state.counters["magick_cpu_ms"] = 1000 * magick / static_cast<double>(n);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ImageMagickPipelineSideBySide)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// A file of the platform encoder's shape for a 1920 x 1080 picture: GIF87a,
// no global table, a 256-entry local table, about 1 MB of image data.
std::vector<uint8_t> PlatformShapedGif() {
    std::vector<uint8_t> b{'G', 'I', 'F', '8', '7', 'a', 0x80, 0x07, 0x38, 0x04, 0, 0, 0};
    const uint8_t image[] = {0x2C, 0, 0, 0, 0, 0x80, 0x07, 0x38, 0x04, 0x87};
    b.insert(b.end(), std::begin(image), std::end(image));
    for (int i = 0; i < 768; ++i) b.push_back(static_cast<uint8_t>(i));
    b.push_back(8);
    for (int block = 0; block < 4000; ++block) {
        b.push_back(255);
        for (int i = 0; i < 255; ++i) b.push_back(static_cast<uint8_t>(block + i));
    }
    b.push_back(0);
    b.push_back(0x3B);
    return b;
}

void BM_TransparencyInsertionInMemory(benchmark::State& state) {
    const std::vector<uint8_t> file = PlatformShapedGif();
    for (auto _ : state) {
        std::vector<uint8_t> copy = file;  // counted: the insertion needs the file's bytes in memory
        benchmark::DoNotOptimize(px::MarkGifTransparentIndex(copy, 3));
        benchmark::DoNotOptimize(copy.data());
    }
    state.counters["file_bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_TransparencyInsertionInMemory)->Unit(benchmark::kMicrosecond);

// As SaveGIF does it: marked in place in the encoder's output, the extension
// written between the two parts (the writing is the same with or without it).
void BM_TransparencyMarkInPlace(benchmark::State& state) {
    std::vector<uint8_t> file = PlatformShapedGif();
    for (auto _ : state) {
        file[0 + 4] = '7';  // back to the encoder's header each time
        const px::GifTransparencyEdit edit = px::MarkGifTransparentIndexInPlace(file, 3);
        benchmark::DoNotOptimize(edit.insertAt);
    }
}
BENCHMARK(BM_TransparencyMarkInPlace)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
