#include "imaging/core/Dib32.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/Rounding.h"

namespace px {

namespace {

int32_t CheckedInt32(int64_t v) {
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw Error(ErrorNumber::Overflow, "", "Overflow");
    return static_cast<int32_t>(v);
}

void Swap4(uint8_t* a, uint8_t* b) {
    uint8_t t[4];
    std::memcpy(t, a, 4);
    std::memcpy(a, b, 4);
    std::memcpy(b, t, 4);
}

}  // namespace

int32_t Dib32ImageSize(int32_t width, int32_t height) {
    const int32_t rowBytes = CheckedInt32(int64_t{width} * 4);
    return CheckedInt32(int64_t{rowBytes} * height);
}

FitRect GetBestFitInfo(int32_t width, int32_t height, int32_t destWidth, int32_t destHeight, bool stretchToFit) {
    FitRect r;
    if (destWidth < width || destHeight < height || stretchToFit) {
        const float rx = static_cast<float>(static_cast<double>(destWidth) / width);
        const float ry = static_cast<float>(static_cast<double>(destHeight) / height);
        if (rx >= ry) {
            r.height = destHeight;
            r.width = RoundHalfEven(static_cast<double>(ry) * width);
        } else {
            r.width = destWidth;
            r.height = RoundHalfEven(static_cast<double>(rx) * height);
        }
    } else {
        r.width = width;
        r.height = height;
    }
    r.x = TruncDiv(destWidth - r.width, 2);
    r.y = TruncDiv(destHeight - r.height, 2);
    return r;
}

void MirrorLeftRight(const Pixels32& picture) {
    const View2D<uint8_t> v = picture.view();
    const size_t w = static_cast<size_t>(picture.width);
    for (size_t y = 0; y < v.height(); ++y) {
        uint8_t* row = v.row(y).data();
        for (size_t x = 0; x < w / 2; ++x) Swap4(row + 4 * x, row + 4 * (w - 1 - x));
    }
}

void MirrorTopBottom(const Pixels32& picture) {
    const View2D<uint8_t> v = picture.view();
    const size_t h = v.height();
    for (size_t y = 0; y < h / 2; ++y) {
        const std::span<uint8_t> a = v.row(y);
        const std::span<uint8_t> b = v.row(h - 1 - y);
        std::swap_ranges(a.begin(), a.end(), b.begin());
    }
}

void ApplyOrientationMirrors(const Pixels32& picture, bool rotate, bool flipHorizontal, bool flipVertical) {
    if (!rotate) {
        if (flipHorizontal) MirrorLeftRight(picture);
        if (flipVertical) MirrorTopBottom(picture);
    } else {
        if (flipVertical) MirrorLeftRight(picture);
        if (flipHorizontal) MirrorTopBottom(picture);
    }
}

void RotateQuarterAnticlockwise(const Pixels32& source, const Pixels32& target) {
    if (source.empty()) return;
    if (target.width != source.height || target.height != source.width)
        throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");
    const View2D<uint8_t> s = source.view();
    const View2D<uint8_t> t = target.view();
    const size_t w = static_cast<size_t>(source.width);
    for (size_t y = 0; y < s.height(); ++y) {
        const uint8_t* in = s.row(y).data();
        for (size_t x = 0; x < w; ++x) std::memcpy(&t(w - 1 - x, 4 * y), in + 4 * x, 4);
    }
}

void Noise(const Pixels32& picture, int32_t level, int32_t step, UniformRandom& random) {
    if (picture.empty()) return;
    const int32_t span = CheckedInt32(int64_t{level} * 2);
    if (step < 1) throw Error(ErrorNumber::InvalidPropertyValue, "", "Invalid property value");
    const View2D<uint8_t> v = picture.view();
    const size_t s = static_cast<size_t>(step);
    for (size_t y = 0; y < v.height(); y += s) {
        uint8_t* row = v.row(y).data();
        for (size_t x = 0; x < static_cast<size_t>(picture.width); x += s) {
            const int32_t d = RoundHalfEven(random.Next() * span - level);
            uint8_t* p = row + 4 * x;
            for (int c = 0; c < 3; ++c) p[c] = ClampByte(p[c] + d);
        }
    }
}

}  // namespace px
