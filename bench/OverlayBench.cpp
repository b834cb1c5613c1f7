// The selection overlay's frame bookkeeping at 3840 x 2160: per mouse move the
// covers of the band and the controls are computed, last frame's cover is
// restored from the frozen desktop and old and new covers are merged for the
// copy to the window. Beside it, the full clear an overlay without damage
// tracking would do (the whole frozen desktop copied back every move).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "capture/core/OverlayDamage.h"

namespace {

using namespace px::capture;

constexpr int kW = 3840;
constexpr int kH = 2160;
const Rect kScreen{0, 0, kW, kH};

struct Frames {
    std::vector<uint32_t> frozen, canvas;
    Frames() : frozen(static_cast<size_t>(kW) * kH), canvas(static_cast<size_t>(kW) * kH) {
        for (size_t i = 0; i < frozen.size(); ++i) frozen[i] = static_cast<uint32_t>(i * 2654435761u);
        canvas = frozen;
    }
    px::View2D<uint32_t> target() { return {canvas.data(), kW, kH, kW}; }
    px::View2D<const uint32_t> source() const { return {frozen.data(), kW, kH, kW}; }
};

Frames& Shared() {
    static Frames f;
    return f;
}

// The cursor sweeping most of the screen, as in a large selection.
Point CursorAt(int64_t i) { return {kW - 10 - static_cast<int>(i % 50) * 3, kH - 10 - static_cast<int>(i % 40) * 2}; }

std::vector<Rect> FrameCover(bool ellipse, Point start, Point cursor) {
    std::vector<Rect> cover = ellipse ? EllipseOutlineCover(EllipseBox(start, cursor), 1)
                                      : RectangleOutlineCover(start, cursor, 1);
    auto layout = ControlsLayout(start, cursor);
    cover.push_back(layout.magnifierFrame);
    cover.push_back(RectAt(layout.coordinatesLabel.x, layout.coordinatesLabel.y, 90, 17));
    cover.push_back(RectAt(layout.sizeLabel.x, layout.sizeLabel.y, 90, 30));
    return ClipRects(cover, kScreen);
}

void MoveFrames(benchmark::State& state, bool ellipse) {
    Frames& f = Shared();
    const Point start{5, 5};
    std::vector<Rect> drawn;
    int64_t i = 0, restored = 0;
    for (auto _ : state) {
        std::vector<Rect> cover = FrameCover(ellipse, start, CursorAt(i++));
        RestoreRects(f.target(), f.source(), drawn);
        restored += TotalArea(drawn);
        std::vector<Rect> present = drawn;
        present.insert(present.end(), cover.begin(), cover.end());
        present = MergeRects(present);
        benchmark::DoNotOptimize(present.data());
        drawn = std::move(cover);
    }
    state.counters["restored_px"] = benchmark::Counter(static_cast<double>(restored) / static_cast<double>(i));
}

void BM_RectangleBandMove(benchmark::State& state) { MoveFrames(state, false); }
void BM_EllipseBandMove(benchmark::State& state) { MoveFrames(state, true); }

void BM_FullClearMove(benchmark::State& state) {
    Frames& f = Shared();
    for (auto _ : state) {
        RestoreRects(f.target(), f.source(), {&kScreen, 1});
        benchmark::DoNotOptimize(f.canvas.data());
    }
    state.counters["restored_px"] = benchmark::Counter(static_cast<double>(kW) * kH);
}

BENCHMARK(BM_RectangleBandMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EllipseBandMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullClearMove)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
