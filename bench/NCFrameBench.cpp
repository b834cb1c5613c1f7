// Hit testing of the frame manager is pure geometry: the cost of one hit code
// over a grid of points of a wide window, with sizing on and off.
#include <benchmark/benchmark.h>

#include "skin/core/NCFrameGeometry.h"

namespace {

void BM_FrameHitCode(benchmark::State& state) {
    const bool canSize = state.range(0) != 0;
    const veltrim::core::Margins m{4, 40, 4, 4};
    int x = 0, y = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(veltrim::core::FrameHitCode(x, y, 3840, 600, m, 18, canSize));
        x = (x + 37) % 3840;
        y = (y + 13) % 600;
    }
}
BENCHMARK(BM_FrameHitCode)->Arg(1)->Arg(0);

}  // namespace

BENCHMARK_MAIN();
