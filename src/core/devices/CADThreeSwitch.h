#pragma once
#include <array>

#include "devices/RailSwitch.h"

namespace velkor {

// A three-way switch (三开道岔): the section leg T0-T1-T2 (T2 the toe), the
// straight leg T3-T4-T5, the upper leg T6-T7-T8 and the lower leg
// T9-T10-T11. Six variants from the palette codes 30 to 35.
class CADThreeSwitch : public CADDevice {
public:
    static constexpr size_t kBlockBytes = 532;

    explicit CADThreeSwitch(int deviceTypeCode = 30);
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

    std::array<Point, 20> Outline(int32_t width) const;
    int32_t Side() const { return variant < 3 ? -1 : 1; }

    int32_t buttonValid = 1;
    int32_t reservedInt = 0;
    std::array<Point, 12> t{};
    std::array<Point, 8> joints{};  // section, straight, upper, lower: start, end
    std::array<Point, 20> outline{};
    std::array<int32_t, 4> jointKinds{};
    int32_t variant = 0;
    int32_t frontPosition = -1;  // -1 none, 0 定位, 1 反位
    IORecord frontSwitch;
    IORecord switchSection;
    std::array<IORecord, 4> logic;  // only the first is stored
    SwitchLengths lengths;

    // Lays the object out again from points in canvas coordinates, as after
    // an extension of one of its ends.
    void Relayout(const std::array<Point, 12>& canvas) {
        Recompute(canvas);
        UpdateShape();
    }

protected:
    void OnDrawingContextSet() override;

private:
    static SwitchLengths LengthsFor(const DrawingValues& values);
    void Recompute(std::array<Point, 12> canvas);
    std::array<uint8_t, kBlockBytes> raw_{};
};

}  // namespace velkor
