#include "devices/CADGraphic.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace velkor {

bool WindowShape::Contains(Point p, Size size) const {
    switch (kind) {
        case Kind::Rectangle:
            return p.x >= 0 && p.y >= 0 && p.x < size.cx && p.y < size.cy;
        case Kind::Ellipse: {
            const double rx = box.Width() / 2.0;
            const double ry = box.Height() / 2.0;
            if (rx <= 0 || ry <= 0) return false;
            const double dx = (p.x + 0.5 - (box.left + rx)) / rx;
            const double dy = (p.y + 0.5 - (box.top + ry)) / ry;
            return dx * dx + dy * dy <= 1.0;
        }
        case Kind::Polygon: {
            // Even-odd rule, as window regions fill polygons.
            bool inside = false;
            const size_t n = points.size();
            for (size_t i = 0, j = n - 1; i < n; j = i++) {
                const Point a = points[i];
                const Point b = points[j];
                if ((a.y > p.y) != (b.y > p.y)) {
                    const double x = a.x + double(p.y - a.y) * (b.x - a.x) / double(b.y - a.y);
                    if (p.x < x) inside = !inside;
                }
            }
            return inside;
        }
    }
    return false;
}

void CADGraphic::SetDragPoints(Point, Point) {}

void CADGraphic::SetDrawingContext(const DrawingContext* context) {
    drawing_ = context;
    OnDrawingContextSet();
}

const DrawingContext& CADGraphic::Drawing() const {
    if (drawing_) return *drawing_;
    if (parent_) return parent_->Drawing();
    static const DrawingContext kDefaults;
    return kDefaults;
}

bool HasLogicSections(const Archive& ar) {
    const auto* station = dynamic_cast<const StationContext*>(ar.Context());
    return station ? station->hasLogicSections : true;
}

bool IsSnapshot(const Archive& ar) {
    const auto* station = dynamic_cast<const StationContext*>(ar.Context());
    return station && station->snapshot;
}

bool RemovesLogicSuffix(const Archive& ar) { return HasLogicSections(ar) && !IsSnapshot(ar); }

Rect CADGraphic::AbsoluteRect() const {
    const Rect r = GetCanvasRect();
    if (!parent_) return r;
    const Point o = parent_->AbsoluteOrigin();
    return r.Offset(o.x, o.y);
}
bool CADGraphic::HitEndPoint(Point, Point&) { return false; }
bool CADGraphic::IntersectsRect(const Rect& r) const {
    return RectanglesIntersect(GetCanvasRect(), r);
}
void CADGraphic::BuildOutline(std::vector<Point>&, int) {}
void CADGraphic::ExtendTo(int, int, int) {}
void CADGraphic::Paint(Painter&) const {}
void CADGraphic::CollectParts(std::vector<CADGraphic*>&) {}

void CADGraphic::Describe(nlohmann::json& out) const {
    out["class"] = GetRuntimeClass().name;
    const Rect r = GetCanvasRect();
    out["rect"] = {r.left, r.top, r.right, r.bottom};
    // The JSON walk only reads the fields it is given.
    JsonFields json(out);
    const_cast<CADGraphic*>(this)->Fields(json);
}

void CADGraphic::CreateWindow(const Rect& canvasRect) {
    hasWindow_ = true;
    visible_ = true;
    rect_ = canvasRect;
    OnWindowCreated();
}

void CADGraphic::DestroyWindow() {
    hasWindow_ = false;
    visible_ = false;
}

void CADGraphic::MoveWindow(const Rect& canvasRect) {
    if (!hasWindow_) {
        CreateWindow(canvasRect);
        return;
    }
    rect_ = canvasRect;
}

void CADGraphic::OffsetWindow(int32_t dx, int32_t dy) {
    if (hasWindow_) rect_ = rect_.Offset(dx, dy);
}

bool CADGraphic::HitTest(Point canvasPoint) const {
    if (!IsVisible() || !AbsoluteRect().Contains(canvasPoint)) return false;
    return Shape().Contains(ToWindow(canvasPoint), {rect_.Width(), rect_.Height()});
}

const WindowShape& CADGraphic::Shape() const {
    static const WindowShape kWholeWindow;
    return shape_ ? *shape_ : kWholeWindow;
}

void CADGraphic::SetShape(WindowShape shape) {
    if (shape.kind == WindowShape::Kind::Rectangle) {
        shape_.reset();
    } else if (shape_) {
        *shape_ = std::move(shape);
    } else {
        shape_ = std::make_unique<WindowShape>(std::move(shape));
    }
}

bool RectanglesIntersect(const Rect& a, const Rect& b) {
    // Widths are compared in 64 bits: rectangles from a damaged file may be huge.
    const int64_t spanX = int64_t{std::max(a.right, b.right)} - std::min(a.left, b.left);
    const int64_t spanY = int64_t{std::max(a.bottom, b.bottom)} - std::min(a.top, b.top);
    return spanX < int64_t{a.right} - a.left + (int64_t{b.right} - b.left) &&
           spanY < int64_t{a.bottom} - a.top + (int64_t{b.bottom} - b.top);
}

}  // namespace velkor
