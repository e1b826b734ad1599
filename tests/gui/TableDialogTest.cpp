// The table dialogs opened from the ribbon and used as a designer uses them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

#include "AppTest.h"
#include "common/Files.h"
#include "dialogs/TableDialog.h"
#include "shell/CommandTable.h"
#include "support/LibreOffice.h"
#include "support/TestFiles.h"
#include "tables/CodeTables.h"

namespace velkor::gui {
namespace {

class TableDialogs : public AppTest {
protected:
    // Runs `inDialog` on the next modal dialog once it is shown.
    static void WhenShown(std::function<void(QDialog&)> inDialog) {
        QTimer::singleShot(0, [inDialog = std::move(inDialog)] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            inDialog(*dialog);
        });
    }
    // Opens a table dialog from the ribbon and runs `inDialog` in it.
    void Open(int command, const std::function<void(TableDialog&)>& inDialog) {
        bool seen = false;
        WhenShown([&](QDialog& d) {
            auto* table = qobject_cast<TableDialog*>(&d);
            ASSERT_NE(table, nullptr);
            seen = true;
            inDialog(*table);
        });
        frame().Execute(command);
        EXPECT_TRUE(seen);
    }
    // Types into a cell with the in-place editor.
    static void Type(TableDialog& d, int row, int column, const QString& text) {
        d.EditCell(row, column);
        auto* editor = d.View()->findChild<QLineEdit*>("cellEditor");
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The editor commits and goes once the events are processed.
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(TableDialogs, SectionRowsTypedAndClosedWithTheCloseBoxAreStoredAndUndoable) {
    const IoTables before = doc().io;
    Open(cmd::kInputTableFirst, [&](TableDialog& d) {
        EXPECT_EQ(d.windowTitle(), "区段输入表");
        d.AppendRow();
        // The new row's name is being edited: a space is not typed.
        auto* editor = d.View()->findChild<QLineEdit*>("cellEditor");
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, "3 DG");
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Type(d, 0, 1, "12x");  // refused: the old number stays
        Type(d, 0, 2, "1A");
        EXPECT_EQ(d.Grid().Cell(0, 0), "3DG");
        EXPECT_EQ(d.Grid().Cell(0, 1), "0");
        EXPECT_EQ(d.Grid().Cell(0, 2), "1A");
        // The relay dialog sets GJ as board and position.
        WhenShown([](QDialog& relay) {
            EXPECT_EQ(relay.windowTitle(), "3DG : GJ");
            relay.findChild<QSpinBox*>("板号")->setValue(3);
            relay.findChild<QSpinBox*>("位置")->setValue(5);
            relay.accept();
        });
        d.EditCell(0, 5);
        EXPECT_EQ(d.Grid().Cell(0, 5), "0X0305");
        d.close();  // the close box
    });
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"输入的十进制数据无效"});
    const auto& rows = doc().io.Table(kSectionTable);
    ASSERT_EQ(rows.size(), before.Table(kSectionTable).size() + 1);
    EXPECT_EQ(rows.back().Name(), u"3DG");
    EXPECT_EQ(rows.back().U16(io::kButton), 0x001A);
    EXPECT_EQ(rows.back().U16(io::kSectionGJ), 0x0305);
    EXPECT_TRUE(doc().IsModified());
    ASSERT_TRUE(doc().Undo());
    EXPECT_EQ(doc().io, before);
}

TEST_F(TableDialogs, EscapeLeavesTheTableAsItWas) {
    const IoTables before = doc().io;
    Open(cmd::kInputTableLast, [&](TableDialog& d) {
        EXPECT_EQ(d.windowTitle(), "零散信息输入表");
        d.AppendRow();
        QTest::keyClick(d.View(), Qt::Key_Escape);
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(doc().io, before);
    EXPECT_FALSE(doc().IsModified());
}

TEST_F(TableDialogs, NewSwitchesAndSignalsAreNamedInTheirDialogs) {
    Open(cmd::kInputTableFirst + 1, [&](TableDialog& d) {
        WhenShown([](QDialog& name) {
            EXPECT_EQ(name.windowTitle(), "道岔名称");
            name.reject();
        });
        d.AppendRow();
        EXPECT_EQ(d.Grid().Rows(), 0u);  // cancelled: nothing added
        WhenShown([](QDialog& name) {
            name.findChild<QLineEdit*>("道岔名称")->setText("1");
            name.findChild<QCheckBox*>("双动道岔")->setChecked(true);
            name.findChild<QLineEdit*>("双动名称")->setText("3");
            name.accept();
        });
        d.AppendRow();
        ASSERT_EQ(d.Grid().Rows(), 1u);
        EXPECT_EQ(d.Grid().Cell(0, 0), "1-3");
        d.close();
    });
    EXPECT_EQ(doc().io.Table(kSwitchTable).back().Name(), u"1-3");

    Open(cmd::kInputTableFirst + 2, [&](TableDialog& d) {
        WhenShown([this](QDialog& signal) {
            EXPECT_EQ(signal.windowTitle(), "新建信号机");
            signal.findChild<QLineEdit*>("名称")->setText("X1");
            signal.accept();  // no kind chosen
            EXPECT_TRUE(signal.isVisible());
            signal.findChild<QRadioButton*>("两显")->setChecked(true);
            signal.accept();  // no sub-kind chosen
            EXPECT_TRUE(signal.isVisible());
            signal.findChild<QComboBox*>("子类型")->setCurrentIndex(2);  // 红黄
            signal.accept();
            EXPECT_EQ(ui.Messages("warning"),
                      (std::vector<std::string>{"请选择信号机类型", "请选择信号机子类型"}));
        });
        d.AppendRow();
        ASSERT_EQ(d.Grid().Rows(), 1u);
        EXPECT_EQ(d.Grid().Cell(0, 6), "二显（红黄）");
        d.close();
    });
    EXPECT_EQ(doc().io.Table(kSignalTable).back().U16(io::kSignalType), 3);
}

TEST_F(TableDialogs, CombinationsChangeOnlyWhenEveryRowResolves) {
    Open(cmd::kInputTableFirst, [&](TableDialog& d) {
        d.AppendRow();
        Type(d, 0, 0, "3DG");
        d.close();
    });
    Open(cmd::kCombinations, [&](TableDialog& d) {
        EXPECT_EQ(d.windowTitle(), "区段组合");
        d.AppendRow();
        d.AppendRow();
        Type(d, 0, 0, "3DG");
        Type(d, 1, 1, "NOSUCH");
        d.accept();
        EXPECT_TRUE(d.isVisible());  // stays open on the failing row
        EXPECT_EQ(d.View()->selectionModel()->selectedRows().front().row(), 1);
        EXPECT_TRUE(doc().io.combinations.empty());
        d.Grid().current = 1;
        d.DeleteRow();
        d.accept();
    });
    ASSERT_EQ(doc().io.combinations.size(), 1u);
    EXPECT_EQ(doc().io.combinations[0].Text(4, 16), u"3DG");
    ASSERT_TRUE(doc().Undo());
    EXPECT_TRUE(doc().io.combinations.empty());
}

// 导出Excel... and 从Excel导入... of the context menu: a refused file leaves
// the grid as it was, a good one replaces its rows until the dialog stores them.
TEST_F(TableDialogs, WorkbookExchangeFromTheContextMenu) {
    velkor::testing::TempDir dir;
    const std::string bad = "名称,地址号,按钮号,字号,位号,继电器\nZA,0\nZB,x\n";
    const std::string good = "名称,地址号,按钮号,字号,位号,继电器\nZA,0\nZB,1,,,,0X0102\n";
    velkor::testing::WriteBytes(dir / "bad.csv", std::vector<uint8_t>(bad.begin(), bad.end()));
    velkor::testing::WriteBytes(dir / "good.csv", std::vector<uint8_t>(good.begin(), good.end()));
    ui.files = {PathToUtf8(dir / "bad.csv"), PathToUtf8(dir / "good.csv"),
                PathToUtf8(dir / "out.xls")};
    Open(cmd::kInputTableLast, [&](TableDialog& d) {
        d.ImportWorkbook();
        EXPECT_EQ(d.Grid().Rows(), 0u);
        ASSERT_EQ(ui.Messages("warning").size(), 1u);
        EXPECT_EQ(ui.Messages("warning")[0], "第 3 行第 2 列（地址号）：输入的十进制数据无效");
        d.ImportWorkbook();
        ASSERT_EQ(d.Grid().Rows(), 2u);
        EXPECT_EQ(d.View()->model()->rowCount(), 2);
        EXPECT_EQ(d.Grid().Cell(1, 5), "0X0102");
        d.ExportWorkbook();
        d.close();
    });
    EXPECT_TRUE(std::filesystem::exists(dir / "out.xls"));
    ASSERT_EQ(doc().io.Table(kLingsanTable).size(), 2u);
    EXPECT_EQ(doc().io.Table(kLingsanTable)[1].U16(io::kLingsanRelay), 0x0102);
}

// The six code-table dialogs from the ribbon: titles and columns; 创建码位表
// of PhysicalSectionCode groups the logic sections; 导出Excel writes a
// workbook LibreOffice reads.
TEST_F(TableDialogs, CodeTableDialogs) {
    const struct {
        int command;
        const char* title;
        int columns;
    } dialogs[] = {{32864, "西门子逻辑区段码位表", 7}, {32865, "西门子物理区段码位表", 4},
                   {32866, "西门子元素码位表", 14},    {32867, "西门子Cross码位表", 7},
                   {32868, "西门子Switch码位表", 9},   {32869, "西门子道岔区段码位表", 9}};
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.title);
        Open(d.command, [&](TableDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle().toStdString(), d.title);
            EXPECT_EQ(dialog.View()->model()->columnCount(), d.columns);
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
    }
    // TrackSectionCode rows of the physical sections P1, P1, P2, P1.
    int n = 5;
    for (const char16_t* p : {u"P1", u"P1", u"P2", u"P1"}) {
        Row t = CodeTables::NewRow(kTrackSectionCode);
        t.SetU16(0, static_cast<uint16_t>(n++));
        t.SetText(22, 16, p);
        doc().codes.Table(kTrackSectionCode).push_back(t);
    }
    Open(32865, [&](TableDialog& dialog) {
        ui.answers = {true};  // 是否确定创建码位表？
        dialog.BuildCodeTable();
        ASSERT_EQ(dialog.Grid().Rows(), 3u);
        EXPECT_EQ(dialog.Grid().Cell(0, 0), "P1");
        EXPECT_EQ(dialog.Grid().Cell(0, 2), "5");
        EXPECT_EQ(dialog.Grid().Cell(0, 3), "6");
        EXPECT_EQ(dialog.Grid().Cell(2, 2), "8");
        dialog.close();
    });
    EXPECT_EQ(doc().codes.physical.size(), 3u);
    ASSERT_TRUE(doc().Undo());
    EXPECT_TRUE(doc().codes.physical.empty());

    velkor::testing::TempDir dir;
    ui.files = {PathToUtf8(dir / "track.xls")};
    Open(32864, [&](TableDialog& dialog) {
        dialog.ExportWorkbook();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    velkor::testing::Convert(dir, "csv:Text - txt - csv (StarCalc):44,34,76,1",
                             {dir / "track.xls"});
    const auto csv = velkor::testing::ReadBytes(dir / "track.csv");
    const auto rows = velkor::testing::ParseCsv(std::string(csv.begin(), csv.end()));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"逻辑区段编号", "逻辑区段名称", "元素类", "元素索引",
                                        "物理区段名称", "物理区段地址", "方向"}));
    EXPECT_EQ(rows[4], (std::vector<std::string>{"8", "", "0", "0", "P1", "65535", "0"}));

    // In a code table's editor the space bar turns an element's name into
    // its IxL地址号.
    Row element = CodeTables::NewRow(kElementCode);
    element.SetText(2, 64, u"G1");
    element.SetU16(96, 12);
    doc().codes.Table(kElementCode).push_back(element);
    Open(32869, [&](TableDialog& dialog) {
        dialog.AppendRow();
        auto* editor = dialog.View()->findChild<QLineEdit*>("cellEditor");
        ASSERT_NE(editor, nullptr);
        editor->setText("G1");
        QTest::keyClick(editor, Qt::Key_Space);
        EXPECT_EQ(editor->text(), "12");
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(dialog.Grid().Cell(0, 0), "12");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
}

}  // namespace
}  // namespace velkor::gui
