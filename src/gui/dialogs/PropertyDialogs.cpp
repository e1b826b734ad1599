#include "dialogs/PropertyDialogs.h"

#include "devices/PanelObjects.h"
#include "dialogs/DevicePanelWidget.h"

namespace velkor::gui {

bool EditObjectProperties(CADGraphic& obj, CVelkorDoc& doc, QWidget* parent) {
    // The classes the program has dialogs for, by class.
    if (&obj.GetRuntimeClass() == &Arrow::Class()) {
        DevicePanelDialog dialog(QStringLiteral("箭头属性"), static_cast<Arrow&>(obj), doc.io,
                                 doc.UI(), parent);
        dialog.setObjectName(QStringLiteral("ArrowProperties"));
        return dialog.exec() == QDialog::Accepted;
    }
    return obj.EditProperties();
}

}  // namespace velkor::gui
