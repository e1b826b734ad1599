#pragma once
#include "document/CVelkorDoc.h"

namespace velkor {

// The edit menu of a view: the object it was last opened on and what its
// items do to it. The items act only on an object that is still in the
// station; each change is one undoable edit.
class EditMenu {
public:
    explicit EditMenu(CVelkorDoc& doc) : doc_(doc) {}

    void SetObject(CADGraphic* obj) { object_ = obj; }
    CADGraphic* Object() const { return object_; }
    // After objects were replaced (undo, redo): the menu holds none.
    void Forget() { object_ = nullptr; }

    // "删除".
    void Delete();
    // "名字对齐": the device's labels placed again.
    void AlignName();
    // "移动道岔点1" (1), "道岔拉伸" (2), "道岔不拉伸" (0) on a switch.
    void SetStretchMode(int mode);
    // The "旋转" items on a switch.
    void RotateSwitch(double radians);

private:
    // The menu's object while it is in the station.
    CADGraphic* Live() const { return doc_.Contains(object_) ? object_ : nullptr; }

    CVelkorDoc& doc_;
    CADGraphic* object_ = nullptr;
};

}  // namespace velkor
