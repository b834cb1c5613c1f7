#include "imaging/core/VarianceBoxes.h"

#include <algorithm>
#include <cmath>

namespace px {

namespace {

constexpr int kBuckets = 128;  // positions tried when a box is split

struct Direction {
    float l, a, b;
};

float Along(const Vec3f& p, const Direction& d) { return p.l * d.l + p.a * d.a + p.b * d.b; }

// The direction in which the points spread most (the covariance's leading
// eigenvector, by power iteration from the widest coordinate axis): boxes
// of screenshot colours lie slanted, and a cut across them leaves less error.
Direction Principal(const Moments& m) {
    const double mean[3] = {m.s[0] / m.w, m.s[1] / m.w, m.s[2] / m.w};
    const auto cov = [&](int i, int j) {
        const double sum = i == j ? m.q[static_cast<size_t>(i)] : m.x[static_cast<size_t>(i + j - 1)];
        return sum / m.w - mean[i] * mean[j];
    };
    const double c[3][3] = {{cov(0, 0), cov(0, 1), cov(0, 2)}, {cov(0, 1), cov(1, 1), cov(1, 2)},
                            {cov(0, 2), cov(1, 2), cov(2, 2)}};
    double v[3] = {0, 0, 0};
    v[c[1][1] > c[0][0] ? (c[2][2] > c[1][1] ? 2 : 1) : (c[2][2] > c[0][0] ? 2 : 0)] = 1;
    for (int step = 0; step < 12; ++step) {
        double n[3];
        for (int r = 0; r < 3; ++r) n[r] = c[r][0] * v[0] + c[r][1] * v[1] + c[r][2] * v[2];
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (!(length > 0)) break;
        for (int r = 0; r < 3; ++r) v[r] = n[r] / length;
    }
    return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

}  // namespace

bool SplitBox(std::vector<ColourPoint>& points, const Box& box, Box& low, Box& high) {
    if (box.end - box.begin < 2) return false;
    const Direction across = Principal(box.m);
    float lo = Along(points[box.begin].p, across), hi = lo;
    for (size_t i = box.begin; i < box.end; ++i) {
        lo = std::min(lo, Along(points[i].p, across));
        hi = std::max(hi, Along(points[i].p, across));
    }
    if (!(hi > lo)) return false;
    const float scale = static_cast<float>(kBuckets) / (hi - lo);
    auto bucketOf = [&](const ColourPoint& pt) {
        return std::min(kBuckets - 1, static_cast<int>((Along(pt.p, across) - lo) * scale));
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
            above.x[k] -= below.x[k];
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
                                       [&](const ColourPoint& pt) { return bucketOf(pt) < bestCut; });
    const size_t mid = static_cast<size_t>(middle - points.begin());
    if (mid == box.begin || mid == box.end) return false;
    low = {box.begin, mid, {}};
    high = {mid, box.end, {}};
    for (size_t i = low.begin; i < low.end; ++i) low.m.Add(points[i].p, points[i].weight);
    for (size_t i = high.begin; i < high.end; ++i) high.m.Add(points[i].p, points[i].weight);
    return true;
}

std::vector<Box> SplitIntoBoxes(std::vector<ColourPoint>& points, size_t wanted) {
    Box all{0, points.size(), {}};
    for (const ColourPoint& pt : points) all.m.Add(pt.p, pt.weight);
    std::vector<Box> boxes{all};
    std::vector<bool> done{false};
    while (boxes.size() < wanted) {
        size_t worst = boxes.size();
        for (size_t i = 0; i < boxes.size(); ++i)
            if (!done[i] && (worst == boxes.size() || boxes[i].m.Error() > boxes[worst].m.Error())) worst = i;
        if (worst == boxes.size() || boxes[worst].m.Error() <= 0) break;
        Box low{}, high{};
        if (!SplitBox(points, boxes[worst], low, high)) {
            done[worst] = true;
            continue;
        }
        boxes[worst] = low;
        boxes.push_back(high);
        done.push_back(false);
    }
    return boxes;
}

}  // namespace px
