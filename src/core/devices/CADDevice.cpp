#include "devices/CADDevice.h"

#include <cstdlib>

#include "common/Text.h"
#include "devices/DrawingValues.h"
#include "devices/TrackGeometry.h"

namespace velkor {

void CADDevice::Serialize(Archive& ar) {
    std::array<uint8_t, IORecord::kBytes> record{};
    if (ar.IsStoring()) {
        if (displayNameFollowsIoName && !IsSnapshot(ar)) nameLabel.text = FollowedName(ar);
        if (nameLabel.HasWindow()) labelRect = nameLabel.GetCanvasRect();
        nameLabel.Serialize(ar);
        ar.Rectangle(labelRect);
        io.Store(record);
        ar.Block(record);
        if (ByteWriter* companion = ar.Companion()) {
            companion->I32(labelRect.left);
            companion->I32(labelRect.top);
            companion->I32(labelRect.right);
            companion->I32(labelRect.bottom);
            companion->Bytes(record);
        }
        return;
    }
    nameLabel.Serialize(ar);
    ar.Rectangle(labelRect);  // must be complete
    ar.Block(record);         // read as older files were, without a length check
    io = IORecord::Load(record);
    displayNameFollowsIoName = nameLabel.text == io.Name() ? 1 : 0;
}

std::u16string CADDevice::FollowedName(const Archive&) const { return io.Name(); }

void CADDevice::PlaceExtraLabel(Label& label, Point a, Point b, int32_t dx, int32_t dy) {
    label.PlaceAlong(a.x, a.y, b.x, b.y);
    label.MoveBy(dx, dy);
}

bool HitEndPointList(const CADGraphic& obj, std::span<const Point> windowPoints, Point canvasPoint,
                     Point& out, int32_t& marked) {
    const Point p = obj.ToWindow(canvasPoint);
    for (size_t i = 0; i < windowPoints.size(); ++i) {
        const Point e = windowPoints[i];
        if (std::abs(int64_t{e.x} - p.x) <= 10 && std::abs(int64_t{e.y} - p.y) <= 10) {
            marked = static_cast<int32_t>(i);
            out = obj.ToCanvas(e);
            return true;
        }
    }
    marked = -1;
    return false;
}

void PaintMarkedEndPoint(Painter& painter, std::span<const Point> windowPoints, int32_t marked) {
    if (marked < 0 || static_cast<size_t>(marked) >= windowPoints.size()) return;
    const Point c = windowPoints[static_cast<size_t>(marked)];
    painter.SetPen(DrawingValues::kRedPen);
    painter.SetBrush(DrawingValues::kRedBrush);
    painter.Ellipse({c.x - 3, c.y - 3, c.x + 3, c.y + 3});
}

void CADDevice::PaintHoverOutline(Painter& painter, std::span<const Point> outline) const {
    if (!hover && !selected) return;
    painter.SetPen(DrawingValues::kRedPen);
    painter.SetBrush({Rgb(0, 0, 0), true});
    painter.Polygon(outline);
}

void CADDevice::SnapToGridAfterMove(Point windowPoint) {
    if (!Drawing().gridOn) return;
    const Point p = ToCanvas(windowPoint);
    const Point snapped = SnapToGrid(p, Drawing().values.gridSpacing);
    OffsetWindow(snapped.x - p.x, snapped.y - p.y);
}

void CADDevice::CollectParts(std::vector<CADGraphic*>& out) { out.push_back(&nameLabel); }

void CADDevice::SetParent(CADGraphic* parent) {
    CADGraphic::SetParent(parent);
    nameLabel.SetParent(LabelParent());
}

void CADDevice::OnWindowCreated() {
    nameLabel.SetParent(LabelParent());
    if (!nameLabel.HasWindow()) nameLabel.CreateWindow(labelRect);
}

void CADDevice::DestroyWindow() {
    nameLabel.DestroyWindow();
    CADGraphic::DestroyWindow();
}

void CADDevice::Describe(nlohmann::json& out) const {
    CADGraphic::Describe(out);
    nlohmann::json label;
    nameLabel.Describe(label);
    label.erase("class");
    out["label"] = std::move(label);
    out["labelRect"] = JsonFields::Rectangle(labelRect);
    out["io"] = JsonFields::IoRecord(io);
    out["displayNameFollowsIoName"] = displayNameFollowsIoName;
}

bool IsDeclaredDevice(const CADGraphic& obj) {
    return obj.GetRuntimeClass().IsDerivedFrom(CADDevice::Class());
}

void PlaceDeviceLabel(CADDevice& device, int32_t a, int32_t b, int32_t c, int32_t d) {
    device.nameLabel.PlaceAlong(a, b, c, d);
    device.labelRect = device.nameLabel.GetCanvasRect();
}

}  // namespace velkor
