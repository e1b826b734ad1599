#include "view/MouseHandlers.h"

#include <algorithm>
#include <cstdlib>

#include "devices/CADSignal.h"
#include "devices/CADThreeSwitch.h"
#include "devices/DrawingValues.h"
#include "devices/RailSwitch.h"
#include "devices/StationClasses.h"
#include "document/Arrange.h"
#include "document/Placing.h"
#include "shell/CommandTable.h"
#include "view/CChildView.h"

namespace velkor::gui {

// ---- placing

bool NewGraphicHandler::ButtonDown(Point p) {
    auto obj = CreateForDeviceType(view_.Shell().currentCode);
    if (!obj) return false;
    obj->SetDrawingContext(&view_.Doc().Drawing());
    view_.Shell().moveMode = false;
    view_.SetActive(this);  // before snapping: rule 3 uses this handler's reference
    start_ = view_.SnapRelease(p);
    reference = start_;
    placing_ = std::move(obj);
    CChildView::Menu menu;
    if (dynamic_cast<RailSwitch*>(placing_.get())) {
        menu = CChildView::Menu::Connection;
    } else if (dynamic_cast<CADThreeSwitch*>(placing_.get())) {
        menu = CChildView::Menu::ThreeWayConnection;
    } else if (dynamic_cast<CADSignal*>(placing_.get())) {
        menu = CChildView::Menu::SignalAngle;
    } else {
        placing_->SetDragPoints(start_, start_);
        view_.Refresh();
        return true;
    }
    const int chosen = view_.ChooseFromMenu(menu, start_);
    if (chosen == 0) {
        // The menu was dismissed: the object is abandoned, nothing is placed.
        placing_.reset();
        view_.SetActive(nullptr);
        return true;
    }
    ApplyMenuCommand(chosen);
    view_.PostRelease({0, 0});
    return true;
}

void NewGraphicHandler::ApplyMenuCommand(int id) {
    if (!placing_) return;
    if (id >= cmd::kConnectionFirst && id <= cmd::kConnectionLast) {
        auto* sw = dynamic_cast<RailSwitch*>(placing_.get());
        if (!sw) return;
        sw->markedPoint = id - cmd::kConnectionFirst;
    } else if (id >= cmd::kThreeWayFirst && id <= cmd::kThreeWayLast) {
        auto* sw = dynamic_cast<CADThreeSwitch*>(placing_.get());
        if (!sw) return;
        sw->markedPoint = id - cmd::kThreeWayFirst;
    } else if (id >= cmd::kAngleFirst && id <= cmd::kAngleLast) {
        auto* s = dynamic_cast<CADSignal*>(placing_.get());
        if (!s) return;
        s->angle = SignalAngleOfIndex(id - cmd::kAngleFirst);
    } else {
        return;
    }
    placing_->SetDragPoints(start_, {0, 0});
}

void NewGraphicHandler::MouseMove(Point p) {
    if (!placing_) return;
    if (std::abs(p.y - start_.y) <= 10) {
        p.y = start_.y;
    } else if (std::abs(p.x - start_.x) <= 10) {
        p.x = start_.x;
    }
    placing_->SetDragPoints(start_, p);
    view_.Refresh();
}

void NewGraphicHandler::ButtonUp(Point p) {
    if (!placing_) return;
    placing_->SetDragPoints(start_, p);
    if (!IsTooShortToPlace(*placing_, start_, p)) view_.Doc().AddObject(std::move(placing_));
    placing_.reset();
    view_.Refresh();
}

// ---- extending

bool ExtendHandler::ButtonDown(Point) {
    CADDevice* d = FirstMarkedDevice(view_.Doc());
    if (!d) return false;
    target_ = d;
    end_ = d->markedPoint;
    reference = view_.SnapPoint();
    return true;
}

void ExtendHandler::ButtonUp(Point p) {
    if (!target_ || !view_.Doc().Contains(target_)) return;
    if (view_.EndPointHit()) p = view_.SnapPoint();
    DocumentEdit edit(view_.Doc(), "延伸", {target_});
    target_->ExtendTo(p.x, p.y, end_);
    edit.Commit();
    target_ = nullptr;
    view_.Refresh();
}

// ---- selecting

bool MutiSelectHandler::ButtonDown(Point p) {
    start_ = p;
    reference = p;
    if (!selection_.empty()) {
        if (rect_.Contains(p)) return true;  // a drag of the selection begins
        ClearSelection();
        return true;
    }
    rect_ = {p.x, p.y, p.x, p.y};
    shown_ = true;
    view_.Refresh();
    return true;
}

void MutiSelectHandler::MouseMove(Point p) {
    if (selection_.empty()) {
        rect_ = {std::min(start_.x, p.x), std::min(start_.y, p.y), std::max(start_.x, p.x),
                 std::max(start_.y, p.y)};
    } else {
        rect_ = rect_.Offset(p.x - reference.x, p.y - reference.y);
        reference = p;
    }
    shown_ = true;
    view_.Refresh();
}

void MutiSelectHandler::ButtonUp(Point p) {
    if (selection_.empty()) {
        for (const auto& obj : view_.Doc().Objects()) {
            if (obj->IntersectsRect(rect_)) {
                obj->selected = 1;
                selection_.push_back(obj.get());
            }
        }
        shown_ = !selection_.empty();
        if (!shown_) rect_ = {};
        view_.Refresh();
        return;
    }
    const Point d = SelectionDragOffset(start_, p, view_.Doc().Drawing().gridOn,
                                        view_.Doc().Drawing().values.gridSpacing);
    DocumentEdit edit(view_.Doc(), "移动", selection_);
    for (CADGraphic* obj : selection_) MoveWithLabel(*obj, d.x, d.y);
    edit.Commit();
    ClearSelection();
}

void MutiSelectHandler::ClearSelection() {
    for (CADGraphic* obj : selection_) {
        if (view_.Doc().Contains(obj)) obj->selected = 0;
    }
    selection_.clear();
    rect_ = {};
    shown_ = false;
    view_.Refresh();
}

void MutiSelectHandler::Forget(const CADGraphic* obj) {
    selection_.erase(std::remove(selection_.begin(), selection_.end(), obj), selection_.end());
}

}  // namespace velkor::gui
