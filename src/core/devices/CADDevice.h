#pragma once
#include "devices/BlockCodec.h"
#include "devices/CADGraphic.h"
#include "devices/IORecord.h"
#include "devices/Label.h"

namespace velkor {

// The end-point test over an object's listed end points (window
// coordinates): marks the first end within 10 pixels of the canvas point and
// returns it in canvas coordinates; clears the mark when none is that near.
bool HitEndPointList(const CADGraphic& obj, std::span<const Point> windowPoints, Point canvasPoint,
                     Point& out, int32_t& marked);
// Paints the marked end point as a small red circle.
void PaintMarkedEndPoint(Painter& painter, std::span<const Point> windowPoints, int32_t marked);

// Base of the objects that carry interlocking data: an IO record, a name
// label beside the device and the hover highlight.
class CADDevice : public CADGraphic {
public:
    CADDevice() = default;

    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    // The device prefix: name label payload, label rectangle, IO record.
    // Every device class begins its payload with it.
    void Serialize(Archive& ar) override;
    void DestroyWindow() override;
    void CollectParts(std::vector<CADGraphic*>& out) override;
    // The name label is a sibling of the device: it shares the device's parent.
    void SetParent(CADGraphic* parent) override;
    virtual CADGraphic* LabelParent() { return Parent(); }
    void Describe(nlohmann::json& out) const override;

    // The first 72 bytes of a device block: a flag (whether the device has a
    // button, for most classes), a reserved number and 64 reserved bytes.
    static void BlockPrefixFields(FieldVisitor& v, const char* flagName, int32_t& flag,
                                  int32_t& reserved) {
        v.I32(flagName, flag);
        v.I32(nullptr, reserved);
        v.Skip(16 + 48);
    }

    // The payload of a device whose class block follows the device prefix:
    // the prefix, then the listed fields.
    template <size_t N>
    void SerializeDevice(Archive& ar, std::array<uint8_t, N>& raw) {
        CADDevice::Serialize(ar);
        SerializeFields(ar, raw, *this);
    }

    // The name the label takes on saving while it follows the IO name.
    virtual std::u16string FollowedName(const Archive& ar) const;

    // First: the record every generator reads sits next to the class.
    IORecord io;
    uint8_t hover = 0;
    int32_t markedPoint = -1;
    Label nameLabel;
    Rect labelRect;
    int32_t displayNameFollowsIoName = 1;

protected:
    void OnWindowCreated() override;
    // The name label, shown or not, measures with the device's context.
    void OnDrawingContextSet() override { nameLabel.SetDrawingContext(OwnDrawingContext()); }
    // Lays a further label (section name, delay time) along a segment moved
    // by (dx, dy), as the name label is laid.
    static void PlaceExtraLabel(Label& label, Point a, Point b, int32_t dx, int32_t dy);
    bool HitEndPoints(std::span<const Point> windowPoints, Point canvasPoint, Point& out) {
        return HitEndPointList(*this, windowPoints, canvasPoint, out, markedPoint);
    }
    void PaintMarkedPoint(Painter& painter, std::span<const Point> windowPoints) const {
        PaintMarkedEndPoint(painter, windowPoints, markedPoint);
    }
    // The outline polygon in the red pen while hovered or selected.
    void PaintHoverOutline(Painter& painter, std::span<const Point> outline) const;
    // After the user has dragged the window: with the grid on, moves it so
    // that the given point of the object (window coordinates) lies on the grid.
    void SnapToGridAfterMove(Point windowPoint);
};

// The device test of the class registry: follows the declared base, so five
// classes that carry the device prefix are not devices by it.
bool IsDeclaredDevice(const CADGraphic& obj);
// The structural test: the object carries the device prefix.
inline CADDevice* AsDevice(CADGraphic* obj) { return dynamic_cast<CADDevice*>(obj); }

// Lays a device's name label along (a, b)-(c, d) and remembers its rectangle.
void PlaceDeviceLabel(CADDevice& device, int32_t a, int32_t b, int32_t c, int32_t d);

}  // namespace velkor
