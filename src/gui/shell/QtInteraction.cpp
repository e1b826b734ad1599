#include "shell/QtInteraction.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velkor::gui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

bool QtInteraction::Hold(const std::string& text, bool warning) {
    if (depth_ == 0) return false;
    held_.push_back(text);
    heldWarning_ = heldWarning_ || warning;
    return true;
}

void QtInteraction::Box(const std::string& text, bool warning) {
    if (warning) {
        QMessageBox::warning(parent_, QStringLiteral("Velkor"), Q(text));
    } else {
        QMessageBox::information(parent_, QStringLiteral("Velkor"), Q(text));
    }
}

void QtInteraction::Info(const std::string& text) {
    if (!Hold(text, false)) Box(text, false);
}

void QtInteraction::Warning(const std::string& text) {
    if (!Hold(text, true)) Box(text, true);
}

void QtInteraction::EndBatch() {
    if (depth_ == 0 || --depth_ > 0) return;
    Flush();
}

void QtInteraction::Flush() {
    std::vector<std::string> messages = std::move(held_);
    const bool warning = heldWarning_;
    held_.clear();
    heldWarning_ = false;
    // One message stays a box; more are one list.
    if (messages.size() == 1) {
        Box(messages.front(), warning);
    } else if (messages.size() > 1) {
        ShowMessageList(parent_, messages, warning);
    }
}

void QtInteraction::ShowMessageList(QWidget* parent, const std::vector<std::string>& messages,
                                    bool warning) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("messages"));
    dialog.setWindowTitle(QStringLiteral("Velkor"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* count = new QLabel(QStringLiteral("%1 条%2：")
                                 .arg(messages.size())
                                 .arg(warning ? QStringLiteral("警告") : QStringLiteral("消息")));
    count->setObjectName(QStringLiteral("count"));
    layout->addWidget(count);
    auto* text = new QPlainTextEdit;
    text->setObjectName(QStringLiteral("list"));
    text->setReadOnly(true);
    QStringList lines;
    for (const std::string& m : messages) lines << Q(m);
    text->setPlainText(lines.join('\n'));
    text->setMinimumSize(520, 260);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.exec();
}

bool QtInteraction::AskYesNo(const std::string& text) {
    Flush();
    return QMessageBox::question(parent_, QStringLiteral("Velkor"), Q(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<bool> QtInteraction::AskSaveChanges(const std::string& text) {
    Flush();
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
    Flush();
    const QString f = QFileDialog::getOpenFileName(parent_, Q(title), QString(), Q(filter));
    if (f.isEmpty()) return std::nullopt;
    return f.toStdString();
}

std::optional<std::string> QtInteraction::ChooseSaveFile(const std::string& title,
                                                         const std::string& filter) {
    Flush();
    const QString f = QFileDialog::getSaveFileName(parent_, Q(title), QString(), Q(filter));
    if (f.isEmpty()) return std::nullopt;
    return f.toStdString();
}

std::optional<std::vector<bool>> QtInteraction::ChooseOptions(
    const std::string& title, const std::vector<std::string>& labels,
    const std::vector<bool>& initial) {
    Flush();
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
