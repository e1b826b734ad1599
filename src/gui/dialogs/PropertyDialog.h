#pragma once
#include <QDialog>
#include <functional>
#include <vector>

#include "forms/PropertyForm.h"

class QWidget;

namespace velkor::gui {

// A device's property dialog: a view over its core form. One group box per
// group, a line edit, check box, list or colour button per field; the space
// bar in a name field runs the form's lookup, a changed check box or list
// its rules. "确定" is the default button, Esc cancels. Each field widget
// is named "<group>/<label>" so that tests find it.
class PropertyDialog : public QDialog {
    Q_OBJECT
public:
    PropertyDialog(PropertyForm& form, QWidget* parent = nullptr);

    // "确定": the form takes the fields over; a refused field keeps the
    // dialog open.
    void accept() override;
    // The widget of a field, for tests.
    QWidget* FieldWidget(const std::string& label, const std::string& group = {}) const;

signals:
    // A lookup or a rule changed the device while the dialog is open.
    void DeviceChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Store();
    void Load();
    // A check box, radio button or list changed: the form's rules, then the
    // fields as they are now.
    void RunRules(size_t index);

    PropertyForm& form_;
    std::vector<QWidget*> widgets_;  // by field index
};

// Opens the property dialog of an object's class over `parent` and returns
// whether the user confirmed it. A class without a dialog confirms through
// its EditProperties.
// `changed` runs whenever the device changes before the dialog closes, so
// that the drawing shows it at once.
bool EditObjectProperties(CADGraphic& obj, CVelkorDoc& doc, QWidget* parent,
                          const std::function<void()>& changed = {});

}  // namespace velkor::gui
