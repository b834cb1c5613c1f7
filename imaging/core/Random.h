#pragma once
// The process-wide uniform generator in [0, 1) that the pixel noise of both
// buffers draws from. One UI thread uses it; nothing is locked.
#include <cstdint>

namespace px {

class UniformRandom {
public:
    explicit UniformRandom(uint64_t seed = 0x9E3779B97F4A7C15ull) { Seed(seed); }
    void Seed(uint64_t seed) noexcept { state_ = seed; }
    // Uniform in [0, 1) with 53 random bits (splitmix64).
    double Next() noexcept {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * 0x1.0p-53;
    }

private:
    uint64_t state_ = 0;
};

// Shared by every filter of the process; filters draw from it and never reseed it.
UniformRandom& ProcessRandom();

}  // namespace px
