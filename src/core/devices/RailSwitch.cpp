#include "devices/RailSwitch.h"

#include <cmath>

#include "devices/CADSection.h"
#include "devices/DrawingValues.h"

namespace velkor {

RailSwitch::RailSwitch(int code)
    : variant(code >= 1 && code <= 8 ? code - 1 : 0), lengths(LengthsFor(DrawingValues{})) {
    PutI32LE(raw_.data(), 1);
}

SwitchLengths RailSwitch::LengthsFor(const DrawingValues& values) {
    return SwitchLengths::Derive(values.divergingHeight, values.switchAngle);
}

void RailSwitch::OnDrawingContextSet() {
    CADDevice::OnDrawingContextSet();
    extra.SetDrawingContext(OwnDrawingContext());
    lengths = LengthsFor(Drawing().values);
}

void RailSwitch::Fields(FieldVisitor& v) {
    BlockPrefixFields(v, "buttonValid", buttonValid, reservedInt);
    v.WindowPoints("points", q);
    v.WindowPoints("joints", joints);
    v.WindowPoints("outline", outline);
    v.I32("jointKinds[]", sectionJoint);
    v.I32("jointKinds[]", straightJoint);
    v.I32("jointKinds[]", divergingJoint);
    v.I32("variant", variant);
    v.I32("frontPosition", frontPosition);
    v.Io("frontSwitch", frontSwitch);
    v.Io("switchSection", switchSection);
    v.CanvasRect("sectionNameRect", extra.sectionNameRect);
    v.CanvasRect("delayTimeRect", extra.delayTimeRect);
    v.U8("showSectionName", showSectionName);
    v.U8("showDelayTime", showDelayTime);
    v.Records("logic[]", logic);
}

void RailSwitch::Serialize(Archive& ar) {
    CADDevice::Serialize(ar);
    if (ar.IsStoring()) {
        NormalizeLegs();
        outline = Outline(Drawing().values.jointHeight);
        joints = {outline[0], outline[1], outline[10], outline[11], outline[5], outline[6]};
        extra.RefreshRects();
    } else if (RemovesLogicSuffix(ar)) {
        RemoveLogicSuffix(io);
    }
    SerializeFields(ar, raw_, *this);
    if (ar.IsLoading()) {
        // A damaged file may hold any number here; the variant picks the
        // drawing and must stay one of the eight.
        if (variant < 0 || variant > 7) variant = 0;
        if (RemovesLogicSuffix(ar)) RemoveLogicSuffix(switchSection);
        extra.TakeFont(nameLabel.font);
    }
}

std::array<Point, 14> RailSwitch::Outline(int32_t w) const {
    const Band s = MakeBand(q[0], q[0] == q[1] ? q[2] : q[1], w);
    const Band t = MakeBand(q[3], q[3] == q[4] ? q[5] : q[4], w);
    const Band d = MakeBand(q[6], q[6] == q[7] ? q[8] : q[7], w);
    const Band e = MakeBand(q[7], q[8], w);
    const bool even = variant % 2 == 0;
    const auto alpha = [even](const Band& b) { return even ? SecondSide(b) : FirstSide(b); };
    const auto beta = [even](const Band& b) { return even ? FirstSide(b) : SecondSide(b); };
    const auto alphaStart = [even](const Band& b) { return even ? b.c[1] : b.c[0]; };
    const auto betaStart = [even](const Band& b) { return even ? b.c[0] : b.c[1]; };

    if (q[5].y == q[2].y) {
        const Band m = MakeBand(q[1], q[5], w);
        return {betaStart(s),
                alphaStart(s),
                Intersect(alpha(s), alpha(m)),
                Intersect(alpha(m), alpha(e)),
                Intersect(alpha(d), alpha(e)),
                alphaStart(d),
                betaStart(d),
                Intersect(beta(d), beta(e)),
                Intersect(alpha(m), beta(e)),
                Intersect(alpha(m), alpha(t)),
                alphaStart(t),
                betaStart(t),
                Intersect(beta(m), beta(t)),
                Intersect(beta(s), beta(m))};
    }
    const Band m1 = MakeBand(q[1], q[2], w);
    const Band m2 = MakeBand(q[4], q[5], w);
    return {betaStart(s),
            alphaStart(s),
            Intersect(alpha(s), alpha(m1)),
            Intersect(alpha(m1), alpha(e)),
            Intersect(alpha(d), alpha(e)),
            alphaStart(d),
            betaStart(d),
            Intersect(beta(d), beta(e)),
            Intersect(alpha(m2), beta(e)),
            Intersect(beta(d), alpha(t)),
            alphaStart(t),
            betaStart(t),
            Intersect(beta(m1), beta(t)),
            Intersect(beta(s), beta(m1))};
}

void RailSwitch::BuildOutline(std::vector<Point>& out, int width) {
    const auto o = Outline(width);
    out.assign(o.begin(), o.end());
}

void RailSwitch::Recompute(std::array<Point, 9> canvas) {
    std::array<Point, 6> j;
    std::array<Point, 14> o;
    for (size_t i = 0; i < 6; ++i) j[i] = ToCanvas(joints[i]);
    for (size_t i = 0; i < 14; ++i) o[i] = ToCanvas(outline[i]);
    q = canvas;
    if (pendingRotation != 0) {
        const Point c = q[2];
        const double cs = std::cos(pendingRotation);
        const double sn = std::sin(pendingRotation);
        const auto rotate = [&](Point& p) {
            const double dx = p.x - c.x;
            const double dy = p.y - c.y;
            p = {static_cast<int32_t>(dx * cs + c.x - dy * sn),
                 static_cast<int32_t>(dy * cs + c.y + dx * sn)};
        };
        for (Point& p : q) rotate(p);
        for (Point& p : j) rotate(p);
        for (Point& p : o) rotate(p);
        joints = j;
        outline = o;
    } else {
        outline = Outline(Drawing().values.jointHeight);
        joints = {outline[0], outline[1], outline[10], outline[11], outline[5], outline[6]};
    }
    FitSwitchWindow(*this, q, joints, outline);
}

void RailSwitch::SetDragPoints(Point start, Point) {
    Recompute(LayOutSwitchLegs<9>(start, Side(), {Updown()}, lengths));
    // The chosen connection point is put on the pressed point.
    if (const auto offset = SwitchConnectionOffset(markedPoint, Side(), {Updown()}, lengths)) {
        OffsetWindow(offset->x, offset->y);
    } else {
        Drawing().Warn(kMsgBadConnectionPoint);
    }
}

void RailSwitch::UpdateShape() {
    const auto o = Outline(Drawing().values.jointHeight + 3);
    SetPolygonShape(o);
}

bool RailSwitch::HitEndPoint(Point p, Point& out) { return HitEndPoints(SwitchLegEnds(q), p, out); }

void RailSwitch::ExtendTo(int x, int y, int which) {
    if (which < 0 || which > 2) return;
    std::array<Point, 9> c;
    for (size_t i = 0; i < 9; ++i) c[i] = ToCanvas(q[i]);
    const size_t end = static_cast<size_t>(which) * 3;  // Q0, Q3 or Q6
    const Point to{x, y};
    if (stretchMode == kNoStretch) {
        c[end] = to;
    } else if (stretchMode == kMovePoint1) {
        c[end + 1] = to;
    } else {
        c[end] = c[end + 1] = to;
        if (which == 1) {
            const double dx = c[3].x - c[2].x;
            const double dy = c[3].y - c[2].y;
            const double len = std::sqrt(dx * dx + dy * dy);
            if (len > 0) {
                c[5] = {c[2].x + static_cast<int32_t>(10 * dx / len),
                        c[2].y + static_cast<int32_t>(10 * dy / len)};
            }
        } else if (which == 2) {
            c[8] = {c[2].x + Side() * lengths.dx, c[2].y + Updown() * lengths.dy};
        }
    }
    Recompute(c);
    UpdateShape();
}

void RailSwitch::Rotate(double radians) {
    std::array<Point, 9> c;
    for (size_t i = 0; i < 9; ++i) c[i] = ToCanvas(q[i]);
    pendingRotation = radians;
    Recompute(c);
    pendingRotation = 0;
    UpdateShape();
}

void RailSwitch::NormalizeLegs() {
    if (variant == 0 || variant == 1 || variant == 4 || variant == 5) {
        q[1].x = std::min(q[0].x, q[1].x);
        q[4].x = std::max(q[3].x, q[4].x);
    } else {
        q[1].x = std::max(q[0].x, q[1].x);
        q[4].x = std::min(q[3].x, q[4].x);
    }
}

void RailSwitch::AfterMove() { SnapToGridAfterMove(q[3]); }

void RailSwitch::PlaceLabel() {
    const Point a = ToCanvas(q[1]);
    const Point b = ToCanvas(q[4]);
    const bool up = Updown() < 0;
    const int32_t dx = Side() < 0 ? 15 : -15;
    PlaceDeviceLabel(*this, a.x, a.y, b.x, b.y);
    nameLabel.MoveBy(dx, up ? -22 : 0);
    labelRect = nameLabel.GetCanvasRect();
    if (showSectionName) PlaceExtraLabel(extra.sectionName, a, b, dx, up ? -7 : 15);
    if (showDelayTime) PlaceExtraLabel(extra.delayTime, a, b, dx, up ? 8 : 30);
    extra.SetTexts(showSectionName, switchSection.Name(), showDelayTime);
}

void RailSwitch::OnWindowCreated() {
    CADDevice::OnWindowCreated();
    extra.CreateWindows();
    extra.SetTexts(showSectionName, switchSection.Name(), showDelayTime);
}

void RailSwitch::DestroyWindow() {
    extra.DestroyWindows();
    CADDevice::DestroyWindow();
}

void RailSwitch::CollectParts(std::vector<CADGraphic*>& out) {
    CADDevice::CollectParts(out);
    extra.Collect(out);
}

void RailSwitch::Paint(Painter& painter) const {
    PaintHoverOutline(painter, outline);
    painter.SetPen(Drawing().values.SectionPen());
    PaintSwitchLegs(painter, q);
    painter.Line(q[2], variant < 4 ? q[5] : q[8]);
    DrawTrackSegment(painter, Drawing().values, joints[0], joints[1], sectionJoint);
    DrawTrackSegment(painter, Drawing().values, joints[2], joints[3], straightJoint);
    DrawTrackSegment(painter, Drawing().values, joints[4], joints[5], divergingJoint);
    PaintMarkedPoint(painter, SwitchLegEnds(q));
}

}  // namespace velkor
