#include "controls/core/ScrollCodes.h"

#include <array>

namespace px {

std::optional<ScrollRequest> ScrollRequestFromCode(unsigned code) {
    static constexpr std::array<ScrollRequest, 9> kByCode{
        ScrollRequest::LineUp,        // SB_LINEUP, SB_LINELEFT
        ScrollRequest::LineDown,      // SB_LINEDOWN, SB_LINERIGHT
        ScrollRequest::PageUp,        // SB_PAGEUP, SB_PAGELEFT
        ScrollRequest::PageDown,      // SB_PAGEDOWN, SB_PAGERIGHT
        ScrollRequest::ThumbPosition, // SB_THUMBPOSITION
        ScrollRequest::ThumbTrack,    // SB_THUMBTRACK
        ScrollRequest::Top,           // SB_TOP, SB_LEFT
        ScrollRequest::Bottom,        // SB_BOTTOM, SB_RIGHT
        ScrollRequest::EndScroll,     // SB_ENDSCROLL
    };
    if (code >= kByCode.size()) return std::nullopt;
    return kByCode[code];
}

}  // namespace px
