#pragma once
// A deterministic 32-bit picture that looks like a desktop screenshot: a
// gradient wallpaper, windows with title bars, flat panels, lines of
// glyph-like text, icons and (unless left out, for a flat UI screenshot) a
// photo-like area with smooth colour and noise.
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace px::bench {

struct Screenshot32 {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bgra;  // top-down, 4 bytes a pixel

    void Fill(int32_t x0, int32_t y0, int32_t w, int32_t h, uint8_t r, uint8_t g, uint8_t b) {
        for (int32_t y = std::max(0, y0); y < std::min(height, y0 + h); ++y)
            for (int32_t x = std::max(0, x0); x < std::min(width, x0 + w); ++x) Set(x, y, r, g, b);
    }
    void Set(int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
        p[0] = b;
        p[1] = g;
        p[2] = r;
        p[3] = 0;
    }
};

// Smooth colour with the same noise on red, green and blue: most of a palette's error lands here.
inline void PaintPhoto(Screenshot32& s, std::mt19937& rng) {
    auto rnd = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int32_t px0 = s.width / 3, py0 = s.height / 3, pw = s.width / 3, ph = s.height / 3;
    for (int32_t y = py0; y < py0 + ph; ++y)
        for (int32_t x = px0; x < px0 + pw; ++x) {
            const int n = rnd(-12, 12);
            auto c = [n](int v) { return static_cast<uint8_t>(std::clamp(v + n, 0, 255)); };
            s.Set(x, y, c(128 + 100 * (x - px0) / pw - 50 * (y - py0) / ph), c(90 + 120 * (y - py0) / ph),
                  c(200 - 150 * (x - px0) / pw));
        }
}

inline Screenshot32 MakeScreenshot(int32_t width, int32_t height, uint32_t seed = 42, bool photo = true) {
    Screenshot32 s{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
    std::mt19937 rng(seed);
    auto rnd = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    // wallpaper
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            s.Set(x, y, static_cast<uint8_t>(20 + 60 * y / height), static_cast<uint8_t>(60 + 90 * x / width),
                  static_cast<uint8_t>(120 + 100 * (x + y) / (width + height)));
    // windows with title bars, text lines and icons
    for (int w = 0; w < 14; ++w) {
        const int32_t ww = rnd(width / 6, width / 2), wh = rnd(height / 6, height / 2);
        const int32_t wx = rnd(0, width - ww), wy = rnd(0, height - wh);
        const uint8_t panel = static_cast<uint8_t>(rnd(225, 255));
        s.Fill(wx, wy, ww, wh, panel, panel, static_cast<uint8_t>(panel - rnd(0, 10)));
        s.Fill(wx, wy, ww, 30, static_cast<uint8_t>(rnd(0, 80)), static_cast<uint8_t>(rnd(60, 140)),
               static_cast<uint8_t>(rnd(150, 230)));
        for (int32_t ty = wy + 44; ty + 12 < wy + wh; ty += 18) {
            for (int32_t tx = wx + 10; tx + 8 < wx + ww - 10; tx += 8) {
                if (rnd(0, 6) == 0) continue;  // spaces between words
                for (int k = 0; k < 14; ++k) {
                    const int32_t gx = tx + rnd(0, 6), gy = ty + rnd(0, 11);
                    const uint8_t ink = static_cast<uint8_t>(rnd(0, 110));  // anti-aliased greys
                    s.Set(gx, gy, ink, ink, static_cast<uint8_t>(ink + rnd(0, 20)));
                }
            }
        }
        for (int i = 0; i < 6; ++i)
            s.Fill(wx + 12 + i * 40, wy + 6, 18, 18, static_cast<uint8_t>(rnd(0, 255)),
                   static_cast<uint8_t>(rnd(0, 255)), static_cast<uint8_t>(rnd(0, 255)));
    }
    if (photo) PaintPhoto(s, rng);
    // task bar
    s.Fill(0, height - 48, width, 48, 32, 32, 40);
    return s;
}

// Nearest-pixel reduction (what stretch mode 3 does) for the palette's sample.
inline Screenshot32 Reduce(const Screenshot32& s, int32_t w, int32_t h) {
    Screenshot32 r{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h * 4)};
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const int32_t sx = static_cast<int32_t>(static_cast<int64_t>(x) * s.width / w);
            const int32_t sy = static_cast<int32_t>(static_cast<int64_t>(y) * s.height / h);
            std::copy_n(&s.bgra[(static_cast<size_t>(sy) * s.width + sx) * 4], 4, &r.bgra[(static_cast<size_t>(y) * w + x) * 4]);
        }
    return r;
}

}  // namespace px::bench
