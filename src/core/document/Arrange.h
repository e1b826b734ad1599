#pragma once
#include <vector>

#include "devices/CADDevice.h"
#include "document/CVelkorDoc.h"

namespace velkor {

// The view's arrangement commands on a selection, in selection order.
// 左: every object to the smallest left edge, name labels placed again.
void AlignLeft(const std::vector<CADGraphic*>& selection);
// 顶: every object to the smallest top edge; the name labels stay.
void AlignTop(const std::vector<CADGraphic*>& selection);
// 同样间距: sorts the selection by left edge and spaces the inner objects
// evenly between the first and the last.
void SpaceEvenly(std::vector<CADGraphic*>& selection);
// 左移, 右移, 上移, 下移: every object of the document by (dx, dy), name labels
// placed again for every object that carries one.
void MoveAll(CVelkorDoc& doc, int32_t dx, int32_t dy);
// Moves one object's window and every label and part beside it by (dx, dy).
void MoveWithLabel(CADGraphic& obj, int32_t dx, int32_t dy);
// The drag of a selection: with the grid on the move is cut to whole grid
// steps; then only the larger component is kept (vertical on a tie).
Point SelectionDragOffset(Point start, Point end, bool gridOn, int32_t g);
// "延续方向": extends a track object's marked end straight on by `length`
// pixels. False when the object has no marked end or the end has no
// direction (a degenerate track object).
bool ExtendStraight(CADGraphic& obj, int32_t length);
// "斜向": a section's marked end goes on by `length` pixels at `degrees` to
// the direction it had (positive turns counter-clockwise on the screen: up
// for an end that runs right), as
// a new bent segment. Only a section whose marked end is straight can bend:
// nothing else changes, and `why` says what stands in the way.
bool CanExtendOblique(const CADGraphic& obj, const char** why = nullptr);
bool ExtendOblique(CADGraphic& obj, int32_t degrees, int32_t length);
// The first declared device of the list with a marked end, or nullptr.
CADDevice* FirstMarkedDevice(const CVelkorDoc& doc);

}  // namespace velkor
