#include "document/StationPainting.h"

namespace velkor {

Size CanvasSize(const CVelkorDoc& doc) {
    return {doc.displayCount * doc.displayWidth, doc.displayHeight};
}

void PaintBackground(Painter& painter, const CVelkorDoc& doc, bool gridOn, int32_t g) {
    painter.SetOrigin({0, 0});
    const Size size = CanvasSize(doc);
    painter.FillRect({0, 0, size.cx, size.cy}, Rgb(0, 0, 0));
    painter.SetPen({Rgb(255, 255, 255), 1});
    painter.SetBrush({Rgb(0, 0, 0), true});
    for (int32_t i = 0; i < doc.displayCount; ++i) {
        painter.Rectangle({i * doc.displayWidth, 0, (i + 1) * doc.displayWidth, doc.displayHeight});
    }
    if (!gridOn || g <= 0) return;
    for (int32_t y = g; y < doc.displayHeight; y += g) {
        for (int32_t x = g; x < size.cx; x += g) painter.FillRect({x, y, x + 1, y + 1}, Rgb(100, 100, 100));
    }
}

namespace {
void PaintTree(Painter& painter, CADGraphic& obj, int depth) {
    if (depth > 8) return;  // parts of parts of parts: nothing real is deeper
    const Rect r = obj.AbsoluteRect();
    if (obj.IsVisible() && r.Width() > 0 && r.Height() > 0) {
        painter.SetOrigin(r.TopLeft());
        obj.Paint(painter);
    }
    std::vector<CADGraphic*> parts;
    obj.CollectParts(parts);
    for (CADGraphic* part : parts) PaintTree(painter, *part, depth + 1);
}
}  // namespace

void PaintObjects(Painter& painter, const CVelkorDoc& doc) {
    for (const auto& obj : doc.Objects()) PaintTree(painter, *obj, 0);
}

}  // namespace velkor
