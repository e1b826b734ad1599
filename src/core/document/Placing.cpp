#include "document/Placing.h"

#include <cstdlib>

#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/CADThreeSwitch.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "devices/StationClasses.h"
#include "devices/TrackSpecials.h"

namespace velkor {

float SignalAngleOfIndex(int index) {
    const double pi = 3.14159265358979323846;
    static const double angles[5] = {pi / 3, pi / 4, 0, -pi / 4, -pi / 3};
    return index >= 0 && index < 5 ? static_cast<float>(angles[index]) : 0.0f;
}

float RotationOfIndex(int index) {
    const double pi = 3.14159265358979323846;
    static const double angles[8] = {pi / 2,  pi / 3,  pi / 4,  pi / 6,
                                     -pi / 6, -pi / 4, -pi / 3, -pi / 2};
    return index >= 0 && index < 8 ? static_cast<float>(angles[index]) : 0.0f;
}

bool IsTooShortToPlace(const CADGraphic& obj, Point start, Point end) {
    const bool narrow = std::abs(end.x - start.x) < 10;
    const bool flat = std::abs(end.y - start.y) < 10;
    if (dynamic_cast<const CADSection*>(&obj) || dynamic_cast<const CADDeLine*>(&obj)) {
        return narrow && flat;
    }
    if (dynamic_cast<const TurnTable*>(&obj) || dynamic_cast<const NavigableTrack*>(&obj)) {
        return narrow;
    }
    return false;
}

CADGraphic* PlaceObject(CVelkorDoc& doc, const Placement& p) {
    std::unique_ptr<CADGraphic> obj = CreateForDeviceType(p.code);
    if (!obj) return nullptr;
    obj->SetDrawingContext(&doc.Drawing());
    Point end = p.end;
    if (auto* sw = dynamic_cast<RailSwitch*>(obj.get())) {
        sw->markedPoint = p.choice;
        end = {0, 0};
    } else if (auto* three = dynamic_cast<CADThreeSwitch*>(obj.get())) {
        three->markedPoint = p.choice;
        end = {0, 0};
    } else if (auto* signal = dynamic_cast<CADSignal*>(obj.get())) {
        signal->angle = SignalAngleOfIndex(p.choice);
        end = {0, 0};
    } else {
        obj->SetDragPoints(p.start, p.start);
    }
    obj->SetDragPoints(p.start, end);
    if (IsTooShortToPlace(*obj, p.start, end)) return nullptr;
    CADGraphic* raw = obj.get();
    doc.AddObject(std::move(obj));
    return raw;
}

}  // namespace velkor
