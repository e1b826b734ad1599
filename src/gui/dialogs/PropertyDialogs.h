#pragma once
#include <QWidget>

#include "document/CVelkorDoc.h"

namespace velkor::gui {

// Opens the property dialog of an object's class over `parent` and returns
// whether the user confirmed it. A class without a dialog of its own here
// confirms through its EditProperties.
bool EditObjectProperties(CADGraphic& obj, CVelkorDoc& doc, QWidget* parent);

}  // namespace velkor::gui
