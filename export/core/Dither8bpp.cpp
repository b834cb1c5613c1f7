#include "export/core/Dither8bpp.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "base/Rounding.h"

namespace px {

namespace {

[[noreturn]] void RaiseOverflow() { throw Error(ErrorNumber::Overflow, "", "Overflow"); }

int32_t CheckedInt32(int64_t v) {
    if (v < 0 || v > std::numeric_limits<int32_t>::max()) RaiseOverflow();
    return static_cast<int32_t>(v);
}

// Floyd-Steinberg share of one channel error: (e x k) / 16 truncated toward zero.
inline void AddShare(uint8_t* p, const int32_t (&e)[3], int32_t k) {
    for (int c = 0; c < 3; ++c) p[c] = ClampByte(p[c] + TruncDiv(e[c] * k, 16));
}

// Spreads a pixel's error to right, below, below-right, below-left, when the
// summed magnitude is above 3.
inline void Diffuse(const int32_t (&e)[3], uint8_t* pixel, uint8_t* below, size_t x, size_t w) {
    if (std::abs(e[0]) + std::abs(e[1]) + std::abs(e[2]) <= 3) return;
    const bool hasRight = x + 1 < w;
    if (hasRight) AddShare(pixel + 4, e, 7);
    if (below) {
        AddShare(below, e, 5);
        if (hasRight) AddShare(below + 4, e, 1);
        if (x > 0) AddShare(below - 4, e, 3);
    }
}

}  // namespace

const std::array<uint8_t, 256>& DitherLevelMap() {
    static const std::array<uint8_t, 256> map = [] {
        std::array<uint8_t, 256> m{};
        for (int v = 0; v < 256; ++v) m[static_cast<size_t>(v)] = static_cast<uint8_t>(RoundHalfEven(v / 17.0));
        return m;
    }();
    return map;
}

ColorLookupTable BuildColorLookupTable(const std::function<int64_t(uint8_t, uint8_t, uint8_t)>& nearest) {
    ColorLookupTable t{};
    for (int r = 0; r < 16; ++r)
        for (int g = 0; g < 16; ++g)
            for (int b = 0; b < 16; ++b) {
                const int64_t n = nearest(static_cast<uint8_t>(r * 17), static_cast<uint8_t>(g * 17),
                                          static_cast<uint8_t>(b * 17));
                if (n < 0 || n > 255) RaiseOverflow();
                t[static_cast<size_t>(b * 256 + g * 16 + r)] = static_cast<uint8_t>(n);
            }
    return t;
}

uint8_t* IndexBuffer8bpp::InitializePalID(int32_t width, int32_t height) {
    if (width < 0 || height < 0) RaiseOverflow();
    const int32_t bits = CheckedInt32(int64_t{width} * 8 + 31);
    const int32_t rowLength = TruncDiv(bits, 32) * 4;
    const int32_t size = CheckedInt32(int64_t{rowLength} * height);
    ids_.assign(static_cast<size_t>(size), 0);
    rowLength_ = rowLength;
    width_ = width;
    height_ = height;
    return PalIDPtr();
}

uint8_t IndexBuffer8bpp::PalID(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");
    return ids_[static_cast<size_t>(y) * static_cast<size_t>(rowLength_) + static_cast<size_t>(x)];
}

std::span<uint8_t> IndexBuffer8bpp::Row(int32_t y) {
    if (y < 0 || y >= height_) throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");
    return std::span<uint8_t>(ids_.data() + static_cast<size_t>(y) * static_cast<size_t>(rowLength_),
                              static_cast<size_t>(width_));
}

namespace {

// The frame both mappings share: a fresh index buffer, pixels row by row from
// the top and left to right, `map` choosing the entry, storing it and
// overwriting the pixel, and the error spread when asked.
template <typename MapPixel>
void DitherFrame(const Pixels32& picture, bool diffuse, IndexBuffer8bpp& ids, MapPixel map) {
    ids.InitializePalID(picture.width, picture.height);
    const View2D<uint8_t> v = picture.view();
    const size_t w = static_cast<size_t>(picture.width);
    const size_t h = v.height();
    for (size_t y = 0; y < h; ++y) {
        uint8_t* row = v.row(y).data();
        uint8_t* below = y + 1 < h ? v.row(y + 1).data() : nullptr;
        uint8_t* idRow = ids.Row(static_cast<int32_t>(y)).data();
        for (size_t x = 0; x < w; ++x) {
            uint8_t* p = row + 4 * x;
            int32_t err[3];
            idRow[x] = map(p, err);
            if (diffuse) Diffuse(err, p, below ? below + 4 * x : nullptr, x, w);
        }
    }
}

}  // namespace

void DitherToGreyPalette(const Pixels32& picture, const PaletteTable& palette, int32_t greyKind, bool diffuse,
                         IndexBuffer8bpp& ids) {
    if (picture.empty()) return;
    const PaletteTable pal = palette;  // working copy, as the caller may change its table meanwhile
    DitherFrame(picture, diffuse, ids, [&pal, greyKind](uint8_t* p, int32_t (&err)[3]) {
        const int32_t grey = RoundHalfEven(0.587 * p[1] + 0.114 * p[0] + 0.299 * p[2]);
        int32_t n = 0;
        switch (greyKind) {
            case 0: n = RoundHalfEven(grey / 255.0); break;
            case 1: n = RoundHalfEven(grey / 17.0); break;
            case 2: n = grey; break;
            default: n = 0; break;  // unknown kind: entry 0
        }
        const uint8_t* e = &pal[static_cast<size_t>(n) * 4];
        for (int c = 0; c < 3; ++c) {
            err[c] = grey - e[c];
            p[c] = e[c];  // the fourth byte is kept
        }
        return static_cast<uint8_t>(n);
    });
}

void DitherToColorPalette(const Pixels32& picture, const PaletteTable& palette, const ColorLookupTable& lookup,
                          bool diffuse, IndexBuffer8bpp& ids) {
    if (picture.empty()) return;
    const PaletteTable pal = palette;
    const auto& level = DitherLevelMap();
    DitherFrame(picture, diffuse, ids, [&pal, &level, &lookup](uint8_t* p, int32_t (&err)[3]) {
        const uint8_t n = lookup[size_t{level[p[0]]} * 256 + size_t{level[p[1]]} * 16 + level[p[2]]];
        const uint8_t* e = &pal[size_t{n} * 4];
        for (int c = 0; c < 3; ++c) err[c] = p[c] - e[c];
        std::memcpy(p, e, 4);  // the reserved 0 too
        return n;
    });
}

int32_t CountColors(const Pixels32& picture) {
    if (picture.empty()) return 0;
    // One bit per possible colour (2 MiB): exact for any picture, one pass.
    std::vector<uint64_t> seen(size_t{1} << 18, 0);
    const View2D<uint8_t> v = picture.view();
    const size_t w = static_cast<size_t>(picture.width);
    int32_t count = 0;
    uint32_t previous = 0xFFFFFFFFu;  // never a 24-bit colour
    for (size_t y = 0; y < v.height(); ++y) {
        const uint8_t* p = v.row(y).data();
        for (size_t x = 0; x < w; ++x, p += 4) {
            const uint32_t c = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
            if (c == previous) continue;  // runs of one colour are common in screenshots
            previous = c;
            uint64_t& word = seen[c >> 6];
            const uint64_t bit = uint64_t{1} << (c & 63);
            if (!(word & bit)) {
                word |= bit;
                ++count;
            }
        }
    }
    return count;
}

}  // namespace px
