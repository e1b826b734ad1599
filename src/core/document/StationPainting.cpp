#include "document/StationPainting.h"

#include <algorithm>

namespace velkor {

Size CanvasSize(const CVelkorDoc& doc) {
    return {doc.displayCount * doc.displayWidth, doc.displayHeight};
}

void PaintBackground(Painter& painter, const CVelkorDoc& doc, bool gridOn, int32_t g,
                     const Rect* area) {
    painter.SetOrigin({0, 0});
    const Size size = CanvasSize(doc);
    painter.FillRect(area ? *area : Rect{0, 0, size.cx, size.cy}, Rgb(0, 0, 0));
    painter.SetPen({Rgb(255, 255, 255), 1});
    painter.SetBrush({Rgb(0, 0, 0), true});
    for (int32_t i = 0; i < doc.displayCount; ++i) {
        painter.Rectangle({i * doc.displayWidth, 0, (i + 1) * doc.displayWidth, doc.displayHeight});
    }
    if (!gridOn || g <= 0) return;
    const Rect all{0, 0, size.cx, doc.displayHeight};
    const Rect r = area ? *area : all;
    const int32_t y0 = std::max(g, (r.top / g) * g);
    const int32_t x0 = std::max(g, (r.left / g) * g);
    for (int32_t y = y0; y < std::min(doc.displayHeight, r.bottom); y += g) {
        for (int32_t x = x0; x < std::min(size.cx, r.right); x += g) {
            painter.FillRect({x, y, x + 1, y + 1}, Rgb(100, 100, 100));
        }
    }
}

namespace {
void PaintTree(Painter& painter, CADGraphic& obj, const Rect* area, int depth) {
    if (depth > 8) return;  // parts of parts of parts: nothing real is deeper
    const Rect r = obj.AbsoluteRect();
    const bool shown = obj.IsVisible() && r.Width() > 0 && r.Height() > 0;
    if (shown && (!area || RectanglesIntersect(r, *area))) {
        painter.SetOrigin(r.TopLeft());
        obj.Paint(painter);
    }
    std::vector<CADGraphic*> parts;
    obj.CollectParts(parts);
    for (CADGraphic* part : parts) PaintTree(painter, *part, area, depth + 1);
}
}  // namespace

void PaintObjectTree(Painter& painter, CADGraphic& obj, const Rect* area) {
    PaintTree(painter, obj, area, 0);
}

void PaintObjects(Painter& painter, const CVelkorDoc& doc, const Rect* area) {
    for (const auto& obj : doc.Objects()) PaintTree(painter, *obj, area, 0);
}

}  // namespace velkor
