#include "devices/CADSection.h"

#include "common/Text.h"
#include "devices/DrawingValues.h"

namespace velkor {

std::u16string RemoveLogicSuffix(std::u16string_view name) {
    if (name.empty()) return std::u16string(name);
    const char16_t last = name.back();
    if ((last >= u'A' && last <= u'E') ||
        (name.size() >= 2 && name.substr(name.size() - 2) == u"FF")) {
        return std::u16string(name.substr(0, name.size() - 1));
    }
    return std::u16string(name);
}

void RemoveLogicSuffix(IORecord& rec) {
    const std::u16string name = rec.Name();
    const std::u16string cut = RemoveLogicSuffix(name);
    if (cut != name) rec.SetName(cut);
}

CADSection::CADSection() { PutI32LE(raw_.data() + 0, 1); }

void CADSection::Fields(FieldVisitor& v) {
    BlockPrefixFields(v, "buttonValid", buttonValid, reservedInt);
    v.WindowPoints("polyline", polyline);
    v.WindowPoints("outline", outline);
    v.WindowPoints("joints", joints);
    v.CanvasRect("blockRect", rect);
    v.I32("leftJoint", leftJoint);
    v.I32("rightJoint", rightJoint);
    v.I32("sectionKind", sectionKind);
    v.U8("floodGateIds[]", floodGate1);
    v.U8("floodGateIds[]", floodGate2);
    v.U16("upStation", upStation);
    v.U16("downStation", downStation);
    v.U8("showSectionName", showSectionName);
    v.U8("showDelayTime", showDelayTime);
    v.CanvasRect("sectionNameRect", extra.sectionNameRect);
    v.CanvasRect("delayTimeRect", extra.delayTimeRect);
    v.Record("logic", logic, true);
}

std::u16string CADSection::FollowedName(const Archive& ar) const {
    return HasLogicSections(ar) ? logic.Name() : io.Name();
}

void CADSection::Serialize(Archive& ar) {
    stationHasLogic = HasLogicSections(ar);
    if (ar.IsStoring()) {
        CADDevice::Serialize(ar);
        // The stored outline is always the one of the current joint height.
        outline = Outline(Drawing().values.jointHeight);
        joints = {outline[0], outline[7], outline[3], outline[4]};
        extra.RefreshRects();
        SerializeFields(ar, raw_, *this);
        return;
    }
    CADDevice::Serialize(ar);
    if (RemovesLogicSuffix(ar)) RemoveLogicSuffix(io);
    SerializeFields(ar, raw_, *this);
    extra.TakeFont(nameLabel.font);
}

void CADSection::AfterLoad(bool hasLogicSections) {
    const std::u16string shown = hasLogicSections ? logic.Name() : io.Name();
    displayNameFollowsIoName = nameLabel.text == shown ? 1 : 0;
}

std::array<Point, 8> CADSection::Outline(int32_t width) const {
    const auto& p = polyline;
    Band a = MakeBand(p[0], p[1], width);
    if (p[0] == p[1] || p[2] == p[3]) a = MakeBand(p[0], p[2], width);
    const Band b = MakeBand(p[1], p[2], width);
    const Band c = MakeBand(p[2], p[3], width);
    return {a.c[0],
            Intersect(FirstSide(a), FirstSide(b)),
            Intersect(FirstSide(b), FirstSide(c)),
            c.c[3],
            c.c[2],
            Intersect(SecondSide(c), SecondSide(b)),
            Intersect(SecondSide(b), SecondSide(a)),
            a.c[1]};
}

void CADSection::BuildOutline(std::vector<Point>& out, int width) {
    const auto o = Outline(width);
    out.assign(o.begin(), o.end());
}

void CADSection::Recompute(std::array<Point, 4> canvas) {
    polyline = canvas;
    outline = Outline(Drawing().values.jointHeight);
    joints = {outline[0], outline[7], outline[3], outline[4]};
    const Rect window = BoundingRect(polyline, 10);
    MoveWindow(window);
    const Point o = AbsoluteOrigin();
    for (Point& q : polyline) q = q - o;
    for (Point& q : outline) q = q - o;
    for (Point& q : joints) q = q - o;
}

void CADSection::SetDragPoints(Point start, Point current) {
    Recompute({start, start, current, current});
}

void CADSection::UpdateShape() {
    const auto o = Outline(Drawing().values.jointHeight + 3);
    SetPolygonShape(o);
}

bool CADSection::HitEndPoint(Point p, Point& out) {
    const std::array<Point, 2> ends{polyline[0], polyline[3]};
    return HitEndPoints(ends, p, out);
}

void CADSection::ExtendTo(int x, int y, int which) {
    std::array<Point, 4> c;
    for (size_t i = 0; i < 4; ++i) c[i] = ToCanvas(polyline[i]);
    const bool flat = y == c[1].y && y == c[2].y;
    if (which == 1) {
        c[3] = {x, y};
        if (flat) c[2] = {x, y};
    } else if (which == 0) {
        c[0] = {x, y};
        if (flat) c[1] = {x, y};
    }
    Recompute(c);
    UpdateShape();
}

void CADSection::AfterMove() { SnapToGridAfterMove(polyline[0]); }

void CADSection::PlaceLabel() {
    const Point a = ToCanvas(polyline[1]);
    const Point b = ToCanvas(polyline[2]);
    PlaceDeviceLabel(*this, a.x, a.y, b.x, b.y);
    if (showDelayTime) PlaceExtraLabel(extra.delayTime, a, b, 0, 30);
    if (showSectionName) PlaceExtraLabel(extra.sectionName, a, b, 0, 15);
    RefreshLabelTexts();
}

void CADSection::RefreshLabelTexts() {
    extra.SetTexts(showSectionName,
                   stationHasLogic ? RemoveLogicSuffix(logic.Name()) : logic.Name(), showDelayTime);
}

void CADSection::OnWindowCreated() {
    CADDevice::OnWindowCreated();
    extra.CreateWindows();
    RefreshLabelTexts();
}

void CADSection::DestroyWindow() {
    extra.DestroyWindows();
    CADDevice::DestroyWindow();
}

void CADSection::CollectParts(std::vector<CADGraphic*>& out) {
    CADDevice::CollectParts(out);
    extra.Collect(out);
}

void CADSection::Paint(Painter& painter) const {
    PaintHoverOutline(painter, outline);
    painter.SetPen(Drawing().values.SectionPen());
    painter.Polyline(polyline);
    DrawTrackSegment(painter, Drawing().values, joints[0], joints[1], leftJoint);
    DrawTrackSegment(painter, Drawing().values, joints[2], joints[3], rightJoint);
    const std::array<Point, 2> ends{polyline[0], polyline[3]};
    PaintMarkedPoint(painter, ends);
    painter.SetPen(DrawingValues::kWhitePen1);
    painter.SetBrush({Rgb(0, 0, 0), true});
    painter.Rectangle(rect);
}

}  // namespace velkor
