#include "export/core/Palette8bpp.h"

#include <limits>

#include "base/Rounding.h"
#include "imaging/core/PerceptualQuantizer.h"

namespace px {

namespace {

struct Rgb {
    uint8_t r, g, b;
};

constexpr std::array<Rgb, 8> kDarkSet{{{0, 0, 0},
                                       {128, 0, 0},
                                       {0, 128, 0},
                                       {128, 128, 0},
                                       {0, 0, 128},
                                       {128, 0, 128},
                                       {0, 128, 128},
                                       {192, 192, 192}}};
constexpr std::array<Rgb, 8> kBrightSet{{{128, 128, 128},
                                         {255, 0, 0},
                                         {0, 255, 0},
                                         {255, 255, 0},
                                         {0, 0, 255},
                                         {255, 0, 255},
                                         {0, 255, 255},
                                         {255, 255, 255}}};

[[noreturn]] void RaiseSubscript() { throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range"); }

// Cube levels 0, step, 2 x step, ... up to 256 inclusive, 256 written as 255.
std::vector<uint8_t> CubeLevels(int32_t step) {
    std::vector<uint8_t> levels;
    for (int32_t v = 0; v <= 256; v += step) levels.push_back(static_cast<uint8_t>(v > 255 ? 255 : v));
    return levels;
}

}  // namespace

uint8_t* Palette8bpp::InitializePalette() {
    entries_.assign(static_cast<size_t>(kPaletteCapacity), PaletteEntry{});
    maxCount_ = 0;
    return PalettePtr();
}

void Palette8bpp::Clear() {
    entries_.clear();
    entries_.shrink_to_fit();
    maxCount_ = 0;
}

const PaletteEntry& Palette8bpp::Entry(int32_t index) const {
    if (index < 0 || index >= Count()) RaiseSubscript();
    return entries_[static_cast<size_t>(index)];
}

PaletteEntry& Palette8bpp::MutableEntry(int32_t index) {
    if (index < 0 || index >= Count()) RaiseSubscript();
    return entries_[static_cast<size_t>(index)];
}

void Palette8bpp::Append(uint8_t red, uint8_t green, uint8_t blue) {
    PaletteEntry& e = MutableEntry(maxCount_);
    e = PaletteEntry{blue, green, red, 0};
    ++maxCount_;
}

bool Palette8bpp::IsGreyScale() const {
    if (maxCount_ <= 0) return false;
    for (int32_t i = 0; i < maxCount_; ++i) {
        const PaletteEntry& e = Entry(i);
        if (e.red != e.green || e.green != e.blue) return false;
    }
    return true;
}

void Palette8bpp::CreateGreyscale(int32_t kind) {
    const int32_t step = kind == 0 ? 255 : kind == 1 ? 17 : kind == 2 ? 1 : 0;
    const int32_t last = TruncDiv(255, step);
    InitializePalette();
    for (int32_t i = 0; i <= last; ++i) {
        const auto v = static_cast<uint8_t>(i * step);
        Append(v, v, v);
    }
}

void Palette8bpp::CreateEGA() {
    InitializePalette();
    for (const Rgb& c : kDarkSet) Append(c.r, c.g, c.b);
    for (const Rgb& c : kBrightSet) Append(c.r, c.g, c.b);
}

void Palette8bpp::CreateHalftone(int32_t kind) {
    static constexpr std::array<int32_t, 5> kSteps{256, 128, 85, 64, 51};
    if (kind < 0 || kind >= static_cast<int32_t>(kSteps.size())) RaiseSubscript();
    const std::vector<uint8_t> levels = CubeLevels(kSteps[static_cast<size_t>(kind)]);
    InitializePalette();
    for (uint8_t b : levels)
        for (uint8_t g : levels)
            for (uint8_t r : levels) Append(r, g, b);
}

void Palette8bpp::CreateWebsafe() {
    InitializePalette();
    for (size_t i = 0; i < 8; ++i) {
        entries_[i] = PaletteEntry{kDarkSet[i].b, kDarkSet[i].g, kDarkSet[i].r, 0};
        entries_[248 + i] = PaletteEntry{kBrightSet[i].b, kBrightSet[i].g, kBrightSet[i].r, 0};
    }
    // The cube without the colours the two sets already hold: black, white,
    // and every colour whose channels are all 0 or 255.
    size_t next = 8;
    const std::vector<uint8_t> levels = CubeLevels(51);
    for (uint8_t b : levels)
        for (uint8_t g : levels)
            for (uint8_t r : levels) {
                auto extreme = [](uint8_t v) { return v == 0 || v == 255; };
                if (extreme(r) && extreme(g) && extreme(b)) continue;
                entries_[next++] = PaletteEntry{b, g, r, 0};
            }
    // next is 216 here: entry 216 stays black, 217..247 are greys rising by 8.
    for (size_t i = 217; i <= 247; ++i) {
        const auto v = static_cast<uint8_t>((i - 216) * 8);
        entries_[i] = PaletteEntry{v, v, v, 0};
    }
    maxCount_ = kPaletteCapacity;
}

void Palette8bpp::CreateOptimal(const Pixels32& picture, int32_t wanted, int32_t depth, float redWeight,
                                float greenWeight, float blueWeight) {
    if (wanted < 1 || wanted > kPaletteCapacity)
        throw Error(ErrorNumber::InvalidPropertyValue, "", "Invalid property value");
    octree_.Reset(depth, redWeight, greenWeight, blueWeight);
    octree_.Build(picture, wanted);
    InitializePalette();
    for (const OctreeColor& c : octree_.Colors()) Append(c.red, c.green, c.blue);
}

void Palette8bpp::CreatePerceptual(const Pixels32& picture, int32_t wanted) {
    PerceptualOptions options;
    options.wanted = wanted;  // checked by the quantiser
    const std::vector<Rgb8> colours = BuildPerceptualPalette(picture, options);
    InitializePalette();
    for (const Rgb8& c : colours) Append(c.red, c.green, c.blue);
}

std::vector<Rgb8> Palette8bpp::EntriesInUse() const {
    std::vector<Rgb8> out;
    for (int32_t i = 0; i < maxCount_; ++i) {
        const PaletteEntry& e = entries_[static_cast<size_t>(i)];
        out.push_back({e.red, e.green, e.blue});
    }
    return out;
}

uint8_t Palette8bpp::NearestEntry(uint8_t red, uint8_t green, uint8_t blue) const {
    if (maxCount_ <= 0) throw Error(ErrorNumber::Overflow, "", "Overflow");
    int32_t best = 0;
    int32_t bestDistance = std::numeric_limits<int32_t>::max();
    for (int32_t i = 0; i < maxCount_; ++i) {
        const PaletteEntry& e = entries_[static_cast<size_t>(i)];
        const int32_t dr = int32_t{e.red} - red;
        const int32_t dg = int32_t{e.green} - green;
        const int32_t db = int32_t{e.blue} - blue;
        const int32_t d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {  // strict: the lowest entry wins a tie
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<uint8_t>(best);
}

}  // namespace px
