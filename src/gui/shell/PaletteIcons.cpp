#include "shell/PaletteIcons.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <vector>

#include "QtPainter.h"
#include "devices/CADSignal.h"
#include "devices/CADThreeSwitch.h"
#include "devices/Label.h"
#include "devices/RailSwitch.h"
#include "devices/StationClasses.h"
#include "document/StationPainting.h"

namespace velkor::gui {

namespace {

constexpr int kIconSize = 32;

// Lays the object out as a placement would, small enough for an icon.
void LayOut(CADGraphic& obj, int code) {
    if (auto* sw = dynamic_cast<RailSwitch*>(&obj)) sw->markedPoint = 0;
    if (auto* sw = dynamic_cast<CADThreeSwitch*>(&obj)) sw->markedPoint = 0;
    if (auto* label = dynamic_cast<Label*>(&obj)) label->text = u"文字";
    const Point start{200, 200};
    Point end = start;
    if (code == 0 || code == 19 || code == 29) end = {start.x + 120, start.y};
    if (code == 28) end = {start.x + 40, start.y + 40};
    obj.SetDragPoints(start, start);
    obj.SetDragPoints(start, end);
    obj.UpdateShape();
}

}  // namespace

QIcon PaletteIcon(int code) {
    QImage image(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    auto obj = CreateForDeviceType(code);
    QPainter qp(&image);
    qp.setRenderHint(QPainter::Antialiasing);
    if (!obj) {
        // The clock places nothing; its element still shows a clock.
        qp.setPen(QPen(QColor(85, 120, 182), 2));
        qp.drawEllipse(QRect(4, 4, 24, 24));
        qp.drawLine(16, 16, 16, 8);
        qp.drawLine(16, 16, 22, 19);
        return QIcon(QPixmap::fromImage(image));
    }
    LayOut(*obj, code);
    // The object's own window, without its name labels, scaled into the icon.
    const Rect r = obj->AbsoluteRect();
    if (r.Width() > 0 && r.Height() > 0) {
        const double scale = std::min(
            1.0, std::min(double(kIconSize - 4) / r.Width(), double(kIconSize - 4) / r.Height()));
        qp.translate((kIconSize - r.Width() * scale) / 2, (kIconSize - r.Height() * scale) / 2);
        qp.scale(scale, scale);
        qp.translate(-r.left, -r.top);
        const QTransform base = qp.transform();
        // SetOrigin resets the transform; keep the icon's scaling under it.
        struct Scaled : QtPainter {
            Scaled(QPainter& p, QTransform t) : QtPainter(p), p_(p), t_(t) {}
            void SetOrigin(Point o) override {
                p_.setTransform(t_);
                p_.translate(o.x, o.y);
            }
            QPainter& p_;
            QTransform t_;
        } scaled(qp, base);
        scaled.SetOrigin(r.TopLeft());
        obj->Paint(scaled);
    }
    return QIcon(QPixmap::fromImage(image));
}

QIcon GlyphIcon(const QString& text, QColor colour) {
    QImage image(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
    QFont f;
    f.setPixelSize(17);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, kIconSize, kIconSize), Qt::AlignCenter, text.left(1));
    return QIcon(QPixmap::fromImage(image));
}

}  // namespace velkor::gui
