#pragma once
#include <memory>
#include <vector>

#include "common/Geometry.h"
#include "devices/CADDevice.h"

namespace velkor::gui {

class CChildView;

// One way of turning a left-button press, the moves and the release into an
// edit. Points are canvas coordinates.
class MouseHandler {
public:
    explicit MouseHandler(CChildView& view) : view_(view) {}
    virtual ~MouseHandler() = default;
    // True when this handler takes the press.
    virtual bool ButtonDown(Point p) = 0;
    virtual void MouseMove(Point p) = 0;
    virtual void ButtonUp(Point p) = 0;

    // The point the release snapping keeps rows and columns to.
    Point reference{0, 0};

protected:
    CChildView& view_;
};

// Places a new object of the palette's current device type code.
class NewGraphicHandler : public MouseHandler {
public:
    using MouseHandler::MouseHandler;
    bool ButtonDown(Point p) override;
    void MouseMove(Point p) override;
    void ButtonUp(Point p) override;
    // A choice of the connection-point or angle menu for the object being placed.
    void ApplyMenuCommand(int id);
    CADGraphic* Placing() const { return placing_.get(); }
    // Drops a placement in progress.
    void Cancel() { placing_.reset(); }

private:
    std::unique_ptr<CADGraphic> placing_;
    Point start_;
};

// Drags the marked end of a track object to a new place.
class ExtendHandler : public MouseHandler {
public:
    using MouseHandler::MouseHandler;
    bool ButtonDown(Point p) override;
    void MouseMove(Point) override {}
    void ButtonUp(Point p) override;

private:
    CADDevice* target_ = nullptr;
    int end_ = -1;
};

// Selects objects with a rubber band and moves a selection.
class MutiSelectHandler : public MouseHandler {
public:
    using MouseHandler::MouseHandler;
    bool ButtonDown(Point p) override;
    void MouseMove(Point p) override;
    void ButtonUp(Point p) override;
    void ClearSelection();
    std::vector<CADGraphic*>& Selection() { return selection_; }
    // Forgets an object that left the document.
    void Forget(const CADGraphic* obj);
    const Rect& Band() const { return rect_; }
    bool BandShown() const { return shown_; }

private:
    Point start_;
    std::vector<CADGraphic*> selection_;
    Rect rect_;
    bool shown_ = false;
};

}  // namespace velkor::gui
