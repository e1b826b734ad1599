#pragma once
#include "common/Painter.h"
#include "document/CVelkorDoc.h"

namespace velkor {

// The view's background: black, a white frame per display side by side and,
// with the grid on, grey dots at every grid point.
// With `area`, the grid dots are set only inside it.
void PaintBackground(Painter& painter, const CVelkorDoc& doc, bool gridOn, int32_t gridSpacing,
                     const Rect* area = nullptr);

// Every object of the document in list order, each followed by its parts
// (name labels, a composite's buttons and lights), as the view shows them.
// Objects without a visible, non-empty window are not painted.
// With `area`, only objects whose windows meet it are painted.
void PaintObjects(Painter& painter, const CVelkorDoc& doc, const Rect* area = nullptr);
// One object and its parts.
void PaintObjectTree(Painter& painter, CADGraphic& obj, const Rect* area = nullptr);

// The size of the picture of a station: all displays side by side.
Size CanvasSize(const CVelkorDoc& doc);
// What a picture of the whole station covers: the display frames and every
// object and part that is painted, wherever it lies.
Rect StationBounds(const CVelkorDoc& doc);

}  // namespace velkor
