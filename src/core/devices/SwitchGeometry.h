#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>

#include "common/Geometry.h"
#include "common/Painter.h"

namespace velkor {

class CADGraphic;

// Lengths of a switch, derived from the diverging height and the angle when
// the switch is created.
struct SwitchLengths {
    int32_t height = 52;  // H
    int32_t b = 30;       // toe offset; the straight leg is b - 10
    int32_t dx = 5;       // diverging stub
    int32_t dy = 8;
    static SwitchLengths Derive(int32_t height, double angleDegrees);
};

// The geometry two-way and three-way switches share. A switch is a run of
// legs of three points each: the section leg P0-P1-P2 (P2 the toe), the
// straight leg P3-P4-P5, then one diverging leg per entry of `diverging`
// (-1 going up, +1 going down). Leg ends are P0, P3, P6...

// The legs of a switch placed with its section end at `start`, opening to
// `side` (-1 left, +1 right), in canvas coordinates.
template <size_t N>
std::array<Point, N> LayOutSwitchLegs(Point start, int32_t side,
                                      std::initializer_list<int32_t> diverging,
                                      const SwitchLengths& L) {
    static_assert(N % 3 == 0);
    std::array<Point, N> c{};
    const int32_t x = start.x;
    const int32_t y = start.y;
    c[0] = c[1] = {x, y};
    c[2] = {x + side * L.b, y};
    c[5] = {c[2].x + side * 10, y};
    c[3] = c[4] = {c[5].x + side * (L.b - 10), y};
    size_t leg = 6;
    for (int32_t t : diverging) {
        c[leg + 2] = {c[2].x + side * L.dx, y + t * L.dy};
        c[leg] = c[leg + 1] = {c[4].x, y + t * L.height};
        leg += 3;
    }
    return c;
}

// The window offset that puts the chosen connection point on the press:
// 0 the section end, 1 the straight end, 2 and on the diverging ends in
// order; nothing for any other choice.
std::optional<Point> SwitchConnectionOffset(int32_t marked, int32_t side,
                                            std::initializer_list<int32_t> diverging,
                                            const SwitchLengths& L);

// The leg ends: every third point.
template <size_t N>
std::array<Point, N / 3> SwitchLegEnds(const std::array<Point, N>& pts) {
    std::array<Point, N / 3> ends{};
    for (size_t i = 0; i < ends.size(); ++i) ends[i] = pts[i * 3];
    return ends;
}

// Moves the window around the points (canvas coordinates, 10 pixels of
// margin) and turns points, joint marks and outline into window coordinates.
void FitSwitchWindow(CADGraphic& obj, std::span<Point> points, std::span<Point> joints,
                     std::span<Point> outline);

// Each leg as a polyline in the current pen.
void PaintSwitchLegs(Painter& painter, std::span<const Point> points);

}  // namespace velkor
