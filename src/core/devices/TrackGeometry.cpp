#include "devices/TrackGeometry.h"

#include <cmath>

#include "devices/DrawingValues.h"

namespace velkor {

Band MakeBand(Point a, Point b, int32_t width) {
    const int32_t h = width / 2;
    const int32_t dx = SubI32(b.x, a.x);
    const int32_t dy = SubI32(b.y, a.y);
    Band band;
    if (dy == 0) {
        band.c = {a + Point{0, h}, a - Point{0, h}, b - Point{0, h}, b + Point{0, h}};
        return band;
    }
    if (dx == 0) {
        band.c = {a - Point{h, 0}, a + Point{h, 0}, b + Point{h, 0}, b - Point{h, 0}};
        return band;
    }
    const double len = std::sqrt(double(dx) * dx + double(dy) * dy);
    // Half away from zero, as lround rounds.
    const auto m = static_cast<int32_t>(std::lround(dx / len * h));
    const auto l = static_cast<int32_t>(std::lround(dy / len * h));
    band.c = {a + Point{-l, m}, a + Point{l, -m}, b + Point{l, -m}, b + Point{-l, m}};
    if (dx <= 0) {
        std::swap(band.c[0], band.c[1]);
        std::swap(band.c[2], band.c[3]);
    }
    return band;
}

int32_t TruncatedDistance(Point a, Point b) {
    const double dx = double(a.x) - b.x;
    const double dy = double(a.y) - b.y;
    return TruncateI32(std::sqrt(dx * dx + dy * dy));
}

namespace {
int32_t Trunc(double v) {
    // Coordinates from damaged files may be far outside the canvas; clamp
    // instead of overflowing the conversion.
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}
}  // namespace

Point IntersectLines(Point p1, Point p2, Point p3, Point p4) {
    if (p1 == p2) return TruncatedDistance(p3, p1) < TruncatedDistance(p4, p1) ? p3 : p4;
    if (p3 == p4) return TruncatedDistance(p1, p3) < TruncatedDistance(p2, p3) ? p1 : p2;
    const double x1 = p1.x, y1 = p1.y, x2 = p2.x, y2 = p2.y;
    const double x3 = p3.x, y3 = p3.y, x4 = p4.x, y4 = p4.y;
    if (p1.x == p2.x && p3.x == p4.x) {
        return TruncatedDistance(p3, p1) < TruncatedDistance(p4, p1) ? p3 : p4;
    }
    if (p1.x == p2.x) return {p1.x, Trunc(y3 + (y4 - y3) * (x1 - x3) / (x4 - x3))};
    if (p3.x == p4.x) return {p3.x, Trunc(y1 + (y2 - y1) * (x3 - x1) / (x2 - x1))};
    const double k1 = (y2 - y1) / (x2 - x1);
    const double b1 = y1 - k1 * x1;
    const double k2 = (y4 - y3) / (x4 - x3);
    const double b2 = y3 - k2 * x3;
    if (std::fabs(k1 - k2) < 0.000001) {
        if (std::fabs(b1 - b2) < 0.000001) {
            return TruncatedDistance(p1, p4) < TruncatedDistance(p2, p4) ? p1 : p2;
        }
        return {0, 0};
    }
    const double x = (b2 - b1) / (k1 - k2);
    return {Trunc(x), Trunc(k1 * x + b1)};
}

void DrawTrackSegment(Painter& painter, const DrawingValues& d, Point a, Point b, int32_t kind) {
    switch (kind) {
        case kJointOverrun: {
            const Point mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
            const int32_t r = d.jointHeight / 2;
            painter.SetPen(d.SectionPen());
            painter.SetBrush({Rgb(0, 0, 0), true});
            painter.Ellipse(
                {mid.x - r, mid.y - r, mid.x - r + d.jointHeight, mid.y - r + d.jointHeight});
            break;
        }
        case kJointNone:
            painter.SetPen(DrawingValues::kBlackSectionPen);
            painter.Line(a, b);
            break;
        default:
            painter.SetPen(d.SectionPen());
            painter.Line(a, b);
            break;
    }
}

Point SnapToGrid(Point p, int32_t g) {
    if (g <= 0) return p;
    auto snap = [g](int32_t v) {
        const int32_t r = v % g;
        return r < g / 2 ? v - r : v - r + g;
    };
    return {snap(p.x), snap(p.y)};
}

}  // namespace velkor
