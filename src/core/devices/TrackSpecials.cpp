#include "devices/TrackSpecials.h"

#include <cmath>

#include "devices/DrawingValues.h"
#include "devices/TrackGeometry.h"

namespace velkor {

// ---- flood gate

CADAfgDoor::CADAfgDoor() { PutI32LE(raw_.data(), 1); }

void CADAfgDoor::Fields(FieldVisitor& v) {
    BlockPrefixFields(v, "buttonValid", buttonValid, reservedInt);
    v.WindowPoints("points", f);
    v.Colours("colours[]", colours);
    v.Record("relay2", relay2, true);
}

void CADAfgDoor::Serialize(Archive& ar) { SerializeDevice(ar, raw_); }

void CADAfgDoor::SetDragPoints(Point start, Point) {
    const int32_t x = start.x;
    const int32_t y = start.y;
    const Point origin{x - 8, y - 23};
    MoveWindow(Rect::FromOriginSize(origin, {16, 46}));
    const std::array<Point, 8> canvas = {
        Point{x - 8, y - 23}, Point{x, y - 15},     Point{x + 8, y - 23}, Point{x, y - 15},
        Point{x, y + 15},     Point{x - 8, y + 23}, Point{x, y + 15},     Point{x + 8, y + 23}};
    for (size_t i = 0; i < 8; ++i) f[i] = canvas[i] - origin;
    PlaceLabel();
}

void CADAfgDoor::UpdateShape() { SetShape({}); }

void CADAfgDoor::PlaceLabel() {
    const Size ext = nameLabel.TextExtent();
    const Rect w = GetCanvasRect();
    nameLabel.PlaceAt({w.left + ext.cx - 4, w.bottom - 2 * ext.cy - 2});
    labelRect = nameLabel.GetCanvasRect();
}

void CADAfgDoor::Paint(Painter& painter) const {
    painter.SetPen(Drawing().values.SectionPen());
    painter.Polyline(f);
}

// ---- derailer

CADDerailer::CADDerailer() { PutI32LE(raw_.data(), 1); }

void CADDerailer::Fields(FieldVisitor& v) {
    BlockPrefixFields(v, "buttonValid", buttonValid, reservedInt);
    v.WindowPoints("points", d);
    v.Colours("colours[]", colours);
}

void CADDerailer::Serialize(Archive& ar) { SerializeDevice(ar, raw_); }

void CADDerailer::SetDragPoints(Point start, Point) {
    MoveWindow(Rect::FromOriginSize({start.x, start.y - 8}, {16, 8}));
    d = {Point{0, 8}, Point{8, 0}, Point{16, 8}};
    // Shown until the first save, when the label follows the IO name again.
    nameLabel.text = u"T";
    PlaceLabel();
}

void CADDerailer::UpdateShape() { SetPolygonShape(d); }

void CADDerailer::PlaceLabel() {
    const Size ext = nameLabel.TextExtent();
    const Rect w = GetCanvasRect();
    nameLabel.PlaceAt({w.left - ext.cx, w.bottom - ext.cy - 2});
    labelRect = nameLabel.GetCanvasRect();
}

void CADDerailer::Paint(Painter& painter) const {
    const Color fill = selected ? DrawingValues::kSelectedGrey : colours[0];
    painter.SetPen({fill, 1});
    painter.SetBrush({fill});
    painter.Polygon(d);
}

// ---- screen door

CADDoor::CADDoor() { PutI32LE(raw_.data(), 1); }

void CADDoor::Fields(FieldVisitor& v) {
    BlockPrefixFields(v, "buttonValid", buttonValid, reservedInt);
    v.WindowPoints("points", s);
}

void CADDoor::Serialize(Archive& ar) { SerializeDevice(ar, raw_); }

void CADDoor::SetDragPoints(Point start, Point current) {
    const Rect r{std::min(start.x, current.x), std::min(start.y, current.y) - 2,
                 std::max(start.x, current.x), std::max(start.y, current.y) + 2};
    MoveWindow(r);
    const int32_t w = r.Width();
    s = {Point{0, 2}, Point{w, 2}, Point{30, 2}, Point{w - 30, 2}};
}

void CADDoor::Paint(Painter& painter) const {
    painter.SetPen(Drawing().values.SectionPen());
    painter.Line(s[0], s[2]);
    painter.Line(s[1], s[3]);
}

// ---- navigable track

void NavigableTrack::Fields(FieldVisitor& v) {
    v.WindowRect("r1", r1);
    v.WindowRect("r2", r2);
}

void NavigableTrack::Serialize(Archive& ar) { SerializeDevice(ar, raw_); }

void NavigableTrack::SetDragPoints(Point start, Point current) {
    const int32_t d = Drawing().values.sectionWidth;
    r1 = {1, 1, current.x - start.x - d, 8};
    r2 = r1.Offset(0, 28);
    MoveWindow({start.x, start.y - 4, current.x, start.y + 32});
}

void NavigableTrack::SetSpacing(int32_t spacing) {
    r2 = {r1.left, r1.top + spacing, r1.right, r1.bottom + spacing};
    Rect w = GetCanvasRect();
    w.bottom = w.top + spacing + 16;
    MoveWindow(w);
}

void NavigableTrack::PlaceLabel() {
    const Size ext = nameLabel.TextExtent();
    const Rect w = GetCanvasRect();
    nameLabel.PlaceAt({(w.left + w.right - ext.cx) / 2, w.bottom + 6});
    labelRect = nameLabel.GetCanvasRect();
}

void NavigableTrack::Paint(Painter& painter) const {
    painter.SetPen(Drawing().values.SectionPen());
    painter.SetBrush({Rgb(0, 0, 0), true});
    painter.Rectangle(r1);
    painter.Rectangle(r2);
}

// ---- turntable

void TurnTable::Fields(FieldVisitor& v) {
    v.WindowPoint("a", a);
    v.WindowPoint("b", b);
}

void TurnTable::Serialize(Archive& ar) { SerializeDevice(ar, raw_); }

void TurnTable::SetDragPoints(Point start, Point current) {
    const int32_t half = TruncatedDistance(start, current) / 2;
    const Point mid{(start.x + current.x) / 2, (start.y + current.y) / 2};
    MoveWindow({mid.x - half, mid.y - half, mid.x + half, mid.y + half});
    a = ToWindow(start);
    b = ToWindow(current);
}

void TurnTable::UpdateShape() {
    const Rect w = GetCanvasRect();
    WindowShape shape;
    shape.kind = WindowShape::Kind::Ellipse;
    shape.box = Rect{0, 0, w.Width(), w.Height()}.Inflate(2);
    SetShape(std::move(shape));
}

void TurnTable::PlaceLabel() {
    const Rect w = GetCanvasRect();
    nameLabel.SetDragPoints({w.right, w.bottom - 20}, {w.right, w.bottom - 20});
    labelRect = nameLabel.GetCanvasRect();
}

void TurnTable::Paint(Painter& painter) const {
    const Rect w = GetCanvasRect();
    painter.SetPen(Drawing().values.SectionPen());
    painter.SetBrush({Rgb(0, 0, 0), true});
    painter.Ellipse({0, 0, w.Width(), w.Height()});
    painter.Line(a, b);
}

}  // namespace velkor
