#pragma once
#include <QDialog>
#include <QGroupBox>

#include "forms/DevicePanel.h"

class QCheckBox;
class QLineEdit;

namespace velkor::gui {

// The group "设备信息" over a core DevicePanel: the fields show the panel's
// texts, the space bar in "名称" runs its lookup, the display-name check box
// its rule. Widgets carry object names so tests find them.
class DevicePanelWidget : public QGroupBox {
    Q_OBJECT
public:
    DevicePanelWidget(DevicePanel& panel, QWidget* parent = nullptr);

    // The widgets into the panel's texts, before a lookup or "确定".
    void Store();
    // The panel's texts into the widgets.
    void Load();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DevicePanel& panel_;
    QLineEdit* station_;
    QLineEdit* name_;
    QLineEdit* address_;
    QLineEdit* button_;
    QLineEdit* word_;
    QLineEdit* bit_;
    QCheckBox* buttonValid_;
    QCheckBox* follows_;
    QLineEdit* display_;
};

// A dialog that holds only the device panel ("箭头属性").
class DevicePanelDialog : public QDialog {
    Q_OBJECT
public:
    DevicePanelDialog(const QString& title, CADDevice& device, const IoTables& tables,
                      Interaction& ui, QWidget* parent = nullptr);
    DevicePanelWidget* Panel() const { return widget_; }
    // "确定": the panel's fields are taken over into the device.
    void accept() override;

private:
    DevicePanel panel_;
    DevicePanelWidget* widget_;
};

}  // namespace velkor::gui
