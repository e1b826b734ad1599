#pragma once
#include <QIcon>
#include <QString>

namespace velkor::gui {

// The palette's icon of a device type code, drawn by the device's own
// painting code, so the ribbon shows what will be placed.
QIcon PaletteIcon(int code);
// A plain icon for other ribbon elements: the element's first character.
QIcon GlyphIcon(const QString& text, QColor colour);

}  // namespace velkor::gui
