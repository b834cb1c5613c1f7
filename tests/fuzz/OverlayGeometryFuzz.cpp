// The selection overlay's geometry over random screen points, shapes, pen
// widths and screen sizes: bands and selections follow their corners, the
// damage covers hold every pixel their outline draws, clipping and merging
// keep exactly the same pixels, restoring copies exactly the covered pixels,
// and the outside rings grow until they pass the selection's corners.
#include <algorithm>
#include <cmath>
#include <vector>

#include "FuzzSupport.h"
#include "capture/core/OverlayDamage.h"
#include "capture/core/SelectionGeometry.h"

namespace {

using namespace px;
using namespace px::capture;

// Screen coordinates: what the platform's pointer messages can carry.
Point ScreenPoint(FuzzedDataProvider& in) { return {in.ConsumeIntegral<int16_t>(), in.ConsumeIntegral<int16_t>()}; }
Point NearPoint(FuzzedDataProvider& in, Point p, int reach) {
    return {p.x + in.ConsumeIntegralInRange<int>(-reach, reach), p.y + in.ConsumeIntegralInRange<int>(-reach, reach)};
}

bool Covered(const std::vector<Rect>& cover, Point p) {
    return std::any_of(cover.begin(), cover.end(), [&](const Rect& r) { return r.contains(p); });
}

void CheckBands(FuzzedDataProvider& in, Point start, Point cursor) {
    const SelectionShape shape = static_cast<SelectionShape>(in.ConsumeIntegralInRange<int>(0, 5));
    const Point end = BandEnd(shape, start, cursor);
    if (shape == SelectionShape::Square || shape == SelectionShape::Circle)
        FUZZ_CHECK(end.x == cursor.x && end.y - start.y == end.x - start.x);
    else
        FUZZ_CHECK(end == cursor);
    const Rect box = BandBox(start, end);
    FUZZ_CHECK(box.contains(start) && box.contains(end) && box.width() == std::abs(end.x - start.x) + 1);
    const Rect sel = SelectionRect(start, end);
    if (start.x == end.x || start.y == end.y) FUZZ_CHECK(sel.empty());
    else FUZZ_CHECK(sel.width() == std::abs(end.x - start.x) && sel.height() == std::abs(end.y - start.y));

    // Every pixel within the pen's half width of the band's outline is covered.
    const int pen = in.ConsumeIntegralInRange<int>(0, 12);
    const std::vector<Rect> cover = RectangleOutlineCover(start, end, pen);
    const int half = pen / 2;
    for (int i = 0; i < 16; ++i) {
        const int x = in.ConsumeIntegralInRange<int>(box.left, box.right - 1);
        const int y = in.ConsumeIntegralInRange<int>(box.top, box.bottom - 1);
        for (const Point p : {Point{x, box.top}, Point{x, box.bottom - 1}, Point{box.left, y}, Point{box.right - 1, y}})
            FUZZ_CHECK(Covered(cover, NearPoint(in, p, half)));
    }

    const OverlayControlsLayout l = ControlsLayout(start, cursor);
    FUZZ_CHECK(l.magnifierPicture.width() == kMagnifierSize && l.magnifierSource.width() == kMagnifierSourceSize);
    FUZZ_CHECK(l.magnifierSource.contains(cursor));
}

void CheckEllipse(FuzzedDataProvider& in, Point start) {
    const Rect box = EllipseBox(start, NearPoint(in, start, in.ConsumeIntegralInRange<int>(0, 3000)));
    const int pen = in.ConsumeIntegralInRange<int>(0, 12);
    const int bandRows = in.ConsumeBool() ? 32 : in.ConsumeIntegralInRange<int>(-2, 200);
    const std::vector<Rect> cover = EllipseOutlineCover(box, pen, bandRows);
    if (box.width() < 2 || box.height() < 2) return;
    // Points of the ellipse through the outermost pixel rows and columns, and the pen around them.
    const double cx = (box.left + box.right - 1) / 2.0, cy = (box.top + box.bottom - 1) / 2.0;
    const double ra = (box.width() - 1) / 2.0, rb = (box.height() - 1) / 2.0;
    for (int i = 0; i < 24; ++i) {
        const double t = in.ConsumeProbability<double>() * 6.283185307179586;
        const Point p{static_cast<int>(std::lround(cx + ra * std::cos(t))), static_cast<int>(std::lround(cy + rb * std::sin(t)))};
        FUZZ_CHECK(Covered(cover, NearPoint(in, p, pen / 2)));
    }
}

// Clipping, merging and restoring on a small screen, checked pixel by pixel.
void CheckRects(FuzzedDataProvider& in) {
    const int w = in.ConsumeIntegralInRange<int>(1, 48), h = in.ConsumeIntegralInRange<int>(1, 48);
    std::vector<Rect> rects(in.ConsumeIntegralInRange<size_t>(0, 12));
    for (Rect& r : rects)
        r = {in.ConsumeIntegralInRange<int>(-8, 56), in.ConsumeIntegralInRange<int>(-8, 56), in.ConsumeIntegralInRange<int>(-8, 56),
             in.ConsumeIntegralInRange<int>(-8, 56)};
    const Rect bounds{0, 0, w, h};
    const std::vector<Rect> clipped = ClipRects(rects, bounds);
    const std::vector<Rect> merged = MergeRects(clipped);
    FUZZ_CHECK(merged.size() <= clipped.size());
    for (const Rect& r : clipped) FUZZ_CHECK(!r.empty() && Intersect(r, bounds) == r);
    int64_t area = 0;
    for (const Rect& r : clipped) area += int64_t{r.width()} * r.height();
    FUZZ_CHECK(TotalArea(clipped) == area && TotalArea(merged) <= area);
    for (int y = -2; y < h + 2; ++y)
        for (int x = -2; x < w + 2; ++x) {
            const Point p{x, y};
            const bool in0 = bounds.contains(p) && Covered(rects, p);
            FUZZ_CHECK(Covered(clipped, p) == in0 && Covered(merged, p) == in0);
        }

    std::vector<uint32_t> target(static_cast<size_t>(w * h)), source(static_cast<size_t>(w * h));
    for (size_t i = 0; i < target.size(); ++i) {
        target[i] = static_cast<uint32_t>(i);
        source[i] = static_cast<uint32_t>(i) | 0x80000000u;
    }
    const View2D<uint32_t> tv(target.data(), static_cast<size_t>(w), static_cast<size_t>(h), static_cast<size_t>(w));
    const View2D<const uint32_t> sv(source.data(), static_cast<size_t>(w), static_cast<size_t>(h), static_cast<size_t>(w));
    const bool unclipped = std::any_of(rects.begin(), rects.end(), [&](const Rect& r) { return !r.empty() && Intersect(r, bounds) != r; });
    try {
        RestoreRects(tv, sv, rects);
        FUZZ_CHECK(!unclipped);
    } catch (const Error& e) {
        FUZZ_CHECK(unclipped && e.number() == ErrorNumber::SubscriptOutOfRange);
        return;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y * w + x);
            FUZZ_CHECK(target[i] == (Covered(merged, {x, y}) ? source[i] : static_cast<uint32_t>(i)));
        }
}

void CheckGridAndRings(FuzzedDataProvider& in, Point a, Point b) {
    const int w = in.ConsumeIntegralInRange<int>(-4, 8000), h = in.ConsumeIntegralInRange<int>(-4, 8000);
    const int spacing = in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(-3, 200) : in.ConsumeIntegral<int>();
    const std::vector<Rect> grid = GridCover(w, h, spacing);
    for (const Rect& r : grid) FUZZ_CHECK(r.left >= 0 && r.top >= 0 && (r.width() == 1 || r.height() == 1) && (r.right <= w || r.bottom <= h));
    const std::vector<int> lines = GridLinePositions(w, spacing);
    for (size_t i = 0; i < lines.size(); ++i) FUZZ_CHECK(lines[i] == static_cast<int>(i + 1) * spacing && lines[i] < w);

    const Rect sel = EllipseBox(a, b);
    const std::vector<Rect> rings = OutsideRingBoxes(sel);
    FUZZ_CHECK(rings.size() >= static_cast<size_t>(kOutsideRingCount));
    for (size_t i = 1; i < rings.size(); ++i) FUZZ_CHECK(rings[i] == rings[i - 1].inflate(2));
    // The last ring's inner edge lies beyond every corner pixel of the selection.
    const Rect& last = rings.back();
    const double ra = last.width() / 2.0 - kOutsideRingPenWidth + 1, rb = last.height() / 2.0 - kOutsideRingPenWidth + 1;
    const double dx = std::max(sel.width() / 2.0 - 0.5, 0.0), dy = std::max(sel.height() / 2.0 - 0.5, 0.0);
    FUZZ_CHECK(ra > 0 && rb > 0 && (dx / ra) * (dx / ra) + (dy / rb) * (dy / rb) <= 1.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const Point start = ScreenPoint(in);
    const Point cursor = in.ConsumeBool() ? NearPoint(in, start, 500) : ScreenPoint(in);
    CheckBands(in, start, cursor);
    CheckEllipse(in, start);
    CheckRects(in);
    CheckGridAndRings(in, start, cursor);
    return 0;
}
