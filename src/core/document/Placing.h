#pragma once
#include "common/Geometry.h"
#include "document/CVelkorDoc.h"

namespace velkor {

// The angles of the menu "信号机角度", by index: 60, 45, 0, -45, -60 degrees.
float SignalAngleOfIndex(int index);
// The rotations of the sub-menu "旋转", by index: 90, 60, 45, 30, -30, -45,
// -60, -90 degrees, as 32-bit floats.
float RotationOfIndex(int index);

// One placement as the placing handler performs it: a press at `start`, a
// drag to `end` and a release there. `choice` is the connection point of a
// switch or the angle index of a signal, chosen from the pop-up menu.
struct Placement {
    int code = -1;
    Point start;
    Point end;
    int choice = 0;
};

// True when the placing handler drops the object instead of adding it:
// sections and decoration lines shorter than 10 pixels both ways, turntables
// and navigable tracks narrower than 10 pixels.
bool IsTooShortToPlace(const CADGraphic& obj, Point start, Point end);

// Creates the object of the placement's code, lays it out and adds it to the
// document; returns it, or nullptr when the code places nothing or the drag
// was too short.
CADGraphic* PlaceObject(CVelkorDoc& doc, const Placement& p);

}  // namespace velkor
