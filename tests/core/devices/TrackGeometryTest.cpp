#include <gtest/gtest.h>

#include "devices/TrackGeometry.h"

namespace velkor {
namespace {

TEST(Band, HorizontalVerticalAndSloped) {
    struct Case {
        Point a, b;
        int32_t width;
        std::array<Point, 4> corners;
    };
    const std::vector<Case> cases = {
        {{0, 0}, {100, 0}, 3, {{{0, 1}, {0, -1}, {100, -1}, {100, 1}}}},
        {{0, 0}, {0, 100}, 3, {{{-1, 0}, {1, 0}, {1, 100}, {-1, 100}}}},
        // dx = 30, dy = 40, L = 50, h = 4: m = 2.4 -> 2, l = 3.2 -> 3.
        {{0, 0}, {30, 40}, 8, {{{-3, 2}, {3, -2}, {33, 38}, {27, 42}}}},
        // dx negative: c0/c1 and c2/c3 exchanged; m = -2.4 -> -2, l = 3.2 -> 3.
        {{0, 0}, {-30, 40}, 8, {{{3, 2}, {-3, -2}, {-33, 38}, {-27, 42}}}},
        // Rounded to the nearest integer, away from zero: 3.54 -> 4; 0.6 -> 1 and -0.8 -> -1.
        {{0, 0}, {10, 10}, 10, {{{-4, 4}, {4, -4}, {14, 6}, {6, 14}}}},
        {{0, 0}, {6, -8}, 2, {{{1, 1}, {-1, -1}, {5, -9}, {7, -7}}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeBand(c.a, c.b, c.width).c, c.corners)
            << c.a.x << "," << c.a.y << " " << c.b.x << "," << c.b.y;
    }
}

TEST(Intersection, EveryRule) {
    struct Case {
        const char* rule;
        Point p1, p2, p3, p4, expected;
    };
    const std::vector<Case> cases = {
        {"vertical and diagonal", {5, 0}, {5, 10}, {0, 0}, {10, 10}, {5, 5}},
        {"diagonal and vertical", {0, 0}, {10, 10}, {5, 0}, {5, 10}, {5, 5}},
        {"coincident horizontals", {0, 1}, {50, 1}, {50, 1}, {100, 1}, {50, 1}},
        {"coincident, P1 nearer P4", {80, 1}, {0, 1}, {50, 1}, {100, 1}, {80, 1}},
        {"parallel apart", {0, 0}, {10, 0}, {0, 5}, {10, 5}, {0, 0}},
        {"P1 = P2 takes the nearer", {0, 0}, {0, 0}, {3, 0}, {1, 0}, {1, 0}},
        {"P1 = P2 tie takes P4", {0, 0}, {0, 0}, {-2, 0}, {2, 0}, {2, 0}},
        {"P3 = P4 takes P1 when nearer", {1, 1}, {9, 9}, {0, 0}, {0, 0}, {1, 1}},
        {"both vertical", {0, 0}, {0, 10}, {3, 7}, {3, 2}, {3, 2}},
        {"crossing, truncated", {0, 0}, {3, 1}, {0, 2}, {3, 0}, {2, 0}},
        {"negative truncates toward zero", {0, 0}, {-3, 1}, {0, 2}, {-3, 0}, {-2, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntersectLines(c.p1, c.p2, c.p3, c.p4), c.expected) << c.rule;
    }
}

TEST(GridSnap, RoundsToTheNearestLineHalvesUp) {
    EXPECT_EQ(SnapToGrid({109, 111}, 20), (Point{100, 120}));
    EXPECT_EQ(SnapToGrid({110, 129}, 20), (Point{120, 120}));
    EXPECT_EQ(SnapToGrid({5, 5}, 0), (Point{5, 5}));
}

}  // namespace
}  // namespace velkor
