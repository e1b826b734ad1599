#include "dialogs/PropertyDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <map>
#include <set>

#include "devices/CADGraphic.h"
#include "document/CVelkorDoc.h"

namespace velkor::gui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

void ShowColour(QPushButton* button, const QString& value) {
    button->setText(value);
    button->setStyleSheet(QStringLiteral("background-color: %1").arg(value));
}

}  // namespace

PropertyDialog::PropertyDialog(PropertyForm& form, QWidget* parent) : QDialog(parent), form_(form) {
    setWindowTitle(Q(form.Title()));
    auto* layout = new QVBoxLayout(this);
    // The groups in two columns once there are more than three, so that the
    // large dialogs fit a screen.
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    std::set<std::string> names;
    for (const FormField& f : form.Fields()) names.insert(f.group);
    const int columns = names.size() > 3 ? 2 : 1;
    std::map<std::string, QFormLayout*> groups;
    for (const FormField& f : form.Fields()) {
        QFormLayout* target = nullptr;
        if (auto it = groups.find(f.group); it != groups.end()) {
            target = it->second;
        } else {
            // Fields without a group stand in a plain box of their own.
            QWidget* box = f.group.empty() ? new QWidget : new QGroupBox(Q(f.group));
            target = new QFormLayout(box);
            const int n = static_cast<int>(groups.size());
            grid->addWidget(box, n / columns, n % columns, Qt::AlignTop);
            groups[f.group] = target;
        }
        QWidget* w = nullptr;
        const size_t index = widgets_.size();
        switch (f.kind) {
            case FormField::Kind::Check: {
                auto* box = new QCheckBox(Q(f.label));
                connect(box, &QCheckBox::clicked, this, [this, index] { RunRules(index); });
                target->addRow(box);
                w = box;
                break;
            }
            case FormField::Kind::Radio: {
                auto* radio = new QRadioButton(Q(f.label));
                connect(radio, &QRadioButton::clicked, this, [this, index] { RunRules(index); });
                target->addRow(radio);
                w = radio;
                break;
            }
            case FormField::Kind::List: {
                auto* list = new QComboBox;
                for (const std::string& e : f.entries) list->addItem(Q(e));
                connect(list, &QComboBox::activated, this, [this, index] { RunRules(index); });
                target->addRow(Q(f.label), list);
                w = list;
                break;
            }
            case FormField::Kind::Colour: {
                auto* button = new QPushButton;
                button->setAutoDefault(false);
                connect(button, &QPushButton::clicked, this, [this, button] {
                    const QColor chosen = QColorDialog::getColor(QColor(button->text()), this);
                    if (chosen.isValid()) ShowColour(button, chosen.name().toUpper());
                });
                target->addRow(Q(f.label), button);
                w = button;
                break;
            }
            default: {
                auto* edit = new QLineEdit;
                edit->setMinimumWidth(160);
                // The space bar looks a name up instead of typing a space.
                if (f.kind == FormField::Kind::Name) edit->installEventFilter(this);
                target->addRow(Q(f.label), edit);
                w = edit;
                break;
            }
        }
        w->setObjectName(Q(f.group + "/" + f.label));
        widgets_.push_back(w);
    }
    if (!form.Note().empty()) {
        auto* note = new QLabel(Q(form.Note()));
        note->setWordWrap(true);
        note->setObjectName(QStringLiteral("note"));
        layout->addWidget(note);
    }
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    Load();
}

QWidget* PropertyDialog::FieldWidget(const std::string& label, const std::string& group) const {
    const auto& fields = form_.Fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].label == label && (group.empty() || fields[i].group == group)) {
            return widgets_[i];
        }
    }
    return nullptr;
}

void PropertyDialog::Store() {
    auto& fields = form_.Fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        QWidget* w = widgets_[i];
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            fields[i].value = edit->text().toStdString();
        } else if (auto* box = qobject_cast<QAbstractButton*>(w); box && box->isCheckable()) {
            fields[i].value = box->isChecked() ? "1" : "0";
        } else if (auto* list = qobject_cast<QComboBox*>(w)) {
            fields[i].value = list->currentText().toStdString();
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            fields[i].value = button->text().toStdString();
        }
    }
}

void PropertyDialog::Load() {
    const auto& fields = form_.Fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        QWidget* w = widgets_[i];
        const QString value = Q(fields[i].value);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->setText(value);
        } else if (auto* box = qobject_cast<QAbstractButton*>(w); box && box->isCheckable()) {
            box->setChecked(fields[i].Checked());
        } else if (auto* list = qobject_cast<QComboBox*>(w)) {
            // A value that is no entry (a switch without front position)
            // shows no choice rather than the first entry.
            list->setCurrentIndex(list->findText(value));
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            ShowColour(button, value);
        }
        w->setEnabled(fields[i].enabled);
    }
}

bool PropertyDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        for (size_t i = 0; i < widgets_.size(); ++i) {
            if (widgets_[i] != watched) continue;
            Store();
            const bool looked = form_.LookUp(form_.Fields()[i]);
            Load();
            if (looked) emit DeviceChanged();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PropertyDialog::RunRules(size_t index) {
    Store();
    form_.Edited(form_.Fields()[index]);
    Load();
    emit DeviceChanged();
}

void PropertyDialog::accept() {
    Store();
    if (!form_.Confirm()) return;
    QDialog::accept();
}

bool EditObjectProperties(CADGraphic& obj, CVelkorDoc& doc, QWidget* parent,
                          const std::function<void()>& changed) {
    const auto form = MakePropertyForm(obj, doc);
    if (!form) return obj.EditProperties();
    PropertyDialog dialog(*form, parent);
    if (changed) QObject::connect(&dialog, &PropertyDialog::DeviceChanged, &dialog, changed);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace velkor::gui
