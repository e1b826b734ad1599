#include "devices/SwitchGeometry.h"

#include <cmath>

#include "devices/CADGraphic.h"

namespace velkor {

SwitchLengths SwitchLengths::Derive(int32_t height, double angleDegrees) {
    SwitchLengths l;
    l.height = height;
    l.b =
        static_cast<int32_t>(std::lround(height / std::tan(angleDegrees * 3.14159265358979 / 180)));
    const auto hyp = static_cast<int32_t>(std::sqrt(double(height) * height + double(l.b) * l.b));
    l.dy = hyp != 0 ? height * 10 / hyp : 0;
    const double rest = 100.0 - double(l.dy) * l.dy;
    l.dx = static_cast<int32_t>(std::sqrt(rest > 0 ? rest : 0)) - 1;
    return l;
}

std::optional<Point> SwitchConnectionOffset(int32_t marked, int32_t side,
                                            std::initializer_list<int32_t> diverging,
                                            const SwitchLengths& L) {
    if (marked == 0) return Point{0, 0};
    if (marked == 1) return Point{-side * 2 * L.b, 0};
    const int64_t leg = int64_t{marked} - 2;
    if (leg < 0 || leg >= static_cast<int64_t>(diverging.size())) return std::nullopt;
    const int32_t t = *(diverging.begin() + leg);
    return Point{-side * 2 * L.b, -t * L.height};
}

void FitSwitchWindow(CADGraphic& obj, std::span<Point> points, std::span<Point> joints,
                     std::span<Point> outline) {
    obj.MoveWindow(BoundingRect(points, 10));
    const Point o = obj.AbsoluteOrigin();
    for (std::span<Point> list : {points, joints, outline}) {
        for (Point& p : list) p = p - o;
    }
}

void PaintSwitchLegs(Painter& painter, std::span<const Point> points) {
    for (size_t leg = 0; leg + 2 < points.size(); leg += 3)
        painter.Polyline(points.subspan(leg, 3));
}

}  // namespace velkor
