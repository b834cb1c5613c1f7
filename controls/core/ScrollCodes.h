#pragma once
// What a scroll bar asks for, and the one translator of the platform's scroll
// codes (the low word of WM_HSCROLL / WM_VSCROLL) into it. Every scrolling
// window and control goes through ScrollRequestFromCode instead of its own
// switch; the codes are fixed numbers of the platform, so this stays portable.
#include <optional>

namespace px {

enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, ThumbTrack, ThumbPosition, Top, Bottom, EndScroll };

// SB_LINEUP/SB_LINELEFT 0 ... SB_ENDSCROLL 8; anything else is no request.
std::optional<ScrollRequest> ScrollRequestFromCode(unsigned code);

// A thumb request: the position comes from the thumb, not from a step.
inline bool IsThumbRequest(ScrollRequest r) { return r == ScrollRequest::ThumbTrack || r == ScrollRequest::ThumbPosition; }

}  // namespace px
