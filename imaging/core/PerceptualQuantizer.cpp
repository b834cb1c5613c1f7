#include "imaging/core/PerceptualQuantizer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <tuple>

#include "base/Error.h"

namespace px {

namespace {

constexpr int kHistBits = 6;  // cells of 4 x 4 x 4 colours
constexpr int kBuckets = 128;  // positions tried when a box is split

struct CellSums {
    uint64_t count = 0;
    uint64_t red = 0, green = 0, blue = 0;
};

// A non-empty cell: its exact sums and its mean in the perceptual space.
struct Point {
    Vec3f p;
    float weight;
    uint32_t cell;
};

// First-moment and second-moment sums of a set of points.
struct Moments {
    double w = 0;
    std::array<double, 3> s{};
    std::array<double, 3> q{};
    void Add(const Vec3f& p, double weight) {
        const double v[3] = {p.l, p.a, p.b};
        w += weight;
        for (int k = 0; k < 3; ++k) {
            s[k] += weight * v[k];
            q[k] += weight * v[k] * v[k];
        }
    }
    void Add(const Moments& m) {
        w += m.w;
        for (int k = 0; k < 3; ++k) {
            s[k] += m.s[k];
            q[k] += m.q[k];
        }
    }
    double AxisError(int k) const { return w > 0 ? q[k] - s[k] * s[k] / w : 0; }
    double Error() const { return AxisError(0) + AxisError(1) + AxisError(2); }
};

float Axis(const Vec3f& p, int k) { return k == 0 ? p.l : k == 1 ? p.a : p.b; }

struct Box {
    size_t begin, end;
    Moments m;
};

// Every distinct colour while there are at most `limit`; false beyond that.
bool DistinctColours(const Pixels32& picture, size_t limit, std::vector<uint32_t>& colours) {
    constexpr uint32_t kEmpty = 0xFFFFFFFFu;
    std::vector<uint32_t> table(1024, kEmpty);  // open addressing, at most 257 keys
    const View2D<uint8_t> v = picture.view();
    uint32_t previous = kEmpty;
    for (size_t y = 0; y < v.height(); ++y) {
        const uint8_t* p = v.row(y).data();
        for (int32_t x = 0; x < picture.width; ++x, p += 4) {
            const uint32_t c = uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
            if (c == previous) continue;
            previous = c;
            size_t slot = (c * 2654435761u) >> 22;
            while (table[slot] != kEmpty && table[slot] != c) slot = (slot + 1) & 1023;
            if (table[slot] == c) continue;
            if (colours.size() == limit) return false;
            table[slot] = c;
            colours.push_back(c);
        }
    }
    return true;
}

std::vector<CellSums> Histogram(const Pixels32& picture) {
    constexpr int shift = 8 - kHistBits;
    std::vector<CellSums> cells(size_t{1} << (3 * kHistBits));
    const View2D<uint8_t> v = picture.view();
    for (size_t y = 0; y < v.height(); ++y) {
        const uint8_t* p = v.row(y).data();
        const uint8_t* end = p + 4 * static_cast<size_t>(picture.width);
        while (p < end) {
            // A run of one colour is added at once.
            const uint8_t* run = p + 4;
            while (run < end && std::memcmp(run, p, 3) == 0) run += 4;
            const uint64_t n = static_cast<uint64_t>(run - p) / 4;
            CellSums& c = cells[size_t{p[2]} >> shift << (2 * kHistBits) | size_t{p[1]} >> shift << kHistBits |
                                size_t{p[0]} >> shift];
            c.count += n;
            c.red += n * p[2];
            c.green += n * p[1];
            c.blue += n * p[0];
            p = run;
        }
    }
    return cells;
}

Vec3f MeanOf(const CellSums& c) {
    const float n = static_cast<float>(c.count);
    return ToPerceptual(static_cast<float>(c.red) / n, static_cast<float>(c.green) / n,
                        static_cast<float>(c.blue) / n);
}

// Splits `box` across its widest axis where the two halves' errors sum least.
// False when it cannot be split (one point, or all points alike).
bool Split(std::vector<Point>& points, const Box& box, Box& low, Box& high) {
    if (box.end - box.begin < 2) return false;
    int axis = 0;
    for (int k = 1; k < 3; ++k)
        if (box.m.AxisError(k) > box.m.AxisError(axis)) axis = k;
    float lo = Axis(points[box.begin].p, axis), hi = lo;
    for (size_t i = box.begin; i < box.end; ++i) {
        lo = std::min(lo, Axis(points[i].p, axis));
        hi = std::max(hi, Axis(points[i].p, axis));
    }
    if (!(hi > lo)) return false;
    const float scale = static_cast<float>(kBuckets) / (hi - lo);
    auto bucketOf = [&](const Point& pt) {
        return std::min(kBuckets - 1, static_cast<int>((Axis(pt.p, axis) - lo) * scale));
    };
    std::array<Moments, kBuckets> buckets{};
    for (size_t i = box.begin; i < box.end; ++i) buckets[static_cast<size_t>(bucketOf(points[i]))].Add(points[i].p, points[i].weight);
    Moments below;
    double bestError = -1;
    int bestCut = -1;
    for (int cut = 1; cut < kBuckets; ++cut) {
        below.Add(buckets[static_cast<size_t>(cut - 1)]);
        if (below.w <= 0 || below.w >= box.m.w) continue;
        Moments above = box.m;
        for (int k = 0; k < 3; ++k) {
            above.s[k] -= below.s[k];
            above.q[k] -= below.q[k];
        }
        above.w -= below.w;
        const double e = below.Error() + above.Error();
        if (bestCut < 0 || e < bestError) {
            bestError = e;
            bestCut = cut;
        }
    }
    if (bestCut < 0) return false;
    const auto middle = std::partition(points.begin() + static_cast<ptrdiff_t>(box.begin),
                                       points.begin() + static_cast<ptrdiff_t>(box.end),
                                       [&](const Point& pt) { return bucketOf(pt) < bestCut; });
    const size_t mid = static_cast<size_t>(middle - points.begin());
    if (mid == box.begin || mid == box.end) return false;
    low = {box.begin, mid, {}};
    high = {mid, box.end, {}};
    for (size_t i = low.begin; i < low.end; ++i) low.m.Add(points[i].p, points[i].weight);
    for (size_t i = high.begin; i < high.end; ++i) high.m.Add(points[i].p, points[i].weight);
    return true;
}

std::vector<Box> SplitIntoBoxes(std::vector<Point>& points, size_t wanted) {
    Box all{0, points.size(), {}};
    for (const Point& pt : points) all.m.Add(pt.p, pt.weight);
    std::vector<Box> boxes{all};
    std::vector<bool> done{false};
    while (boxes.size() < wanted) {
        size_t worst = boxes.size();
        for (size_t i = 0; i < boxes.size(); ++i)
            if (!done[i] && (worst == boxes.size() || boxes[i].m.Error() > boxes[worst].m.Error())) worst = i;
        if (worst == boxes.size() || boxes[worst].m.Error() <= 0) break;
        Box low{}, high{};
        if (!Split(points, boxes[worst], low, high)) {
            done[worst] = true;
            continue;
        }
        boxes[worst] = low;
        boxes.push_back(high);
        done.push_back(false);
    }
    return boxes;
}

// Mean colours of the clusters, as 0..255 floats (red, green, blue).
struct Centre {
    double red = 0, green = 0, blue = 0;
};

void Refine(const std::vector<Point>& points, const std::vector<CellSums>& cells, std::vector<Centre>& centres,
            std::vector<int32_t>& owner, int32_t passes) {
    std::vector<Vec3f> at(centres.size());
    PaletteSearch search;
    for (int32_t pass = 0; pass < passes; ++pass) {
        for (size_t i = 0; i < centres.size(); ++i)
            at[i] = ToPerceptual(static_cast<float>(centres[i].red), static_cast<float>(centres[i].green),
                                 static_cast<float>(centres[i].blue));
        search.Assign(at);
        std::vector<CellSums> sums(centres.size());
        size_t moved = 0;
        for (size_t i = 0; i < points.size(); ++i) {
            const int32_t previous = owner[i];
            const float bound = DistanceSquared(points[i].p, at[static_cast<size_t>(previous)]);
            const int32_t n = search.Nearest(points[i].p, bound);
            if (n != previous) ++moved;
            owner[i] = n;
            const CellSums& c = cells[points[i].cell];
            CellSums& s = sums[static_cast<size_t>(n)];
            s.count += c.count;
            s.red += c.red;
            s.green += c.green;
            s.blue += c.blue;
        }
        for (size_t i = 0; i < centres.size(); ++i) {
            if (sums[i].count == 0) continue;  // an empty cluster keeps its colour
            const double n = static_cast<double>(sums[i].count);
            centres[i] = {static_cast<double>(sums[i].red) / n, static_cast<double>(sums[i].green) / n,
                          static_cast<double>(sums[i].blue) / n};
        }
        if (moved == 0 && pass > 0) break;
    }
}

uint8_t Channel(double v) { return static_cast<uint8_t>(std::clamp(v + 0.5, 0.0, 255.0)); }

void SortByLuma(std::vector<Rgb8>& palette) {
    std::sort(palette.begin(), palette.end(), [](const Rgb8& x, const Rgb8& y) {
        const int lx = 299 * x.red + 587 * x.green + 114 * x.blue, ly = 299 * y.red + 587 * y.green + 114 * y.blue;
        if (lx != ly) return lx < ly;
        return std::tie(x.red, x.green, x.blue) < std::tie(y.red, y.green, y.blue);
    });
}

}  // namespace

std::vector<Rgb8> BuildPerceptualPalette(const Pixels32& picture, const PerceptualOptions& options) {
    if (options.wanted < 1 || options.wanted > 256 || options.refinePasses < 0)
        throw Error(ErrorNumber::InvalidPropertyValue, "", "Invalid property value");
    std::vector<Rgb8> palette;
    if (picture.empty()) return palette;
    const size_t wanted = static_cast<size_t>(options.wanted);

    std::vector<uint32_t> distinct;
    if (DistinctColours(picture, wanted, distinct)) {
        for (const uint32_t c : distinct)
            palette.push_back({static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
        SortByLuma(palette);
        return palette;
    }

    const std::vector<CellSums> cells = Histogram(picture);
    std::vector<Point> points;
    for (size_t i = 0; i < cells.size(); ++i)
        if (cells[i].count) points.push_back({MeanOf(cells[i]), static_cast<float>(cells[i].count), static_cast<uint32_t>(i)});

    std::vector<Box> boxes = SplitIntoBoxes(points, wanted);
    std::vector<Centre> centres(boxes.size());
    std::vector<int32_t> owner(points.size());
    for (size_t b = 0; b < boxes.size(); ++b) {
        CellSums s;
        for (size_t i = boxes[b].begin; i < boxes[b].end; ++i) {
            const CellSums& c = cells[points[i].cell];
            s.count += c.count;
            s.red += c.red;
            s.green += c.green;
            s.blue += c.blue;
            owner[i] = static_cast<int32_t>(b);
        }
        const double n = static_cast<double>(s.count);
        centres[b] = {static_cast<double>(s.red) / n, static_cast<double>(s.green) / n, static_cast<double>(s.blue) / n};
    }
    Refine(points, cells, centres, owner, options.refinePasses);
    for (const Centre& c : centres) palette.push_back({Channel(c.red), Channel(c.green), Channel(c.blue)});
    SortByLuma(palette);
    return palette;
}

}  // namespace px
