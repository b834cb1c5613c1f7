#include "export/core/Octree.h"

#include "base/Rounding.h"

namespace px {

namespace {

// Middle of a channel box lo..hi: lo/2 + hi/2 rounded ties to even, indexed by lo + hi.
const std::array<uint8_t, 511>& MiddleTable() {
    static const std::array<uint8_t, 511> table = [] {
        std::array<uint8_t, 511> t{};
        for (int s = 0; s <= 510; ++s) t[static_cast<size_t>(s)] = static_cast<uint8_t>(RoundHalfEven(s / 2.0));
        return t;
    }();
    return table;
}

}  // namespace

void Octree::Reset(int32_t depth, float redWeight, float greenWeight, float blueWeight) {
    if (depth < 1 || depth > 8) throw Error(ErrorNumber::InvalidPropertyValue, "", "Invalid property value");
    weights_[0] = redWeight;
    weights_[1] = greenWeight;
    weights_[2] = blueWeight;
    pool_.assign(static_cast<size_t>(kInitialPoolLast) + 1, OctreeNode{});
    reducible_.fill(0);
    depth_ = depth;
    nodesInUse_ = 1;
    freeHead_ = 0;
    leaves_ = 0;
}

int32_t Octree::TakeNode() {
    ++nodesInUse_;
    if (freeHead_ != 0) {
        const int32_t n = freeHead_;
        OctreeNode& node = pool_[static_cast<size_t>(n)];
        freeHead_ = node.next;
        node.children.fill(0);
        return n;
    }
    const int32_t n = nodesInUse_;
    if (n > poolLast()) {
        const int32_t last = RoundHalfEven(nodesInUse_ * 1.1);
        pool_.resize(static_cast<size_t>(last) + 1);
    }
    return n;
}

void Octree::ReleaseNode(int32_t n) {
    OctreeNode& node = pool_[static_cast<size_t>(n)];
    node.next = freeHead_;
    freeHead_ = n;
    node.leaf = false;
    node.listed = false;
    --nodesInUse_;
}

void Octree::Insert(uint8_t red, uint8_t green, uint8_t blue) {
    const auto& middle = MiddleTable();
    const float weighted[3] = {static_cast<float>(red) * weights_[0], static_cast<float>(green) * weights_[1],
                               static_cast<float>(blue) * weights_[2]};
    int32_t lo[3] = {0, 0, 0};
    int32_t hi[3] = {255, 255, 255};
    int32_t current = 1;
    for (int32_t level = 1;; ++level) {
        int32_t slot = 0;
        for (int c = 0; c < 3; ++c) {
            const int32_t m = middle[static_cast<size_t>(lo[c] + hi[c])];
            if (weighted[c] > static_cast<float>(m)) {
                slot |= 1 << c;
                lo[c] = m;
            } else {
                hi[c] = m;
            }
        }
        int32_t child = pool_[static_cast<size_t>(current)].children[static_cast<size_t>(slot)];
        if (child == 0) {
            child = TakeNode();  // may grow the pool: no references held across it
            OctreeNode& parent = pool_[static_cast<size_t>(current)];
            parent.children[static_cast<size_t>(slot)] = child;
            ++parent.count;
            OctreeNode& fresh = pool_[static_cast<size_t>(child)];
            fresh.leaf = (level == depth_);
            fresh.redSum = fresh.greenSum = fresh.blueSum = 0;
            fresh.count = 0;
            fresh.next = 0;
        }
        OctreeNode& node = pool_[static_cast<size_t>(child)];
        if (node.leaf) {
            if (node.count == 0) ++leaves_;
            ++node.count;
            node.redSum += red;
            node.greenSum += green;
            node.blueSum += blue;
            return;
        }
        if (!node.listed) {
            node.next = reducible_[static_cast<size_t>(level)];
            reducible_[static_cast<size_t>(level)] = child;
            node.listed = true;
        }
        current = child;
    }
}

bool Octree::Reduce() {
    int32_t level = depth_;
    while (level >= 1 && reducible_[static_cast<size_t>(level)] == 0) --level;
    if (level < 1) return false;
    const int32_t n = reducible_[static_cast<size_t>(level)];
    reducible_[static_cast<size_t>(level)] = pool_[static_cast<size_t>(n)].next;

    int64_t r = 0, g = 0, b = 0;
    int32_t count = 0;
    for (size_t slot = 0; slot < 8; ++slot) {
        const int32_t c = pool_[static_cast<size_t>(n)].children[slot];
        if (c == 0) continue;
        const OctreeNode& child = pool_[static_cast<size_t>(c)];
        r += child.redSum;
        g += child.greenSum;
        b += child.blueSum;
        count += child.count;
        ReleaseNode(c);
        --leaves_;
        pool_[static_cast<size_t>(n)].children[slot] = 0;
    }
    ++leaves_;
    OctreeNode& node = pool_[static_cast<size_t>(n)];
    node.leaf = true;
    node.redSum = r;
    node.greenSum = g;
    node.blueSum = b;
    node.count = count;
    return true;
}

std::vector<OctreeColor> Octree::Colors() const {
    std::vector<OctreeColor> out;
    for (size_t i = 1; i < pool_.size(); ++i) {
        const OctreeNode& n = pool_[i];
        if (!n.leaf) continue;
        const double count = n.count;
        out.push_back(OctreeColor{static_cast<uint8_t>(RoundHalfEven(static_cast<double>(n.redSum) / count)),
                                  static_cast<uint8_t>(RoundHalfEven(static_cast<double>(n.greenSum) / count)),
                                  static_cast<uint8_t>(RoundHalfEven(static_cast<double>(n.blueSum) / count))});
    }
    return out;
}

void Octree::Build(const Pixels32& picture, int32_t wanted) {
    const View2D<uint8_t> v = picture.view();
    const size_t w = picture.empty() ? 0 : static_cast<size_t>(picture.width);
    for (size_t y = 0; y < v.height(); ++y) {
        const uint8_t* p = v.row(y).data();
        for (size_t x = 0; x < w; ++x, p += 4) {
            Insert(p[2], p[1], p[0]);
            while (leaves_ > wanted) {
                if (!Reduce()) break;
            }
        }
    }
}

}  // namespace px
