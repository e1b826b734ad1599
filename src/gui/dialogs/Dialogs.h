#pragma once
#include <QDialog>

#include "common/Interaction.h"
#include "document/CVelkorDoc.h"
#include "document/Settings.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;
class QComboBox;

namespace velkor::gui {

// "全局设置": the station's display and logic-section values and the
// application's drawing values.
class GlobalSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // `ui` shows the refusal of a bad value; a message box when not given.
    GlobalSettingsDialog(const GlobalSettings& values, QWidget* parent = nullptr,
                         Interaction* ui = nullptr);
    QLineEdit* PerSwitchField() const { return perSwitch_; }
    QCheckBox* HasLogicBox() const { return hasLogic_; }
    // The values as edited; on "确定" the dialog refuses a per-switch count
    // outside 0 to 4 with the range message and stays open.
    GlobalSettings Values() const;
    void accept() override;

private:
    QLineEdit* name_;
    QLineEdit* number_;
    QLineEdit* width_;
    QLineEdit* height_;
    QLineEdit* count_;
    QCheckBox* hasLogic_;
    QLineEdit* perSwitch_;
    QLineEdit* sectionWidth_;
    QLineEdit* jointHeight_;
    QLineEdit* divergingHeight_;
    QLineEdit* angle_;
    QLineEdit* grid_;
    GlobalSettings base_;
    Interaction* ui_;
};

// "CAD软件版本号及设置数据版本号": the data version's four bytes.
class VersionDialog : public QDialog {
    Q_OBJECT
public:
    VersionDialog(const DataVersion& version, QWidget* parent = nullptr);
    DataVersion Version() const;

private:
    void Refresh();
    QSpinBox* parts_[4];
    QLineEdit* text_;
};

// "延伸设备": extends the marked end of a track object straight on.
class ExtendDeviceDialog : public QDialog {
    Q_OBJECT
public:
    // `obliqueRefused`: why the device cannot bend (the 斜向 page is then
    // disabled with it as tooltip), or null.
    explicit ExtendDeviceDialog(QWidget* parent = nullptr, const char* obliqueRefused = nullptr);
    bool StraightChosen() const;
    int32_t Length() const;
    int32_t Angle() const;
    int32_t ObliqueLength() const;

private:
    QTabWidget* tabs_;
    QLineEdit* straight_;
    QComboBox* angle_;
    QLineEdit* oblique_;
};

}  // namespace velkor::gui
