#pragma once
// Plain geometry values shared by layout rules across the program. Rectangles are
// half-open like the platform's RECT: right and bottom lie just outside.
namespace px {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const noexcept { return right - left; }
    int height() const noexcept { return bottom - top; }
    bool empty() const noexcept { return right <= left || bottom <= top; }
    bool contains(Point p) const noexcept { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    Rect offset(int dx, int dy) const noexcept { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect inflate(int d) const noexcept { return {left - d, top - d, right + d, bottom + d}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

inline Rect RectAt(int x, int y, int w, int h) noexcept { return {x, y, x + w, y + h}; }

}  // namespace px
