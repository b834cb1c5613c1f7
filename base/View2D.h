#pragma once
// A bounds-checked two-dimensional view over memory that someone else owns
// (a DIB section's bits, an index buffer). Out-of-range subscripts raise
// error 9 like any array access of the system; hot loops take a checked row
// once and walk its span.
#include <cstddef>
#include <span>

#include "base/Error.h"

namespace px {

template <typename T>
class View2D {
public:
    View2D() = default;
    // rows of `width` elements, `stride` elements apart (stride >= width).
    View2D(T* data, size_t width, size_t height, size_t stride)
        : data_(data), width_(width), height_(height), stride_(stride) {
        if (stride < width) throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");
    }

    size_t width() const noexcept { return width_; }
    size_t height() const noexcept { return height_; }
    size_t stride() const noexcept { return stride_; }
    T* data() const noexcept { return data_; }

    T& at(size_t y, size_t x) const {
        if (y >= height_ || x >= width_) throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");
        return data_[y * stride_ + x];
    }
    T& operator()(size_t y, size_t x) const { return at(y, x); }

    std::span<T> row(size_t y) const {
        if (y >= height_) throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");
        return std::span<T>(data_ + y * stride_, width_);
    }

private:
    T* data_ = nullptr;
    size_t width_ = 0;
    size_t height_ = 0;
    size_t stride_ = 0;
};

}  // namespace px
