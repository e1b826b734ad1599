// The messages of one command shown together.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>

#include "shell/QtInteraction.h"

namespace velkor::gui {
namespace {

// What the next modal dialog shows, closed at once.
struct Seen {
    QString kind;
    QString count;
    QString text;
};
void CloseNextDialog(Seen& seen) {
    QTimer::singleShot(0, [&seen] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            seen = {QStringLiteral("box"), {}, box->text()};
            box->accept();
            return;
        }
        ASSERT_EQ(w->objectName(), "messages");
        seen = {QStringLiteral("list"), w->findChild<QLabel*>("count")->text(),
                w->findChild<QPlainTextEdit*>("list")->toPlainText()};
        qobject_cast<QDialog*>(w)->accept();
    });
}

TEST(MessageBatches, ManyMessagesAreOneListAndOneStaysABox) {
    QtInteraction ui(nullptr);
    Seen seen;
    CloseNextDialog(seen);
    {
        MessageBatch batch(ui);
        {
            MessageBatch inner(ui);  // nested: shown by the outer end
            ui.Warning("名称缺少后缀：1DG");
        }
        EXPECT_TRUE(seen.kind.isEmpty());
        ui.Warning("名称缺少后缀：3DG");
        ui.Info("生成完毕");
    }
    EXPECT_EQ(seen.kind, "list");
    EXPECT_EQ(seen.count, "3 条警告：");
    EXPECT_EQ(seen.text, "名称缺少后缀：1DG\n名称缺少后缀：3DG\n生成完毕");

    seen = {};
    CloseNextDialog(seen);
    {
        MessageBatch batch(ui);
        ui.Info("输入表数据生成完毕!");
    }
    EXPECT_EQ(seen.kind, "box");
    EXPECT_EQ(seen.text, "输入表数据生成完毕!");
}

}  // namespace
}  // namespace velkor::gui
