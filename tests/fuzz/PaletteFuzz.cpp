// Palettes, the octree, the ditherers, the colour count, the noise filter and
// the orientation changes of the GIF pipeline over random pictures and
// parameters. Each result is held to its rule: palette sizes and colours,
// every mapped pixel carrying its entry's colour, exact colour counts, noise
// within its level on its grid, mirrors and turns that undo themselves, and
// the documented errors for parameters out of range.
#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <vector>

#include "FuzzSupport.h"
#include "export/core/Dither8bpp.h"
#include "export/core/GifPaletteRecord.h"
#include "export/core/Palette8bpp.h"
#include "imaging/core/Dib32.h"

namespace {

using namespace px;

struct Picture {
    std::vector<uint8_t> bytes;
    Pixels32 px;
    Picture(int32_t w, int32_t h) : bytes(static_cast<size_t>(w) * static_cast<size_t>(h) * 4), px{bytes.data(), w, h} {}
    Picture(const Picture& o) : bytes(o.bytes), px{bytes.data(), o.px.width, o.px.height} {}
    Picture& operator=(const Picture& o) {
        bytes = o.bytes;
        px = Pixels32{bytes.data(), o.px.width, o.px.height};
        return *this;
    }
};

Picture RandomPicture(FuzzedDataProvider& in) {
    Picture p(in.ConsumeIntegralInRange<int32_t>(1, 40), in.ConsumeIntegralInRange<int32_t>(1, 40));
    // Few colours or any: palettes behave differently on each.
    const int colours = in.ConsumeIntegralInRange<int>(1, 300);
    std::vector<std::array<uint8_t, 4>> set(static_cast<size_t>(colours));
    for (auto& c : set) c = {in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>(),
                             in.ConsumeIntegral<uint8_t>()};
    for (size_t i = 0; i < p.bytes.size(); i += 4) {
        const auto& c = set[in.ConsumeIntegralInRange<size_t>(0, set.size() - 1)];
        std::copy(c.begin(), c.end(), p.bytes.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return p;
}

void CheckSizes(FuzzedDataProvider& in) {
    const int32_t w = fuzz::SizeLike(in, 300), h = fuzz::SizeLike(in, 300);
    const bool fits = int64_t{w} * 4 >= INT32_MIN && int64_t{w} * 4 <= INT32_MAX && int64_t{w} * 4 * h >= INT32_MIN &&
                      int64_t{w} * 4 * h <= INT32_MAX;
    try {
        FUZZ_CHECK(Dib32ImageSize(w, h) == int64_t{w} * 4 * h && fits);
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == ErrorNumber::Overflow && !fits);
    }
    const int64_t row = (int64_t{w} * 8 + 31) / 32 * 4;
    const bool idsFit = w >= 0 && h >= 0 && int64_t{w} * 8 + 31 <= INT32_MAX && row * h <= INT32_MAX;
    if (idsFit && row * h > (1 << 16)) return;  // a valid but large buffer: not allocated here
    IndexBuffer8bpp ids;
    try {
        ids.InitializePalID(w, h);
        FUZZ_CHECK(idsFit && ids.RowLength() == row && ids.RowLength() % 4 == 0 && ids.RowLength() >= w);
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == ErrorNumber::Overflow && !idsFit);
    }
}

void CheckFixedPalettes(FuzzedDataProvider& in) {
    Palette8bpp pal;
    const int32_t grey = fuzz::SizeLike(in, 4);
    try {
        pal.CreateGreyscale(grey);
        FUZZ_CHECK(grey >= 0 && grey <= 2);
        FUZZ_CHECK(pal.MaxCount() == (grey == 0 ? 2 : grey == 1 ? 16 : 256) && pal.IsGreyScale());
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == ErrorNumber::DivisionByZero && (grey < 0 || grey > 2));
    }
    const int32_t half = fuzz::SizeLike(in, 6);
    try {
        pal.CreateHalftone(half);
        static constexpr int kCounts[] = {8, 27, 64, 125, 216};
        FUZZ_CHECK(half >= 0 && half <= 4 && pal.MaxCount() == kCounts[half]);
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == ErrorNumber::SubscriptOutOfRange && (half < 0 || half > 4));
    }
    const int32_t index = fuzz::SizeLike(in, 300);
    try {
        pal.rgbR(index, 7);
        FUZZ_CHECK(index >= 0 && index < 256 && pal.rgbR(index) == 7);
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == ErrorNumber::SubscriptOutOfRange && (index < 0 || index >= pal.Count()));
    }
}

// The optimal palette: no more entries than asked (the root's eight children
// cannot merge), every entry an average of the picture's colours, every pixel counted.
void CheckOptimal(FuzzedDataProvider& in, const Picture& p, Palette8bpp& pal) {
    const int32_t wanted = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(1, 256) : fuzz::SizeLike(in, 300);
    const int32_t depth = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(1, 8) : fuzz::SizeLike(in, 10);
    const float wr = in.ConsumeBool() ? 1.0f : in.ConsumeFloatingPoint<float>();
    const float wg = in.ConsumeBool() ? 1.0f : in.ConsumeFloatingPoint<float>();
    const float wb = in.ConsumeBool() ? 1.0f : in.ConsumeFloatingPoint<float>();
    try {
        pal.CreateOptimal(p.px, wanted, depth, wr, wg, wb);
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == ErrorNumber::InvalidPropertyValue && (wanted < 1 || wanted > 256 || depth < 1 || depth > 8));
        pal.CreateOptimal(p.px, 256, 8, 1.0f, 1.0f, 1.0f);
        return;
    }
    FUZZ_CHECK(wanted >= 1 && wanted <= 256 && depth >= 1 && depth <= 8);
    FUZZ_CHECK(pal.MaxCount() >= 1 && pal.MaxCount() <= std::max(wanted, 8));
    std::array<uint8_t, 4> lo{255, 255, 255}, hi{0, 0, 0};
    for (size_t i = 0; i < p.bytes.size(); i += 4)
        for (size_t c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], p.bytes[i + c]);
            hi[c] = std::max(hi[c], p.bytes[i + c]);
        }
    for (int32_t i = 0; i < pal.MaxCount(); ++i) {
        FUZZ_CHECK(pal.rgbB(i) >= lo[0] && pal.rgbB(i) <= hi[0] && pal.rgbG(i) >= lo[1] && pal.rgbG(i) <= hi[1] &&
                   pal.rgbR(i) >= lo[2] && pal.rgbR(i) <= hi[2]);
    }
    int64_t counted = 0;
    for (int32_t n = 1; n <= pal.octree().poolLast(); ++n)
        if (pal.octree().node(n).leaf) counted += pal.octree().node(n).count;
    FUZZ_CHECK(counted == int64_t{p.px.width} * p.px.height);
}

void CheckMapping(FuzzedDataProvider& in, const Picture& original, const Palette8bpp& pal) {
    PaletteTable table{};
    std::copy(pal.PalettePtr(), pal.PalettePtr() + 1024, table.begin());
    const bool failing = in.ConsumeIntegralInRange<int>(0, 15) == 0;
    ColorLookupTable lookup{};
    try {
        lookup = BuildColorLookupTable([&](uint8_t r, uint8_t g, uint8_t b) -> int64_t {
            if (failing && r == 255) return -1;
            const uint8_t n = pal.NearestEntry(r, g, b);
            if ((r ^ g ^ b) % 7 != 0) return n;
            // The nearest entry by the plain definition (for a sample: the table asks 4096 times).
            int best = INT32_MAX;
            for (int32_t i = 0; i < pal.MaxCount(); ++i) {
                const int dr = pal.rgbR(i) - r, dg = pal.rgbG(i) - g, db = pal.rgbB(i) - b;
                best = std::min(best, dr * dr + dg * dg + db * db);
            }
            const int dr = pal.rgbR(n) - r, dg = pal.rgbG(n) - g, db = pal.rgbB(n) - b;
            FUZZ_CHECK(n < pal.MaxCount() && dr * dr + dg * dg + db * db == best);
            return n;
        });
        FUZZ_CHECK(!failing);
    } catch (const Error& e) {
        FUZZ_CHECK(failing && e.number() == ErrorNumber::Overflow);
        return;
    }
    const bool diffuse = in.ConsumeBool();
    Picture colour(original);
    IndexBuffer8bpp ids;
    DitherToColorPalette(colour.px, table, lookup, diffuse, ids);
    Picture grey(original);
    const int32_t kind = in.ConsumeIntegralInRange<int32_t>(-1, 3);
    IndexBuffer8bpp greyIds;
    DitherToGreyPalette(grey.px, table, kind, diffuse, greyIds);
    const int32_t w = original.px.width;
    for (int32_t y = 0; y < original.px.height; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)) * 4;
            const uint8_t n = ids.PalID(x, y);
            FUZZ_CHECK(std::equal(&colour.bytes[i], &colour.bytes[i] + 4, &table[size_t{n} * 4]));
            const uint8_t g = greyIds.PalID(x, y);
            FUZZ_CHECK(kind == 0 ? g <= 1 : kind == 1 ? g <= 15 : kind == 2 ? true : g == 0);
            FUZZ_CHECK(std::equal(&grey.bytes[i], &grey.bytes[i] + 3, &table[size_t{g} * 4]));
            FUZZ_CHECK(grey.bytes[i + 3] == original.bytes[i + 3]);
        }
    for (int32_t y = 0; y < original.px.height; ++y) {
        const uint8_t* row = ids.PalIDPtr() + static_cast<size_t>(y) * static_cast<size_t>(ids.RowLength());
        for (int32_t x = w; x < ids.RowLength(); ++x) FUZZ_CHECK(row[x] == 0);  // row padding stays zero
    }
    const GifPaletteRecord record = MakeGifPaletteRecord(table.data(), fuzz::SizeLike(in, 300), kind * 100);
    FUZZ_CHECK(record.count <= 256);
    for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t alpha = record.entries[i] >> 24;
        FUZZ_CHECK(i >= record.count ? record.entries[i] == 0 || (record.entries[i] == 0 && alpha == 0)
                                     : alpha == (static_cast<int32_t>(i) == kind * 100 ? 0u : 255u));
    }
}

void CheckCountAndNoise(FuzzedDataProvider& in, const Picture& original) {
    std::set<uint32_t> distinct;
    for (size_t i = 0; i < original.bytes.size(); i += 4)
        distinct.insert(uint32_t{original.bytes[i]} | uint32_t{original.bytes[i + 1]} << 8 | uint32_t{original.bytes[i + 2]} << 16);
    FUZZ_CHECK(CountColors(original.px) == static_cast<int32_t>(distinct.size()));

    Picture noisy(original);
    const int32_t level = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(0, 300) : fuzz::SizeLike(in, 300);
    const int32_t step = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(1, 5) : fuzz::SizeLike(in, 5);
    UniformRandom random(in.ConsumeIntegral<uint64_t>());
    try {
        Noise(noisy.px, level, step, random);
    } catch (const Error& e) {
        const bool overflow = int64_t{level} * 2 > INT32_MAX || int64_t{level} * 2 < INT32_MIN;
        FUZZ_CHECK(e.number() == (overflow ? ErrorNumber::Overflow : ErrorNumber::InvalidPropertyValue));
        FUZZ_CHECK(overflow || step < 1);
        return;
    }
    FUZZ_CHECK(step >= 1);
    const int64_t reach = std::abs(int64_t{level});
    const int32_t w = original.px.width;
    for (size_t i = 0; i < original.bytes.size(); ++i) {
        const size_t pixel = i / 4;
        const bool onGrid = (pixel % static_cast<size_t>(w)) % static_cast<size_t>(step) == 0 &&
                            (pixel / static_cast<size_t>(w)) % static_cast<size_t>(step) == 0;
        if (i % 4 == 3 || !onGrid) {
            FUZZ_CHECK(noisy.bytes[i] == original.bytes[i]);
        } else {
            FUZZ_CHECK(std::abs(int64_t{noisy.bytes[i]} - original.bytes[i]) <= reach);
        }
    }
}

void CheckOrientation(FuzzedDataProvider& in, const Picture& original) {
    Picture p(original);
    const bool rotate = in.ConsumeBool(), fh = in.ConsumeBool(), fv = in.ConsumeBool();
    ApplyOrientationMirrors(p.px, rotate, fh, fv);
    ApplyOrientationMirrors(p.px, rotate, fh, fv);
    FUZZ_CHECK(p.bytes == original.bytes);
    Picture a(original);
    for (int turn = 0; turn < 4; ++turn) {
        Picture b(a.px.height, a.px.width);
        RotateQuarterAnticlockwise(a.px, b.px);
        a = b;
    }
    FUZZ_CHECK(a.bytes == original.bytes);
    if (original.px.width != original.px.height) {
        Picture wrong(original.px.width, original.px.height);
        try {
            RotateQuarterAnticlockwise(original.px, wrong.px);
            FUZZ_CHECK(false);
        } catch (const Error& e) {
            FUZZ_CHECK(e.number() == ErrorNumber::SubscriptOutOfRange);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    CheckSizes(in);
    CheckFixedPalettes(in);
    const Picture picture = RandomPicture(in);
    Palette8bpp pal;
    CheckOptimal(in, picture, pal);
    CheckMapping(in, picture, pal);
    CheckCountAndNoise(in, picture);
    CheckOrientation(in, picture);
    return 0;
}
