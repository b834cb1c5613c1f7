#include "controls/core/MaskRuns.h"

#include <map>
#include <utility>

namespace px::controls {

uint32_t KeyColourOf(const View2D<const uint32_t>& pixels) {
    if (pixels.width() == 0 || pixels.height() == 0) return 0;
    return pixels.at(0, 0) & 0xFFFFFFu;
}

std::vector<Rect> OpaqueRuns(const View2D<const uint32_t>& pixels, uint32_t key) {
    key &= 0xFFFFFFu;
    std::vector<Rect> done;
    // Rectangles still growing downwards, by their (left, right) run.
    std::map<std::pair<int, int>, Rect> open;
    for (size_t y = 0; y < pixels.height(); ++y) {
        auto row = pixels.row(y);
        std::map<std::pair<int, int>, Rect> next;
        const int w = static_cast<int>(row.size());
        for (int x = 0; x < w;) {
            if ((row[x] & 0xFFFFFFu) == key) {
                ++x;
                continue;
            }
            int start = x;
            while (x < w && (row[x] & 0xFFFFFFu) != key) ++x;
            auto span = std::make_pair(start, x);
            auto it = open.find(span);
            Rect r;
            if (it != open.end()) {
                r = it->second;
                open.erase(it);
            } else {
                r = {start, static_cast<int>(y), x, static_cast<int>(y)};
            }
            r.bottom = static_cast<int>(y) + 1;
            next.emplace(span, r);
        }
        for (auto& [span, r] : open) done.push_back(r);
        open = std::move(next);
    }
    for (auto& [span, r] : open) done.push_back(r);
    return done;
}

}  // namespace px::controls
