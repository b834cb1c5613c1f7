#pragma once
// Variance-based box splitting for the perceptual quantiser: a set of
// weighted points (histogram cells, in the perceptual space) is cut into
// boxes, always the box with the largest squared error, across the
// direction of its largest spread at the cut that leaves the least error. The points of a box stay
// contiguous, so a box is a range of the caller's array.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/core/NearestColorMap.h"

namespace px {

// A non-empty histogram cell: its mean in the perceptual space, its pixel count and its index.
struct ColourPoint {
    Vec3f p;
    float weight;
    uint32_t cell;
};

// First-moment and second-moment sums of a set of points (cross terms too, for the spread's direction).
struct Moments {
    double w = 0;
    std::array<double, 3> s{};
    std::array<double, 3> q{};
    std::array<double, 3> x{};  // cross sums: l a, l b, a b
    void Add(const Vec3f& p, double weight) {
        const double v[3] = {p.l, p.a, p.b};
        w += weight;
        for (int k = 0; k < 3; ++k) {
            s[k] += weight * v[k];
            q[k] += weight * v[k] * v[k];
        }
        x[0] += weight * v[0] * v[1];
        x[1] += weight * v[0] * v[2];
        x[2] += weight * v[1] * v[2];
    }
    void Add(const Moments& m) {
        w += m.w;
        for (int k = 0; k < 3; ++k) {
            s[k] += m.s[k];
            q[k] += m.q[k];
            x[k] += m.x[k];
        }
    }
    double AxisError(int k) const { return w > 0 ? q[k] - s[k] * s[k] / w : 0; }
    double Error() const { return AxisError(0) + AxisError(1) + AxisError(2); }
};

struct Box {
    size_t begin = 0, end = 0;
    Moments m;
};

// Splits `box` in two where the halves' errors sum least, reordering its
// points. False when it cannot be split (one point, or all points alike).
bool SplitBox(std::vector<ColourPoint>& points, const Box& box, Box& low, Box& high);

// At most `wanted` boxes covering all points (fewer when points run out).
std::vector<Box> SplitIntoBoxes(std::vector<ColourPoint>& points, size_t wanted);

}  // namespace px
