#include "imaging/core/NearestColorMap.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "base/Error.h"

namespace px {

namespace {

// Unit axes: the direction of luma (0.299, 0.587, 0.114), a red-green axis
// across it and a yellow-blue axis across both. Luma counts 1.15 times its
// length, so an error in brightness weighs 1.32 times one in hue; the
// opponent axes keep their length, so distances otherwise equal the red,
// green and blue error a palette is judged by (a stronger weighting costs
// PSNR on every picture).
constexpr float kLumaWeight = 1.15f;
constexpr float kL[3] = {kLumaWeight * 0.447233f, kLumaWeight * 0.878013f, kLumaWeight * 0.170517f};
constexpr float kA[2] = {0.891065f, -0.453883f};  // no blue
constexpr float kB[3] = {0.077395f, 0.151942f, -0.985367f};

// Squared distances differ by far more than float rounding between entries
// that are not tied, so this keeps every entry that could win.
constexpr float kMargin = 1.0f;

}  // namespace

Vec3f ToPerceptual(float red, float green, float blue) noexcept {
    return {kL[0] * red + kL[1] * green + kL[2] * blue, kA[0] * red + kA[1] * green,
            kB[0] * red + kB[1] * green + kB[2] * blue};
}

float DistanceSquared(const Vec3f& p, const Vec3f& q) noexcept {
    const float dl = p.l - q.l, da = p.a - q.a, db = p.b - q.b;
    return dl * dl + da * da + db * db;
}

void PaletteSearch::Assign(std::span<const Vec3f> entries) {
    std::vector<int32_t> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&entries](int32_t x, int32_t y) {
        return entries[static_cast<size_t>(x)].l < entries[static_cast<size_t>(y)].l ||
               (entries[static_cast<size_t>(x)].l == entries[static_cast<size_t>(y)].l && x < y);
    });
    sorted_.clear();
    index_ = order;
    for (const int32_t i : order) sorted_.push_back(entries[static_cast<size_t>(i)]);
}

size_t PaletteSearch::StartAt(float l) const {
    const auto it = std::lower_bound(sorted_.begin(), sorted_.end(), l,
                                     [](const Vec3f& e, float v) { return e.l < v; });
    return static_cast<size_t>(it - sorted_.begin());
}

int32_t PaletteSearch::Nearest(const Vec3f& q, float bound) const {
    if (sorted_.empty()) return -1;
    float best = bound >= 0 ? bound * 1.0001f + 1e-3f : std::numeric_limits<float>::infinity();
    int32_t bestIndex = std::numeric_limits<int32_t>::max();
    const size_t n = sorted_.size(), start = StartAt(q.l);
    auto visit = [&](size_t k) {
        const float d = DistanceSquared(q, sorted_[k]);
        if (d < best || (d == best && index_[k] < bestIndex)) {
            best = d;
            bestIndex = index_[k];
        }
    };
    // Upward and downward from the query's luma; a side stops once its luma gap passes the best.
    size_t up = start, down = start;
    bool upOpen = up < n, downOpen = down > 0;
    while (upOpen || downOpen) {
        if (upOpen) {
            const float gap = sorted_[up].l - q.l;
            if (gap * gap > best) upOpen = false;
            else {
                visit(up);
                upOpen = ++up < n;
            }
        }
        if (downOpen) {
            const float gap = q.l - sorted_[down - 1].l;
            if (gap * gap > best) downOpen = false;
            else {
                visit(down - 1);
                downOpen = --down > 0;
            }
        }
    }
    if (bestIndex == std::numeric_limits<int32_t>::max()) return Nearest(q);  // the bound was too tight
    return bestIndex;
}

void PaletteSearch::Within(const Vec3f& q, float radiusSq, std::vector<int32_t>& out) const {
    out.clear();
    const size_t start = StartAt(q.l);
    for (size_t k = start; k < sorted_.size(); ++k) {
        const float gap = sorted_[k].l - q.l;
        if (gap * gap > radiusSq) break;
        if (DistanceSquared(q, sorted_[k]) <= radiusSq) out.push_back(index_[k]);
    }
    for (size_t k = start; k-- > 0;) {
        const float gap = q.l - sorted_[k].l;
        if (gap * gap > radiusSq) break;
        if (DistanceSquared(q, sorted_[k]) <= radiusSq) out.push_back(index_[k]);
    }
    std::sort(out.begin(), out.end());
}

float PaletteSearch::NearestDistance(const Vec3f& q) const {
    const int32_t n = Nearest(q);
    if (n < 0) return std::numeric_limits<float>::infinity();
    const auto at = std::find(index_.begin(), index_.end(), n) - index_.begin();
    return DistanceSquared(q, sorted_[static_cast<size_t>(at)]);
}

NearestColorMap::NearestColorMap(std::span<const Rgb8> palette) : cells_(size_t{1} << (3 * kCellBits)) {
    if (palette.empty() || palette.size() > 256)
        throw Error(ErrorNumber::InvalidPropertyValue, "", "Invalid property value");
    entries_.reserve(palette.size());
    for (const Rgb8& c : palette) entries_.push_back(ToPerceptual(c.red, c.green, c.blue));
    search_.Assign(entries_);
    // The space is linear, so the farthest corner is the same for every cell.
    const float half = static_cast<float>((1 << (8 - kCellBits)) - 1) / 2.0f;
    for (int corner = 0; corner < 8; ++corner) {
        const Vec3f o = ToPerceptual(corner & 1 ? half : -half, corner & 2 ? half : -half, corner & 4 ? half : -half);
        cellRadius_ = std::max(cellRadius_, std::sqrt(DistanceSquared(o, Vec3f{})));
    }
}

uint8_t NearestColorMap::Nearest(uint8_t red, uint8_t green, uint8_t blue) const {
    return static_cast<uint8_t>(search_.Nearest(ToPerceptual(red, green, blue)));
}

const NearestColorMap::Cell& NearestColorMap::FillCell(size_t cell) {
    constexpr int shift = 8 - kCellBits;
    constexpr float last = static_cast<float>((1 << shift) - 1);  // a cell's far corner, from its near one
    const size_t mask = (size_t{1} << kCellBits) - 1;
    const float r0 = static_cast<float>((cell >> (2 * kCellBits)) << shift);
    const float g0 = static_cast<float>(((cell >> kCellBits) & mask) << shift);
    const float b0 = static_cast<float>((cell & mask) << shift);
    const Vec3f c = ToPerceptual(r0 + last / 2, g0 + last / 2, b0 + last / 2);
    // A colour p of the cell lies within the radius of the centre, so its
    // nearest entry e is no further from p than the centre's nearest is:
    // |c - e| <= |p - e| + radius <= |c - best| + 2 x radius (plus a margin for rounding).
    const int32_t best = search_.Nearest(c);
    const Vec3f& b = entries_[static_cast<size_t>(best)];
    const float reach = std::sqrt(DistanceSquared(c, b)) + 2.0f * cellRadius_ + 1e-2f;
    search_.Within(c, reach * reach, scratch_);
    // Of those, an entry farther than `best` from every corner is farther
    // from every colour of the cell (the difference of the two squared
    // distances is linear in the colour), so it is never the answer there.
    Vec3f corners[8];
    for (int k = 0; k < 8; ++k)
        corners[k] = ToPerceptual(r0 + (k & 1 ? last : 0), g0 + (k & 2 ? last : 0), b0 + (k & 4 ? last : 0));
    Cell& out = cells_[cell];
    out.first = static_cast<uint32_t>(candidates_.size());
    for (const int32_t i : scratch_) {
        const Vec3f& e = entries_[static_cast<size_t>(i)];
        bool reaches = false;
        for (const Vec3f& p : corners) reaches = reaches || DistanceSquared(p, e) <= DistanceSquared(p, b) + kMargin;
        if (reaches) candidates_.push_back({e, static_cast<uint8_t>(i)});
    }
    out.count = static_cast<uint16_t>(candidates_.size() - out.first);
    return out;
}

uint8_t NearestColorMap::operator()(uint8_t red, uint8_t green, uint8_t blue) {
    const uint32_t key = uint32_t{red} << 16 | uint32_t{green} << 8 | blue;
    if (key == lastKey_) return lastAnswer_;  // runs of one colour, the rule in screenshots
    lastKey_ = key;
    lastAnswer_ = Lookup(red, green, blue);
    return lastAnswer_;
}

uint8_t NearestColorMap::Lookup(uint8_t red, uint8_t green, uint8_t blue) {
    constexpr int shift = 8 - kCellBits;
    const size_t index = (size_t{red} >> shift) << (2 * kCellBits) | (size_t{green} >> shift) << kCellBits |
                         (size_t{blue} >> shift);
    const Cell& cell = cells_[index].count ? cells_[index] : FillCell(index);
    const Candidate* c = &candidates_[cell.first];
    if (cell.count == 1) return c->index;
    const Vec3f q = ToPerceptual(red, green, blue);
    float best = DistanceSquared(q, c->p);
    uint8_t answer = c->index;
    for (uint16_t k = 1; k < cell.count; ++k) {
        const float d = DistanceSquared(q, c[k].p);
        if (d < best) {  // candidates in entry order: the lowest entry wins a tie
            best = d;
            answer = c[k].index;
        }
    }
    return answer;
}

}  // namespace px
