#pragma once
// Timing for the benches that run under the real platform: the process's CPU
// time (kernel and user, so the platform's share counts) and the medians of
// CPU and wall time over several runs, the figures every bench reports.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace px::bench {

inline double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](FILETIME f) { return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

inline double WallMs(const std::function<void()>& work) {
    const auto t0 = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

inline double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median of `runs` figures that once() measures itself.
inline double MedianOf(int runs, const std::function<double()>& once) {
    std::vector<double> values;
    for (int i = 0; i < runs; ++i) values.push_back(once());
    return MedianOf(std::move(values));
}

struct Figure {
    double cpuMs, wallMs;
};

// Median CPU and wall time of `runs` runs of work.
inline Figure MedianTimes(int runs, const std::function<void()>& work) {
    std::vector<double> cpu, wall;
    for (int i = 0; i < runs; ++i) {
        const double c0 = ProcessCpuMs();
        wall.push_back(WallMs(work));
        cpu.push_back(ProcessCpuMs() - c0);
    }
    return {MedianOf(std::move(cpu)), MedianOf(std::move(wall))};
}

}  // namespace px::bench
