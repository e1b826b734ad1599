#pragma once
#include <array>

#include "devices/BlockCodec.h"
#include "devices/CADDevice.h"
#include "devices/SwitchGeometry.h"
#include "devices/TrackGeometry.h"
#include "devices/TrackLabels.h"

namespace velkor {

inline constexpr const char* kMsgBadConnectionPoint = "道岔连接点选择错误";

// A two-way switch with its switch section: the section leg Q0-Q1-Q2 (Q2 the
// toe), the straight leg Q3-Q4-Q5 and the diverging leg Q6-Q7-Q8, with a
// joint mark at each leg end. Eight variants from the palette codes 1 to 8.
class RailSwitch final : public CADDevice {
public:
    static constexpr size_t kBlockBytes = 440;
    enum StretchMode : int32_t { kNoStretch = 0, kMovePoint1 = 1, kStretch = 2 };

    explicit RailSwitch(int deviceTypeCode = 1);

    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;

    void SetDragPoints(Point start, Point current) override;
    void UpdateShape() override;
    bool HitEndPoint(Point p, Point& out) override;
    void AfterMove() override;
    void BuildOutline(std::vector<Point>& out, int width) override;
    void ExtendTo(int x, int y, int which) override;
    void PlaceLabel() override;
    void Paint(Painter& painter) const override;
    void CollectParts(std::vector<CADGraphic*>& out) override;
    void DestroyWindow() override;

    // The fourteen outline points around the three legs.
    std::array<Point, 14> Outline(int32_t width) const;
    // Rotates the switch about its toe by `radians` (the "旋转" items).
    void Rotate(double radians);
    // Puts the leg ends in their canonical order, as saving does.
    void NormalizeLegs();
    // -1 for variants opening to the left, +1 to the right.
    int32_t Side() const { return (variant % 4 < 2) ? -1 : 1; }
    // -1 for variants whose diverging leg goes up, +1 down.
    int32_t Updown() const { return (variant % 2 == 0) ? -1 : 1; }

    int32_t buttonValid = 1;
    int32_t reservedInt = 0;
    std::array<Point, 9> q{};       // window coordinates
    std::array<Point, 6> joints{};  // section, straight, diverging leg: start, end
    std::array<Point, 14> outline{};
    int32_t sectionJoint = kJointNormal;
    int32_t straightJoint = kJointNormal;
    int32_t divergingJoint = kJointNormal;
    int32_t variant = 0;
    int32_t frontPosition = -1;  // -1 none, 0 反位, 1 定位
    IORecord frontSwitch;
    IORecord switchSection;
    uint8_t showSectionName = 1;
    uint8_t showDelayTime = 1;
    std::array<IORecord, 4> logic;
    TrackLabels extra;
    // In memory only.
    int32_t stretchMode = kNoStretch;
    double pendingRotation = 0;
    SwitchLengths lengths;

    // Lays the object out again from points in canvas coordinates, as after
    // an extension of one of its ends.
    void Relayout(const std::array<Point, 9>& canvas) {
        Recompute(canvas);
        UpdateShape();
    }

protected:
    void OnWindowCreated() override;
    // A switch takes its lengths from the drawing values of the document it
    // is created in.
    void OnDrawingContextSet() override;

private:
    static SwitchLengths LengthsFor(const DrawingValues& values);
    // Outline and joints from the current points, window around them, points
    // converted into the new window's coordinates. Points come in canvas
    // coordinates.
    void Recompute(std::array<Point, 9> canvas);
    std::array<uint8_t, kBlockBytes> raw_{};
};

}  // namespace velkor
