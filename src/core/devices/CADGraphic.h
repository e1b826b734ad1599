#pragma once
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <type_traits>
#include <vector>

#include "archive/Archive.h"
#include "common/Geometry.h"
#include "common/Painter.h"
#include "devices/DrawingValues.h"
#include "devices/Fields.h"

namespace velkor {

// The region of an object's window that belongs to it, in window coordinates.
struct WindowShape {
    enum class Kind { Rectangle, Polygon, Ellipse };
    Kind kind = Kind::Rectangle;  // the whole window
    std::vector<Point> points;    // polygon corners
    Rect box;                     // ellipse bounds

    bool Contains(Point windowPoint, Size windowSize) const;
    friend bool operator==(const WindowShape&, const WindowShape&) = default;
};

// Base of everything drawn on the station canvas. What the drawing calls an
// object's window is modelled here: a rectangle in canvas coordinates, a
// shape within it and a visible flag. The view paints and hit-tests it.
class CADGraphic : public ArchiveObject {
public:
    CADGraphic() = default;
    CADGraphic(const CADGraphic&) = delete;
    CADGraphic& operator=(const CADGraphic&) = delete;
    ~CADGraphic() override = default;

    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    // The base object writes an empty payload.
    void Serialize(Archive&) override {}

    // The operations the view, the document and the dialogs call, in this
    // order. Points are canvas coordinates.
    virtual void SetDragPoints(Point start, Point current);
    virtual void UpdateShape() {}
    // Confirms the object's properties; the desktop program opens the dialog
    // of the object's class first. Objects without a dialog confirm at once.
    virtual bool EditProperties() { return true; }
    virtual int IsBent() const { return 1; }
    virtual bool HitEndPoint(Point p, Point& out);
    virtual bool IntersectsRect(const Rect& r) const;
    virtual void AfterMove() {}
    virtual void BuildOutline(std::vector<Point>& out, int width);
    virtual void ExtendTo(int x, int y, int which);
    virtual void PlaceLabel() {}

    // Draws the object in its window coordinates.
    virtual void Paint(Painter& painter) const;
    // The objects with windows of their own that belong to this one and are
    // painted and hit-tested after it: name labels, a composite's parts.
    virtual void CollectParts(std::vector<CADGraphic*>& out);
    // Called by the document once the object has been read from a station
    // file and its window created.
    virtual void AfterLoad(bool hasLogicSections) { (void)hasLogicSections; }
    // Lists the fields the object stores, in their stored order: the one
    // place a class names its fields. See FieldVisitor.
    virtual void Fields(FieldVisitor& v) { (void)v; }
    // All stored fields, for inspection and diffing: class, window rectangle
    // and the listed fields; objects with parts add them.
    virtual void Describe(nlohmann::json& out) const;
    // True for an object that the station file leaves out although its class
    // belongs to a saved group (a decoration line shorter than 10 pixels).
    virtual bool IsDegenerate() const { return false; }

    // Window model. A part of a composite object (a station box's buttons,
    // a block panel's lights) has its window relative to the composite's.
    void CreateWindow(const Rect& canvasRect);
    virtual void SetParent(CADGraphic* parent) { parent_ = parent; }
    CADGraphic* Parent() const { return parent_; }
    // The window in canvas coordinates, for parts too.
    Rect AbsoluteRect() const;
    Point AbsoluteOrigin() const { return AbsoluteRect().TopLeft(); }
    virtual void DestroyWindow();
    bool HasWindow() const { return hasWindow_; }
    bool IsVisible() const { return hasWindow_ && visible_; }
    void Show(bool visible) { visible_ = visible; }
    // The window rectangle in canvas coordinates; 0, 0, 0, 0 without a window.
    Rect GetCanvasRect() const { return hasWindow_ ? rect_ : Rect{}; }
    void MoveWindow(const Rect& canvasRect);
    void OffsetWindow(int32_t dx, int32_t dy);
    const WindowShape& Shape() const;
    void SetShape(WindowShape shape);
    // The window shape as the polygon of the given window points.
    void SetPolygonShape(std::span<const Point> points) {
        WindowShape shape;
        shape.kind = WindowShape::Kind::Polygon;
        shape.points.assign(points.begin(), points.end());
        SetShape(std::move(shape));
    }
    // Canvas point inside the window's shape.
    bool HitTest(Point canvasPoint) const;
    Point ToWindow(Point canvasPoint) const { return canvasPoint - AbsoluteOrigin(); }
    Point ToCanvas(Point windowPoint) const { return windowPoint + AbsoluteOrigin(); }

    // The drawing context of the document the object belongs to. A part
    // without one of its own uses its parent's; an object outside any
    // document uses the default values.
    void SetDrawingContext(const DrawingContext* context);
    const DrawingContext& Drawing() const;

    int32_t selected = 0;

protected:
    // Called after the window has been created or moved.
    virtual void OnWindowCreated() {}
    // Called when the object joins a document's drawing context. Parts whose
    // parent is this object find the context through it; labels that are
    // siblings of their device (name labels of devices without a parent)
    // are given it here.
    virtual void OnDrawingContextSet() {}
    const DrawingContext* OwnDrawingContext() const { return drawing_; }

private:
    CADGraphic* parent_ = nullptr;
    const DrawingContext* drawing_ = nullptr;
    bool hasWindow_ = false;
    bool visible_ = false;
    Rect rect_;
    // Null for the whole window. Kept apart so that the fields every walk
    // over a large station reads (the class, the IO record) sit in the first
    // bytes of a device.
    std::unique_ptr<WindowShape> shape_;
};

// The object as a T when its class is T, else null. A runtime-class compare
// instead of dynamic_cast, which compares type names: the generators ask
// this of every object of a station. Only for classes nothing derives from.
template <class T>
T* ExactlyAs(CADGraphic* obj) {
    static_assert(std::is_final_v<T>);
    return obj && &obj->GetRuntimeClass() == &T::Class() ? static_cast<T*>(obj) : nullptr;
}
template <class T>
const T* ExactlyAs(const CADGraphic* obj) {
    return ExactlyAs<T>(const_cast<CADGraphic*>(obj));
}

// The station's settings as the objects of a station file see them while it
// is read or written.
struct StationContext : ArchiveContext {
    bool hasLogicSections = true;
    // An undo snapshot rather than a station file: names stay exactly as
    // they are in memory, in both directions.
    bool snapshot = false;
};
// The archive's station settings; a station has logic sections by default.
bool HasLogicSections(const Archive& ar);
// Whether reading cuts the logic suffix of names: in station files of
// stations with logic sections, not in snapshots.
bool RemovesLogicSuffix(const Archive& ar);
// Whether writing lets a following label take its device's name.
bool IsSnapshot(const Archive& ar);

// A decoration line whose ends differ by less than 10 pixels both
// horizontally and vertically is too short to see and is not saved.
inline bool IsDegenerateDecorationLine(Point p1, Point p2) {
    const int64_t dx = int64_t{p1.x} - p2.x;
    const int64_t dy = int64_t{p1.y} - p2.y;
    return dx > -10 && dx < 10 && dy > -10 && dy < 10;
}

// The rubber-band rule: the rectangles overlap with a positive area in both
// directions; rectangles that only touch do not intersect.
bool RectanglesIntersect(const Rect& a, const Rect& b);

}  // namespace velkor
