#include "imaging/core/ScrollBarModel.h"

namespace px {

ScrollBarModel::ScrollBarModel(int32_t min, int32_t max, int32_t value, int32_t smallChange, int32_t largeChange)
    : min_(min), max_(max < min ? min : max), value_(min), small_(smallChange), large_(largeChange) {
    value_ = Clamp(value);
}

int32_t ScrollBarModel::Clamp(int64_t v) const {
    if (v < min_) return min_;
    if (v > max_) return max_;
    return static_cast<int32_t>(v);
}

void ScrollBarModel::SetValue(int32_t value) { value_ = Clamp(value); }

ScrollBarModel::Event ScrollBarModel::Apply(ScrollRequest request, int32_t thumbPosition) {
    int64_t next = value_;
    switch (request) {
        case ScrollRequest::LineUp: next -= small_; break;
        case ScrollRequest::LineDown: next += small_; break;
        case ScrollRequest::PageUp: next -= large_; break;
        case ScrollRequest::PageDown: next += large_; break;
        case ScrollRequest::ThumbTrack:
        case ScrollRequest::ThumbPosition: next = thumbPosition; break;
        case ScrollRequest::Top: next = min_; break;
        case ScrollRequest::Bottom: next = max_; break;
        case ScrollRequest::EndScroll: return Event::None;
    }
    const int32_t clamped = Clamp(next);
    if (clamped == value_) return Event::None;
    value_ = clamped;
    return request == ScrollRequest::ThumbTrack ? Event::Scroll : Event::Change;
}

}  // namespace px
