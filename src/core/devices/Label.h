#pragma once
#include <string>

#include "common/Color.h"
#include "common/Font.h"
#include "devices/CADGraphic.h"

namespace velkor {

// A text object: the name label that every device carries beside it, and
// the stand-alone text of the palette.
class Label : public CADGraphic {
public:
    static constexpr size_t kBlockBytes = 116;
    static constexpr size_t kCompanionTextBytes = 64;

    Label();

    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    void SetDragPoints(Point start, Point current) override;
    void Paint(Painter& painter) const override;
    void Describe(nlohmann::json& out) const override;

    // Width and height of the text in the label's font.
    Size TextExtent() const;
    void MoveBy(int32_t dx, int32_t dy) { OffsetWindow(dx, dy); }
    // The window at the point with the size of the text.
    void PlaceAt(Point topLeft) { MoveWindow(Rect::FromOriginSize(topLeft, TextExtent())); }
    // A shown label takes the size of its text, keeping its top-left corner.
    void FitToText() {
        if (HasWindow()) PlaceAt(GetCanvasRect().TopLeft());
    }
    // Lays the label along the segment (a, b)-(c, d) of a device.
    void PlaceAlong(int32_t a, int32_t b, int32_t c, int32_t d);
    // Builds the text box of size w x h at (x0, y0) rotated by theta about
    // that point; the window becomes the box's bounds enlarged by 10 and the
    // shape the rotated box.
    void PlaceRotatedBox(int32_t x0, int32_t y0, double cosTheta, double sinTheta, Size extent);
    // The same box for the label's text, placed so that its window is the
    // stored window `canvasRect` again: for labels whose file keeps only
    // their rectangle.
    void PlaceRotatedBoxInto(const Rect& canvasRect, double cosTheta, double sinTheta);

    Color textColor = Rgb(255, 255, 255);
    Color backgroundColor = Rgb(0, 0, 0);
    FontDesc font = FontDesc::DefaultLabelFont();
    Point textOrigin;
    Point textBoxCorner;
    std::u16string text = u"NO";

protected:
    void OnWindowCreated() override;
};

}  // namespace velkor
