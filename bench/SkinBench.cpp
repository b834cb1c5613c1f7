// Skin recolouring and stored-skin figures: the colourise and channel passes
// over a 3840 x 2160 screenshot-like picture beside the pixel engine's
// brightness/contrast on the same picture, the passes over a caption-sized
// bitmap, and the portable halves of Store and Restore (document built,
// values read back).
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/ScreenshotPicture.h"
#include "imaging/core/BrightnessContrast.h"
#include "imaging/core/Dib24.h"
#include "skin/core/Colourise.h"
#include "skin/core/SkinDocument.h"

namespace {

struct Buffer24 {
    int32_t w, h, bps;
    std::vector<uint8_t> bytes;
    Buffer24(int32_t w_, int32_t h_) : w(w_), h(h_), bps(px::BytesPerScanLine24(w_)), bytes(static_cast<size_t>(bps) * h_) {}
    px::Dib24Bits bits() { return px::Dib24Bits{bytes.data(), w, h, bps}; }
};

Buffer24 Picture(int32_t w, int32_t h) {
    const px::bench::Screenshot32 s = px::bench::MakeScreenshot(w, h);
    Buffer24 out(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            std::copy_n(&s.bgra[(static_cast<size_t>(y) * w + x) * 4], 3,
                        &out.bytes[static_cast<size_t>(h - 1 - y) * out.bps + 3 * x]);
    return out;
}

const Buffer24& Screen() {
    static const Buffer24 b = Picture(3840, 2160);
    return b;
}

// A caption bitmap about as wide as the main window's (right end at 779, three buttons).
const Buffer24& Caption() {
    static const Buffer24 b = Picture(840, 30);
    return b;
}

constexpr int32_t kKey = 0xFF00FF;

void BM_BrightnessContrastProcess(benchmark::State& state) {
    Buffer24 src = Screen();
    Buffer24 dst(src.w, src.h);
    px::cBrightnessContrast bc;
    bc.Contrast(px::ContrastFromSlider(137));
    bc.Brightness(px::BrightnessFromSlider(300));
    for (auto _ : state) {
        bc.process(src.bits(), dst.bits());
        benchmark::DoNotOptimize(dst.bytes.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BrightnessContrastProcess)->Unit(benchmark::kMillisecond);

// The passes work in place; each round starts from a fresh copy, outside the timing.
template <typename Pass>
void RunPass(benchmark::State& state, const Buffer24& source, Pass pass) {
    Buffer24 work = source;
    for (auto _ : state) {
        state.PauseTiming();
        work.bytes = source.bytes;
        state.ResumeTiming();
        pass(work.bits());
        benchmark::DoNotOptimize(work.bytes.data());
        benchmark::ClobberMemory();
    }
}

void BM_AdjustRGBBits3840x2160(benchmark::State& state) {
    RunPass(state, Screen(), [](const px::Dib24Bits& b) { px::AdjustRGBBits(b, kKey, 0.25f, -0.3f, 0.1f); });
}
BENCHMARK(BM_AdjustRGBBits3840x2160)->Unit(benchmark::kMillisecond);

void BM_ColouriseBits3840x2160(benchmark::State& state) {
    RunPass(state, Screen(), [](const px::Dib24Bits& b) { px::ColouriseBits(b, kKey, 3.6f, 0.45f); });
}
BENCHMARK(BM_ColouriseBits3840x2160)->Unit(benchmark::kMillisecond);

void BM_ColouriseBitsCaption(benchmark::State& state) {
    RunPass(state, Caption(), [](const px::Dib24Bits& b) { px::ColouriseBits(b, kKey, 3.6f, 0.45f); });
}
BENCHMARK(BM_ColouriseBitsCaption)->Unit(benchmark::kMicrosecond);

void BM_AdjustRGBBitsCaption(benchmark::State& state) {
    RunPass(state, Caption(), [](const px::Dib24Bits& b) { px::AdjustRGBBits(b, kKey, 0.25f, -0.3f, 0.1f); });
}
BENCHMARK(BM_AdjustRGBBitsCaption)->Unit(benchmark::kMicrosecond);

px::SkinValues Skin() {
    px::SkinValues v = px::SkinValues::Defaults({px::kSkinFontName, 82500, false, false, false, false, 0});
    v.Name = "Steel";
    v.Hue = 2.5f;
    v.Saturation = 0.4f;
    v.ButtonWidth = 19;
    v.ActiveRightStart = 775;
    return v;
}

void BM_StoreSkinDocument(benchmark::State& state) {
    const px::SkinValues v = Skin();
    for (auto _ : state) benchmark::DoNotOptimize(px::StoreSkinDocument(v));
}
BENCHMARK(BM_StoreSkinDocument)->Unit(benchmark::kMicrosecond);

void BM_RestoreSkinValues(benchmark::State& state) {
    const px::XmlElement doc = px::StoreSkinDocument(Skin());
    const px::SkinValues current;
    const px::SkinFont font{px::kSkinFontName, 82500, false, false, false, false, 0};
    for (auto _ : state) benchmark::DoNotOptimize(px::RestoreSkinValues(doc, current, font));
}
BENCHMARK(BM_RestoreSkinValues)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
