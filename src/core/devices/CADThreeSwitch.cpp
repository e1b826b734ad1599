#include "devices/CADThreeSwitch.h"

#include "devices/DrawingValues.h"
#include "devices/Json.h"

namespace velkor {

CADThreeSwitch::CADThreeSwitch(int code)
    : variant(code >= 30 && code <= 35 ? code - 30 : 0), lengths(LengthsFor(DrawingValues{})) {
    BlockCodec c(raw_, true);
    c.I32(buttonValid);
}

SwitchLengths CADThreeSwitch::LengthsFor(const DrawingValues& values) {
    // Three-way switches keep a fixed angle of 60 degrees whatever the setting.
    return SwitchLengths::Derive(values.divergingHeight, 60);
}

void CADThreeSwitch::OnDrawingContextSet() { lengths = LengthsFor(Drawing().values); }

void CADThreeSwitch::XferBlock(BlockCodec& c) {
    c.I32(buttonValid);
    c.I32(reservedInt);
    c.Skip(16 + 48);
    c.WindowPoints(t);
    c.WindowPoints(joints);
    c.WindowPoints(outline);
    for (int32_t& k : jointKinds) c.I32(k);
    c.I32(variant);
    c.I32(frontPosition);
    c.Io(frontSwitch);
    c.Io(switchSection);
}

void CADThreeSwitch::Serialize(Archive& ar) {
    // The block is written as it stands: the outline and joint marks keep
    // the values of the last placement or extension.
    CADDevice::Serialize(ar);
    SerializeBlock(ar, raw_, ar.IsStoring() ? AbsoluteOrigin() : Point{},
                   [this](BlockCodec& c) { XferBlock(c); });
    if (ar.IsLoading() && (variant < 0 || variant > 5)) variant = 0;
    SerializeRecord(ar, logic[0], false);
}

std::array<Point, 20> CADThreeSwitch::Outline(int32_t w) const {
    const Band a = MakeBand(t[0], t[1], w);
    const Band m = MakeBand(t[1], t[5], w);
    const Band s = MakeBand(t[3], t[4], w);
    const Band u = MakeBand(t[6], t[7], w);
    const Band v = MakeBand(t[7], t[8], w);
    const Band l = MakeBand(t[9], t[10], w);
    const Band k = MakeBand(t[10], t[11], w);
    const auto alpha = [](const Band& b) { return SecondSide(b); };
    const auto beta = [](const Band& b) { return FirstSide(b); };
    return {a.c[0],
            a.c[1],
            Intersect(alpha(a), alpha(m)),
            Intersect(alpha(m), alpha(v)),
            Intersect(alpha(u), alpha(v)),
            u.c[1],
            u.c[0],
            Intersect(beta(u), beta(v)),
            Intersect(alpha(m), beta(v)),
            Intersect(alpha(m), alpha(s)),
            s.c[1],
            s.c[0],
            Intersect(beta(s), beta(m)),
            Intersect(beta(m), alpha(k)),
            Intersect(alpha(k), alpha(l)),
            l.c[1],
            l.c[0],
            Intersect(beta(l), beta(k)),
            Intersect(beta(k), beta(m)),
            Intersect(beta(m), beta(a))};
}

void CADThreeSwitch::BuildOutline(std::vector<Point>& out, int width) {
    const auto o = Outline(width);
    out.assign(o.begin(), o.end());
}

void CADThreeSwitch::Recompute(std::array<Point, 12> canvas) {
    t = canvas;
    outline = Outline(Drawing().values.jointHeight);
    joints = {outline[0], outline[1], outline[10], outline[11],
              outline[5], outline[6], outline[15], outline[16]};
    MoveWindow(BoundingRect(t, 10));
    const Point o = AbsoluteOrigin();
    for (Point& p : t) p = p - o;
    for (Point& p : joints) p = p - o;
    for (Point& p : outline) p = p - o;
}

void CADThreeSwitch::SetDragPoints(Point start, Point) {
    const int32_t s = Side();
    const auto& L = lengths;
    const int32_t x = start.x;
    const int32_t y = start.y;
    std::array<Point, 12> c;
    c[0] = c[1] = {x, y};
    c[2] = {x + s * L.b, y};
    c[5] = {c[2].x + s * 10, y};
    c[3] = c[4] = {c[5].x + s * (L.b - 10), y};
    c[8] = {c[2].x + s * L.dx, y - L.dy};
    c[6] = c[7] = {c[4].x, y - L.height};
    c[11] = {c[2].x + s * L.dx, y + L.dy};
    c[9] = c[10] = {c[4].x, y + L.height};
    Recompute(c);
    switch (markedPoint) {
        case 0:
            break;
        case 1:
            OffsetWindow(-s * 2 * L.b, 0);
            break;
        case 2:
            OffsetWindow(-s * 2 * L.b, L.height);
            break;
        case 3:
            OffsetWindow(-s * 2 * L.b, -L.height);
            break;
        default:
            Drawing().Warn(kMsgBadConnectionPoint);
            break;
    }
}

void CADThreeSwitch::UpdateShape() {
    const auto o = Outline(Drawing().values.jointHeight + 3);
    SetPolygonShape(o);
}

bool CADThreeSwitch::HitEndPoint(Point p, Point& out) {
    const std::array<Point, 4> ends{t[0], t[3], t[6], t[9]};
    return HitEndPoints(ends, p, out);
}

void CADThreeSwitch::ExtendTo(int x, int y, int which) {
    if (which < 0 || which > 3) return;
    std::array<Point, 12> c;
    for (size_t i = 0; i < 12; ++i) c[i] = ToCanvas(t[i]);
    c[static_cast<size_t>(which) * 3] = {x, y};
    Recompute(c);
    UpdateShape();
}

void CADThreeSwitch::AfterMove() { SnapToGridAfterMove(t[2]); }

void CADThreeSwitch::PlaceLabel() {
    const Point a = ToCanvas(t[1]);
    const Point b = ToCanvas(t[4]);
    PlaceDeviceLabel(*this, a.x, a.y, b.x, b.y);
    nameLabel.MoveBy(Side() < 0 ? 10 : -10, -22);
    labelRect = nameLabel.GetCanvasRect();
}

void CADThreeSwitch::Paint(Painter& painter) const {
    PaintHoverOutline(painter, outline);
    painter.SetPen(Drawing().values.SectionPen());
    for (size_t leg = 0; leg < 4; ++leg) {
        const std::array<Point, 3> pts{t[leg * 3], t[leg * 3 + 1], t[leg * 3 + 2]};
        painter.Polyline(pts);
    }
    static constexpr size_t kClosing[3] = {8, 5, 11};
    painter.Line(t[2], t[kClosing[variant % 3]]);
    for (size_t j = 0; j < 4; ++j) {
        DrawTrackSegment(painter, Drawing().values, joints[2 * j], joints[2 * j + 1],
                         jointKinds[j]);
    }
    const std::array<Point, 4> ends{t[0], t[3], t[6], t[9]};
    PaintMarkedPoint(painter, ends);
}

void CADThreeSwitch::Describe(nlohmann::json& out) const {
    CADDevice::Describe(out);
    out["buttonValid"] = buttonValid;
    out["points"] = JsonPoints(t);
    out["joints"] = JsonPoints(joints);
    out["outline"] = JsonPoints(outline);
    out["jointKinds"] = jointKinds;
    out["variant"] = variant;
    out["frontPosition"] = frontPosition;
    out["frontSwitch"] = JsonIo(frontSwitch);
    out["switchSection"] = JsonIo(switchSection);
    out["logic"] = JsonIo(logic[0]);
}

}  // namespace velkor
