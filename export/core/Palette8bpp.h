#pragma once
// The 256-entry colour table of the GIF export (blue, green, red, 0 per
// entry, the layout of a bitmap colour table) and every way of filling it.
// cPalette8bpp adds the platform palette on top of this.
#include <array>
#include <cstdint>
#include <vector>

#include "export/core/Octree.h"
#include "imaging/core/Dib32.h"
#include "imaging/core/NearestColorMap.h"

namespace px {

struct PaletteEntry {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
    bool operator==(const PaletteEntry&) const = default;
};
static_assert(sizeof(PaletteEntry) == 4);

inline constexpr int32_t kPaletteCapacity = 256;

class Palette8bpp {
public:
    // Capacity 256, nothing in use, all entries black. Returns entry 0.
    uint8_t* InitializePalette();
    // Drops the table; Count and MaxCount become 0. The optimal-palette
    // working state is kept until the next CreateOptimal.
    void Clear();

    uint8_t* PalettePtr() noexcept { return entries_.empty() ? nullptr : &entries_[0].blue; }
    const uint8_t* PalettePtr() const noexcept { return entries_.empty() ? nullptr : &entries_[0].blue; }
    int32_t Count() const noexcept { return static_cast<int32_t>(entries_.size()); }
    int32_t MaxCount() const noexcept { return maxCount_; }
    const PaletteEntry& Entry(int32_t index) const;  // SubscriptOutOfRange (9) beyond the table

    uint8_t rgbR(int32_t index) const { return Entry(index).red; }
    uint8_t rgbG(int32_t index) const { return Entry(index).green; }
    uint8_t rgbB(int32_t index) const { return Entry(index).blue; }
    void rgbR(int32_t index, uint8_t v) { MutableEntry(index).red = v; }
    void rgbG(int32_t index, uint8_t v) { MutableEntry(index).green = v; }
    void rgbB(int32_t index, uint8_t v) { MutableEntry(index).blue = v; }

    bool IsGreyScale() const;

    void CreateGreyscale(int32_t kind);  // 0: 2 greys, 1: 16, 2: 256; others DivisionByZero (11)
    void CreateEGA();
    void CreateHalftone(int32_t kind);   // 0..4; others SubscriptOutOfRange (9)
    void CreateWebsafe();
    // Weighted octree of the picture with at most `wanted` entries (1..256) and
    // depth 1..8.
    void CreateOptimal(const Pixels32& picture, int32_t wanted, int32_t depth, float redWeight, float greenWeight,
                       float blueWeight);
    // The perceptual quantiser's palette of the whole picture, at most
    // `wanted` (1..256) entries, ordered by luma.
    void CreatePerceptual(const Pixels32& picture, int32_t wanted);
    // The entries in use, as the perceptual nearest-entry map takes them.
    std::vector<Rgb8> EntriesInUse() const;

    // Entry nearest to a colour among 0..MaxCount-1 where no platform palette
    // answers: smallest squared distance, the lowest entry on ties. Overflow (6)
    // when nothing is in use (the query has nothing to answer with).
    uint8_t NearestEntry(uint8_t red, uint8_t green, uint8_t blue) const;

    const Octree& octree() const noexcept { return octree_; }

private:
    PaletteEntry& MutableEntry(int32_t index);
    void Append(uint8_t red, uint8_t green, uint8_t blue);

    std::vector<PaletteEntry> entries_;  // 0 or 256 entries
    int32_t maxCount_ = 0;
    Octree octree_;
};

}  // namespace px
