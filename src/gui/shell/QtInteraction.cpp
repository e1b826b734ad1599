#include "shell/QtInteraction.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace velkor::gui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

void QtInteraction::Info(const std::string& text) {
    QMessageBox::information(parent_, QStringLiteral("Velkor"), Q(text));
}

void QtInteraction::Warning(const std::string& text) {
    QMessageBox::warning(parent_, QStringLiteral("Velkor"), Q(text));
}

bool QtInteraction::AskYesNo(const std::string& text) {
    return QMessageBox::question(parent_, QStringLiteral("Velkor"), Q(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<bool> QtInteraction::AskSaveChanges(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Velkor"), Q(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    box.button(QMessageBox::Save)->setText(QStringLiteral("保存"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("不保存"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save:
            return true;
        case QMessageBox::Discard:
            return false;
        default:
            return std::nullopt;
    }
}

std::optional<std::string> QtInteraction::ChooseOpenFile(const std::string& title,
                                                         const std::string& filter) {
    const QString f = QFileDialog::getOpenFileName(parent_, Q(title), QString(), Q(filter));
    if (f.isEmpty()) return std::nullopt;
    return f.toStdString();
}

std::optional<std::string> QtInteraction::ChooseSaveFile(const std::string& title,
                                                         const std::string& filter) {
    const QString f = QFileDialog::getSaveFileName(parent_, Q(title), QString(), Q(filter));
    if (f.isEmpty()) return std::nullopt;
    return f.toStdString();
}

std::optional<std::vector<bool>> QtInteraction::ChooseOptions(
    const std::string& title, const std::vector<std::string>& labels,
    const std::vector<bool>& initial) {
    QDialog dialog(parent_);
    dialog.setWindowTitle(Q(title));
    auto* layout = new QVBoxLayout(&dialog);
    std::vector<QCheckBox*> boxes;
    for (size_t i = 0; i < labels.size(); ++i) {
        auto* box = new QCheckBox(Q(labels[i]), &dialog);
        box->setChecked(i < initial.size() && initial[i]);
        layout->addWidget(box);
        boxes.push_back(box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    std::vector<bool> out;
    for (QCheckBox* b : boxes) out.push_back(b->isChecked());
    return out;
}

}  // namespace velkor::gui
