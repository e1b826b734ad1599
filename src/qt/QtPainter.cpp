#include "QtPainter.h"

#include <QPolygon>
#include <vector>

#include "QtTextMetrics.h"

namespace velkor {

namespace {
QColor Q(Color c) { return QColor(c.r, c.g, c.b); }
QPolygon Poly(std::span<const Point> pts) {
    QPolygon poly;
    poly.reserve(static_cast<qsizetype>(pts.size()));
    for (Point p : pts) poly << QPoint(p.x, p.y);
    return poly;
}
// Rectangles exclude their right and bottom edge.
QRect R(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
}  // namespace

void QtPainter::SetOrigin(Point o) {
    origin_ = o;
    p_.resetTransform();
    // Device = canvas × scale − offset.
    p_.translate(-offset_.x(), -offset_.y());
    p_.scale(scale_, scale_);
    p_.translate(o.x, o.y);
}

void QtPainter::SetPen(const Pen& pen) {
    if (pen.null) {
        p_.setPen(Qt::NoPen);
        return;
    }
    QPen qp(Q(pen.color));
    qp.setWidth(pen.width);
    p_.setPen(qp);
}

void QtPainter::SetBrush(const Brush& brush) {
    p_.setBrush(brush.hollow ? QBrush(Qt::NoBrush) : QBrush(Q(brush.color)));
}

void QtPainter::Line(Point a, Point b) { p_.drawLine(a.x, a.y, b.x, b.y); }
void QtPainter::Polyline(std::span<const Point> pts) { p_.drawPolyline(Poly(pts)); }
void QtPainter::Polygon(std::span<const Point> pts) { p_.drawPolygon(Poly(pts)); }
void QtPainter::Ellipse(const Rect& r) { p_.drawEllipse(R(r)); }
void QtPainter::Rectangle(const Rect& r) {
    // An empty or inverted rectangle draws nothing.
    if (r.Width() <= 0 || r.Height() <= 0) return;
    p_.drawRect(R(r).adjusted(0, 0, -1, -1));
}
void QtPainter::FillRect(const Rect& r, Color c) { p_.fillRect(R(r), Q(c)); }

void QtPainter::Text(Point at, std::u16string_view text, const FontDesc& font, Color color,
                     Color background) {
    if (text.empty()) return;
    const QFont f = ToQFont(font);
    const QFontMetrics m(f);
    const QString s = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    p_.save();
    p_.translate(at.x, at.y);
    if (font.escapement != 0) p_.rotate(-double(font.escapement) / 10.0);
    p_.fillRect(QRect(0, 0, m.horizontalAdvance(s), m.height()), Q(background));
    p_.setFont(f);
    p_.setPen(Q(color));
    p_.drawText(0, m.ascent(), s);
    p_.restore();
}

}  // namespace velkor
