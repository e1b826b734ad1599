#include "devices/CADThreeSwitch.h"

#include "devices/DrawingValues.h"

namespace velkor {

CADThreeSwitch::CADThreeSwitch(int code)
    : variant(code >= 30 && code <= 35 ? code - 30 : 0), lengths(LengthsFor(DrawingValues{})) {
    PutI32LE(raw_.data(), buttonValid);
}

SwitchLengths CADThreeSwitch::LengthsFor(const DrawingValues& values) {
    // Three-way switches keep a fixed angle of 60 degrees whatever the setting.
    return SwitchLengths::Derive(values.divergingHeight, 60);
}

void CADThreeSwitch::OnDrawingContextSet() {
    CADDevice::OnDrawingContextSet();
    lengths = LengthsFor(Drawing().values);
}

void CADThreeSwitch::Fields(FieldVisitor& v) {
    BlockPrefixFields(v, "buttonValid", buttonValid, reservedInt);
    v.WindowPoints("points", t);
    v.WindowPoints("joints", joints);
    v.WindowPoints("outline", outline);
    for (int32_t& k : jointKinds) v.I32("jointKinds[]", k);
    v.I32("variant", variant);
    v.I32("frontPosition", frontPosition);
    v.Io("frontSwitch", frontSwitch);
    v.Io("switchSection", switchSection);
    // Only the first logic record is stored, and not in the companion file.
    v.Record("logic", logic[0], false);
}

void CADThreeSwitch::Serialize(Archive& ar) {
    // The block is written as it stands: the outline and joint marks keep
    // the values of the last placement or extension.
    CADDevice::Serialize(ar);
    SerializeFields(ar, raw_, *this);
    if (ar.IsLoading() && (variant < 0 || variant > 5)) variant = 0;
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
    FitSwitchWindow(*this, t, joints, outline);
}

void CADThreeSwitch::SetDragPoints(Point start, Point) {
    // The upper leg, then the lower one.
    Recompute(LayOutSwitchLegs<12>(start, Side(), {-1, +1}, lengths));
    if (const auto offset = SwitchConnectionOffset(markedPoint, Side(), {-1, +1}, lengths)) {
        OffsetWindow(offset->x, offset->y);
    } else {
        Drawing().Warn(kMsgBadConnectionPoint);
    }
}

void CADThreeSwitch::UpdateShape() {
    const auto o = Outline(Drawing().values.jointHeight + 3);
    SetPolygonShape(o);
}

bool CADThreeSwitch::HitEndPoint(Point p, Point& out) {
    return HitEndPoints(SwitchLegEnds(t), p, out);
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
    PaintSwitchLegs(painter, t);
    static constexpr size_t kClosing[3] = {8, 5, 11};
    painter.Line(t[2], t[kClosing[variant % 3]]);
    for (size_t j = 0; j < 4; ++j) {
        DrawTrackSegment(painter, Drawing().values, joints[2 * j], joints[2 * j + 1],
                         jointKinds[j]);
    }
    PaintMarkedPoint(painter, SwitchLegEnds(t));
}

}  // namespace velkor
