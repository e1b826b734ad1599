#pragma once
#include <string>
#include <vector>

#include "common/Painter.h"
#include "common/TextMetrics.h"
#include "devices/DrawingValues.h"

namespace velkor::testing {

// Records every painting call as one line of text, in canvas coordinates.
class RecordingPainter : public Painter {
public:
    void SetOrigin(Point canvasOrigin) override { origin_ = canvasOrigin; }
    void SetPen(const Pen& pen) override;
    void SetBrush(const Brush& brush) override;
    void Line(Point from, Point to) override;
    void Polyline(std::span<const Point> points) override;
    void Polygon(std::span<const Point> points) override;
    void Ellipse(const Rect& box) override;
    void Rectangle(const Rect& box) override;
    void FillRect(const Rect& box, Color color) override;
    void Text(Point origin, std::u16string_view text, const FontDesc& font, Color color,
              Color background) override;

    std::vector<std::string> calls;

private:
    std::string P(Point p) const;
    Point origin_;
};

// Every character `charWidth` wide and every line `lineHeight` high.
class FixedTextMetrics : public TextMetrics {
public:
    FixedTextMetrics(int32_t charWidth, int32_t lineHeight)
        : charWidth_(charWidth), lineHeight_(lineHeight) {}
    Size Extent(std::u16string_view text, const FontDesc&) const override {
        return {charWidth_ * static_cast<int32_t>(text.size()), lineHeight_};
    }

private:
    int32_t charWidth_;
    int32_t lineHeight_;
};

// A drawing context whose text is measured by `metrics`, for objects tested
// outside a document.
inline DrawingContext MeasuredBy(const TextMetrics& metrics) {
    DrawingContext drawing;
    drawing.metrics = &metrics;
    return drawing;
}

}  // namespace velkor::testing
