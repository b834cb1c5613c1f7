#include "capture/core/OverlayDamage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace px::capture {

namespace {
// Room around a line for the pen's half width and one pixel of rasterisation slack.
int Margin(int penWidth) { return (std::max(penWidth, 1) + 1) / 2 + 1; }
}  // namespace

std::vector<Rect> RectangleOutlineCover(Point start, Point end, int penWidth) {
    const Rect box = BandBox(start, end);  // corners included
    const int m = Margin(penWidth);
    const int l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
    return {
        {l - m, t - m, r + 1 + m, t + 1 + m},  // top edge
        {l - m, b - m, r + 1 + m, b + 1 + m},  // bottom edge
        {l - m, t - m, l + 1 + m, b + 1 + m},  // left edge
        {r - m, t - m, r + 1 + m, b + 1 + m},  // right edge
    };
}

std::vector<Rect> EllipseOutlineCover(const Rect& box, int penWidth, int bandRows) {
    const Rect b{std::min(box.left, box.right), std::min(box.top, box.bottom), std::max(box.left, box.right),
                 std::max(box.top, box.bottom)};
    const int m = Margin(penWidth);
    bandRows = std::max(bandRows, 1);
    // Small ellipses: the whole box is as cheap as its pieces.
    if (b.width() <= 2 * m + 2 || b.height() <= 2 * bandRows) return {b.inflate(m)};

    // The pen runs through the outermost pixel columns and rows of the box.
    const double cx = (b.left + b.right - 1) / 2.0, cy = (b.top + b.bottom - 1) / 2.0;
    const double ra = (b.width() - 1) / 2.0, rb = (b.height() - 1) / 2.0;
    auto halfWidthAt = [&](double dy) {  // half the chord at distance dy from the centre
        double q = dy / rb;
        return q >= 1.0 ? 0.0 : ra * std::sqrt(1.0 - q * q);
    };

    // Strips lie on a fixed grid of rows, so those of consecutive frames share
    // their rows and merge (MergeRects).
    const int first = (b.top >= 0 ? b.top / bandRows : -((-b.top + bandRows - 1) / bandRows)) * bandRows;
    std::vector<Rect> cover;
    cover.reserve(2 * static_cast<size_t>(b.height() / bandRows + 2));
    for (int y0 = first; y0 < b.bottom; y0 += bandRows) {
        // The box's rows in this strip, widened by a pixel for rasterisation.
        const double lo = std::max(y0, b.top) - 1.0, hi = std::min(y0 + bandRows, b.bottom);
        const double nearDy = (lo <= cy && cy <= hi) ? 0.0 : std::min(std::abs(lo - cy), std::abs(hi - cy));
        const double farDy = std::max(std::abs(lo - cy), std::abs(hi - cy));
        const double wide = halfWidthAt(nearDy), narrow = halfWidthAt(farDy);
        const int leftFrom = static_cast<int>(std::floor(cx - wide)) - m;
        const int leftTo = static_cast<int>(std::ceil(cx - narrow)) + m + 1;
        const int rightFrom = static_cast<int>(std::floor(cx + narrow)) - m;
        const int rightTo = static_cast<int>(std::ceil(cx + wide)) + m + 1;
        const int top = y0 - m, bottom = y0 + bandRows + m;
        if (leftTo >= rightFrom) {
            cover.push_back({leftFrom, top, rightTo, bottom});
        } else {
            cover.push_back({leftFrom, top, leftTo, bottom});
            cover.push_back({rightFrom, top, rightTo, bottom});
        }
    }
    return cover;
}

std::vector<Rect> GridCover(int width, int height, int spacing) {
    std::vector<Rect> cover;
    for (int p : GridLinePositions(height, spacing)) cover.push_back({0, p, width, p + 1});
    for (int p : GridLinePositions(width, spacing)) cover.push_back({p, 0, p + 1, height});
    return cover;
}

std::vector<Rect> ClipRects(std::span<const Rect> rects, const Rect& bounds) {
    std::vector<Rect> out;
    out.reserve(rects.size());
    for (const Rect& r : rects) {
        Rect c = Intersect(r, bounds);
        if (!c.empty()) out.push_back(c);
    }
    return out;
}

std::vector<Rect> MergeRects(std::span<const Rect> rects) {
    std::vector<Rect> sorted;
    sorted.reserve(rects.size());
    for (const Rect& r : rects)
        if (!r.empty()) sorted.push_back(r);
    std::sort(sorted.begin(), sorted.end(), [](const Rect& a, const Rect& b) {
        if (a.top != b.top) return a.top < b.top;
        if (a.bottom != b.bottom) return a.bottom < b.bottom;
        return a.left < b.left;
    });
    std::vector<Rect> out;
    for (const Rect& r : sorted) {
        if (!out.empty()) {
            Rect& last = out.back();
            if (last.top == r.top && last.bottom == r.bottom && r.left <= last.right) {
                last.right = std::max(last.right, r.right);
                continue;
            }
        }
        out.push_back(r);
    }
    return out;
}

int64_t TotalArea(std::span<const Rect> rects) {
    int64_t area = 0;
    for (const Rect& r : rects)
        if (!r.empty()) area += static_cast<int64_t>(r.width()) * r.height();
    return area;
}

void RestoreRects(const View2D<uint32_t>& target, const View2D<const uint32_t>& source, std::span<const Rect> rects) {
    if (target.width() != source.width() || target.height() != source.height())
        throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");
    const Rect bounds{0, 0, static_cast<int>(target.width()), static_cast<int>(target.height())};
    for (const Rect& r : rects) {
        if (Intersect(r, bounds) != r || r.empty()) {
            if (r.empty()) continue;
            throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");
        }
        const size_t x = static_cast<size_t>(r.left), n = static_cast<size_t>(r.width());
        for (int y = r.top; y < r.bottom; ++y) {
            auto dst = target.row(static_cast<size_t>(y)).subspan(x, n);
            auto src = source.row(static_cast<size_t>(y)).subspan(x, n);
            std::memcpy(dst.data(), src.data(), n * sizeof(uint32_t));
        }
    }
}

}  // namespace px::capture
