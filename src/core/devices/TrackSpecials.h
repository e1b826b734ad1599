#pragma once
#include <array>

#include "devices/BlockCodec.h"
#include "devices/CADDevice.h"

namespace velkor {

// Six colours kept for the other consumers of the station data: background
// 1 to 3, text 1 to 3.
using ColourSet = std::array<Color, 6>;
inline constexpr ColourSet kRedColourSet = {Rgb(255, 0, 0), Rgb(255, 0, 0), Rgb(255, 0, 0),
                                            Rgb(255, 0, 0), Rgb(255, 0, 0), Rgb(255, 0, 0)};

// The flood gate (防淹门): a vertical bar with a V at each end, and a second
// relay record besides its own.
class CADAfgDoor final : public CADDevice {
public:
    static constexpr size_t kBlockBytes = 224;
    CADAfgDoor();
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    void SetDragPoints(Point start, Point current) override;
    void UpdateShape() override;
    void PlaceLabel() override;
    void Paint(Painter& painter) const override;

    int32_t buttonValid = 1;
    int32_t reservedInt = 0;
    std::array<Point, 8> f{};
    ColourSet colours = kRedColourSet;
    IORecord relay2;

private:
    std::array<uint8_t, kBlockBytes> raw_{};
};

// The derailer (脱轨器): a small filled triangle on the track.
class CADDerailer : public CADDevice {
public:
    static constexpr size_t kBlockBytes = 184;
    CADDerailer();
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    void SetDragPoints(Point start, Point current) override;
    void UpdateShape() override;
    void PlaceLabel() override;
    void Paint(Painter& painter) const override;

    int32_t buttonValid = 1;
    int32_t reservedInt = 0;
    std::array<Point, 3> d{};
    ColourSet colours = kRedColourSet;

private:
    std::array<uint8_t, kBlockBytes> raw_{};
};

// The platform screen door (屏蔽门): two 30-pixel stubs with the opening
// between them. Only station boxes save their doors.
class CADDoor : public CADDevice {
public:
    static constexpr size_t kBlockBytes = 104;
    CADDoor();
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    void SetDragPoints(Point start, Point current) override;
    void Paint(Painter& painter) const override;

    int32_t buttonValid = 1;
    int32_t reservedInt = 0;
    std::array<Point, 4> s{};

private:
    std::array<uint8_t, kBlockBytes> raw_{};
};

// The navigable track (地航): two parallel rails drawn as rectangles. Not saved.
class NavigableTrack : public CADDevice {
public:
    static constexpr size_t kBlockBytes = 32;
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    void SetDragPoints(Point start, Point current) override;
    int IsBent() const override { return r1.Width() != 0; }
    void PlaceLabel() override;
    void Paint(Painter& painter) const override;
    // The "间距" of its dialog: the second rail's distance below the first.
    void SetSpacing(int32_t spacing);

    Rect r1{};
    Rect r2{};

private:
    std::array<uint8_t, kBlockBytes> raw_{};
};

// The turntable (转盘): a circle with a diameter. Not saved.
class TurnTable : public CADDevice {
public:
    static constexpr size_t kBlockBytes = 16;
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    void SetDragPoints(Point start, Point current) override;
    void UpdateShape() override;
    bool EditProperties() override { return true; }  // no dialog of its own
    void PlaceLabel() override;
    void Paint(Painter& painter) const override;

    Point a{};
    Point b{};

private:
    std::array<uint8_t, kBlockBytes> raw_{};
};

}  // namespace velkor
