#pragma once
#include <sstream>
#include <string>

#include "common/Painter.h"
#include "common/TextMetrics.h"

namespace velkor {

// Writes what is painted as an SVG document, for looking at a station on a
// machine without a display and for comparing pictures between versions.
class SvgPainter : public Painter {
public:
    // Texts are laid out with `metrics`. The picture shows the canvas
    // rectangle `area` (its view box), at one pixel per canvas unit.
    SvgPainter(const Rect& area, const TextMetrics& metrics);
    void SetOrigin(Point canvasOrigin) override { origin_ = canvasOrigin; }
    void SetPen(const Pen& pen) override { pen_ = pen; }
    void SetBrush(const Brush& brush) override { brush_ = brush; }
    void Line(Point from, Point to) override;
    void Polyline(std::span<const Point> points) override;
    void Polygon(std::span<const Point> points) override;
    void Ellipse(const Rect& box) override;
    void Rectangle(const Rect& box) override;
    void FillRect(const Rect& box, Color color) override;
    void Text(Point origin, std::u16string_view text, const FontDesc& font, Color color,
              Color background) override;

    // The whole document.
    std::string Finish() const;

private:
    const TextMetrics& metrics_;
    std::string Stroke() const;
    std::string Fill() const;
    std::string Points(std::span<const Point> pts) const;
    Rect area_;
    Point origin_;
    Pen pen_;
    Brush brush_{Rgb(255, 255, 255)};
    std::ostringstream body_;
};

}  // namespace velkor
