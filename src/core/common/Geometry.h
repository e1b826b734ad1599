#pragma once
#include <algorithm>
#include <cstdint>
#include <span>

namespace velkor {

// Coordinates read from a damaged file may lie anywhere in 32 bits: the
// geometry saturates at the ends of the range instead of overflowing. Within
// the range every result is the plain one.
constexpr int32_t SaturateI32(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}
constexpr int32_t AddI32(int32_t a, int32_t b) { return SaturateI32(int64_t{a} + b); }
constexpr int32_t SubI32(int32_t a, int32_t b) { return SaturateI32(int64_t{a} - b); }
// A double truncated toward zero, as a plain conversion does; NaN gives 0.
constexpr int32_t TruncateI32(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
    Point operator+(Point o) const { return {AddI32(x, o.x), AddI32(y, o.y)}; }
    Point operator-(Point o) const { return {SubI32(x, o.x), SubI32(y, o.y)}; }
};

struct Size {
    int32_t cx = 0;
    int32_t cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Rectangles follow the station file's order: left, top, right, bottom.
// right and bottom are exclusive, as the windows of the drawing have them.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;

    int32_t Width() const { return SubI32(right, left); }
    int32_t Height() const { return SubI32(bottom, top); }
    Point TopLeft() const { return {left, top}; }
    Rect Offset(int32_t dx, int32_t dy) const {
        return {AddI32(left, dx), AddI32(top, dy), AddI32(right, dx), AddI32(bottom, dy)};
    }
    Rect Inflate(int32_t d) const {
        return {SubI32(left, d), SubI32(top, d), AddI32(right, d), AddI32(bottom, d)};
    }
    bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    static Rect FromOriginSize(Point o, Size s) {
        return {o.x, o.y, AddI32(o.x, s.cx), AddI32(o.y, s.cy)};
    }
};

// Smallest rectangle containing all points, enlarged by `margin` on every side.
// Track and symbol objects size their windows this way (margin 10).
inline Rect BoundingRect(std::span<const Point> pts, int32_t margin = 10) {
    if (pts.empty()) return {};
    Rect r{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (const Point& p : pts) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x);
        r.bottom = std::max(r.bottom, p.y);
    }
    return r.Inflate(margin);
}

}  // namespace velkor
