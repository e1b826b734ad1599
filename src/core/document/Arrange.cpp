#include "document/Arrange.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "devices/CADDevice.h"
#include "devices/CADSection.h"
#include "devices/CADThreeSwitch.h"
#include "devices/RailSwitch.h"

namespace velkor {

void MoveWithLabel(CADGraphic& obj, int32_t dx, int32_t dy) {
    obj.OffsetWindow(dx, dy);
    // Every part that lies beside the object rather than inside its window
    // (name, section-name and delay-time labels, a signal's button and its
    // caption) moves with it; parts inside a window move with that window.
    const std::function<void(CADGraphic&)> moveSiblings = [&](CADGraphic& g) {
        std::vector<CADGraphic*> parts;
        g.CollectParts(parts);
        for (CADGraphic* part : parts) {
            if (part->Parent() != obj.Parent() || !part->HasWindow()) continue;
            part->OffsetWindow(dx, dy);
            moveSiblings(*part);
        }
    };
    moveSiblings(obj);
    if (auto* d = AsDevice(&obj); d && d->nameLabel.HasWindow())
        d->labelRect = d->nameLabel.GetCanvasRect();
}

void AlignLeft(const std::vector<CADGraphic*>& selection) {
    if (selection.empty()) return;
    int32_t m = selection.front()->GetCanvasRect().left;
    for (const CADGraphic* g : selection) m = std::min(m, g->GetCanvasRect().left);
    for (CADGraphic* g : selection) {
        g->OffsetWindow(m - g->GetCanvasRect().left, 0);
        if (IsDeclaredDevice(*g)) g->PlaceLabel();
    }
}

void AlignTop(const std::vector<CADGraphic*>& selection) {
    if (selection.empty()) return;
    int32_t m = selection.front()->GetCanvasRect().top;
    for (const CADGraphic* g : selection) m = std::min(m, g->GetCanvasRect().top);
    for (CADGraphic* g : selection) g->OffsetWindow(0, m - g->GetCanvasRect().top);
}

void SpaceEvenly(std::vector<CADGraphic*>& selection) {
    std::stable_sort(selection.begin(), selection.end(),
                     [](const CADGraphic* a, const CADGraphic* b) {
                         return a->GetCanvasRect().left < b->GetCanvasRect().left;
                     });
    const auto n = static_cast<int32_t>(selection.size());
    if (n < 2) return;
    int64_t widths = 0;
    for (const CADGraphic* g : selection) widths += g->GetCanvasRect().Width();
    const int64_t span = int64_t{selection.back()->GetCanvasRect().right} -
                         selection.front()->GetCanvasRect().left - widths;
    const auto gap = static_cast<int32_t>(span / (n - 1));
    for (int32_t i = 1; i <= n - 2; ++i) {
        const Rect prev = selection[static_cast<size_t>(i - 1)]->GetCanvasRect();
        CADGraphic* g = selection[static_cast<size_t>(i)];
        g->OffsetWindow(prev.right + gap - g->GetCanvasRect().left, 0);
    }
}

void MoveAll(CVelkorDoc& doc, int32_t dx, int32_t dy) {
    std::vector<CADGraphic*> all;
    for (const auto& obj : doc.Objects()) all.push_back(obj.get());
    DocumentEdit edit(doc, "全移", all);
    for (CADGraphic* obj : all) {
        obj->OffsetWindow(dx, dy);
        if (AsDevice(obj)) obj->PlaceLabel();
    }
    edit.Commit();
}

Point SelectionDragOffset(Point start, Point end, bool gridOn, int32_t g) {
    int32_t dx = end.x - start.x;
    int32_t dy = end.y - start.y;
    if (gridOn && g > 0) {
        dx = g * (dx / g);
        dy = g * (dy / g);
    }
    if (std::abs(dy) < std::abs(dx)) {
        dy = 0;
    } else {
        dx = 0;
    }
    return {dx, dy};
}

namespace {
// Moves the end E (and its neighbour N when they coincide) away from the
// reference by `length` pixels along the line the end continues.
template <size_t N>
bool ExtendEnd(std::array<Point, N>& pts, size_t e, size_t n, size_t n2, int32_t length) {
    const Point ref = pts[n] == pts[e] ? pts[n2] : pts[n];
    const int64_t dx = pts[e].x - ref.x;
    const int64_t dy = pts[e].y - ref.y;
    const auto dist = static_cast<int64_t>(std::sqrt(double(dx) * dx + double(dy) * dy));
    if (dist == 0) return false;  // no direction to extend in
    const Point step{static_cast<int32_t>(length * dx / dist),
                     static_cast<int32_t>(length * dy / dist)};
    if (pts[n] == pts[e]) pts[n] = pts[n] + step;
    pts[e] = pts[e] + step;
    return true;
}
}  // namespace

namespace {
template <typename T, size_t N>
bool ExtendTrack(T& obj, std::array<Point, N> pts, int k, int ends, int32_t length) {
    if (k < 0 || k >= ends) return false;
    size_t e, n, n2;
    if constexpr (std::is_same_v<T, CADSection>) {
        e = k == 0 ? 0 : 3;
        n = k == 0 ? 1 : 2;
        n2 = k == 0 ? 2 : 1;
    } else {
        e = static_cast<size_t>(3 * k);
        n = e + 1;
        n2 = e + 2;
    }
    if (!ExtendEnd(pts, e, n, n2, length)) return false;
    for (Point& p : pts) p = obj.ToCanvas(p);
    obj.Relayout(pts);
    return true;
}
}  // namespace

bool ExtendStraight(CADGraphic& obj, int32_t length) {
    if (auto* s = dynamic_cast<CADSection*>(&obj)) {
        return ExtendTrack(*s, s->polyline, s->markedPoint, 2, length);
    }
    if (auto* sw = dynamic_cast<RailSwitch*>(&obj)) {
        return ExtendTrack(*sw, sw->q, sw->markedPoint, 3, length);
    }
    if (auto* t = dynamic_cast<CADThreeSwitch*>(&obj)) {
        return ExtendTrack(*t, t->t, t->markedPoint, 4, length);
    }
    return false;
}

bool CanExtendOblique(const CADGraphic& obj, const char** why) {
    const auto* s = dynamic_cast<const CADSection*>(&obj);
    const auto say = [why](const char* text) {
        if (why) *why = text;
        return false;
    };
    if (!s) return say("只有区段能斜向延伸：道岔的各股方向是固定的");
    if (s->markedPoint != 0 && s->markedPoint != 1) return say("区段没有选中的端点");
    const auto& p = s->polyline;
    const bool straightEnd = s->markedPoint == 0 ? p[0] == p[1] : p[2] == p[3];
    if (!straightEnd) return say("这一端已经是折线，区段只能有一个折点");
    if (p[0] == p[3]) return say("区段没有方向");
    return true;
}

bool ExtendOblique(CADGraphic& obj, int32_t degrees, int32_t length) {
    if (!CanExtendOblique(obj) || length <= 0) return false;
    auto& s = dynamic_cast<CADSection&>(obj);
    std::array<Point, 4> c;
    for (size_t i = 0; i < 4; ++i) c[i] = s.ToCanvas(s.polyline[i]);
    // The end, the point it continues from, and the new bend at the old end.
    const bool first = s.markedPoint == 0;
    const Point end = first ? c[0] : c[3];
    // The straight end runs on from the far end of its segment.
    Point from = first ? c[2] : c[1];
    if (from == end) from = first ? c[3] : c[0];
    const double dx = end.x - from.x;
    const double dy = end.y - from.y;
    const double len = std::sqrt(dx * dx + dy * dy);
    const double a = degrees * 3.14159265358979 / 180.0;
    const double ux = dx / len, uy = dy / len;
    // Turned by the angle, positive upwards on the screen for an end running right.
    const double rx = ux * std::cos(a) + uy * std::sin(a);
    const double ry = -ux * std::sin(a) + uy * std::cos(a);
    const Point moved{end.x + static_cast<int32_t>(std::lround(rx * length)),
                      end.y + static_cast<int32_t>(std::lround(ry * length))};
    if (first) {
        c[1] = end;
        c[0] = moved;
    } else {
        c[2] = end;
        c[3] = moved;
    }
    s.Relayout(c);
    return true;
}

CADDevice* FirstMarkedDevice(const CVelkorDoc& doc) {
    for (const auto& obj : doc.Objects()) {
        if (!IsDeclaredDevice(*obj)) continue;
        auto* d = AsDevice(obj.get());
        if (d && d->markedPoint != -1) return d;
    }
    return nullptr;
}

}  // namespace velkor
