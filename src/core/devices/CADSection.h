#pragma once
#include <array>

#include "devices/BlockCodec.h"
#include "devices/CADDevice.h"
#include "devices/TrackGeometry.h"
#include "devices/TrackLabels.h"

namespace velkor {

// The logic suffix rule: a name loses its last character when that is A, B,
// C, D or E, or when it ends in FF (5DGA -> 5DG, 12DGFF -> 12DGF).
std::u16string RemoveLogicSuffix(std::u16string_view name);
// Applies the rule to an IO record's name, leaving the record untouched when
// the name keeps its form.
void RemoveLogicSuffix(IORecord& rec);

// A track section without switch points: a thick polyline P0-P1-P2-P3 with a
// joint mark at each end, its name label and the section-name and delay-time
// labels, and a second IO record for its logic section.
class CADSection final : public CADDevice {
public:
    static constexpr size_t kBlockBytes = 276;

    CADSection();

    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    std::u16string FollowedName(const Archive& ar) const override;

    void SetDragPoints(Point start, Point current) override;
    void UpdateShape() override;
    int IsBent() const override { return polyline[1] != polyline[2]; }
    bool HitEndPoint(Point p, Point& out) override;
    void AfterMove() override;
    void BuildOutline(std::vector<Point>& out, int width) override;
    void ExtendTo(int x, int y, int which) override;
    void PlaceLabel() override;
    void Paint(Painter& painter) const override;
    void CollectParts(std::vector<CADGraphic*>& out) override;
    void DestroyWindow() override;
    void AfterLoad(bool hasLogicSections) override;

    // Sets the texts of the section-name and delay-time labels from the flags.
    void RefreshLabelTexts();
    // The eight outline points of the polyline with the given band width.
    std::array<Point, 8> Outline(int32_t width) const;

    int32_t buttonValid = 1;
    int32_t reservedInt = 0;
    std::array<Point, 4> polyline{};  // window coordinates
    std::array<Point, 8> outline{};
    std::array<Point, 4> joints{};  // left start, left end, right start, right end
    Rect rect{};
    int32_t leftJoint = kJointNormal;
    int32_t rightJoint = kJointNormal;
    int32_t sectionKind = 1;  // 1 无岔区段, 0 股道
    uint8_t floodGate1 = 0xFF;
    uint8_t floodGate2 = 0xFF;
    uint16_t upStation = 0xFFFF;
    uint16_t downStation = 0xFFFF;
    uint8_t showSectionName = 1;
    uint8_t showDelayTime = 1;
    IORecord logic;
    TrackLabels extra;  // section-name and delay-time labels
    // Whether the station of this section has logic sections, as last seen
    // in its station file; it decides the section-name label's text.
    bool stationHasLogic = true;

    // Lays the object out again from points in canvas coordinates, as after
    // an extension of one of its ends.
    void Relayout(const std::array<Point, 4>& canvas) {
        Recompute(canvas);
        UpdateShape();
    }

protected:
    void OnWindowCreated() override;
    void OnDrawingContextSet() override {
        CADDevice::OnDrawingContextSet();
        extra.SetDrawingContext(OwnDrawingContext());
    }

private:
    void Recompute(std::array<Point, 4> canvasPolyline);
    std::array<uint8_t, kBlockBytes> raw_{};
};

}  // namespace velkor
