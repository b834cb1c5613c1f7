#include "imaging/core/NearestColorMap.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "base/Error.h"

namespace px {

namespace {

// Chroma counts for four fifths of luma. Lower weights favour the eye
// further but cost accuracy on saturated edges, which screenshots are full of.
constexpr float kChroma = 0.8f;

}  // namespace

Vec3f ToPerceptual(float red, float green, float blue) noexcept {
    const float y = 0.299f * red + 0.587f * green + 0.114f * blue;
    return {y, kChroma * 0.564f * (blue - y), kChroma * 0.713f * (red - y)};
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
    const float half = static_cast<float>((1 << shift) - 1) / 2.0f;
    const auto centre = [&](size_t bits) { return static_cast<float>(bits << shift) + half; };
    const size_t mask = (size_t{1} << kCellBits) - 1;
    const Vec3f c = ToPerceptual(centre(cell >> (2 * kCellBits)), centre((cell >> kCellBits) & mask), centre(cell & mask));
    // A colour p of the cell lies within the radius of the centre, so its
    // nearest entry e is no further from p than the centre's nearest is:
    // |c - e| <= |p - e| + radius <= |c - best| + 2 x radius (plus a margin for rounding).
    const float reach = std::sqrt(search_.NearestDistance(c)) + 2.0f * cellRadius_ + 1e-2f;
    search_.Within(c, reach * reach, scratch_);
    Cell& out = cells_[cell];
    out.first = static_cast<uint32_t>(candidates_.size());
    out.count = static_cast<uint16_t>(scratch_.size());
    for (const int32_t i : scratch_) candidates_.push_back({entries_[static_cast<size_t>(i)], static_cast<uint8_t>(i)});
    return out;
}

uint8_t NearestColorMap::operator()(uint8_t red, uint8_t green, uint8_t blue) {
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
