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
// A window is painted when it is visible and not empty.
bool Painted(const CADGraphic& obj, const Rect& r) {
    return obj.IsVisible() && r.Width() > 0 && r.Height() > 0;
}

void PaintTree(Painter& painter, CADGraphic& obj, const Rect* area, int depth) {
    if (depth > 8) return;  // parts of parts of parts: nothing real is deeper
    const Rect r = obj.AbsoluteRect();
    if (Painted(obj, r) && (!area || RectanglesIntersect(r, *area))) {
        painter.SetOrigin(r.TopLeft());
        obj.Paint(painter);
    }
    std::vector<CADGraphic*> parts;
    obj.CollectParts(parts);
    for (CADGraphic* part : parts) PaintTree(painter, *part, area, depth + 1);
}

void AddBounds(CADGraphic& obj, Rect& bounds, int depth) {
    if (depth > 8) return;
    const Rect r = obj.AbsoluteRect();
    if (Painted(obj, r)) {
        bounds = {std::min(bounds.left, r.left), std::min(bounds.top, r.top),
                  std::max(bounds.right, r.right), std::max(bounds.bottom, r.bottom)};
    }
    std::vector<CADGraphic*> parts;
    obj.CollectParts(parts);
    for (CADGraphic* part : parts) AddBounds(*part, bounds, depth + 1);
}
}  // namespace

Rect StationBounds(const CVelkorDoc& doc) {
    const Size size = CanvasSize(doc);
    Rect bounds{0, 0, size.cx, size.cy};
    for (const auto& obj : doc.Objects()) AddBounds(*obj, bounds, 0);
    return bounds;
}

void PaintObjectTree(Painter& painter, CADGraphic& obj, const Rect* area) {
    PaintTree(painter, obj, area, 0);
}

void PaintObjects(Painter& painter, const CVelkorDoc& doc, const Rect* area) {
    for (const auto& obj : doc.Objects()) PaintTree(painter, *obj, area, 0);
}

}  // namespace velkor
