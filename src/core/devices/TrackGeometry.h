#pragma once
#include <array>
#include <span>

#include "common/Geometry.h"
#include "common/Painter.h"
#include "devices/DrawingValues.h"

namespace velkor {

// The band of width w around a segment A-B: corners c0..c3, the side c0-c3
// being its first side and c1-c2 its second. The rounding fixes the outline
// points stored in station files, so it is exactly as the stored data has it.
struct Band {
    std::array<Point, 4> c;
    Point FirstStart() const { return c[0]; }
    Point FirstEnd() const { return c[3]; }
    Point SecondStart() const { return c[1]; }
    Point SecondEnd() const { return c[2]; }
};
Band MakeBand(Point a, Point b, int32_t width);

// Intersection of the line through p1, p2 with the line through p3, p4, with
// the degenerate rules for equal points, vertical and parallel lines.
Point IntersectLines(Point p1, Point p2, Point p3, Point p4);

// A side of a band as a line, for IntersectLines.
struct Side {
    Point a;
    Point b;
};
inline Side FirstSide(const Band& band) { return {band.c[0], band.c[3]}; }
inline Side SecondSide(const Band& band) { return {band.c[1], band.c[2]}; }
inline Point Intersect(Side s, Side t) { return IntersectLines(s.a, s.b, t.a, t.b); }

// Insulation-joint kinds of a track end.
enum JointKind : int32_t { kJointNormal = 0, kJointOverrun = 1, kJointNone = 2 };

// Draws one track segment by kind: 0 a line in the section pen, 1 a joint
// circle of the joint height at its midpoint, 2 a line in the black pen.
void DrawTrackSegment(Painter& painter, const DrawingValues& values, Point a, Point b,
                      int32_t kind);

// Integer distance as the outline rules compare them.
int32_t TruncatedDistance(Point a, Point b);

// Moves p to the nearest grid point of spacing g (halves go up).
Point SnapToGrid(Point p, int32_t g);

}  // namespace velkor
