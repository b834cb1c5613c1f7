#pragma once
// Nearest palette entry in a perceptual colour space, for palettes built by
// the perceptual quantiser. Colours are compared as luma and two opponent
// chroma axes, luma weighted above chroma (the eye resolves brightness more
// finely than hue) but only mildly, since a palette is also judged by its
// plain red, green and blue error; the space is a linear map of the 0..255
// channels, so a cluster's mean colour is also its mean in that space.
//
// PaletteSearch answers exactly (the lowest entry on ties) by walking the
// entries sorted on luma outward from the query and stopping once the luma
// gap alone exceeds the best distance. NearestColorMap adds a per-cell table
// over the colour cube, filled on first use: each cell keeps the few entries
// that can be nearest to some colour inside it (one, for most cells), so a
// query compares against those only and every answer equals the exact one.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace px {

struct Rgb8 {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb8&) const = default;
};

struct Vec3f {
    float l = 0;  // weighted luma
    float a = 0;  // red against green
    float b = 0;  // yellow against blue
};

// The perceptual coordinates of a colour given as 0..255 channels.
Vec3f ToPerceptual(float red, float green, float blue) noexcept;
float DistanceSquared(const Vec3f& p, const Vec3f& q) noexcept;

class PaletteSearch {
public:
    // Entries in perceptual coordinates; their positions are the answers.
    void Assign(std::span<const Vec3f> entries);
    int32_t Size() const noexcept { return static_cast<int32_t>(sorted_.size()); }
    // The nearest entry; `bound` (if >= 0) is a distance squared known to be
    // reachable, which only speeds the walk up. -1 for an empty palette.
    int32_t Nearest(const Vec3f& q, float bound = -1.0f) const;
    // Positions of every entry within distance squared `radiusSq` of q.
    void Within(const Vec3f& q, float radiusSq, std::vector<int32_t>& out) const;
    // The smallest distance squared from q to an entry (+infinity when empty).
    float NearestDistance(const Vec3f& q) const;

private:
    size_t StartAt(float l) const;

    std::vector<Vec3f> sorted_;     // by luma, then position
    std::vector<int32_t> index_;    // position in the caller's list
};

class NearestColorMap {
public:
    // 1..256 entries (InvalidPropertyValue 380 otherwise).
    explicit NearestColorMap(std::span<const Rgb8> palette);

    // Exact nearest entry, the lowest on ties.
    uint8_t Nearest(uint8_t red, uint8_t green, uint8_t blue) const;
    // The same answer through the cell cache (fills it on the way).
    uint8_t operator()(uint8_t red, uint8_t green, uint8_t blue);

    static constexpr int kCellBits = 5;

private:
    struct Candidate {
        Vec3f p;
        uint8_t index;
    };
    struct Cell {
        uint32_t first = 0;  // into candidates_
        uint16_t count = 0;  // 0: not filled yet
    };
    const Cell& FillCell(size_t cell);
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue);

    PaletteSearch search_;
    std::vector<Vec3f> entries_;
    std::vector<Cell> cells_;
    std::vector<Candidate> candidates_;  // each cell's, in entry order
    float cellRadius_ = 0;               // largest distance from a cell's centre to its corners
    std::vector<int32_t> scratch_;
    uint32_t lastKey_ = 0xFFFFFFFFu;  // the last colour asked for (never a real one) and its answer
    uint8_t lastAnswer_ = 0;
};

}  // namespace px
