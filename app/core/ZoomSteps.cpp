#include "app/core/ZoomSteps.h"

namespace px {

std::optional<int> ZoomInStep(int level) {
    if (level > kZoomHighest - kZoomStep) return std::nullopt;
    return level + kZoomStep;
}

int ZoomOutStep(int level) { return level > kZoomLowest ? level - kZoomStep : level; }

std::wstring ZoomLabelText(int level) { return std::to_wstring(level) + L"%"; }

}  // namespace px
