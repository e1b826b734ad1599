#include "dialogs/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/Text.h"

namespace velkor::gui {

namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QLineEdit* IntField(int value, QWidget* parent) {
    auto* e = new QLineEdit(QString::number(value), parent);
    e->setValidator(new QIntValidator(e));
    return e;
}

}  // namespace

GlobalSettingsDialog::GlobalSettingsDialog(const GlobalSettings& v, QWidget* parent,
                                           Interaction* ui)
    : QDialog(parent), base_(v), ui_(ui) {
    setWindowTitle(QStringLiteral("全局设置"));
    auto* layout = new QVBoxLayout(this);

    auto* station = new QGroupBox(QStringLiteral("车站"), this);
    auto* sf = new QFormLayout(station);
    name_ = new QLineEdit(QString::fromStdU16String(v.stationName), station);
    number_ = IntField(v.stationNumber, station);
    sf->addRow(QStringLiteral("名称"), name_);
    sf->addRow(QStringLiteral("编号"), number_);
    layout->addWidget(station);

    auto* display = new QGroupBox(QStringLiteral("显示器"), this);
    auto* df = new QFormLayout(display);
    auto* resolution = new QHBoxLayout;
    width_ = IntField(v.displayWidth, display);
    height_ = IntField(v.displayHeight, display);
    resolution->addWidget(width_);
    resolution->addWidget(new QLabel(QStringLiteral("*"), display));
    resolution->addWidget(height_);
    df->addRow(QStringLiteral("分辨率"), resolution);
    count_ = IntField(v.displayCount, display);
    df->addRow(QStringLiteral("个数"), count_);
    layout->addWidget(display);

    auto* logic = new QGroupBox(QStringLiteral("逻辑区段"), this);
    auto* lf = new QFormLayout(logic);
    hasLogic_ = new QCheckBox(QStringLiteral("是否包含逻辑区段"), logic);
    hasLogic_->setChecked(v.hasLogicSections != 0);
    perSwitch_ = IntField(v.logicSectionsPerSwitch, logic);
    perSwitch_->setEnabled(hasLogic_->isChecked());
    connect(hasLogic_, &QCheckBox::toggled, perSwitch_, &QLineEdit::setEnabled);
    lf->addRow(hasLogic_);
    lf->addRow(QStringLiteral("道岔包含的逻辑区段个数（不超过4）："), perSwitch_);
    layout->addWidget(logic);

    auto* track = new QGroupBox(QStringLiteral("区段/道岔"), this);
    auto* tf = new QFormLayout(track);
    sectionWidth_ = IntField(v.drawing.sectionWidth, track);
    jointHeight_ = IntField(v.drawing.jointHeight, track);
    divergingHeight_ = IntField(v.drawing.divergingHeight, track);
    angle_ = IntField(v.drawing.switchAngle, track);
    grid_ = IntField(v.drawing.gridSpacing, track);
    tf->addRow(QStringLiteral("区段宽度"), sectionWidth_);
    tf->addRow(QStringLiteral("绝缘结高度"), jointHeight_);
    tf->addRow(QStringLiteral("斜股高度"), divergingHeight_);
    tf->addRow(QStringLiteral("道岔角度"), angle_);
    tf->addRow(QStringLiteral("网格宽度"), grid_);
    layout->addWidget(track);
    layout->addWidget(OkCancel(this));
}

GlobalSettings GlobalSettingsDialog::Values() const {
    GlobalSettings s = base_;
    s.stationName = name_->text().toStdU16String();
    s.stationNumber = number_->text().toInt();
    s.displayWidth = width_->text().toInt();
    s.displayHeight = height_->text().toInt();
    s.displayCount = count_->text().toInt();
    s.hasLogicSections = hasLogic_->isChecked() ? 1 : 0;
    s.logicSectionsPerSwitch = perSwitch_->text().toInt();
    s.drawing.sectionWidth = sectionWidth_->text().toInt();
    s.drawing.jointHeight = jointHeight_->text().toInt();
    s.drawing.divergingHeight = divergingHeight_->text().toInt();
    s.drawing.switchAngle = angle_->text().toInt();
    s.drawing.gridSpacing = grid_->text().toInt();
    return s;
}

void GlobalSettingsDialog::accept() {
    if (auto refusal = ValidateGlobalSettings(Values())) {
        if (ui_) {
            ui_->Warning(*refusal);
        } else {
            QMessageBox::warning(this, QStringLiteral("Velkor"), QString::fromStdString(*refusal));
        }
        perSwitch_->setFocus();
        return;
    }
    QDialog::accept();
}

VersionDialog::VersionDialog(const DataVersion& v, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("CAD软件版本号及设置数据版本号"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(kSoftwareVersionText), this));
    layout->addWidget(new QLabel(QString::fromUtf8(kReleaseTimeText), this));
    auto* form = new QFormLayout;
    const char* labels[4] = {"高位", "中位", "低位", "编译号"};
    const uint8_t values[4] = {v.high, v.middle, v.low, v.build};
    for (int i = 0; i < 4; ++i) {
        parts_[i] = new QSpinBox(this);
        parts_[i]->setRange(0, 255);
        parts_[i]->setValue(values[i]);
        connect(parts_[i], &QSpinBox::valueChanged, this, [this] { Refresh(); });
        form->addRow(QString::fromUtf8(labels[i]), parts_[i]);
    }
    layout->addLayout(form);
    text_ = new QLineEdit(this);
    text_->setReadOnly(true);
    layout->addWidget(text_);
    layout->addWidget(OkCancel(this));
    Refresh();
}

DataVersion VersionDialog::Version() const {
    return {static_cast<uint8_t>(parts_[0]->value()), static_cast<uint8_t>(parts_[1]->value()),
            static_cast<uint8_t>(parts_[2]->value()), static_cast<uint8_t>(parts_[3]->value())};
}

void VersionDialog::Refresh() {
    text_->setText(QString::fromStdString(FormatDataVersion(Version())));
}

ExtendDeviceDialog::ExtendDeviceDialog(QWidget* parent, const char* obliqueRefused)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("延伸设备"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    auto* straight = new QWidget(tabs_);
    auto* sf = new QFormLayout(straight);
    straight_ = new QLineEdit(QStringLiteral("0"), straight);
    straight_->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]*"), straight_));
    sf->addRow(QStringLiteral("像素"), straight_);
    tabs_->addTab(straight, QStringLiteral("延续方向"));
    auto* oblique = new QWidget(tabs_);
    auto* of = new QFormLayout(oblique);
    angle_ = new QComboBox(oblique);
    for (const char* a : {"-30", "-45", "-60", "30", "45", "60"})
        angle_->addItem(QString::fromUtf8(a));
    oblique_ = new QLineEdit(QStringLiteral("0"), oblique);
    oblique_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), oblique_));
    of->addRow(QStringLiteral("角度"), angle_);
    of->addRow(QStringLiteral("像素"), oblique_);
    const int obliqueTab = tabs_->addTab(oblique, QStringLiteral("斜向"));
    if (obliqueRefused) {
        tabs_->setTabEnabled(obliqueTab, false);
        tabs_->setTabToolTip(obliqueTab, QString::fromUtf8(obliqueRefused));
    }
    angle_->setObjectName(QStringLiteral("角度"));
    oblique_->setObjectName(QStringLiteral("斜向像素"));
    straight_->setObjectName(QStringLiteral("像素"));
    tabs_->setObjectName(QStringLiteral("tabs"));
    layout->addWidget(tabs_);
    layout->addWidget(OkCancel(this));
}

bool ExtendDeviceDialog::StraightChosen() const { return tabs_->currentIndex() == 0; }
int32_t ExtendDeviceDialog::Length() const { return straight_->text().toInt(); }
int32_t ExtendDeviceDialog::Angle() const { return angle_->currentText().toInt(); }
int32_t ExtendDeviceDialog::ObliqueLength() const { return oblique_->text().toInt(); }

}  // namespace velkor::gui
