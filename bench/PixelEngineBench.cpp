// Pixel engine figures on a 3840 x 2160 screenshot-like picture:
// brightness/contrast, Floyd-Steinberg colour dithering (with ImageMagick's
// remap of the same picture to the same palette beside it), colour count,
// optimal palette on the 100 x 100 sample, bilinear halving, left-right mirror
// and quarter turn.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "bench/ScreenshotPicture.h"
#include "export/core/Dither8bpp.h"
#include "export/core/Palette8bpp.h"
#include "imaging/core/BrightnessContrast.h"
#include "imaging/core/CpuFeatures.h"
#include "imaging/core/Dib24.h"
#include "imaging/core/Dib32.h"

namespace {

using px::bench::Screenshot32;

constexpr int32_t kW = 3840;
constexpr int32_t kH = 2160;

const Screenshot32& Picture() {
    static const Screenshot32 s = px::bench::MakeScreenshot(kW, kH);
    return s;
}

// The same picture as a 24-bit bottom-up buffer.
struct Buffer24 {
    int32_t w, h, bps;
    std::vector<uint8_t> bytes;
    Buffer24(int32_t w_, int32_t h_) : w(w_), h(h_), bps(px::BytesPerScanLine24(w_)), bytes(static_cast<size_t>(bps) * h_) {}
    px::Dib24Bits bits() { return px::Dib24Bits{bytes.data(), w, h, bps}; }
};

const Buffer24& Picture24() {
    static const Buffer24 b = [] {
        const Screenshot32& s = Picture();
        Buffer24 out(s.width, s.height);
        for (int32_t y = 0; y < s.height; ++y)
            for (int32_t x = 0; x < s.width; ++x)
                std::copy_n(&s.bgra[(static_cast<size_t>(y) * s.width + x) * 4], 3,
                            &out.bytes[static_cast<size_t>(s.height - 1 - y) * out.bps + 3 * x]);
        return out;
    }();
    return b;
}

// The 256-entry palette the export window would build: optimal, from the 100 x 100 sample.
const px::Palette8bpp& Palette() {
    static const px::Palette8bpp p = [] {
        Screenshot32 sample = px::bench::Reduce(Picture(), 100, 100);
        px::Palette8bpp pal;
        pal.CreateOptimal(px::Pixels32{sample.bgra.data(), 100, 100}, 256, 8, 1, 1, 1);
        return pal;
    }();
    return p;
}

px::PaletteTable Table(const px::Palette8bpp& p) {
    px::PaletteTable t{};
    std::copy_n(p.PalettePtr(), 1024, t.begin());
    return t;
}

// One colour dithering call as cDither8bpp makes it: lookup table, then the pass.
void DitherOnce(Screenshot32& work, px::IndexBuffer8bpp& ids) {
    const px::Palette8bpp& pal = Palette();
    const px::ColorLookupTable lut =
        px::BuildColorLookupTable([&](uint8_t r, uint8_t g, uint8_t b) { return int64_t{pal.NearestEntry(r, g, b)}; });
    px::DitherToColorPalette(px::Pixels32{work.bgra.data(), work.width, work.height}, Table(pal), lut, true, ids);
}

// Argument: the vector level (0: the plain scalar code; 1: SSE2, as on a processor without AVX2;
// 2: AVX2 where there is one).
struct ForcedLevel {
    explicit ForcedLevel(int64_t level) { px::ForceSimdLevel(static_cast<px::SimdLevel>(level)); }
    ~ForcedLevel() { px::ResetSimdLevel(); }
};

void BM_BrightnessContrastProcess(benchmark::State& state) {
    const ForcedLevel forced(state.range(0));
    Buffer24 src = Picture24();
    Buffer24 dst(kW, kH);
    px::cBrightnessContrast bc;
    bc.Contrast(px::ContrastFromSlider(137));
    bc.Brightness(px::BrightnessFromSlider(300));
    for (auto _ : state) {
        bc.process(src.bits(), dst.bits());
        benchmark::DoNotOptimize(dst.bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(src.bytes.size()));
}
BENCHMARK(BM_BrightnessContrastProcess)->Arg(2)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The memory-bandwidth anchor for brightness/contrast: a plain copy of the
// same bytes between the same two buffers, which no pass over them can beat.
void BM_MemcpyAnchor(benchmark::State& state) {
    Buffer24 src = Picture24();
    Buffer24 dst(kW, kH);
    for (auto _ : state) {
        std::memcpy(dst.bytes.data(), src.bytes.data(), src.bytes.size());
        benchmark::DoNotOptimize(dst.bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(src.bytes.size()));
}
BENCHMARK(BM_MemcpyAnchor)->Unit(benchmark::kMillisecond);

void BM_FloydSteinbergColour256(benchmark::State& state) {
    const ForcedLevel forced(state.range(0));
    Palette();
    Screenshot32 work = Picture();
    px::IndexBuffer8bpp ids;
    for (auto _ : state) {
        state.PauseTiming();
        work.bgra = Picture().bgra;  // dithering works in place
        state.ResumeTiming();
        DitherOnce(work, ids);
        benchmark::DoNotOptimize(ids.PalIDPtr());
    }
}
// Level 0 runs the pixel-by-pixel frame the vector versions replaced (the reference they are tested against).
BENCHMARK(BM_FloydSteinbergColour256)->Arg(2)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_CountColors(benchmark::State& state) {
    const ForcedLevel forced(state.range(0));
    Screenshot32 s = Picture();
    int32_t n = 0;
    for (auto _ : state) {
        n = px::CountColors(px::Pixels32{s.bgra.data(), s.width, s.height});
        benchmark::DoNotOptimize(n);
    }
    state.counters["colours"] = n;
}
BENCHMARK(BM_CountColors)->Arg(2)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_MirrorLeftRight(benchmark::State& state) {
    const ForcedLevel forced(state.range(0));
    Screenshot32 s = Picture();
    for (auto _ : state) {
        px::MirrorLeftRight(px::Pixels32{s.bgra.data(), s.width, s.height});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MirrorLeftRight)->Arg(2)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_RotateQuarter(benchmark::State& state) {
    const ForcedLevel forced(state.range(0));
    Screenshot32 s = Picture();
    std::vector<uint8_t> turned(s.bgra.size());
    for (auto _ : state) {
        px::RotateQuarterAnticlockwise(px::Pixels32{s.bgra.data(), s.width, s.height},
                                       px::Pixels32{turned.data(), s.height, s.width});
        benchmark::DoNotOptimize(turned.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RotateQuarter)->Arg(2)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_CreateOptimal100x100(benchmark::State& state) {
    Screenshot32 sample = px::bench::Reduce(Picture(), 100, 100);
    px::Palette8bpp pal;
    for (auto _ : state) {
        pal.CreateOptimal(px::Pixels32{sample.bgra.data(), 100, 100}, 256, 8, 1, 1, 1);
        benchmark::DoNotOptimize(pal.PalettePtr());
    }
    state.counters["entries"] = pal.MaxCount();
}
BENCHMARK(BM_CreateOptimal100x100)->Unit(benchmark::kMicrosecond);

void BM_ResampleHalf(benchmark::State& state) {
    Buffer24 src = Picture24();
    Buffer24 dst(kW / 2, kH / 2);
    for (auto _ : state) {
        px::ResampleBilinear(src.bits(), dst.bits());
        benchmark::DoNotOptimize(dst.bytes.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ResampleHalf)->Unit(benchmark::kMillisecond);

// ImageMagick side by side -------------------------------------------------

void WritePpm(const std::filesystem::path& file, const uint8_t* bgra, int32_t w, int32_t h) {
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << w << " " << h << "\n255\n";
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
        rgb[3 * i] = bgra[4 * i + 2];
        rgb[3 * i + 1] = bgra[4 * i + 1];
        rgb[3 * i + 2] = bgra[4 * i];
    }
    out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
}

std::string ConvertCommand() {
    // The real ImageMagick, not a wrapper that may stand in front of it.
    for (const char* c : {"/usr/bin/convert-im6.q16", "/usr/bin/convert"})
        if (std::filesystem::exists(c)) return c;
    return "convert";
}

double SecondsOf(const std::string& command) {
    const auto t0 = std::chrono::steady_clock::now();
    const int rc = std::system(command.c_str());
    const auto t1 = std::chrono::steady_clock::now();
    if (rc != 0) return -1.0;
    return std::chrono::duration<double>(t1 - t0).count();
}

void BM_ImageMagickRemapSideBySide(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "pixtrel-pixel-bench";
    std::filesystem::create_directories(dir);
    const auto in = dir / "in.ppm", pal = dir / "pal.ppm", out = dir / "out.ppm", copy = dir / "copy.ppm";
    WritePpm(in, Picture().bgra.data(), kW, kH);
    const px::Palette8bpp& p = Palette();
    std::vector<uint8_t> palPixels(static_cast<size_t>(p.MaxCount()) * 4);
    std::copy_n(p.PalettePtr(), palPixels.size(), palPixels.begin());
    WritePpm(pal, palPixels.data(), p.MaxCount(), 1);

    const std::string magick = ConvertCommand();
    const std::string remap = magick + " " + in.string() + " -dither FloydSteinberg -remap " + pal.string() + " " +
                              out.string();
    const std::string ioOnly = magick + " " + in.string() + " " + copy.string();
    double magickTotal = 0, magickIo = 0, ours = 0;
    int64_t n = 0;
    Screenshot32 work = Picture();
    px::IndexBuffer8bpp ids;
    for (auto _ : state) {
        const double r = SecondsOf(remap);
        const double io = SecondsOf(ioOnly);
        if (r < 0 || io < 0) {
            state.SkipWithError("ImageMagick convert failed");
            break;
        }
        work.bgra = Picture().bgra;
        const auto t0 = std::chrono::steady_clock::now();
        DitherOnce(work, ids);
        ours += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        magickTotal += r;
        magickIo += io;
        ++n;
    }
    if (n == 0) return;
    state.counters["ours_ms"] = 1000 * ours / n;
    state.counters["magick_ms"] = 1000 * magickTotal / n;
    state.counters["magick_io_ms"] = 1000 * magickIo / n;
    state.counters["ratio_total"] = magickTotal / ours;
    state.counters["ratio_less_io"] = (magickTotal - magickIo) / ours;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ImageMagickRemapSideBySide)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Keeps every run's median CPU and wall time for the summary.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                const std::string name = run.run_name.str();
                cpu[name] = run.GetAdjustedCPUTime();
                wall[name] = run.GetAdjustedRealTime();
                for (const auto& [key, counter] : run.counters) counters[name + ":" + key] = counter.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> cpu, wall, counters;
};

void PrintSummary(const RecordingReporter& r) {
    auto get = [](const std::map<std::string, double>& m, const std::string& key) {
        const auto it = m.find(key);
        return it == m.end() ? -1.0 : it->second;
    };
    std::printf("\nPixel engine at %d x %d (medians of this run; AVX2, forced SSE2, forced scalar):\n", kW, kH);
    const struct {
        const char* label;
        const char* name;
        double target;
    } rows[] = {{"brightness/contrast process", "BM_BrightnessContrastProcess", 4},
                {"CountColors", "BM_CountColors", 8},
                {"Floyd-Steinberg to 256 colours", "BM_FloydSteinbergColour256", 25},
                {"mirror left-right", "BM_MirrorLeftRight", 0},
                {"quarter turn", "BM_RotateQuarter", 0}};
    for (const auto& row : rows) {
        for (const char* level : {"2", "1", "0"}) {
            const std::string name = std::string(row.name) + "/" + level;
            if (get(r.cpu, name) < 0) continue;
            std::printf("%-32s %-6s CPU %7.2f ms  wall %7.2f ms", row.label,
                        level[0] == '2' ? "AVX2" : level[0] == '1' ? "SSE2" : "scalar", get(r.cpu, name), get(r.wall, name));
            if (row.target > 0) std::printf("  (target %.0f ms)", row.target);
            std::printf("\n");
        }
        if (std::string(row.name) == "BM_BrightnessContrastProcess" && get(r.cpu, "BM_MemcpyAnchor") > 0)
            std::printf("%-32s %-6s CPU %7.2f ms  wall %7.2f ms  (the same %.1f MB copied)\n", "  anchor: memcpy", "",
                        get(r.cpu, "BM_MemcpyAnchor"), get(r.wall, "BM_MemcpyAnchor"),
                        static_cast<double>(Picture24().bytes.size()) / 1e6);
    }
    const std::string im = "BM_ImageMagickRemapSideBySide/iterations:3/real_time";
    if (get(r.counters, im + ":ours_ms") > 0) {
        std::printf("ImageMagick remap (same picture and palette, Floyd-Steinberg): %.1f ms wall, %.1f ms without its file "
                    "reading and writing; ours %.1f ms wall: ImageMagick / ours = %.1fx (%.1fx without its I/O)\n",
                    get(r.counters, im + ":magick_ms"),
                    get(r.counters, im + ":magick_ms") - get(r.counters, im + ":magick_io_ms"),
                    get(r.counters, im + ":ours_ms"), get(r.counters, im + ":ratio_total"),
                    get(r.counters, im + ":ratio_less_io"));
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
