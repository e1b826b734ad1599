#pragma once
#include <array>

#include "devices/BlockCodec.h"
#include "devices/CADDevice.h"
#include "devices/PanelObjects.h"

namespace velkor {

// The eighteen lamp arrangements of signals, indexed from 0.
extern const std::array<const char*, 18> kSignalTypeNames;
// The usage kinds of the property dialog, stored as their index.
extern const std::array<const char*, 7> kSignalUsageNames;

// A signal (信号机): a lamp head with one or two lamps on a high or low mast,
// facing up-line or down-line, at one of five angles. Usage kinds 2, 3, 5
// and 6 carry an embedded second button.
class CADSignal final : public CADDevice {
public:
    static constexpr size_t kBlockBytes = 348;

    explicit CADSignal(int deviceTypeCode = 9);
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;

    void SetDragPoints(Point start, Point current) override;
    void UpdateShape() override;
    void AfterMove() override;
    void BuildOutline(std::vector<Point>& out, int width) override;
    void PlaceLabel() override;
    void Paint(Painter& painter) const override;
    void Describe(nlohmann::json& out) const override;
    void CollectParts(std::vector<CADGraphic*>& out) override;
    void DestroyWindow() override;

    bool UpLine() const { return variant < 4; }
    bool High() const { return variant % 4 < 2; }
    static bool HasEmbeddedButton(int32_t kind) {
        return kind == 2 || kind == 3 || kind == 5 || kind == 6;
    }
    // A new choice of "信号机类型": creates, places or removes the embedded
    // button at once, as the property dialog does.
    void ChangeUsageKind(int32_t kind);
    // The embedded button, when it has a window, is named after the shown
    // name: followed by "DA" for 列调, by "LA" for 调列, empty otherwise.
    void NameEmbeddedButton(std::u16string_view displayName);
    // "上下移动": the signal moves 27 pixels to the other side of its track
    // (down for an up-line signal at angle 0 when ticked, back when
    // cleared) while P0 keeps its place on the canvas.
    void MoveAcrossTrack(bool ticked);
    // Four outline points for a band of the given width.
    std::array<Point, 4> Outline(int32_t width) const;

    int32_t buttonValid = 1;
    int32_t reservedInt = 0;
    Point p0{}, p1{}, p2{}, p3{}, p4{};  // window coordinates
    std::array<Point, 4> outline{};
    std::array<Point, 4> reservedPoints{};
    std::array<Point, 7> mark{};  // direction mark Q0..Q6
    Rect lamp1{};
    Rect lamp2{};
    int32_t lampCount = 2;
    uint32_t defaultLampColour = 255;  // 255 red, 0xFF0000 blue
    uint16_t button2 = 0xFFFF;
    int32_t variant = 0;
    int32_t singleMounted = 0;
    int32_t usageKind = 0;
    int32_t guide = 0;
    float angle = 0;  // radians
    uint16_t button1Address = 0xFFFF;
    uint16_t button2Address = 0xFFFF;
    uint16_t button3Address = 0xFFFF;
    int32_t autoTriggerRoute = 0;
    int32_t autoThroughRoute = 0;
    uint8_t specialOpening = 0;
    uint8_t showDelayTime = 1;
    uint8_t overlapTypes = 0;
    Label delayTime;
    Rect delayTimeRect{};
    CADButton button;   // the embedded second button
    Rect buttonRect{};  // canvas
    // In memory only: whether "上下移动" moved the signal across its track.
    int32_t movedAcross = 0;

protected:
    void OnWindowCreated() override;
    // The embedded button and the delay-time label, windowed or not.
    void OnDrawingContextSet() override {
        CADDevice::OnDrawingContextSet();
        button.SetDrawingContext(OwnDrawingContext());
        delayTime.SetDrawingContext(OwnDrawingContext());
    }

private:
    void PlaceSignalLabel(Label& label) const;
    std::array<uint8_t, kBlockBytes> raw_{};
};

}  // namespace velkor
