#include "devices/Label.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "common/Bytes.h"
#include "common/Text.h"
#include "common/TextMetrics.h"
#include "devices/BlockCodec.h"
#include "devices/DrawingValues.h"

namespace velkor {

Label::Label() = default;

void Label::Fields(FieldVisitor& v) {
    v.Colour("textColor", textColor);
    v.Colour("backgroundColor", backgroundColor);
    v.Font("font", font);
    v.CanvasPoint("textOrigin", textOrigin);
    v.CanvasPoint("textBoxCorner", textBoxCorner);
}

void Label::Serialize(Archive& ar) {
    // The block starts from zeros: a label keeps no reserved bytes. Its text
    // follows the block as an archive string.
    std::array<uint8_t, kBlockBytes> block{};
    BlockCodec codec(block, ar.IsStoring());
    if (ar.IsStoring()) {
        Fields(codec);
        ar.Block(block);
        ar.WriteString(text);
        if (ByteWriter* companion = ar.Companion()) {
            companion->Bytes(block);
            std::array<uint8_t, kCompanionTextBytes> field{};
            // The companion keeps at most 63 GBK bytes of the text.
            StoreFixedText(field, text);
            companion->Bytes(field);
        }
        return;
    }
    // The label block is read without a length check, as older files were:
    // a short file fails on the string that follows.
    ar.Block(block);
    Fields(codec);
    text = ar.ReadString();
}

Size Label::TextExtent() const { return Drawing().Metrics().Extent(text, font); }

void Label::SetDragPoints(Point start, Point) { PlaceAt(start); }

void Label::PlaceAlong(int32_t a, int32_t b, int32_t c, int32_t d) {
    if (b == d) {
        const Size ext = TextExtent();
        MoveWindow(Rect::FromOriginSize(
            {SaturateI32((int64_t{a} + c - ext.cx) / 2), SaturateI32((int64_t{b} + d) / 2 + 6)},
            ext));
        return;
    }
    if (a > c) {
        std::swap(a, c);
        std::swap(b, d);
    }
    const double theta = std::atan2(double(d) - b, double(c) - a);
    font.escapement = static_cast<int32_t>(theta * 180 / 3.1415927 * -10);
    const Size ext = TextExtent();
    const int32_t w = ext.cx;
    const double cs = std::cos(theta);
    const double sn = std::sin(theta);
    const int32_t x0 = AddI32(SubI32(SaturateI32((int64_t{a} + c) / 2), TruncateI32((w / 2) * cs)),
                              static_cast<int32_t>(-6 * sn));
    const int32_t y0 = AddI32(SubI32(SaturateI32((int64_t{b} + d) / 2), TruncateI32((w / 2) * sn)),
                              static_cast<int32_t>(6 * cs));

    PlaceRotatedBox(x0, y0, cs, sn, ext);
}

void Label::PlaceRotatedBox(int32_t x0, int32_t y0, double cs, double sn, Size ext) {
    const int32_t w = ext.cx;
    const int32_t h = ext.cy;
    const int32_t left = SubI32(x0, 1);
    const int32_t right = AddI32(AddI32(x0, w), 1);
    const int32_t bottom = AddI32(y0, h);
    Point corners[4] = {{left, y0}, {right, y0}, {right, bottom}, {left, bottom}};
    for (int i = 1; i < 4; ++i) {
        const double dx = double(corners[i].x) - x0;
        const double dy = double(corners[i].y) - y0;
        corners[i] = {TruncateI32(dx * cs + x0 - dy * sn), TruncateI32(dy * cs + y0 + dx * sn)};
    }
    const Rect window = BoundingRect(corners, 10);
    MoveWindow(window);
    WindowShape shape;
    shape.kind = WindowShape::Kind::Polygon;
    for (Point& p : corners) {
        p = p - window.TopLeft();
        shape.points.push_back(p);
    }
    textOrigin = corners[0];
    textBoxCorner = corners[2];
    SetShape(std::move(shape));
}

void Label::PlaceRotatedBoxInto(const Rect& canvasRect, double cs, double sn) {
    const Size ext = TextExtent();
    // The window's corner moves with the box's point up to the rounding of
    // the rotated corners: a few corrections find the point.
    int32_t x0 = canvasRect.left;
    int32_t y0 = canvasRect.top;
    for (int i = 0; i < 4; ++i) {
        PlaceRotatedBox(x0, y0, cs, sn, ext);
        const Rect got = GetCanvasRect();
        if (got.TopLeft() == canvasRect.TopLeft()) break;
        x0 = AddI32(x0, SubI32(canvasRect.left, got.left));
        y0 = AddI32(y0, SubI32(canvasRect.top, got.top));
    }
}

void Label::OnWindowCreated() {
    if (font.escapement == 0) {
        SetShape({});
        return;
    }
    // Rebuild the rotated text box from its two stored corners and the angle.
    const double theta = -double(font.escapement) / 10.0 * 3.1415927 / 180.0;
    const double ux = std::cos(theta);
    const double uy = std::sin(theta);
    const double dx = double(textBoxCorner.x) - textOrigin.x;
    const double dy = double(textBoxCorner.y) - textOrigin.y;
    const double along = dx * ux + dy * uy;
    const double across = -dx * uy + dy * ux;
    WindowShape shape;
    shape.kind = WindowShape::Kind::Polygon;
    shape.points = {textOrigin,
                    {AddI32(textOrigin.x, TruncateI32(along * ux)),
                     AddI32(textOrigin.y, TruncateI32(along * uy))},
                    textBoxCorner,
                    {SubI32(textOrigin.x, TruncateI32(across * uy)),
                     AddI32(textOrigin.y, TruncateI32(across * ux))}};
    SetShape(std::move(shape));
}

void Label::Paint(Painter& painter) const {
    painter.Text(textOrigin, text, font, selected ? DrawingValues::kSelectedGrey : textColor,
                 backgroundColor);
}

void Label::Describe(nlohmann::json& out) const {
    CADGraphic::Describe(out);
    out["text"] = ToUtf8(text);
}

}  // namespace velkor
