#pragma once
// Screenshot-like test pictures for the JPEG encoder's tests and benchmark:
// flat window panels, lines of small dark "glyphs" on light ground, coloured
// icons, a title-bar gradient and a photo-like area with noise. Deterministic.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace px::test {

struct BgrPicture {
    int width = 0;
    int height = 0;
    size_t stride = 0;  // bytes per row in memory
    std::vector<uint8_t> bytes;  // rows top-down unless the test says otherwise

    uint8_t* Pixel(int x, int y) { return bytes.data() + static_cast<size_t>(y) * stride + 3 * static_cast<size_t>(x); }
    const uint8_t* Pixel(int x, int y) const {
        return bytes.data() + static_cast<size_t>(y) * stride + 3 * static_cast<size_t>(x);
    }
};

class TestRandom {
public:
    explicit TestRandom(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t Next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 7;
        s_ ^= s_ << 17;
        return static_cast<uint32_t>(s_ >> 16);
    }
    int Range(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint32_t>(hi - lo + 1)); }

private:
    uint64_t s_;
};

inline void FillRect(BgrPicture& p, int x0, int y0, int w, int h, uint8_t b, uint8_t g, uint8_t r) {
    const int x1 = std::min(p.width, x0 + w), y1 = std::min(p.height, y0 + h);
    for (int y = std::max(0, y0); y < y1; ++y) {
        for (int x = std::max(0, x0); x < x1; ++x) {
            uint8_t* px = p.Pixel(x, y);
            px[0] = b;
            px[1] = g;
            px[2] = r;
        }
    }
}

// `padBytes` extra bytes at the end of every row (filled with junk that must not matter).
inline BgrPicture MakeScreenshot(int width, int height, uint64_t seed = 1, size_t padBytes = 0) {
    BgrPicture p;
    p.width = width;
    p.height = height;
    p.stride = 3 * static_cast<size_t>(width) + padBytes;
    p.bytes.assign(p.stride * static_cast<size_t>(height), 0xA5);
    TestRandom rnd(seed);
    FillRect(p, 0, 0, width, height, 0xF0, 0xF0, 0xF0);  // desktop-grey ground

    // Title bar: blue gradient from left to right.
    const int bar = std::max(1, height / 30);
    for (int y = 0; y < std::min(bar, height); ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* px = p.Pixel(x, y);
            const int t = width > 1 ? x * 255 / (width - 1) : 0;
            px[0] = static_cast<uint8_t>(200 - t / 4);
            px[1] = static_cast<uint8_t>(90 + t / 3);
            px[2] = static_cast<uint8_t>(20 + t / 8);
        }
    }

    // White document panel with lines of glyphs.
    const int panelX = width / 20, panelY = bar + height / 20;
    const int panelW = width * 11 / 20, panelH = height * 17 / 20 - bar;
    FillRect(p, panelX, panelY, panelW, panelH, 0xFF, 0xFF, 0xFF);
    for (int line = panelY + 6; line + 12 < panelY + panelH; line += 16) {
        int x = panelX + 6;
        while (x + 10 < panelX + panelW) {
            const int glyphW = rnd.Range(3, 7);
            const bool coloured = rnd.Next() % 23 == 0;
            const uint8_t ink = static_cast<uint8_t>(rnd.Range(0, 40));
            for (int stroke = 0; stroke < 3; ++stroke) {
                const bool vertical = rnd.Next() % 2 == 0;
                const int sx = x + rnd.Range(0, glyphW - 1), sy = line + rnd.Range(0, 8);
                if (vertical) FillRect(p, sx, sy, 1, rnd.Range(3, 10), coloured ? 200 : ink, coloured ? 60 : ink, ink);
                else FillRect(p, x, sy, glyphW, 1, coloured ? 200 : ink, coloured ? 60 : ink, ink);
            }
            x += glyphW + rnd.Range(1, 2);
            if (rnd.Next() % 7 == 0) x += 5;  // word gap
        }
    }

    // Coloured icons down the right side.
    const int iconX = panelX + panelW + width / 40;
    for (int y = panelY; y + 32 < height; y += 48) {
        FillRect(p, iconX, y, 32, 32, static_cast<uint8_t>(rnd.Range(0, 255)), static_cast<uint8_t>(rnd.Range(0, 255)),
                 static_cast<uint8_t>(rnd.Range(0, 255)));
        FillRect(p, iconX + 8, y + 8, 16, 16, 0xFF, 0xFF, 0xFF);
    }

    // Photo-like area: smooth colour field with grain.
    const int photoX = iconX + 48, photoY = panelY, photoW = width - photoX - width / 40, photoH = panelH / 2;
    for (int y = std::max(0, photoY); y < std::min(height, photoY + photoH); ++y) {
        for (int x = std::max(0, photoX); x < std::min(width, photoX + photoW); ++x) {
            uint8_t* px = p.Pixel(x, y);
            const double s = std::sin(x * 0.021) * std::cos(y * 0.017) + std::sin((x + 2 * y) * 0.006);
            const int grain = rnd.Range(-12, 12);
            px[0] = static_cast<uint8_t>(std::clamp(static_cast<int>(90 + 50 * s) + grain, 0, 255));
            px[1] = static_cast<uint8_t>(std::clamp(static_cast<int>(120 + 60 * s) + grain, 0, 255));
            px[2] = static_cast<uint8_t>(std::clamp(static_cast<int>(150 - 40 * s) + grain, 0, 255));
        }
    }
    return p;
}

// PSNR over the blue, green and red bytes of two equal-sized pictures.
inline double Psnr(const BgrPicture& a, const BgrPicture& b) {
    double sum = 0;
    for (int y = 0; y < a.height; ++y) {
        const uint8_t* pa = a.Pixel(0, y);
        const uint8_t* pb = b.Pixel(0, y);
        for (int i = 0; i < 3 * a.width; ++i) {
            const double d = static_cast<double>(pa[i]) - pb[i];
            sum += d * d;
        }
    }
    const double mse = sum / (3.0 * a.width * a.height);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace px::test
