#pragma once
// Weighted octree colour reduction behind the optimal palette. The node pool,
// free list and reducible lists follow a fixed bookkeeping so the resulting
// table (entries and their order) is reproducible exactly.
#include <array>
#include <cstdint>
#include <vector>

#include "imaging/core/Dib32.h"

namespace px {

struct OctreeNode {
    bool leaf = false;
    bool listed = false;           // has been put on a reducible list
    int64_t redSum = 0;            // wide so that large pictures cannot overflow
    int64_t greenSum = 0;
    int64_t blueSum = 0;
    int32_t count = 0;             // leaf: pixels; inner node: children created
    std::array<int32_t, 8> children{};  // slot = r + 2g + 4b, 0 = none
    int32_t next = 0;              // reducible list or free list link
};

struct OctreeColor {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    bool operator==(const OctreeColor&) const = default;
};

class Octree {
public:
    static constexpr int32_t kInitialPoolLast = 50;

    // Resets the working state: pool of nodes 1..50, root in use, lists empty.
    // depth must be 1..8 (InvalidPropertyValue 380 otherwise).
    void Reset(int32_t depth, float redWeight, float greenWeight, float blueWeight);
    void Insert(uint8_t red, uint8_t green, uint8_t blue);
    // Merges the most recently listed node of the deepest non-empty level into
    // one leaf; false when no node can be reduced.
    bool Reduce();
    // Every leaf in pool order: rounded averages.
    std::vector<OctreeColor> Colors() const;

    // Builds the tree from a picture (rows top-down, pixels left to right),
    // reducing after each pixel while there are more than `wanted` leaves.
    void Build(const Pixels32& picture, int32_t wanted);

    int32_t leaves() const noexcept { return leaves_; }
    int32_t nodesInUse() const noexcept { return nodesInUse_; }
    int32_t poolLast() const noexcept { return static_cast<int32_t>(pool_.size()) - 1; }
    const OctreeNode& node(int32_t n) const { return pool_.at(static_cast<size_t>(n)); }

private:
    int32_t TakeNode();
    void ReleaseNode(int32_t n);

    std::vector<OctreeNode> pool_;    // index 0 unused; node 1 is the root
    std::array<int32_t, 9> reducible_{};  // lists 1..8
    int32_t depth_ = 8;
    int32_t nodesInUse_ = 0;
    int32_t freeHead_ = 0;
    int32_t leaves_ = 0;
    float weights_[3] = {1.0f, 1.0f, 1.0f};  // red, green, blue
};

}  // namespace px
