#include "capture/core/VirtualScreen.h"

#include <algorithm>
#include <climits>

namespace px::capture {

namespace {

Rect Union(const Rect& a, const Rect& b) noexcept {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Squared distance from p to the nearest pixel of r (0 inside).
long long DistanceSquared(const Rect& r, Point p) noexcept {
    const long long dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - (r.right - 1) : 0;
    const long long dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - (r.bottom - 1) : 0;
    return dx * dx + dy * dy;
}

}  // namespace

ScreenLayout MakeScreenLayout(std::vector<Rect> monitors, const Rect& reportedVirtual) {
    std::erase_if(monitors, [](const Rect& r) { return r.empty(); });
    if (monitors.empty() && !reportedVirtual.empty()) monitors.push_back(reportedVirtual);
    Rect bounds = reportedVirtual;
    for (const Rect& m : monitors) bounds = Union(bounds, m);
    return {bounds, std::move(monitors)};
}

int MonitorAt(const std::vector<Rect>& monitors, Point p) noexcept {
    int best = -1;
    long long bestDistance = LLONG_MAX;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const long long d = DistanceSquared(monitors[i], p);
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

std::vector<Rect> UncoveredParts(const Rect& bounds, const std::vector<Rect>& monitors) {
    // Horizontal bands between consecutive monitor edges; in each band the
    // monitors cover fixed x-intervals, and the gaps between them are uncovered.
    std::vector<int> ys{bounds.top, bounds.bottom};
    for (const Rect& m : monitors)
        for (const int y : {m.top, m.bottom})
            if (y > bounds.top && y < bounds.bottom) ys.push_back(y);
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::vector<Rect> out;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        const int top = ys[i], bottom = ys[i + 1];
        std::vector<std::pair<int, int>> covered;
        for (const Rect& m : monitors)
            if (m.top <= top && m.bottom >= bottom && m.right > bounds.left && m.left < bounds.right)
                covered.emplace_back(std::max(m.left, bounds.left), std::min(m.right, bounds.right));
        std::sort(covered.begin(), covered.end());
        int x = bounds.left;
        for (const auto& [left, right] : covered) {
            if (left > x) out.push_back({x, top, left, bottom});
            x = std::max(x, right);
        }
        if (x < bounds.right) out.push_back({x, top, bounds.right, bottom});
    }
    return out;
}

Point ShiftOntoMonitor(const Rect& box, const Rect& monitor, const std::vector<Rect>& monitors) noexcept {
    if (box.empty() || monitor.empty()) return {};
    if (Intersect(box, monitor) == box) return {};
    const bool reachesAnother = std::any_of(monitors.begin(), monitors.end(), [&](const Rect& m) {
        return m != monitor && !Intersect(box, m).empty();
    });
    if (!reachesAnother) return {};
    auto shift = [](int lo, int hi, int boxLo, int boxHi) {
        int d = std::min(0, hi - boxHi);       // back from the far edge
        return std::max(d, lo - boxLo);         // but never past the near edge
    };
    return {shift(monitor.left, monitor.right, box.left, box.right), shift(monitor.top, monitor.bottom, box.top, box.bottom)};
}

}  // namespace px::capture
