#pragma once
#include <algorithm>
#include <cstdint>
#include <span>

namespace velkor {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
    Point operator+(Point o) const { return {x + o.x, y + o.y}; }
    Point operator-(Point o) const { return {x - o.x, y - o.y}; }
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

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    Point TopLeft() const { return {left, top}; }
    Rect Offset(int32_t dx, int32_t dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    Rect Inflate(int32_t d) const { return {left - d, top - d, right + d, bottom + d}; }
    bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    static Rect FromOriginSize(Point o, Size s) { return {o.x, o.y, o.x + s.cx, o.y + s.cy}; }
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
