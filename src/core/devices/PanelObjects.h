#pragma once
#include <array>
#include <optional>

#include "devices/BlockCodec.h"
#include "devices/CADDevice.h"

namespace velkor {

inline constexpr Color kButtonFace = Rgb(240, 240, 240);
inline constexpr Color kButtonText = Rgb(0, 0, 0);
inline constexpr Color kHighlight = Rgb(255, 255, 255);
inline constexpr Color kShadow = Rgb(160, 160, 160);
inline constexpr const char* kMsgBadArrowDirection = "箭头错误：未定义的方向";

// A decoration line (装饰线) between P1 and P2.
class CADDeLine : public CADGraphic {
public:
    static constexpr size_t kBlockBytes = 24;
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    void SetDragPoints(Point start, Point current) override;
    void UpdateShape() override;
    int IsBent() const override { return p1 != p2; }
    bool HitEndPoint(Point p, Point& out) override;
    void Paint(Painter& painter) const override;
    bool IsDegenerate() const override { return IsDegenerateDecorationLine(p1, p2); }

    Point p1{};
    Point p2{};
    Color colour = Rgb(85, 120, 182);
    int32_t width = 3;
    int32_t markedPoint = -1;

private:
    std::array<uint8_t, kBlockBytes> raw_{};
};

// An indicator light (灯): a lamp circle with three colours.
class CADDeLight final : public CADDevice {
public:
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    void SetDragPoints(Point start, Point current) override;
    void PlaceLabel() override;
    void Paint(Painter& painter) const override;
    // The dialog's "直径": resizes the lamp circle and its window.
    void SetDiameter(int32_t diameter);

    std::array<Color, 3> colours = {Rgb(255, 0, 0), Rgb(255, 0, 0), Rgb(255, 0, 0)};
    Rect lamp{};  // window coordinates
};

// A panel button (按钮): plain, square or round.
class CADButton final : public CADDevice {
public:
    static constexpr size_t kBlockBytes = 116;
    enum Type : int32_t { kPlain = 0, kSquare = 1, kRound = 2 };

    CADButton();
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    void SetDragPoints(Point start, Point current) override;
    void PlaceLabel() override;
    void Paint(Painter& painter) const override;
    // A plain button holds its name inside; shaped ones show it below.
    CADGraphic* LabelParent() override { return type == kPlain ? this : Parent(); }
    // Makes the button of a type with its size and colours.
    void SetType(int32_t newType);
    static Size SizeOf(int32_t type);

    int32_t valid = 1;
    int32_t reservedInt = 0;
    Rect rect{0, 0, 80, 30};
    Color background1 = kButtonFace;
    Color background2 = kButtonFace;
    Color text1 = kButtonText;
    Color text2 = kButtonText;
    int32_t type = kPlain;
    int32_t password = 0;  // 0 无, 1 密码, 2 双密码
    int32_t selfReset = 1;

private:
    std::array<uint8_t, kBlockBytes> raw_{};
};

// The code of a panel-button function name, or nothing for other names.
std::optional<uint16_t> ButtonFunctionCode(std::u16string_view name);
// Gives a button record the function of its name: the code becomes the
// button number and the address, word and bit numbers are unset. False when
// the name is no button function.
bool ApplyButtonFunction(IORecord& rec);

// Direction arrows: the lit ArrowLight of the palette and the older Arrow
// that block panels hold. They share their geometry with different sizes.
class ArrowShape : public CADDevice {
public:
    void SetDragPoints(Point start, Point current) override;
    void UpdateShape() override;
    void PlaceLabel() override;
    void Paint(Painter& painter) const override;

    int32_t buttonValid = 1;
    int32_t reservedInt = 0;
    Point tip{};
    Point corner1{};
    Point corner2{};
    Rect body{};
    int32_t direction = 0;  // 0 pointing left, 1 pointing right

protected:
    struct Sizes {
        int32_t head;       // horizontal depth of the head, half its height
        int32_t halfBody;   // half width of the body
        int32_t bodyHalfY;  // half height of the body
        int32_t bodyShift;  // body centre from the tip
    };
    virtual Sizes ShapeSizes() const = 0;
    virtual Color FillColour() const = 0;
    // The block fields the arrows share: the device block prefix, the head
    // and the body.
    void GeometryFields(FieldVisitor& v);
};

class ArrowLight : public ArrowShape {
public:
    static constexpr size_t kBlockBytes = 128;
    explicit ArrowLight(int deviceTypeCode = 23);
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;

    std::array<Color, 3> colours = {Rgb(255, 0, 0), Rgb(255, 0, 0), Rgb(255, 0, 0)};

protected:
    Sizes ShapeSizes() const override { return {9, 7, 4, 16}; }
    Color FillColour() const override { return colours[0]; }

private:
    std::array<uint8_t, kBlockBytes> raw_{};
};

class Arrow : public ArrowShape {
public:
    static constexpr size_t kBlockBytes = 120;
    Arrow();
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;

    Color colour = Rgb(100, 100, 100);

protected:
    Sizes ShapeSizes() const override { return {16, 25, 8, 41}; }
    Color FillColour() const override { return colour; }

private:
    std::array<uint8_t, kBlockBytes> raw_{};
};

// A seal counter (铅封计数): a five-digit counter box with its name.
class CADSealCount : public CADDevice {
public:
    static constexpr size_t kBlockBytes = 196;
    CADSealCount();
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    void SetDragPoints(Point start, Point current) override;
    void PlaceLabel() override;
    void Paint(Painter& painter) const override;
    void CollectParts(std::vector<CADGraphic*>& out) override;
    static FontDesc CounterFont();

    int32_t showName = 1;
    int32_t reservedInt = 0;
    Rect frame{};  // never set by the system; stays zero
    Point textOrigin{1, 1};
    FontDesc font = CounterFont();
    Color background = Rgb(100, 100, 100);
    Color textColour = Rgb(255, 255, 255);

private:
    std::array<uint8_t, kBlockBytes> raw_{};
};

}  // namespace velkor
