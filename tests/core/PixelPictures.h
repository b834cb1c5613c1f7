#pragma once
// Small owned pictures for the pixel tests: the buffers' layouts over a vector.
#include <cstdint>
#include <functional>
#include <vector>

#include "base/Error.h"

#include "imaging/core/Dib24.h"
#include "imaging/core/Dib32.h"

namespace px::test {

// The number of the px::Error that `f` raises, 0 when it raises none.
inline int ErrorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

struct Picture24 {
    Picture24(int32_t w, int32_t h, uint8_t fill = 0)
        : width(w), height(h), bps(BytesPerScanLine24(w)), bytes(static_cast<size_t>(bps) * h, fill) {}
    Dib24Bits bits() { return Dib24Bits{bytes.data(), width, height, bps}; }
    uint8_t& at(int32_t memoryRow, int32_t byteIndex) { return bytes.at(static_cast<size_t>(memoryRow * bps + byteIndex)); }
    int32_t width, height, bps;
    std::vector<uint8_t> bytes;
};

struct Picture32 {
    Picture32(int32_t w, int32_t h) : width(w), height(h), bytes(static_cast<size_t>(w) * h * 4, 0) {}
    Pixels32 pixels() { return Pixels32{bytes.data(), width, height}; }
    uint8_t* px(int32_t x, int32_t y) { return &bytes.at(static_cast<size_t>((y * width + x) * 4)); }
    void set(int32_t x, int32_t y, uint8_t b, uint8_t g, uint8_t r, uint8_t a = 0) {
        uint8_t* p = px(x, y);
        p[0] = b;
        p[1] = g;
        p[2] = r;
        p[3] = a;
    }
    uint32_t value(int32_t x, int32_t y) {
        const uint8_t* p = px(x, y);
        return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    }
    int32_t width, height;
    std::vector<uint8_t> bytes;
};

}  // namespace px::test
