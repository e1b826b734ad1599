#include "document/EditMenu.h"

#include "devices/CADDevice.h"
#include "devices/RailSwitch.h"

namespace velkor {

void EditMenu::Delete() {
    if (CADGraphic* obj = Live()) doc_.DeleteObject(obj);
    object_ = nullptr;
}

void EditMenu::AlignName() {
    CADGraphic* obj = Live();
    if (!obj || !AsDevice(obj)) return;
    DocumentEdit edit(doc_, "名字对齐", {obj});
    obj->PlaceLabel();
    edit.Commit();
}

void EditMenu::SetStretchMode(int mode) {
    if (auto* sw = dynamic_cast<RailSwitch*>(Live())) sw->stretchMode = mode;
}

void EditMenu::RotateSwitch(double radians) {
    auto* sw = dynamic_cast<RailSwitch*>(Live());
    if (!sw) return;
    DocumentEdit edit(doc_, "旋转", {sw});
    sw->Rotate(radians);
    edit.Commit();
}

}  // namespace velkor
