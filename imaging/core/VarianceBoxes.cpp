#include "imaging/core/VarianceBoxes.h"

#include <algorithm>

namespace px {

namespace {

constexpr int kBuckets = 128;  // positions tried when a box is split

float Axis(const Vec3f& p, int k) { return k == 0 ? p.l : k == 1 ? p.a : p.b; }

}  // namespace

bool SplitBox(std::vector<ColourPoint>& points, const Box& box, Box& low, Box& high) {
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
    auto bucketOf = [&](const ColourPoint& pt) {
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
