#include "export/core/JpegHuffman.h"

#include <algorithm>
#include <vector>

namespace px::jpeg {
namespace {

constexpr int kReserved = 256;  // stands for the all-ones code no symbol may take
constexpr int kMaxLength = 16;

struct Leaf {
    int symbol;
    uint64_t frequency;
};

// Depth of every leaf in a Huffman tree built with the two-queue method;
// `leaves` are sorted by frequency.
std::vector<int> TreeDepths(const std::vector<Leaf>& leaves) {
    const size_t n = leaves.size();
    std::vector<uint64_t> weight(2 * n - 1);
    std::vector<size_t> parent(2 * n - 1, 0);
    for (size_t i = 0; i < n; ++i) weight[i] = leaves[i].frequency;
    size_t nextLeaf = 0, nextInner = n, made = n;
    auto takeSmallest = [&]() {
        if (nextLeaf < n && (nextInner == made || weight[nextLeaf] <= weight[nextInner])) return nextLeaf++;
        return nextInner++;
    };
    while (made < 2 * n - 1) {
        const size_t a = takeSmallest();
        const size_t b = takeSmallest();
        weight[made] = weight[a] + weight[b];
        parent[a] = parent[b] = made;
        ++made;
    }
    // Parents always come after their children, so one backward sweep suffices.
    std::vector<int> depth(2 * n - 1, 0);
    for (size_t i = 2 * n - 1; i-- > 0;) {
        if (i != 2 * n - 2) depth[i] = depth[parent[i]] + 1;
    }
    depth.resize(n);
    return depth;
}

}  // namespace

HuffmanSpec BuildHuffmanSpec(const std::array<uint64_t, 256>& frequencies) {
    std::vector<Leaf> leaves;
    leaves.push_back({kReserved, 1});
    for (int s = 0; s < 256; ++s) {
        if (frequencies[s] > 0) leaves.push_back({s, frequencies[s]});
    }
    std::stable_sort(leaves.begin(), leaves.end(),
                     [](const Leaf& a, const Leaf& b) { return a.frequency < b.frequency; });
    const std::vector<int> depth = TreeDepths(leaves);

    // Number of codes of each length, then lengths over 16 folded in by the
    // usual exchange: two codes of the longest length give way to one a bit
    // shorter and two one bit longer than some shorter code.
    std::vector<int> count(leaves.size() + 1, 0);
    int longest = 0;
    for (int d : depth) {
        ++count[d];
        longest = std::max(longest, d);
    }
    for (int i = longest; i > kMaxLength; --i) {
        while (count[i] > 0) {
            int j = i - 2;
            while (count[j] == 0) --j;
            count[i] -= 2;
            count[i - 1] += 1;
            count[j + 1] += 2;
            count[j] -= 1;
        }
    }
    // The reserved symbol takes the last code of the longest length.
    int last = std::min(longest, kMaxLength);
    while (count[last] == 0) --last;
    --count[last];

    HuffmanSpec spec;
    for (int n = 1; n <= kMaxLength && n < static_cast<int>(count.size()); ++n) spec.counts[n] = static_cast<uint8_t>(count[n]);

    // Symbols by tree depth, the more frequent first where depths are equal
    // (limiting the lengths may split a depth over two lengths); the reserved
    // one left out.
    std::vector<size_t> order;
    for (size_t i = 0; i < leaves.size(); ++i) {
        if (leaves[i].symbol != kReserved) order.push_back(i);
    }
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (depth[a] != depth[b]) return depth[a] < depth[b];
        if (leaves[a].frequency != leaves[b].frequency) return leaves[a].frequency > leaves[b].frequency;
        return leaves[a].symbol < leaves[b].symbol;
    });
    for (size_t i : order) spec.symbols[spec.symbolCount++] = static_cast<uint8_t>(leaves[i].symbol);
    return spec;
}

HuffmanCodes MakeHuffmanCodes(const HuffmanSpec& spec) {
    HuffmanCodes codes;
    uint32_t code = 0;
    int k = 0;
    for (int n = 1; n <= kMaxLength; ++n) {
        for (int i = 0; i < spec.counts[n]; ++i, ++k) {
            codes.code[spec.symbols[k]] = static_cast<uint16_t>(code++);
            codes.length[spec.symbols[k]] = static_cast<uint8_t>(n);
        }
        code <<= 1;
    }
    return codes;
}

}  // namespace px::jpeg
