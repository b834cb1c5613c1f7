#include "imaging/core/PerceptualQuantizer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <tuple>

#include "base/Error.h"
#include "imaging/core/VarianceBoxes.h"

namespace px {

namespace {

constexpr int kHistBits = 6;  // cells of 4 x 4 x 4 colours

struct CellSums {
    uint64_t count = 0;
    uint64_t red = 0, green = 0, blue = 0;
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

Vec3f PerceptualMean(const CellSums& c) {
    const float n = static_cast<float>(c.count);
    return ToPerceptual(static_cast<float>(c.red) / n, static_cast<float>(c.green) / n,
                        static_cast<float>(c.blue) / n);
}

// Mean colours of the clusters, as 0..255 floats (red, green, blue).
struct Centre {
    double red = 0, green = 0, blue = 0;
};

void Add(CellSums& to, const CellSums& c) {
    to.count += c.count;
    to.red += c.red;
    to.green += c.green;
    to.blue += c.blue;
}

Centre MeanOf(const CellSums& s) {
    const double n = static_cast<double>(s.count);
    return {static_cast<double>(s.red) / n, static_cast<double>(s.green) / n, static_cast<double>(s.blue) / n};
}

// Every point given to its nearest centre, with what each cluster then holds.
struct Clusters {
    std::vector<Moments> moments;  // in the perceptual space
    std::vector<CellSums> sums;    // exact colour sums
    double error = 0;              // total squared distance to the centres
    size_t moved = 0;              // points whose owner changed
};

// For each centre, a squared distance within which it is the nearest for
// sure: a quarter of the squared distance to its nearest other centre.
std::vector<float> SafeDistances(const std::vector<Vec3f>& at) {
    std::vector<float> safe(at.size(), std::numeric_limits<float>::infinity());
    for (size_t i = 0; i < at.size(); ++i)
        for (size_t j = i + 1; j < at.size(); ++j) {
            const float d = DistanceSquared(at[i], at[j]) / 4;
            safe[i] = std::min(safe[i], d);
            safe[j] = std::min(safe[j], d);
        }
    return safe;
}

Clusters Assign(const std::vector<ColourPoint>& points, const std::vector<CellSums>& cells,
                const std::vector<Centre>& centres, std::vector<int32_t>& owner) {
    std::vector<Vec3f> at(centres.size());
    for (size_t i = 0; i < centres.size(); ++i)
        at[i] = ToPerceptual(static_cast<float>(centres[i].red), static_cast<float>(centres[i].green),
                             static_cast<float>(centres[i].blue));
    PaletteSearch search;
    search.Assign(at);
    const std::vector<float> safe = SafeDistances(at);
    Clusters out{std::vector<Moments>(centres.size()), std::vector<CellSums>(centres.size())};
    for (size_t i = 0; i < points.size(); ++i) {
        const ColourPoint& pt = points[i];
        const float d = DistanceSquared(pt.p, at[static_cast<size_t>(owner[i])]);
        const int32_t n = d < safe[static_cast<size_t>(owner[i])] ? owner[i] : search.Nearest(pt.p, d);
        out.moved += n != owner[i];
        owner[i] = n;
        const size_t k = static_cast<size_t>(n);
        out.error += pt.weight * DistanceSquared(pt.p, at[k]);
        out.moments[k].Add(pt.p, pt.weight);
        Add(out.sums[k], cells[pt.cell]);
    }
    return out;
}

// An empty cluster keeps its colour.
void MoveToMeans(const Clusters& clusters, std::vector<Centre>& centres) {
    for (size_t i = 0; i < centres.size(); ++i)
        if (clusters.sums[i].count) centres[i] = MeanOf(clusters.sums[i]);
}

void Refine(const std::vector<ColourPoint>& points, const std::vector<CellSums>& cells, std::vector<Centre>& centres,
            std::vector<int32_t>& owner, int32_t passes) {
    for (int32_t pass = 0; pass < passes; ++pass) {
        const Clusters clusters = Assign(points, cells, centres, owner);
        MoveToMeans(clusters, centres);
        if (clusters.moved == 0 && pass > 0) break;
    }
}

// Moving one centre elsewhere: `from` gives up its cluster to `into`, and
// cluster `split` is cut in two, `from` taking one half.
struct Move {
    double gain;  // error the cut saves less the error the merge adds
    size_t from, into, split;
    Centre low, high;
};

// Giving up centre `from`: its cluster joins `into`'s (none when it is empty).
struct Merge {
    double cost;  // the error it adds: w1 w2 / (w1 + w2) times the squared distance of the means
    size_t from, into;
};

// For each centre, the neighbour its cluster merges into at the least cost, cheapest first.
std::vector<Merge> CheapestMerges(const std::vector<Moments>& m) {
    const size_t k = m.size();
    std::vector<std::array<double, 3>> mean(k);
    for (size_t i = 0; i < k; ++i)
        if (m[i].w > 0)
            for (size_t a = 0; a < 3; ++a) mean[i][a] = m[i].s[a] / m[i].w;
    std::vector<Merge> out;
    for (size_t i = 0; i < k; ++i) {
        if (m[i].w <= 0) {
            out.push_back({0.0, i, k});
            continue;
        }
        Merge best{std::numeric_limits<double>::infinity(), i, k};
        for (size_t j = 0; j < k; ++j) {
            if (j == i || m[j].w <= 0) continue;
            double d = 0;
            for (size_t a = 0; a < 3; ++a) d += (mean[i][a] - mean[j][a]) * (mean[i][a] - mean[j][a]);
            const double cost = m[i].w * m[j].w / (m[i].w + m[j].w) * d;
            if (cost < best.cost) best = {cost, i, j};
        }
        if (best.into < k) out.push_back(best);
    }
    std::sort(out.begin(), out.end(), [](const Merge& x, const Merge& y) {
        return x.cost < y.cost || (x.cost == y.cost && x.from < y.from);
    });
    return out;
}

// The best cut of each of the `count` clusters with the largest error, as
// (error saved, cluster, the halves' mean colours), largest saving first.
std::vector<Move> BestCuts(const std::vector<ColourPoint>& points, const std::vector<CellSums>& cells,
                           const std::vector<int32_t>& owner, const Clusters& clusters, size_t count) {
    const size_t k = clusters.moments.size();
    std::vector<size_t> start(k + 1, 0);  // the points grouped by owner
    for (const int32_t o : owner) ++start[static_cast<size_t>(o) + 1];
    for (size_t i = 0; i < k; ++i) start[i + 1] += start[i];
    std::vector<ColourPoint> grouped(points.size());
    std::vector<size_t> next(start.begin(), start.end() - 1);
    for (size_t i = 0; i < points.size(); ++i) grouped[next[static_cast<size_t>(owner[i])]++] = points[i];

    std::vector<std::pair<double, size_t>> worst;
    for (size_t i = 0; i < k; ++i) worst.push_back({-clusters.moments[i].Error(), i});
    std::sort(worst.begin(), worst.end());
    std::vector<Move> cuts;
    for (size_t r = 0; r < std::min(k, count); ++r) {
        const size_t i = worst[r].second;
        const Box box{start[i], start[i + 1], clusters.moments[i]};
        Box low{}, high{};
        if (!SplitBox(grouped, box, low, high)) continue;
        CellSums lowSums, highSums;
        for (size_t q = low.begin; q < low.end; ++q) Add(lowSums, cells[grouped[q].cell]);
        for (size_t q = high.begin; q < high.end; ++q) Add(highSums, cells[grouped[q].cell]);
        cuts.push_back({box.m.Error() - low.m.Error() - high.m.Error(), 0, 0, i, MeanOf(lowSums), MeanOf(highSums)});
    }
    std::sort(cuts.begin(), cuts.end(), [](const Move& x, const Move& y) {
        return x.gain > y.gain || (x.gain == y.gain && x.split < y.split);
    });
    return cuts;
}

// Pairs the largest cuts with the cheapest merges while a pair saves error,
// each centre in one pair at most.
std::vector<Move> PairMoves(std::vector<Move> cuts, const std::vector<Merge>& merges, size_t k, size_t batch) {
    std::vector<bool> busy(k + 1, false);  // busy[k]: "no cluster", never taken
    std::vector<Move> moves;
    size_t m = 0;
    for (Move& cut : cuts) {
        if (moves.size() == batch) break;
        if (busy[cut.split]) continue;
        busy[cut.split] = true;
        while (m < merges.size() && (busy[merges[m].from] || (merges[m].into < k && busy[merges[m].into]))) ++m;
        if (m == merges.size() || merges[m].cost >= cut.gain) break;
        cut.from = merges[m].from;
        cut.into = merges[m].into;
        cut.gain -= merges[m].cost;
        busy[cut.from] = true;
        if (cut.into < k) busy[cut.into] = true;
        moves.push_back(cut);
    }
    return moves;
}

// Lloyd's passes stop in the nearest local minimum; centres that hold little
// are moved to where clusters are costly, a batch at a time. A batch is kept
// when it lowers the total error after two passes, otherwise it is undone
// and the next batch is half as large.
void MoveIdleCentres(const std::vector<ColourPoint>& points, const std::vector<CellSums>& cells,
                     std::vector<Centre>& centres, std::vector<int32_t>& owner, int32_t rounds) {
    if (rounds == 0) return;
    const size_t k = centres.size();
    Clusters clusters = Assign(points, cells, centres, owner);
    size_t batch = 32;
    for (int32_t round = 0; round < rounds && batch > 0; ++round) {
        const std::vector<Move> moves = PairMoves(BestCuts(points, cells, owner, clusters, 3 * batch),
                                                  CheapestMerges(clusters.moments), k, batch);
        if (moves.empty()) break;
        const std::vector<Centre> keptCentres = centres;
        const std::vector<int32_t> keptOwner = owner;
        for (const Move& move : moves) {
            if (move.into < k) {
                CellSums both = clusters.sums[move.into];
                Add(both, clusters.sums[move.from]);
                centres[move.into] = MeanOf(both);
            }
            centres[move.split] = move.low;
            centres[move.from] = move.high;
        }
        Refine(points, cells, centres, owner, 2);
        Clusters next = Assign(points, cells, centres, owner);
        if (next.error < clusters.error) {
            clusters = std::move(next);
            continue;
        }
        centres = keptCentres;
        owner = keptOwner;
        batch /= 2;
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
    if (options.wanted < 1 || options.wanted > 256 || options.refinePasses < 0 || options.moveRounds < 0)
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
    std::vector<ColourPoint> points;
    for (size_t i = 0; i < cells.size(); ++i)
        if (cells[i].count) points.push_back({PerceptualMean(cells[i]), static_cast<float>(cells[i].count), static_cast<uint32_t>(i)});

    std::vector<Box> boxes = SplitIntoBoxes(points, wanted);
    std::vector<Centre> centres(boxes.size());
    std::vector<int32_t> owner(points.size());
    for (size_t b = 0; b < boxes.size(); ++b) {
        CellSums s;
        for (size_t i = boxes[b].begin; i < boxes[b].end; ++i) {
            Add(s, cells[points[i].cell]);
            owner[i] = static_cast<int32_t>(b);
        }
        centres[b] = MeanOf(s);
    }
    Refine(points, cells, centres, owner, options.refinePasses);
    MoveIdleCentres(points, cells, centres, owner, options.moveRounds);
    for (const Centre& c : centres) palette.push_back({Channel(c.red), Channel(c.green), Channel(c.blue)});
    SortByLuma(palette);
    return palette;
}

}  // namespace px
