// JPEG saving: our encoder beside libjpeg-turbo (TurboJPEG API, single thread)
// on the same screenshot-like pictures, in memory, quality 90.
//
// First a fidelity table (every file decoded with libjpeg-turbo and compared
// with the source), then the timed runs, then the speed ratios of this run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "export/core/JpegEncoder.h"
#include "export/core/JpegKernels.h"
#include "tests/core/JpegTestPicture.h"

#ifdef PIXTREL_HAVE_TURBOJPEG
#include <turbojpeg.h>
#endif

namespace {

using px::test::BgrPicture;
namespace jpeg = px::jpeg;

constexpr int kQuality = 90;

const BgrPicture& Screenshot(int width, int height) {
    static std::map<std::pair<int, int>, BgrPicture> cache;
    auto it = cache.find({width, height});
    if (it == cache.end()) it = cache.emplace(std::pair{width, height}, px::test::MakeScreenshot(width, height, 1)).first;
    return it->second;
}

class VectorSink : public jpeg::Sink {
public:
    bool Write(const uint8_t* data, size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<uint8_t> bytes;
};

void EncodeOurs(const BgrPicture& p, jpeg::Subsampling subsampling, VectorSink& sink, int threads = 1) {
    const jpeg::Picture picture{p.bytes.data(), p.width, p.height, static_cast<ptrdiff_t>(p.stride), false};
    jpeg::Settings settings;
    settings.quality = kQuality;
    settings.subsampling = subsampling;
    settings.threads = threads;
    sink.bytes.clear();
    if (jpeg::Encode(picture, settings, sink) != jpeg::EncodeResult::Ok) std::abort();
}

// Arguments: width, height, 4:4:4, threads (0: all processors), SSE2 forced.
void BM_Ours(benchmark::State& state) {
    const BgrPicture& p = Screenshot(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const auto subsampling = state.range(2) ? jpeg::Subsampling::Chroma444 : jpeg::Subsampling::Chroma420;
    if (state.range(4)) jpeg::ForceSimdLevel(jpeg::SimdLevel::Sse2);
    VectorSink sink;
    sink.bytes.reserve(p.bytes.size());
    for (auto _ : state) {
        EncodeOurs(p, subsampling, sink, static_cast<int>(state.range(3)));
        benchmark::DoNotOptimize(sink.bytes.data());
    }
    jpeg::ResetSimdLevel();
    state.counters["MP"] = benchmark::Counter(static_cast<double>(p.width) * p.height * state.iterations() / 1e6,
                                                benchmark::Counter::kIsRate);
    state.counters["bytes"] = static_cast<double>(sink.bytes.size());
}
BENCHMARK(BM_Ours)
    ->Args({1920, 1080, 0, 1, 0})
    ->Args({3840, 2160, 0, 1, 0})
    ->Args({3840, 2160, 0, 1, 1})
    ->Args({1920, 1080, 1, 1, 0})
    ->Unit(benchmark::kMillisecond);
// All processors: CPU time of the whole process, wall time compared.
BENCHMARK(BM_Ours)->Name("BM_OursAllCores")->Args({3840, 2160, 0, 0, 0})->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

#ifdef PIXTREL_HAVE_TURBOJPEG
// TurboJPEG's defaults (its fast DCT, standard Huffman tables), or with the
// accurate DCT and optimised tables (TJ_OPTIMIZE is read on every call).
std::vector<uint8_t> EncodeTurbo(tjhandle handle, const BgrPicture& p, bool optimised, unsigned char* buffer,
                                 unsigned long capacity) {
    if (optimised) setenv("TJ_OPTIMIZE", "1", 1);
    unsigned long size = capacity;
    const int flags = TJFLAG_NOREALLOC | (optimised ? TJFLAG_ACCURATEDCT : 0);
    const int rc = tjCompress2(handle, p.bytes.data(), p.width, static_cast<int>(p.stride), p.height, TJPF_BGR, &buffer,
                               &size, TJSAMP_420, kQuality, flags);
    if (optimised) unsetenv("TJ_OPTIMIZE");
    if (rc != 0) std::abort();
    return std::vector<uint8_t>(buffer, buffer + size);
}

void BM_LibjpegTurbo(benchmark::State& state) {
    const BgrPicture& p = Screenshot(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    tjhandle handle = tjInitCompress();
    const unsigned long capacity = tjBufSize(p.width, p.height, TJSAMP_420);
    unsigned char* buffer = tjAlloc(static_cast<int>(capacity));
    unsigned long size = 0;
    for (auto _ : state) {
        size = capacity;
        if (tjCompress2(handle, p.bytes.data(), p.width, static_cast<int>(p.stride), p.height, TJPF_BGR, &buffer, &size,
                        TJSAMP_420, kQuality, TJFLAG_NOREALLOC) != 0)
            std::abort();
        benchmark::DoNotOptimize(buffer);
    }
    state.counters["MP"] = benchmark::Counter(static_cast<double>(p.width) * p.height * state.iterations() / 1e6,
                                                benchmark::Counter::kIsRate);
    state.counters["bytes"] = static_cast<double>(size);
    tjFree(buffer);
    tjDestroy(handle);
}
BENCHMARK(BM_LibjpegTurbo)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

BgrPicture Decode(const std::vector<uint8_t>& bytes) {
    tjhandle handle = tjInitDecompress();
    int w = 0, h = 0, subsamp = 0, colorspace = 0;
    tjDecompressHeader3(handle, bytes.data(), static_cast<unsigned long>(bytes.size()), &w, &h, &subsamp, &colorspace);
    BgrPicture p;
    p.width = w;
    p.height = h;
    p.stride = 3 * static_cast<size_t>(w);
    p.bytes.resize(p.stride * h);
    tjDecompress2(handle, bytes.data(), static_cast<unsigned long>(bytes.size()), p.bytes.data(), w, 0, h, TJPF_BGR, 0);
    tjDestroy(handle);
    return p;
}

void PrintFidelity() {
    std::printf("Quality %d, decoded with libjpeg-turbo, PSNR over blue, green and red against the source:\n", kQuality);
    std::printf("%-11s %-42s %10s %9s\n", "picture", "encoder", "bytes", "PSNR dB");
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
        const BgrPicture& p = Screenshot(w, h);
        const std::string name = std::to_string(w) + "x" + std::to_string(h);
        tjhandle handle = tjInitCompress();
        const unsigned long capacity = tjBufSize(w, h, TJSAMP_420);
        unsigned char* buffer = tjAlloc(static_cast<int>(capacity));
        const auto turboDefault = EncodeTurbo(handle, p, false, buffer, capacity);
        const auto turboOptimised = EncodeTurbo(handle, p, true, buffer, capacity);
        tjFree(buffer);
        tjDestroy(handle);
        VectorSink ours420, ours444;
        EncodeOurs(p, jpeg::Subsampling::Chroma420, ours420);
        EncodeOurs(p, jpeg::Subsampling::Chroma444, ours444);
        const struct {
            const char* encoder;
            const std::vector<uint8_t>& bytes;
        } rows[] = {{"libjpeg-turbo 4:2:0 (defaults)", turboDefault},
                    {"libjpeg-turbo 4:2:0 (accurate, optimised)", turboOptimised},
                    {"ours 4:2:0", ours420.bytes},
                    {"ours 4:4:4 (automatic choice at 90)", ours444.bytes}};
        for (const auto& row : rows) {
            std::printf("%-11s %-42s %10zu %9.3f\n", name.c_str(), row.encoder, row.bytes.size(),
                        px::test::Psnr(p, Decode(row.bytes)));
        }
        std::printf("%-11s ours 4:2:0 / optimised libjpeg-turbo: size %.4f, PSNR %+.3f dB\n", name.c_str(),
                    static_cast<double>(ours420.bytes.size()) / turboOptimised.size(),
                    px::test::Psnr(p, Decode(ours420.bytes)) - px::test::Psnr(p, Decode(turboOptimised)));
    }
    std::printf("\n");
}
#endif

// Keeps the CPU time of every run (steadier than wall time on a shared
// machine) so the ratios of this run can be printed.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                seconds[run.run_name.str()] = run.GetAdjustedCPUTime();
                wall[run.run_name.str()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds, wall;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
#ifdef PIXTREL_HAVE_TURBOJPEG
    PrintFidelity();
#endif
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Ratios of this run: above 1 means ours is faster.
    auto find = [&](const std::map<std::string, double>& m, const std::string& name) {
        const auto it = m.find(name);
        return it == m.end() ? 0.0 : it->second;
    };
    auto ratio = [&](const char* label, const std::string& ours, const std::string& theirs) {
        const double oc = find(reporter.seconds, ours), tc = find(reporter.seconds, theirs);
        const double ow = find(reporter.wall, ours), tw = find(reporter.wall, theirs);
        if (oc > 0 && tc > 0)
            std::printf("%-44s CPU %7.1f ms vs %7.1f ms = %.2fx   wall %7.1f ms vs %7.1f ms = %.2fx\n", label, oc, tc, tc / oc,
                        ow, tw, tw / ow);
    };
    std::printf("\nSpeed against libjpeg-turbo (single thread, quality %d, 4:2:0, medians of this run):\n", kQuality);
    ratio("1920x1080 one thread", "BM_Ours/1920/1080/0/1/0", "BM_LibjpegTurbo/1920/1080");
    ratio("3840x2160 one thread", "BM_Ours/3840/2160/0/1/0", "BM_LibjpegTurbo/3840/2160");
    ratio("3840x2160 one thread, SSE2 forced", "BM_Ours/3840/2160/0/1/1", "BM_LibjpegTurbo/3840/2160");
    ratio("3840x2160 all cores (process CPU; wall)", "BM_OursAllCores/3840/2160/0/0/0/process_time/real_time",
          "BM_LibjpegTurbo/3840/2160");
    benchmark::Shutdown();
    return 0;
}
