#pragma once
#include <QPainter>

#include "common/Painter.h"

namespace velkor {

// The Painter port on a QPainter: the desktop view and PNG pictures.
class QtPainter : public Painter {
public:
    explicit QtPainter(QPainter& p) : p_(p) {}
    void SetOrigin(Point canvasOrigin) override;
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

    // Where canvas coordinates start on the device (the view's scroll
    // position) and how large a canvas pixel is drawn (the view's zoom).
    void SetCanvasOffset(QPoint offset) { offset_ = offset; }
    void SetScale(double scale) { scale_ = scale; }

private:
    QPainter& p_;
    QPoint offset_;
    double scale_ = 1.0;
    Point origin_;
};

}  // namespace velkor
