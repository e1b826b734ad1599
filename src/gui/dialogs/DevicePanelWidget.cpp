#include "dialogs/DevicePanelWidget.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

namespace velkor::gui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Q(const std::u16string& s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}
std::string S(const QLineEdit* e) { return e->text().toStdString(); }
std::u16string U(const QLineEdit* e) { return e->text().toStdU16String(); }

QLineEdit* Field(QFormLayout* form, const char* label, const char* objectName) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(objectName));
    form->addRow(QString::fromUtf8(label), edit);
    return edit;
}

}  // namespace

DevicePanelWidget::DevicePanelWidget(DevicePanel& panel, QWidget* parent)
    : QGroupBox(QStringLiteral("设备信息"), parent), panel_(panel) {
    auto* form = new QFormLayout(this);
    station_ = Field(form, "车站号", "station");
    name_ = Field(form, "名称", "name");
    address_ = Field(form, "地址号", "address");
    button_ = Field(form, "按钮号", "button");
    word_ = Field(form, "字号", "word");
    bit_ = Field(form, "位号", "bit");
    buttonValid_ = new QCheckBox(QStringLiteral("按钮是否有效"));
    buttonValid_->setObjectName(QStringLiteral("buttonValid"));
    form->addRow(buttonValid_);
    follows_ = new QCheckBox(QStringLiteral("显示名称与IO名称是否一致"));
    follows_->setObjectName(QStringLiteral("follows"));
    form->addRow(follows_);
    display_ = Field(form, "显示名称", "displayName");
    // The space bar looks the name up instead of typing a space.
    name_->installEventFilter(this);
    connect(follows_, &QCheckBox::clicked, this, [this](bool ticked) {
        Store();
        panel_.SetFollows(ticked);
        Load();
    });
    Load();
}

void DevicePanelWidget::Store() {
    panel_.station = S(station_);
    panel_.name = U(name_);
    panel_.address = S(address_);
    panel_.button = S(button_);
    panel_.word = S(word_);
    panel_.bit = S(bit_);
    panel_.buttonValid = buttonValid_->isChecked();
    panel_.display.follows = follows_->isChecked();
    panel_.display.text = U(display_);
}

void DevicePanelWidget::Load() {
    station_->setText(Q(panel_.station));
    name_->setText(Q(panel_.name));
    address_->setText(Q(panel_.address));
    button_->setText(Q(panel_.button));
    word_->setText(Q(panel_.word));
    bit_->setText(Q(panel_.bit));
    buttonValid_->setChecked(panel_.buttonValid);
    buttonValid_->setEnabled(panel_.HasButtonValid());
    follows_->setChecked(panel_.display.follows);
    display_->setText(Q(panel_.display.text));
    display_->setEnabled(panel_.display.TextEnabled());
}

bool DevicePanelWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == name_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        Store();
        panel_.LookUpName();
        Load();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

DevicePanelDialog::DevicePanelDialog(const QString& title, CADDevice& device,
                                     const IoTables& tables, Interaction& ui, QWidget* parent)
    : QDialog(parent), panel_(device, tables, ui) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    widget_ = new DevicePanelWidget(panel_, this);
    layout->addWidget(widget_);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void DevicePanelDialog::accept() {
    widget_->Store();
    panel_.Confirm();
    QDialog::accept();
}

}  // namespace velkor::gui
