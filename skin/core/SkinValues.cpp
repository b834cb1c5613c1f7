#include "skin/core/SkinValues.h"

namespace px {

SkinValues SkinValues::Defaults(const SkinFont& newFont) {
    SkinValues v;
    v.CaptionFont = newFont;
    v.MenuFont = newFont;
    return v;
}

void SkinValues::Reset(const SkinFont& newFont) {
    SkinValues fresh = Defaults(newFont);
    fresh.ButtonWidth = ButtonWidth;
    fresh.ButtonHeight = ButtonHeight;
    fresh.ActiveLeftEnd = ActiveLeftEnd;
    fresh.ActiveRightStart = ActiveRightStart;
    fresh.ActiveRightEnd = ActiveRightEnd;
    fresh.InactiveOffset = InactiveOffset;
    fresh.Method = Method;
    *this = std::move(fresh);
}

}  // namespace px
